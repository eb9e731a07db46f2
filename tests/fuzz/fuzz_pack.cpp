// Resource packs: opened, every stored file read, and read again through the registry. A pack
// that is refused must be left as it was.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "base/tqstring.h"
#include "engine/cmorvainepack.h"
#include "engine/tq2dpack.h"
#include "fuzzsupport.h"

namespace {

std::string ReadBack(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    fuzz::WriteInput("in.pak", data, size);
    std::string first;
    {
        CMorvainePack pack;
        if (!pack.SetPackage("in.pak")) {
            if (ReadBack("in.pak") != std::string(reinterpret_cast<const char*>(data), size))
                std::abort(); // a refused pack was changed on disk
            return 0;
        }
        for (const auto& entry : pack.GetFileTable()) {
            pack.GetFile(entry.first.c_str());
            if (first.empty())
                first = entry.first;
        }
    }
    if (TQ2DPackAdd("in.pak")) {
        TQString bytes;
        TQ2DPackGetFile(first.c_str(), bytes);
        TQ2DPackRemoveAll();
    }
    return 0;
}
