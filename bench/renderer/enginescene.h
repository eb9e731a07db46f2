// The scene through the engine's public path on the headless display: TQ2DSprite::Render or
// RenderEx between TQ2DGfx_BeginScene and TQ2DGfx_EndScene (which presents), then one pixel read
// back from the presented frame.
#pragma once

#include "spritescene.h"

#include "engine/tq2dsprite.h"
#include "engine/tq2dtexture.h"

#include <memory>

namespace bench {

class EngineScene {
public:
    // Starts the engine with an 800 x 600 32-bit window and the disc texture.
    EngineScene();
    ~EngineScene();

    void Use(SceneKind kind, const std::vector<Placement>& placements);
    // Draws and presents one frame; returns a pixel of the presented frame.
    uint32_t Frame();
    // The last presented frame, 0xAARRGGBB rows.
    const std::vector<uint32_t>& Presented();

private:
    SceneKind m_kind = SceneKind::kPlain;
    std::vector<Placement> m_placements;
    TQ2DTexture m_texture;
    std::unique_ptr<TQ2DSprite> m_sprite;
    std::vector<uint32_t> m_presented;
};

} // namespace bench
