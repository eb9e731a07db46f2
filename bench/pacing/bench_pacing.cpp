// What a game paced to a fixed frame rate costs while it waits for its frames: a 320 x 240 game on
// the headless display (unless TQ_VIDEO says otherwise), run through TQ2DInit and TQ2DLoop, first drawing 50
// sprites a frame, then drawing nothing, then inactive and paused (not running while inactive) until another
// thread gives the focus back. For each phase it prints the cores used (process CPU time over wall time,
// render threads included), the main thread's share of that, voluntary context switches a second
// (about the number of sleeps), and the frame intervals the game saw: mean, standard deviation,
// smallest and largest, how many were more than 1 ms off 1 / N s, the frames a second they make, and the
// highest frame count TQ2DGetFPS showed.
//
// Usage: bench_pacing [--seconds S] [--fps N]   (defaults: 5 seconds a phase, 60 frames a second)
#include "engine/tq2dapi.h"
#include "engine/tq2dsprite.h"
#include "engine/tq2dtexture.h"
#include "platform/win32/tquser32.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kSprites = 50;
constexpr int kDisc = 32;
constexpr int kWarmUpFrames = 30;
constexpr DWORD kBackground = 0xFF203040;

struct Options {
    double seconds = 5.0;
    int fps = 60;
};

// Process CPU, main-thread CPU, voluntary context switches and wall time at one moment.
struct Sample {
    Clock::time_point wall;
    double processCpu = 0;
    double threadCpu = 0;
    long switches = 0;
};

double CpuSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Sample TakeSample() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return Sample{Clock::now(), CpuSeconds(CLOCK_PROCESS_CPUTIME_ID), CpuSeconds(CLOCK_THREAD_CPUTIME_ID),
                  usage.ru_nvcsw};
}

enum class Phase { kWarmUp, kSprites, kNothing, kPaused, kDone };

class PacedGame {
public:
    explicit PacedGame(const Options& options) : m_options(options) {}

    bool Start();
    // The frame function: draws, moves through the phases, prints each phase's figures.
    bool Frame();
    void Stop();

private:
    void DrawSprites();
    void Begin(Phase phase);
    void Report(const char* name, const Sample& end) const;
    void Pause();
    double Elapsed() const { return std::chrono::duration<double>(Clock::now() - m_begin.wall).count(); }

    Options m_options;
    TQ2DTexture m_texture;
    std::unique_ptr<TQ2DSprite> m_sprite;
    Phase m_phase = Phase::kWarmUp;
    int m_frames = 0;
    Sample m_begin;
    std::vector<Clock::time_point> m_starts;
    int m_mostCounted = 0; // the highest TQ2DGetFPS of the phase
    std::thread m_waker;
};

bool PacedGame::Start() {
    if (!m_texture.Create(kDisc, kDisc))
        return false;
    DWORD* pixels = m_texture.Lock(false);
    if (!pixels)
        return false;
    for (int y = 0; y < kDisc; ++y)
        for (int x = 0; x < kDisc; ++x) {
            const int dx = 2 * x - kDisc + 1, dy = 2 * y - kDisc + 1;
            const int alpha = std::max(0, 255 - (dx * dx + dy * dy) * 255 / (kDisc * kDisc));
            pixels[y * m_texture.GetWidth() + x] = static_cast<DWORD>(alpha) << 24 | 0xFFC060;
        }
    m_texture.UnLock();
    m_sprite.reset(new TQ2DSprite(m_texture, 0, 0, kDisc, kDisc));
    return true;
}

void PacedGame::Stop() {
    if (m_waker.joinable())
        m_waker.join();
    m_sprite.reset();
    m_texture.Delete();
}

void PacedGame::DrawSprites() {
    if (!TQ2DGfx_BeginScene(0))
        return;
    TQ2DGfx_Clear(kBackground);
    for (int i = 0; i < kSprites; ++i) {
        const float x = static_cast<float>((i * 53 + m_frames) % (kWidth - kDisc));
        const float y = static_cast<float>((i * 37) % (kHeight - kDisc));
        m_sprite->Render(x, y);
    }
    TQ2DGfx_EndScene();
}

void PacedGame::Begin(Phase phase) {
    m_phase = phase;
    m_starts.clear();
    m_mostCounted = 0;
    m_begin = TakeSample();
}

void PacedGame::Report(const char* name, const Sample& end) const {
    const double wall = std::chrono::duration<double>(end.wall - m_begin.wall).count();
    std::printf("%-14s %6.2f%% %6.2f%% %8.0f", name, 100 * (end.processCpu - m_begin.processCpu) / wall,
                100 * (end.threadCpu - m_begin.threadCpu) / wall, (end.switches - m_begin.switches) / wall);
    std::vector<double> intervals;
    for (size_t i = 1; i < m_starts.size(); ++i)
        intervals.push_back(std::chrono::duration<double, std::milli>(m_starts[i] - m_starts[i - 1]).count());
    if (intervals.empty()) {
        std::printf("\n");
        return;
    }
    double sum = 0, squares = 0;
    for (double interval : intervals)
        sum += interval;
    const double mean = sum / intervals.size();
    for (double interval : intervals)
        squares += (interval - mean) * (interval - mean);
    const double target = 1000.0 / m_options.fps;
    const long off = std::count_if(intervals.begin(), intervals.end(),
                                   [target](double interval) { return std::fabs(interval - target) > 1.0; });
    std::printf("  %7.3f %6.3f %7.3f %7.3f  %5ld of %zu %8.3f %5d\n", mean,
                std::sqrt(squares / intervals.size()), *std::min_element(intervals.begin(), intervals.end()),
                *std::max_element(intervals.begin(), intervals.end()), off, intervals.size(), 1000.0 / mean,
                m_mostCounted);
    std::fflush(stdout);
}

// Loses the focus with running while inactive switched off; another thread gives it back later.
void PacedGame::Pause() {
    TQGfxDevice* device = TQGfxCreate(16);
    device->System_SetState(TQGFX_DONTSUSPEND, false);
    device->Release();
    HWND window = TQ2DGetMsgWnd();
    SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    const auto wait = std::chrono::duration<double>(m_options.seconds);
    m_waker = std::thread([window, wait] {
        std::this_thread::sleep_for(wait);
        PostMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
    });
}

bool PacedGame::Frame() {
    m_starts.push_back(Clock::now());
    m_mostCounted = std::max(m_mostCounted, TQ2DGetFPS());
    ++m_frames;
    switch (m_phase) {
    case Phase::kWarmUp:
        DrawSprites();
        if (m_frames == kWarmUpFrames)
            Begin(Phase::kSprites);
        return false;
    case Phase::kSprites:
        if (Elapsed() >= m_options.seconds) {
            Report("50 sprites", TakeSample());
            Begin(Phase::kNothing);
            return false;
        }
        DrawSprites();
        return false;
    case Phase::kNothing:
        if (Elapsed() < m_options.seconds)
            return false;
        Report("nothing drawn", TakeSample());
        Begin(Phase::kPaused);
        Pause();
        return false;
    case Phase::kPaused:
        m_starts.clear();
        Report("paused", TakeSample());
        m_phase = Phase::kDone;
        return true;
    case Phase::kDone:
        break;
    }
    return true;
}

PacedGame* g_game = nullptr;

bool FrameFunction() {
    return g_game->Frame();
}

[[noreturn]] void Usage() {
    std::fprintf(stderr, "usage: bench_pacing [--seconds S] [--fps N]\n");
    std::exit(2);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--seconds")
            options.seconds = std::atof(argv[i + 1]);
        else if (arg == "--fps")
            options.fps = std::atoi(argv[i + 1]);
        else
            Usage();
    }
    if (argc % 2 == 0 || options.seconds <= 0 || options.fps <= 0)
        Usage();
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    setenv("TQ_VIDEO", "headless", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    const char* threads = std::getenv("TQ_RENDER_THREADS");
    std::printf("%dx%d at %d frames/s (interval %.3f ms), %.0f s a phase; %ld cores online, load %.2f %.2f "
                "%.2f, TQ_RENDER_THREADS=%s\n",
                kWidth, kHeight, options.fps, 1000.0 / options.fps, options.seconds,
                sysconf(_SC_NPROCESSORS_ONLN), load[0], load[1], load[2], threads ? threads : "(unset)");
    std::printf("phase            cores    main sleeps/s     mean     sd     min     max  >1 ms off   "
                "frames/s  most TQ2DGetFPS (intervals in ms)\n");
    TQ2D_INIT_INFO_tag info{};
    info.pfnFrame = FrameFunction;
    info.nWidth = kWidth;
    info.nHeight = kHeight;
    info.byBPP = 32;
    info.bRunInactive = TRUE;
    info.nFPS = options.fps;
    if (!TQ2DInit(&info, nullptr)) {
        std::fprintf(stderr, "the engine did not start\n");
        return 1;
    }
    PacedGame game(options);
    g_game = &game;
    const bool started = game.Start();
    if (started)
        TQ2DLoop();
    game.Stop();
    TQ2DClose();
    return started ? 0 : 1;
}
