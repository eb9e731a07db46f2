#include "enginescene.h"

#include "engine/tq2dapi.h"
#include "platform/win32/video/tqvideo.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

namespace {

bool NoFrame() {
    return true;
}

} // namespace

EngineScene::EngineScene() {
    setenv("TQ_VIDEO", "headless", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    TQ2D_INIT_INFO_tag info{};
    info.pfnFrame = NoFrame;
    info.nWidth = kFrameWidth;
    info.nHeight = kFrameHeight;
    info.byBPP = 32;
    info.bRunInactive = TRUE;
    if (!TQ2DInit(&info, nullptr)) {
        std::fprintf(stderr, "the engine did not start\n");
        std::exit(1);
    }
    m_texture.Create(kDisc, kDisc);
    DWORD* pixels = m_texture.Lock(false);
    if (!pixels) {
        std::fprintf(stderr, "the disc texture cannot be written\n");
        std::exit(1);
    }
    const std::vector<uint32_t> texels = DiscTexels();
    for (int y = 0; y < kDisc; ++y)
        std::memcpy(pixels + y * m_texture.GetWidth(), texels.data() + y * kDisc, kDisc * 4);
    m_texture.UnLock();
    m_sprite.reset(new TQ2DSprite(m_texture, 0, 0, kDisc, kDisc));
}

EngineScene::~EngineScene() {
    m_sprite.reset();
    m_texture.Delete();
    TQ2DClose();
}

void EngineScene::Use(SceneKind kind, const std::vector<Placement>& placements) {
    m_kind = kind;
    m_placements = placements;
    const float hotSpot = kind == SceneKind::kRot ? kDisc / 2.0f : 0.0f;
    m_sprite->SetHotSpot(hotSpot, hotSpot);
}

uint32_t EngineScene::Frame() {
    TQ2DGfx_BeginScene(0);
    TQ2DGfx_Clear(kClearColor);
    if (m_kind == SceneKind::kRot) {
        for (const Placement& p : m_placements)
            m_sprite->RenderEx(static_cast<float>(p.x), static_cast<float>(p.y), p.angle, kRotScale,
                               kRotScale);
    } else {
        for (const Placement& p : m_placements)
            m_sprite->Render(static_cast<float>(p.x), static_cast<float>(p.y));
    }
    TQ2DGfx_EndScene();
    uint32_t pixel = 0;
    tqplat::VideoLastFramePixel(TQ2DGetMsgWnd(), kFrameWidth / 2, kFrameHeight / 2, &pixel);
    return pixel;
}

const std::vector<uint32_t>& EngineScene::Presented() {
    int width = 0, height = 0;
    if (!tqplat::VideoLastFrame(TQ2DGetMsgWnd(), &m_presented, &width, &height))
        m_presented.clear();
    return m_presented;
}

} // namespace bench
