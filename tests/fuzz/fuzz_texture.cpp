// Images decoded into textures from memory, then read back.
#include "engine/tq2dtexture.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    TQ2DTexture texture;
    if (size && texture.Create(reinterpret_cast<const char*>(data), static_cast<unsigned long>(size))) {
        texture.Lock(true);
        texture.UnLock();
    }
    return 0;
}
