// The GUI's text drawing: a shadowed box of marked-up text (TQ2DTextOut), and a static text's
// redraw (GDI text on its surface copied into its texture), in white and in black, on the headless
// display. The time is what one call costs the game's frame.
// Usage: bench_text [benchmark options]
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "engine/tq2dapi.h"
#include "engine/tq2dtexture.h"
#include "gui/tq2dguistatic.h"
#include "gui/tq2dtextout.h"

namespace {

bool Frame() {
    return true;
}

// A started engine for the length of one benchmark.
class Engine {
public:
    Engine() {
        setenv("TQ_VIDEO", "headless", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        TQ2D_INIT_INFO_tag info{};
        info.pfnFrame = Frame;
        info.nWidth = 320;
        info.nHeight = 240;
        info.bRunInactive = TRUE;
        TQ2DInit(&info, nullptr);
    }
    ~Engine() { TQ2DClose(); }
};

const char* const kInk[] = {"FFFFFF", "000000"};

void BM_MarkedUpTextBox(benchmark::State& state) {
    Engine engine;
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
    Engine engine;
    TQ2DGUIStatic label;
    label.SetSize(200, 20);
    SetTextColor(label.GetGDI().GetHDC(), state.range(0) ? RGB(0, 0, 0) : RGB(255, 255, 255));
    label.SetText("Picked: Jupiter, 150 points");
    for (auto _ : state)
        label.BuildTexture();
}
BENCHMARK(BM_StaticTextRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
