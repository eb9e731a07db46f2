// Configuration text read from memory, as description files from a pack are.
#include "base/tqfileconfig.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TQFileConfig config;
    config.LoadFileConfig(reinterpret_cast<const char*>(data), static_cast<DWORD>(size),
                          TQFILECONFIG_FROM_MEMORY);
    for (const char* key : {"TEX", "COUNT", "", "A B"})
        config.GetConfigNum(key);
    return 0;
}
