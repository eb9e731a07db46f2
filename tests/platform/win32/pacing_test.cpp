// Waiting for a moment of the millisecond clock, and for the next message without polling.
#include "windowtestfixture.h"

#include "platform/win32/tqpacing.h"
#include "platform/win32/tqplatformtest.h"

#include <chrono>
#include <thread>

namespace {

using Pacing = WindowTest;

int32_t Past(DWORD due) {
    return static_cast<int32_t>(timeGetTime() - due);
}

TEST_F(Pacing, WaitsEndOnTheClocksMomentNeverBefore) {
    for (DWORD ahead : {0u, 1u, 2u, 7u, 17u}) {
        const DWORD due = timeGetTime() + ahead;
        tqplat::SleepUntilTime(due);
        EXPECT_GE(Past(due), 0) << ahead;
        const DWORD messageDue = timeGetTime() + ahead;
        EXPECT_FALSE(tqplat::WaitMessageUntilTime(messageDue));
        EXPECT_GE(Past(messageDue), 0) << ahead;
    }
    const DWORD before = timeGetTime();
    EXPECT_FALSE(tqplat::WaitMessage(3));
    EXPECT_GE(timeGetTime() - before, 3u);
}

TEST_F(Pacing, AMessageFromAnotherThreadEndsTheWait) {
    window = Create(WS_POPUP);
    const DWORD start = timeGetTime();
    std::thread poster([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PostMessageA(window, WM_USER, 7, 0);
    });
    const bool woken = tqplat::WaitMessageUntilTime(start + 60000);
    poster.join();
    EXPECT_TRUE(woken);
    EXPECT_LT(timeGetTime() - start, 30000u);
    // A message still waiting ends every wait at once.
    EXPECT_TRUE(tqplat::WaitMessage(60000));
    EXPECT_TRUE(tqplat::WaitMessageUntilTime(timeGetTime() + 60000));
    Pump();
    EXPECT_EQ(1u, Ids({WM_USER}).size());
}

TEST_F(Pacing, TheTestClockMovesOnInsteadOfWaiting) {
    tqplat::TestClockEnable(true, 0xFFFFFFF0u);
    tqplat::SleepUntilTime(0x10);
    EXPECT_EQ(0x10u, timeGetTime());
    tqplat::SleepUntilTime(0x08); // already passed: the clock stays
    EXPECT_EQ(0x10u, timeGetTime());
    EXPECT_FALSE(tqplat::WaitMessageUntilTime(0x30));
    EXPECT_EQ(0x30u, timeGetTime());
    EXPECT_FALSE(tqplat::WaitMessage(80));
    EXPECT_EQ(0x80u, timeGetTime());
    window = Create(WS_POPUP);
    PostMessageA(window, WM_USER, 0, 0);
    EXPECT_TRUE(tqplat::WaitMessageUntilTime(0x100));
    EXPECT_TRUE(tqplat::WaitMessage(80));
    EXPECT_EQ(0x80u, timeGetTime());
    tqplat::TestClockEnable(false);
}

} // namespace
