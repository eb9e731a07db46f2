// Marked-up text drawn into a texture with the default font.
#include "engine/tq2dtexture.h"
#include "fuzzsupport.h"
#include "gui/tq2dtextout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    static TQ2DTexture texture;
    if (!texture.GetTexture())
        texture.Create(96, 48);
    const std::string text = fuzz::AsText(data, size);
    TQ2DTextOut(texture, nullptr, 2, 2, 90, 44, "%s", text.c_str());
    return 0;
}
