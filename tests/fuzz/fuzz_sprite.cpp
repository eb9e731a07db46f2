// Sprite description files, read as the engine reads them and drawn once.
#include "engine/tq2dapi.h"
#include "engine/tq2dsprite.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    fuzz::WriteInput("in.txt", data, size);
    TQ2DSprite sprite;
    if (sprite.CreateFromConfig("in.txt")) {
        sprite.Update(0.1f);
        if (TQ2DGfx_BeginScene(0)) {
            sprite.Render(8, 8);
            TQ2DGfx_EndScene();
        }
    }
    return 0;
}
