// The renderer's sprite scene (spritescene.h) through the engine's public path on the headless
// display, beside SDL2's software renderer and, for `plain`, a plain C blend loop with the same
// arithmetic, built for any x86-64 (`C loop`) and, where the compiler accepts it, for this machine
// (`C native`, -O2 -march=native). Each case prints frames per second, Mpix/s (sprites x sprite
// area x frames per second), the cores used (process CPU time over wall time), Mpix per CPU
// second (Mpix/s over cores: what the CPU time given did, less disturbed by other load) and the
// ratios to
// SDL2 and to both C loops of the same run. The engine's plain frame is checked against each C
// loop's pixel for pixel.
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

// Frames per second of the paths a row is compared with; 0 where a path did not run.
struct Baselines {
    double sdl = 0, loop = 0, native = 0;
};

void PrintRatio(double fps, double baseline) {
    if (baseline > 0)
        std::printf("  %7.2fx", fps / baseline);
    else
        std::printf("  %8s", "-");
}

void PrintRow(SceneKind kind, int count, const char* path, const Timing& timing, const Baselines& baselines) {
    const double mpix = timing.framesPerSecond * count * SpriteArea(kind) / 1e6;
    std::printf("%-5s %6d  %-8s %9.1f %9.1f %6.2f %9.1f", SceneName(kind), count, path,
                timing.framesPerSecond, mpix, timing.coresUsed,
                timing.coresUsed > 0 ? mpix / timing.coresUsed : 0.0);
    PrintRatio(timing.framesPerSecond, baselines.sdl);
    PrintRatio(timing.framesPerSecond, baselines.loop);
    PrintRatio(timing.framesPerSecond, baselines.native);
    std::printf("\n");
    std::fflush(stdout);
}

// The engine's presented frame against a C loop's, both drawn once more.
bool FramesEqual(EngineScene& engine, BlendLoop& loop, const char* name) {
    engine.Frame();
    loop.Frame();
    const std::vector<uint32_t>& presented = engine.Presented();
    const std::vector<uint32_t>& expected = loop.Pixels();
    bool equal = presented.size() == expected.size();
    size_t i = 0;
    while (equal && i < expected.size() && presented[i] == expected[i])
        ++i;
    equal = equal && i == expected.size();
    std::printf("      engine frame %s the %s's", equal ? "equals" : "DIFFERS FROM", name);
    if (presented.size() != expected.size())
        std::printf(": %zu pixels against %zu", presented.size(), expected.size());
    else if (!equal)
        std::printf(": first at (%zu, %zu), engine %08x, %s %08x", i % kFrameWidth, i / kFrameWidth,
                    presented[i], name, expected[i]);
    std::printf("\n");
    return equal;
}

// The C loops of this build: the generic one, then the native one where it was built.
struct Loops {
    BlendLoop generic{generic::BlendFrame};
#ifdef BENCH_NATIVE_LOOP
    BlendLoop native{native::BlendFrame};
    static constexpr bool kHasNative = true;
#else
    BlendLoop& native = generic;
    static constexpr bool kHasNative = false;
#endif
};

bool RunCase(SceneKind kind, int count, const Options& options, EngineScene& engine, SdlScene& sdl,
             Loops& loops) {
    const std::vector<Placement> placements = Placements(kind, count);
    engine.Use(kind, placements);
    const Timing engineTiming = TimeFrames([&engine] { return engine.Frame(); }, options.seconds);
    Timing sdlTiming{0, 0}, loopTiming{0, 0}, nativeTiming{0, 0};
    const bool plain = kind == SceneKind::kPlain;
    const bool withLoops = plain && !options.engineOnly;
    if (!options.engineOnly) {
        sdl.Use(kind, placements);
        sdlTiming = TimeFrames([&sdl] { return sdl.Frame(); }, options.seconds);
    }
    if (plain) {
        loops.generic.Use(placements);
        loops.native.Use(placements);
    }
    if (withLoops) {
        loopTiming = TimeFrames([&loops] { return loops.generic.Frame(); }, options.seconds);
        if (Loops::kHasNative)
            nativeTiming = TimeFrames([&loops] { return loops.native.Frame(); }, options.seconds);
    }
    const Baselines baselines{sdlTiming.framesPerSecond, loopTiming.framesPerSecond,
                              nativeTiming.framesPerSecond};
    PrintRow(kind, count, "engine", engineTiming, baselines);
    if (!options.engineOnly)
        PrintRow(kind, count, "SDL2", sdlTiming, Baselines{0, baselines.loop, baselines.native});
    if (withLoops)
        PrintRow(kind, count, "C loop", loopTiming, Baselines{baselines.sdl, 0, baselines.native});
    if (withLoops && Loops::kHasNative)
        PrintRow(kind, count, "C native", nativeTiming, Baselines{baselines.sdl, baselines.loop, 0});
    if (!plain)
        return true;
    bool equal = FramesEqual(engine, loops.generic, "C loop");
    if (Loops::kHasNative)
        equal = FramesEqual(engine, loops.native, "C native") && equal;
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
    std::printf("case       N  path      frames/s    Mpix/s  cores  Mpix/cpu   x SDL2  x C loop  x native\n");
    EngineScene engine;
    SdlScene sdl;
    Loops loops;
    bool allEqual = true;
    for (SceneKind kind : {SceneKind::kPlain, SceneKind::kRot}) {
        if ((kind == SceneKind::kPlain && !options.plain) || (kind == SceneKind::kRot && !options.rot))
            continue;
        for (int count : options.counts)
            allEqual = RunCase(kind, count, options, engine, sdl, loops) && allEqual;
    }
    return allEqual ? 0 : 1;
}
