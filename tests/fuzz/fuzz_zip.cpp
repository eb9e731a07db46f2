// Zip packs attached to the device and files loaded from them by name.
#include "device/tqgfxdevice.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TQGfxDevice* device = fuzz::StartEngine();
    const std::string pack = fuzz::Absolute(fuzz::WriteInput("in.zip", data, size));
    if (device->Resource_AttachPack(pack.c_str(), size % 2 ? "secret" : nullptr)) {
        for (const char* name : {"a.txt", "DIR/B.TXT", "dir\\c.bin", "missing"}) {
            DWORD length = 0;
            device->Resource_Free(device->Resource_Load(name, &length));
        }
    }
    device->Resource_RemoveAllPacks();
    return 0;
}
