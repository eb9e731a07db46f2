// The millisecond clock (timeGetTime, GetTickCount), sleeping, and the test clock that replaces
// both for tests.
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqplatformtest.h"
#include "platform/win32/tqwinmm.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<bool> g_testClock{false};
std::atomic<uint32_t> g_testNow{0};

DWORD RealMilliseconds() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

DWORD Now() {
    return g_testClock ? g_testNow.load() : RealMilliseconds();
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
