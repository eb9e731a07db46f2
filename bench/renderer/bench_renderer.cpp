// The renderer's sprite scene (spritescene.h) through the engine's public path on the headless
// display, beside SDL2's software renderer and, for `plain`, a plain C blend loop with the same
// arithmetic. Each case prints frames per second, Mpix/s (sprites x sprite area x frames per
// second), the cores used (process CPU time over wall time) and the ratios to SDL2 and to the C
// loop of the same run. The engine's plain frame is checked against the C loop's pixel for pixel.
//
// Usage: bench_renderer [--case plain|rot] [--n N[,N...]] [--seconds S] [--engine-only]
// Defaults: both cases, N = 1000,5000,20000, 2 seconds per path. TQ_RENDER_THREADS applies to the
// engine as everywhere.
#include "blendloop.h"
#include "enginescene.h"
#include "frametimer.h"
#include "sdlscene.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

using namespace bench;

struct Options {
    bool plain = true, rot = true;
    std::vector<int> counts = {1000, 5000, 20000};
    double seconds = 2.0;
    bool engineOnly = false;
};

[[noreturn]] void Usage() {
    std::fprintf(stderr,
                 "usage: bench_renderer [--case plain|rot] [--n N[,N...]] [--seconds S] [--engine-only]\n");
    std::exit(2);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--engine-only") {
            options.engineOnly = true;
        } else if (arg == "--case" && value) {
            options.plain = std::strcmp(value, "plain") == 0;
            options.rot = std::strcmp(value, "rot") == 0;
            if (!options.plain && !options.rot)
                Usage();
            ++i;
        } else if (arg == "--n" && value) {
            options.counts.clear();
            std::istringstream list(value);
            for (std::string item; std::getline(list, item, ',');)
                if (std::atoi(item.c_str()) > 0)
                    options.counts.push_back(std::atoi(item.c_str()));
            if (options.counts.empty())
                Usage();
            ++i;
        } else if (arg == "--seconds" && value) {
            options.seconds = std::atof(value);
            ++i;
        } else {
            Usage();
        }
    }
    return options;
}

void PrintRow(SceneKind kind, int count, const char* path, const Timing& timing, double sdlFps,
              double loopFps) {
    const double mpix = timing.framesPerSecond * count * SpriteArea(kind) / 1e6;
    std::printf("%-5s %6d  %-7s %9.1f %9.1f %6.2f", SceneName(kind), count, path, timing.framesPerSecond,
                mpix, timing.coresUsed);
    if (sdlFps > 0)
        std::printf("  %7.2fx", timing.framesPerSecond / sdlFps);
    else
        std::printf("  %8s", "-");
    if (loopFps > 0)
        std::printf("  %7.2fx", timing.framesPerSecond / loopFps);
    std::printf("\n");
    std::fflush(stdout);
}

// The engine's presented frame against the C loop's, both drawn once more.
bool FramesEqual(EngineScene& engine, BlendLoop& loop) {
    engine.Frame();
    loop.Frame();
    const std::vector<uint32_t>& presented = engine.Presented();
    const std::vector<uint32_t>& expected = loop.Pixels();
    if (presented.size() != expected.size()) {
        std::printf("      engine frame has %zu pixels, C loop %zu\n", presented.size(), expected.size());
        return false;
    }
    for (size_t i = 0; i < expected.size(); ++i)
        if (presented[i] != expected[i]) {
            std::printf("      first difference at (%zu, %zu): engine %08x, C loop %08x\n", i % kFrameWidth,
                        i / kFrameWidth, presented[i], expected[i]);
            return false;
        }
    return true;
}

bool RunCase(SceneKind kind, int count, const Options& options, EngineScene& engine, SdlScene& sdl,
             BlendLoop& loop) {
    const std::vector<Placement> placements = Placements(kind, count);
    engine.Use(kind, placements);
    const Timing engineTiming = TimeFrames([&engine] { return engine.Frame(); }, options.seconds);
    Timing sdlTiming{0, 0}, loopTiming{0, 0};
    const bool withLoop = kind == SceneKind::kPlain && !options.engineOnly;
    if (!options.engineOnly) {
        sdl.Use(kind, placements);
        sdlTiming = TimeFrames([&sdl] { return sdl.Frame(); }, options.seconds);
    }
    if (withLoop) {
        loop.Use(placements);
        loopTiming = TimeFrames([&loop] { return loop.Frame(); }, options.seconds);
    }
    PrintRow(kind, count, "engine", engineTiming, sdlTiming.framesPerSecond, loopTiming.framesPerSecond);
    if (!options.engineOnly)
        PrintRow(kind, count, "SDL2", sdlTiming, 0, loopTiming.framesPerSecond);
    if (withLoop)
        PrintRow(kind, count, "C loop", loopTiming, sdlTiming.framesPerSecond, 0);
    if (kind != SceneKind::kPlain)
        return true;
    if (!withLoop)
        loop.Use(placements);
    const bool equal = FramesEqual(engine, loop);
    std::printf("      engine frame %s the C loop's\n", equal ? "equals" : "DIFFERS FROM");
    return equal;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    const char* threads = std::getenv("TQ_RENDER_THREADS");
    std::printf("%dx%d X8R8G8B8, %dx%d soft disc, default alpha blending; %ld cores online, load %.2f %.2f "
                "%.2f, TQ_RENDER_THREADS=%s\n",
                kFrameWidth, kFrameHeight, kDisc, kDisc, sysconf(_SC_NPROCESSORS_ONLN), load[0], load[1],
                load[2], threads ? threads : "(unset)");
    std::printf("case       N  path     frames/s    Mpix/s  cores   x SDL2  x C loop\n");
    EngineScene engine;
    SdlScene sdl;
    BlendLoop loop;
    bool allEqual = true;
    for (SceneKind kind : {SceneKind::kPlain, SceneKind::kRot}) {
        if ((kind == SceneKind::kPlain && !options.plain) || (kind == SceneKind::kRot && !options.rot))
            continue;
        for (int count : options.counts)
            allEqual = RunCase(kind, count, options, engine, sdl, loop) && allEqual;
    }
    return allEqual ? 0 : 1;
}
