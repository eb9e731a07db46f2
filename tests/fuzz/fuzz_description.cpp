// Description files through the engine's reader (packs, then the disk).
#include "engine/tq2dfileconfig.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    fuzz::WriteInput("in.txt", data, size);
    TQ2DFileConfig config;
    if (config.LoadFileConfig("in.txt", 0, 0))
        for (const char* key : {"TEX", "FRAME_COUNT", "SIZE"})
            config.GetConfig(key);
    return 0;
}
