// Sound files loaded from memory as effects and as music streams, and tracker music.
#include "device/tqgfxdevice.h"
#include "engine/tq2dmusic.h"
#include "engine/tq2dsound.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TQGfxDevice* device = fuzz::StartEngine();
    if (!size)
        return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    TQ2DSound effect;
    effect.Create(bytes, static_cast<unsigned long>(size));
    TQ2DMusic stream;
    stream.Create(bytes, static_cast<unsigned long>(size));
    device->Music_Free(device->Music_Load(bytes, static_cast<DWORD>(size)));
    return 0;
}
