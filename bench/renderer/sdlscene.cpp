#include "sdlscene.h"

#include <cstdio>
#include <cstdlib>

namespace bench {

SdlScene::SdlScene() {
    m_surface = SDL_CreateRGBSurfaceWithFormat(0, kFrameWidth, kFrameHeight, 32, SDL_PIXELFORMAT_RGB888);
    m_renderer = m_surface ? SDL_CreateSoftwareRenderer(m_surface) : nullptr;
    m_texture = m_renderer ? SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                               kDisc, kDisc)
                           : nullptr;
    if (!m_texture) {
        std::fprintf(stderr, "SDL2's software renderer did not start: %s\n", SDL_GetError());
        std::exit(1);
    }
    const std::vector<uint32_t> texels = DiscTexels();
    SDL_UpdateTexture(m_texture, nullptr, texels.data(), kDisc * 4);
    SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_BLEND);
}

SdlScene::~SdlScene() {
    SDL_DestroyTexture(m_texture);
    SDL_DestroyRenderer(m_renderer);
    SDL_FreeSurface(m_surface);
}

void SdlScene::Use(SceneKind kind, const std::vector<Placement>& placements) {
    m_kind = kind;
    m_placements = placements;
    SDL_SetTextureScaleMode(m_texture, kind == SceneKind::kRot ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
}

uint32_t SdlScene::Frame() {
    SDL_SetRenderDrawColor(m_renderer, (kClearColor >> 16) & 0xFF, (kClearColor >> 8) & 0xFF,
                           kClearColor & 0xFF, 0xFF);
    SDL_RenderClear(m_renderer);
    if (m_kind == SceneKind::kRot) {
        const float side = kDisc * kRotScale;
        for (const Placement& p : m_placements) {
            SDL_FRect dst = {p.x - side / 2, p.y - side / 2, side, side};
            SDL_RenderCopyExF(m_renderer, m_texture, nullptr, &dst, p.angle * 180.0 / 3.14159265358979,
                              nullptr, SDL_FLIP_NONE);
        }
    } else {
        for (const Placement& p : m_placements) {
            SDL_Rect dst = {p.x, p.y, kDisc, kDisc};
            SDL_RenderCopy(m_renderer, m_texture, nullptr, &dst);
        }
    }
    uint32_t pixel = 0;
    SDL_Rect centre = {kFrameWidth / 2, kFrameHeight / 2, 1, 1};
    SDL_RenderReadPixels(m_renderer, &centre, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
    return pixel;
}

} // namespace bench
