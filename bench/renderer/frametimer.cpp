#include "frametimer.h"

#include <chrono>
#include <ctime>

namespace bench {

namespace {

constexpr int kWarmUpFrames = 10;

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace

Timing TimeFrames(const std::function<uint32_t()>& frame, double seconds) {
    static volatile uint32_t sink = 0;
    for (int i = 0; i < kWarmUpFrames; ++i)
        sink = sink + frame();
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ProcessCpuSeconds();
    int frames = 0;
    double wall = 0;
    do {
        sink = sink + frame();
        ++frames;
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } while (wall < seconds);
    return Timing{frames / wall, (ProcessCpuSeconds() - cpuStart) / wall};
}

} // namespace bench
