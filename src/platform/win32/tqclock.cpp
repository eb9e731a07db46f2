// The millisecond clock (timeGetTime, GetTickCount), sleeping, precise sleeping until a moment of
// that clock, and the test clock that replaces both for tests.
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqpacing.h"
#include "platform/win32/tqplatformtest.h"
#include "platform/win32/tqwinmm.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <sys/prctl.h>
#include <time.h>

namespace {

using SteadyClock = std::chrono::steady_clock;

std::atomic<bool> g_testClock{false};
std::atomic<uint32_t> g_testNow{0};

// The real clock is the monotonic clock (steady_clock) in whole milliseconds.
DWORD RealMilliseconds() {
    auto now = SteadyClock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// Moves the test clock on to `due` unless it is there already (it may be advanced meanwhile).
void TestClockMoveTo(DWORD due) {
    uint32_t now = g_testNow.load();
    while (static_cast<int32_t>(due - now) > 0 && !g_testNow.compare_exchange_weak(now, due)) {
    }
}

// Sleeps on the monotonic clock until an absolute instant, however often a signal interrupts.
// The thread's timer slack goes down to a microsecond first: by default the system may add 50 us
// to every sleep of the thread, which the spin after it would have to cover.
void SleepUntilInstant(SteadyClock::time_point instant) {
    thread_local const bool preciseTimers = prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0) == 0;
    (void)preciseTimers;
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::nanoseconds>(instant.time_since_epoch());
    timespec until{};
    until.tv_sec = static_cast<time_t>(sinceEpoch.count() / 1000000000);
    until.tv_nsec = static_cast<long>(sinceEpoch.count() % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

DWORD Now() {
    return g_testClock ? g_testNow.load() : RealMilliseconds();
}

// One round of a busy wait: tells the processor the thread is spinning, which spares power and
// the core's other hardware thread.
inline void PauseInSpin() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    __asm__ __volatile__("yield");
#endif
}

} // namespace

namespace tqplat {

void TestClockEnable(bool enable, DWORD start) {
    g_testNow = start;
    g_testClock = enable;
}

void TestClockAdvance(DWORD milliseconds) {
    g_testNow += milliseconds;
}

bool TestClockEnabled() {
    return g_testClock;
}

std::chrono::steady_clock::time_point InstantOfTime(DWORD time) {
    const auto now =
        std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now().time_since_epoch());
    const int32_t ahead = static_cast<int32_t>(time - static_cast<DWORD>(now.count()));
    return SteadyClock::time_point(now + std::chrono::milliseconds(ahead));
}

void SleepUntilTime(DWORD due) {
    if (g_testClock) {
        TestClockMoveTo(due);
        return;
    }
    const SteadyClock::time_point instant = InstantOfTime(due);
    if (instant - SteadyClock::now() > kPacingSpin)
        SleepUntilInstant(instant - kPacingSpin);
    while (SteadyClock::now() < instant)
        PauseInSpin();
}

} // namespace tqplat

DWORD timeGetTime() {
    return Now();
}

DWORD GetTickCount() {
    return Now();
}

UINT timeBeginPeriod(UINT period) {
    return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

UINT timeEndPeriod(UINT period) {
    return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

void Sleep(DWORD milliseconds) {
    if (g_testClock) {
        tqplat::TestClockAdvance(milliseconds);
        return;
    }
    if (milliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD SleepEx(DWORD milliseconds, BOOL) {
    Sleep(milliseconds);
    return 0;
}
