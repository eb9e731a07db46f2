// The frame loop with the test clock: pacing, delta clamping, frames per second; the window
// procedure's input events, Alt+F4 and the exit function.
#include "devicetestsupport.h"

#include "platform/win32/tqplatformtest.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/tqwinmm.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace {

int g_exitCalls = 0;
bool g_exitAnswer = true;

bool ExitFunction() {
    ++g_exitCalls;
    return g_exitAnswer;
}

class DeviceLoopTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_TRUE(Initiate());
        window = reinterpret_cast<HWND>(dev->System_GetState(TQGFX_HWND).nValue);
        g_exitCalls = 0;
        g_exitAnswer = true;
    }

    // Runs frames until the body returns true, collecting the events of every frame.
    std::vector<TQ2D_INPUT_EVENT_tag> EventsOfFrame(int frame, std::function<void()> post) {
        std::vector<TQ2D_INPUT_EVENT_tag> events;
        int count = 0;
        Run([&] {
            ++count;
            if (count == frame - 1)
                post();
            if (count == frame) {
                TQ2D_INPUT_EVENT_tag event;
                while (dev->Input_GetEvent(&event))
                    events.push_back(event);
            }
            return count >= frame;
        });
        return events;
    }

    HWND window = nullptr;
};

} // namespace

TEST_F(DeviceLoopTest, FrameThatEndsAtOnce) {
    int frames = 0;
    EXPECT_TRUE(Run([&] {
        EXPECT_TRUE(dev->IsActive());
        PostMessageA(window, WM_KEYDOWN, 'A', 0);
        return ++frames == 1;
    }));
    EXPECT_EQ(frames, 1);
    EXPECT_FALSE(dev->IsActive());
    TQ2D_INPUT_EVENT_tag event;
    EXPECT_FALSE(dev->Input_GetEvent(&event));
}

TEST_F(DeviceLoopTest, DeltaIsClampedAfterAStall) {
    std::vector<float> deltas;
    Run([&] {
        deltas.push_back(dev->Timer_GetDelta());
        if (deltas.size() == 2)
            tqplat::TestClockAdvance(500);
        return deltas.size() == 3;
    });
    ASSERT_EQ(deltas.size(), 3u);
    EXPECT_FLOAT_EQ(deltas[0], 0.01f);
    EXPECT_FLOAT_EQ(deltas[1], 0.01f);
    EXPECT_FLOAT_EQ(deltas[2], 0.01f);
    EXPECT_FLOAT_EQ(dev->Timer_GetTime(), 0.03f);

    dev->System_SetState(TQGFX_FPS, 50);
    deltas.clear();
    Run(
        [&] {
            deltas.push_back(dev->Timer_GetDelta());
            if (deltas.size() == 1)
                tqplat::TestClockAdvance(500);
            return deltas.size() == 2;
        },
        20);
    ASSERT_EQ(deltas.size(), 2u);
    EXPECT_FLOAT_EQ(deltas[1], 0.02f);
}

// At rates that do not divide a second into whole milliseconds the frames still come n a second:
// their moments are k / n seconds from a start, rounded up to the millisecond. A frame that ends late
// starts the next one at once, on the same grid; the frames per second count exactly n, never more.
// The clock goes back before the first frame (the grid and the count start anew) and wraps around
// 2^32 ms on the way.
TEST_F(DeviceLoopTest, FixedRatesKeepTheirGridAndCountExactly) {
    tqplat::TestClockEnable(true, 0xFFFFE000u);
    for (int rate : {50, 60, 75}) {
        dev->System_SetState(TQGFX_FPS, rate);
        const int interval = 1000 / rate;
        const size_t frames = 4 * rate + 1;
        std::mt19937 random(rate);
        std::vector<DWORD> starts;
        std::vector<int> counted;
        g_frameBody = [&] {
            starts.push_back(timeGetTime());
            counted.push_back(dev->Timer_GetFPS());
            // Work of up to 0.9 interval; every seventh frame takes 1.6 intervals.
            const int work =
                starts.size() % 7 == 0 ? interval * 8 / 5 : static_cast<int>(random() % (interval * 9 / 10));
            tqplat::TestClockAdvance(work);
            return starts.size() == frames;
        };
        dev->System_Start();
        ASSERT_EQ(starts.size(), frames);
        for (size_t i = 1; i < frames; ++i)
            EXPECT_GT(starts[i], starts[i - 1]) << rate << " frame " << i;
        const DWORD threeSeconds = starts[3 * rate] - starts[0];
        EXPECT_NEAR(threeSeconds, 3000.0, 3000.0 / 100) << rate;
        for (size_t i = 0; i < frames; ++i) {
            EXPECT_LE(counted[i], rate) << rate << " frame " << i;
            if (i > 2u * rate) {
                EXPECT_EQ(counted[i], rate) << rate << " frame " << i;
            }
        }
    }
}

// After a stall one frame runs at once and the next waits for its moment: no burst of frames to catch
// up. A stall of more than a second starts the grid anew, and the count shows the empty second.
TEST_F(DeviceLoopTest, AStallRunsOneFrameNotABurst) {
    dev->System_SetState(TQGFX_FPS, 60);
    std::vector<DWORD> starts;
    std::vector<int> counted;
    g_frameBody = [&] {
        starts.push_back(timeGetTime());
        counted.push_back(dev->Timer_GetFPS());
        if (starts.size() == 10)
            tqplat::TestClockAdvance(500);
        if (starts.size() == 80)
            tqplat::TestClockAdvance(3000);
        return starts.size() == 90;
    };
    dev->System_Start();
    ASSERT_EQ(starts.size(), 90u);
    EXPECT_EQ(starts[10] - starts[9], 500u);
    EXPECT_GT(starts[11], starts[10]);
    EXPECT_LE(starts[11] - starts[10], 17u);
    EXPECT_EQ(starts[80] - starts[79], 3000u);
    EXPECT_EQ(starts[81] - starts[80], 17u);
    EXPECT_EQ(counted[80], 0);
    for (size_t i = 1; i < starts.size(); ++i)
        EXPECT_GT(starts[i], starts[i - 1]) << i;
}

// On the real clock of a machine that may be busy: frames can only come late, so the rate is never
// above n (1 % for the first frame's own lateness), and the count never shows more than n.
TEST_F(DeviceLoopTest, FixedRatesOnTheRealClock) {
    tqplat::TestClockEnable(false);
    for (int rate : {50, 60, 75}) {
        dev->System_SetState(TQGFX_FPS, rate);
        const size_t frames = 3 * rate + 1;
        std::vector<std::chrono::steady_clock::time_point> starts;
        int mostCounted = 0;
        g_frameBody = [&] {
            starts.push_back(std::chrono::steady_clock::now());
            mostCounted = std::max(mostCounted, dev->Timer_GetFPS());
            return starts.size() == frames;
        };
        dev->System_Start();
        ASSERT_EQ(starts.size(), frames);
        const double seconds = std::chrono::duration<double>(starts.back() - starts.front()).count();
        const double measured = (frames - 1) / seconds;
        EXPECT_LE(measured, rate * 1.01) << rate;
        EXPECT_GE(measured, rate * 0.5) << rate;
        EXPECT_LE(mostCounted, rate);
    }
}

TEST_F(DeviceLoopTest, FramesPerSecondCountsThePreviousSecond) {
    std::vector<int> fps;
    Run([&] {
        fps.push_back(dev->Timer_GetFPS());
        return fps.size() == 250;
    });
    // Frames 10 ms apart, the first 10 ms after start-up: the first second holds 99 frames; the
    // frame at its end opens the next window, which so holds 100.
    EXPECT_EQ(fps[98], 0);
    EXPECT_EQ(fps[99], 99);
    EXPECT_EQ(fps[198], 99);
    EXPECT_EQ(fps[199], 100);
    EXPECT_EQ(fps[249], 100);
}

TEST_F(DeviceLoopTest, InactiveDeviceSleepsUnlessToldToRun) {
    int frames = 0;
    Run([&] {
        if (++frames == 1) {
            SendMessageA(window, WM_ACTIVATEAPP, 0, 0);
            EXPECT_FALSE(dev->IsActive());
            EXPECT_FALSE(dev->Input_GetKeyState(VK_SHIFT));
            DWORD before = timeGetTime();
            PostMessageA(window, WM_ACTIVATEAPP, 1, 0);
            EXPECT_EQ(timeGetTime(), before);
            return false;
        }
        return true;
    });
    EXPECT_EQ(frames, 2);
}

TEST_F(DeviceLoopTest, AltF4WithRefusingExitFunction) {
    dev->System_SetState(TQGFX_EXITFUNC, ExitFunction);
    g_exitAnswer = false;
    std::vector<TQ2D_INPUT_EVENT_tag> events =
        EventsOfFrame(2, [&] { PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 1 << 29); });
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(g_exitCalls, 1);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(DeviceLoopTest, AltF4WithAcceptingExitFunctionClosesTheWindow) {
    dev->System_SetState(TQGFX_EXITFUNC, ExitFunction);
    int frames = 0;
    EXPECT_TRUE(Run([&] {
        if (++frames == 1)
            PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 1 << 29);
        return frames > 5;
    }));
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(g_exitCalls, 2);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DeviceLoopTest, AltF4WithoutExitFunctionClosesTheWindow) {
    int frames = 0;
    Run([&] {
        if (++frames == 1)
            PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 1 << 29);
        return frames > 5;
    });
    EXPECT_EQ(frames, 1);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DeviceLoopTest, KeyEventsAndTheFrameSummary) {
    int frames = 0;
    std::vector<TQ2D_INPUT_EVENT_tag> events;
    int key = -1, chr = -1, nextKey = -1, nextChr = -1;
    Run([&] {
        ++frames;
        if (frames == 1) {
            PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(12, 7));
            PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
            PostMessageA(window, WM_KEYDOWN, 'A', 0x401E0001);
            PostMessageA(window, WM_KEYUP, 'A', 0xC01E0001);
        } else if (frames == 2) {
            key = dev->Input_GetKey();
            chr = dev->Input_GetChar();
            TQ2D_INPUT_EVENT_tag event;
            while (dev->Input_GetEvent(&event))
                events.push_back(event);
        } else {
            nextKey = dev->Input_GetKey();
            nextChr = dev->Input_GetChar();
        }
        return frames == 3;
    });
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[1].type, TQ2D_INPUT_KEYDOWN);
    EXPECT_EQ(events[1].key, 'A');
    EXPECT_EQ(events[1].flags & TQ2D_INPUTFLAG_REPEAT, 0);
    EXPECT_EQ(events[2].flags & TQ2D_INPUTFLAG_REPEAT, TQ2D_INPUTFLAG_REPEAT);
    EXPECT_EQ(events[3].type, TQ2D_INPUT_KEYUP);
    // Key events carry the last mouse-move position.
    EXPECT_EQ(events[1].x, 12.0f);
    EXPECT_EQ(events[1].y, 7.0f);
    EXPECT_EQ(key, 'A');
    EXPECT_EQ(chr, 'a');
    EXPECT_EQ(events[1].chr, 'a');
    EXPECT_EQ(nextKey, 0);
    EXPECT_EQ(nextChr, 0);
}

TEST_F(DeviceLoopTest, DoubleClickSequence) {
    std::vector<TQ2D_INPUT_EVENT_tag> events = EventsOfFrame(2, [&] {
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
        PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
        PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 6));
        PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
    });
    ASSERT_EQ(events.size(), 4u);
    const int types[] = {TQ2D_INPUT_MBUTTONDOWN, TQ2D_INPUT_MBUTTONUP, TQ2D_INPUT_MBUTTONDOWN,
                         TQ2D_INPUT_MBUTTONUP};
    const int flags[] = {0, 0, TQ2D_INPUTFLAG_REPEAT, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(events[i].type, types[i]);
        EXPECT_EQ(events[i].key, 1);
        EXPECT_EQ(events[i].flags & TQ2D_INPUTFLAG_REPEAT, flags[i]);
        EXPECT_EQ(events[i].x, 5.0f);
    }
    // A button event does not move the stored mouse position.
    float x = -1, y = -1;
    dev->Input_GetMousePos(&x, &y);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
}

TEST_F(DeviceLoopTest, WheelNotchesAtTheClientPosition) {
    POINT screen{20, 10};
    ClientToScreen(window, &screen);
    int wheel = 0;
    std::vector<TQ2D_INPUT_EVENT_tag> events;
    int frames = 0;
    Run([&] {
        if (++frames == 1) {
            LPARAM where = MAKELPARAM(screen.x, screen.y);
            PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), where);
            PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), where);
            PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), where);
            return false;
        }
        wheel = dev->Input_GetMouseWheel();
        TQ2D_INPUT_EVENT_tag event;
        while (dev->Input_GetEvent(&event))
            events.push_back(event);
        return true;
    });
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, TQ2D_INPUT_MOUSEWHEEL);
    EXPECT_EQ(events[0].wheel, 1);
    EXPECT_EQ(events[0].key, 0);
    EXPECT_EQ(events[0].x, 20.0f);
    EXPECT_EQ(events[0].y, 10.0f);
    EXPECT_EQ(events[1].wheel, 2);
    EXPECT_EQ(events[2].wheel, -1);
    EXPECT_EQ(wheel, 2);
}

// A press and release that both come between two frames still read as down for one frame.
TEST_F(DeviceLoopTest, PressShorterThanAFrameReadsDownForOneFrame) {
    std::vector<bool> left, key;
    Run([&] {
        left.push_back(dev->Input_GetKeyState(VK_LBUTTON));
        key.push_back(dev->Input_GetKeyState('A'));
        if (left.size() == 1) {
            PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
            PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
            PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
            PostMessageA(window, WM_KEYUP, 'A', 0xC01E0001);
        }
        return left.size() == 3;
    });
    EXPECT_EQ(left, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(key, (std::vector<bool>{false, true, false}));
}

// Left of or above the window (a button holds the capture) the mouse position is negative.
TEST_F(DeviceLoopTest, MousePositionOutsideTheWindowIsSigned) {
    std::vector<TQ2D_INPUT_EVENT_tag> events = EventsOfFrame(2, [&] {
        PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-22, -5));
        PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(-3, 70));
    });
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].x, -22.0f);
    EXPECT_EQ(events[0].y, -5.0f);
    EXPECT_EQ(events[1].x, -3.0f);
    EXPECT_EQ(events[1].y, 70.0f);
    float x = 0, y = 0;
    dev->Input_GetMousePos(&x, &y);
    EXPECT_EQ(x, -22.0f);
    EXPECT_EQ(y, -5.0f);
}
