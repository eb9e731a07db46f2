// The scene through SDL2's software renderer into an 800 x 600 XRGB software surface:
// SDL_RenderCopy (plain) or SDL_RenderCopyEx with linear scaling (rot), then one pixel read back.
#pragma once

#include "spritescene.h"

#include <SDL.h>

namespace bench {

class SdlScene {
public:
    SdlScene();
    ~SdlScene();

    void Use(SceneKind kind, const std::vector<Placement>& placements);
    uint32_t Frame();

private:
    SceneKind m_kind = SceneKind::kPlain;
    std::vector<Placement> m_placements;
    SDL_Surface* m_surface = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
};

} // namespace bench
