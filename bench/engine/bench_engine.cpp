// The demo's sprite scene through the whole engine path (TQ2DSprite::RenderEx, the sprite helper,
// the batching renderer) against the same quads handed to the renderer directly, at 1,000, 5,000
// and 20,000 sprites on the headless display. The difference per sprite is the engine's own cost.
// The second argument 1 draws whole scenes (rasterised); 0 only submits the sprites outside a
// scene, where the device drops the quads, so that the engine's own share is not lost in the
// rasteriser's.
// Then the GUI's text drawing: a shadowed box of marked-up text (TQ2DTextOut) and a static text's
// redraw (GDI text on its surface copied into its texture), in white (0) and in black (1): what one
// call costs the game's frame.
// Usage: bench_engine [benchmark options]
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "device/tqgfxsprite.h"
#include "engine/tq2dapi.h"
#include "engine/tq2dsprite.h"
#include "gui/tq2dguistatic.h"
#include "gui/tq2dtextout.h"

namespace {

const int kWidth = 320;
const int kHeight = 240;

bool Frame() {
    return true;
}

struct Placement {
    float x, y, rotation, scale;
};

// A started engine with a 32 x 32 texture and the placements of the scene's sprites.
class Scene {
public:
    explicit Scene(int count) {
        setenv("TQ_VIDEO", "headless", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        TQ2D_INIT_INFO_tag info{};
        info.pfnFrame = Frame;
        info.nWidth = kWidth;
        info.nHeight = kHeight;
        info.bRunInactive = TRUE;
        TQ2DInit(&info, nullptr);
        texture.Create(32, 32);
        texture.Clear(0xC0FFFFFF);
        uint32_t state = 1;
        for (int i = 0; i < count; ++i) {
            auto next = [&state](float low, float high) {
                state = state * 1664525u + 1013904223u;
                return low + (high - low) * static_cast<float>(state >> 8) / 16777216.0f;
            };
            placements.push_back({next(0, kWidth), next(0, kHeight), next(0, 6.28f), next(0.5f, 1.3f)});
        }
    }
    ~Scene() {
        texture.Delete();
        TQ2DClose();
    }

    TQ2DTexture texture;
    std::vector<Placement> placements;
};

void BeginFrame() {
    TQ2DGfx_BeginScene(0);
    TQ2DGfx_Clear(0xFF203050);
}

void SceneSizes(benchmark::internal::Benchmark* bench) {
    for (int inScene : {1, 0})
        for (int count : {1000, 5000, 20000})
            bench->Args({count, inScene});
    bench->Unit(benchmark::kMillisecond);
}

void BM_EngineSprites(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    std::vector<std::unique_ptr<TQ2DSprite>> sprites;
    for (size_t i = 0; i < scene.placements.size(); ++i) {
        sprites.emplace_back(new TQ2DSprite(scene.texture, 0, 0, 0, 0));
        sprites.back()->SetHotSpot(16, 16);
        sprites.back()->SetBlendMode(i % 3 ? TQ2D_BLEND_DEFAULT : TQ2D_BLEND_ALPHAADD);
    }
    const bool inScene = state.range(1) != 0;
    for (auto _ : state) {
        if (inScene)
            BeginFrame();
        for (size_t i = 0; i < sprites.size(); ++i) {
            const Placement& p = scene.placements[i];
            sprites[i]->RenderEx(p.x, p.y, p.rotation, p.scale, 0.0f);
        }
        if (inScene)
            TQ2DGfx_EndScene();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EngineSprites)->Apply(SceneSizes);

// The same quads, built once, given to the renderer.
void BM_RendererQuads(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    std::vector<TQ2D_QUAD_tag> quads;
    for (size_t i = 0; i < scene.placements.size(); ++i) {
        TQGfxSprite helper(scene.texture.GetTexture(), 0, 0, 32, 32);
        helper.SetHotSpot(16, 16);
        helper.SetBlendMode(i % 3 ? TQ2D_BLEND_DEFAULT : TQ2D_BLEND_ALPHAADD);
        const Placement& p = scene.placements[i];
        TQ2D_QUAD_tag quad{};
        quad.tex = scene.texture.GetTexture();
        quad.blend = helper.GetBlendMode();
        const float c = std::cos(p.rotation), s = std::sin(p.rotation);
        const float corners[4][2] = {{-16, -16}, {16, -16}, {16, 16}, {-16, 16}};
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int k = 0; k < 4; ++k) {
            const float a = corners[k][0] * p.scale, b = corners[k][1] * p.scale;
            quad.v[k] = {a * c - b * s + p.x, a * s + b * c + p.y, 0.5f, 0xFFFFFFFF, uv[k][0], uv[k][1]};
        }
        quads.push_back(quad);
    }
    const bool inScene = state.range(1) != 0;
    for (auto _ : state) {
        if (inScene)
            BeginFrame();
        for (TQ2D_QUAD_tag& quad : quads)
            TQ2DGfx_RenderQuad(&quad);
        if (inScene)
            TQ2DGfx_EndScene();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RendererQuads)->Apply(SceneSizes);

const char* const kInk[] = {"FFFFFF", "000000"};

void BM_MarkedUpTextBox(benchmark::State& state) {
    Scene scene(0);
    TQ2DTexture texture;
    texture.Create(256, 64);
    const char* ink = kInk[state.range(0)];
    for (auto _ : state)
        TQ2DTextOut(
            texture, nullptr, 0, 0, 256, 64,
            "$T1$C#%sScore: %d$C#FFE040  lives 3\nA longer line of text that wraps once it reaches the "
            "right edge of the box",
            ink, 12345);
    texture.Delete();
}
BENCHMARK(BM_MarkedUpTextBox)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_StaticTextRedraw(benchmark::State& state) {
    Scene scene(0);
    TQ2DGUIStatic label;
    label.SetSize(200, 20);
    SetTextColor(label.GetGDI().GetHDC(), state.range(0) ? RGB(0, 0, 0) : RGB(255, 255, 255));
    label.SetText("Picked: Jupiter, 150 points");
    for (auto _ : state)
        label.BuildTexture();
}
BENCHMARK(BM_StaticTextRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
