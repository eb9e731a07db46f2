// Resource scripts (which may include themselves) parsed by the resource manager, then every
// resource created and freed.
#include "fuzzsupport.h"
#include "helpers/tqgfxresourcemanager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    const std::string script = fuzz::Absolute(fuzz::WriteInput("in.res", data, size));
    TQGfxResourceManager manager(script.c_str());
    manager.Precache();
    manager.Purge();
    return 0;
}
