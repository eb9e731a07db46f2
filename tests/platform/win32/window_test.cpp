#include "windowtestfixture.h"

#include "platform/win32/tqplatformtest.h"
#include "platform/win32/video/tqvideo.h"

#include <string>
#include <vector>

namespace {

using Windows = WindowTest;

TEST_F(Windows, RectanglesFollowTheFrameOfTheStyle) {
    int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    window = Create(WS_POPUP | WS_CAPTION | WS_VISIBLE, 640 + 2 * frame, 480 + 2 * frame + caption);
    RECT client, outer;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(640, client.right);
    EXPECT_EQ(480, client.bottom);
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(10, outer.left);
    EXPECT_EQ(20, outer.top);
    POINT point = {1, 2};
    ClientToScreen(window, &point);
    EXPECT_EQ(10 + frame + 1, point.x);
    EXPECT_EQ(20 + frame + caption + 2, point.y);
    ScreenToClient(window, &point);
    EXPECT_EQ(1, point.x);

    HWND child = Create(WS_CHILD | WS_VISIBLE, 100, 50, window);
    GetWindowRect(child, &outer);
    EXPECT_EQ(10 + frame + 10, outer.left);
    ShowWindow(window, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
}

TEST_F(Windows, PositionStyleAndTitleChanges) {
    window = Create(WS_POPUP | WS_CAPTION);
    EXPECT_FALSE(ShowWindow(window, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(window, GetForegroundWindow());
    EXPECT_EQ(window, GetFocus());

    s_recorded.clear();
    ASSERT_TRUE(SetWindowPos(window, HWND_TOPMOST, 0, 0, 300, 200, SWP_FRAMECHANGED));
    EXPECT_NE(0, GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_EQ(1u, Only({WM_SIZE}).size());
    SetWindowPos(window, HWND_NOTOPMOST, 5, 5, 0, 0, SWP_NOSIZE);
    EXPECT_EQ(0, GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(1u, Only({WM_SIZE}).size()); // same size: no new message

    SetWindowLongA(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(static_cast<LONG_PTR>(WS_POPUP | WS_VISIBLE), GetWindowLongA(window, GWL_STYLE));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(300, client.right); // no frame any more
    EXPECT_EQ(0, GetWindowLongA(window, 12345));

    std::string longTitle(5000, 'x');
    EXPECT_TRUE(SetWindowTextA(window, longTitle.c_str()));
    EXPECT_FALSE(SetWindowTextA(reinterpret_cast<HWND>(0x42), "x"));

    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "GameIcon");
    EXPECT_EQ(icon, LoadIconA(GetModuleHandleA(nullptr), "GameIcon"));
    EXPECT_EQ(0u, SetClassLongA(window, GCL_HICON, reinterpret_cast<LONG_PTR>(icon)));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(icon), SetClassLongA(window, GCL_HICON, 0));
    EXPECT_NE(nullptr, GetStockObject(BLACK_BRUSH));
}

TEST_F(Windows, DefaultCursorHandlingShowsTheClassCursor) {
    window = Create(WS_POPUP | WS_VISIBLE);
    SetCursor(nullptr);
    EXPECT_EQ(TRUE,
              SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, 0)));
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), SetCursor(nullptr));
    EXPECT_EQ(-1, ShowCursor(FALSE));
    EXPECT_EQ(0, ShowCursor(TRUE));
}

TEST_F(Windows, PresentedFramesAreKeptPerWindowAndForgottenWithIt) {
    window = Create(WS_POPUP | WS_VISIBLE, 4, 2);
    std::vector<uint32_t> pixels = {1, 2, 3, 4, 0xFF, 5, 6, 7, 8, 0xFF};
    tqplat::VideoPresent(window, pixels.data(), 4, 2, 5 * 4, false);
    std::vector<uint32_t> kept;
    int width = 0, height = 0;
    ASSERT_TRUE(tqplat::VideoLastFrame(window, &kept, &width, &height));
    EXPECT_EQ(4, width);
    EXPECT_EQ(2, height);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7, 8}), kept);
    uint32_t pixel = 0;
    EXPECT_TRUE(tqplat::VideoLastFramePixel(window, 1, 1, &pixel));
    EXPECT_EQ(6u, pixel);
    EXPECT_FALSE(tqplat::VideoLastFramePixel(window, 4, 0, &pixel));
    EXPECT_FALSE(tqplat::VideoLastFramePixel(window, 0, -1, &pixel));

    tqplat::VideoPresent(window, pixels.data(), 4, 2, 3 * 4, false); // pitch too small: refused
    tqplat::VideoPresent(window, nullptr, 4, 2, 16, false);
    tqplat::VideoPresent(window, pixels.data(), 100000, 1, 400000, false);
    ASSERT_TRUE(tqplat::VideoLastFrame(window, &kept, &width, &height));
    EXPECT_EQ(4, width);

    // Filled by the caller, then shown; a size out of range is refused.
    EXPECT_EQ(nullptr, tqplat::VideoFrameToKeep(window, 0, 1));
    uint32_t* filled = tqplat::VideoFrameToKeep(window, 2, 1);
    ASSERT_NE(nullptr, filled);
    filled[0] = 9;
    filled[1] = 10;
    tqplat::VideoPresentKept(window, false);
    ASSERT_TRUE(tqplat::VideoLastFrame(window, &kept, &width, &height));
    EXPECT_EQ((std::vector<uint32_t>{9, 10}), kept);

    DestroyWindow(window);
    EXPECT_FALSE(tqplat::VideoLastFrame(window, &kept, &width, &height));
    EXPECT_FALSE(tqplat::VideoLastFramePixel(window, 0, 0, &pixel));
}

TEST(ToAscii, FollowsShiftCapsLockAndControl) {
    BYTE keys[256] = {};
    WORD character = 0;
    auto of = [&](UINT key) { return ToAscii(key, 0, keys, &character, 0) == 1 ? character : 0; };
    EXPECT_EQ('a', of('A'));
    EXPECT_EQ('1', of('1'));
    EXPECT_EQ('\r', of(VK_RETURN));
    EXPECT_EQ(0, of(VK_F1));
    EXPECT_EQ(0, of(VK_SHIFT));
    keys[VK_SHIFT] = 0x80;
    EXPECT_EQ('A', of('A'));
    EXPECT_EQ('!', of('1'));
    EXPECT_EQ('?', of(VK_OEM_2));
    keys[VK_CAPITAL] = 0x01;
    EXPECT_EQ('a', of('A'));
    keys[VK_SHIFT] = 0;
    EXPECT_EQ('A', of('A'));
    keys[VK_CONTROL] = 0x80;
    EXPECT_EQ(3, of('C'));
    keys[VK_MENU] = 0x80; // Ctrl+Alt gives nothing
    EXPECT_EQ(0, of('C'));
    EXPECT_EQ(0, ToAscii('A', 0x8000, keys, &character, 0)); // release
    EXPECT_EQ(0, ToAscii('A', 0, nullptr, &character, 0));
}

TEST(TestClock, DrivesTimeGetTimeAndSleepAcrossTheWrap) {
    tqplat::TestClockEnable(true, 0xFFFFFFF0u);
    DWORD start = timeGetTime();
    EXPECT_EQ(0xFFFFFFF0u, start);
    Sleep(20);
    SleepEx(5, TRUE);
    DWORD now = timeGetTime();
    EXPECT_EQ(9u, now);
    EXPECT_EQ(25u, now - start);
    EXPECT_EQ(now, GetTickCount());
    tqplat::TestClockEnable(false);
    DWORD real = timeGetTime();
    Sleep(2);
    EXPECT_GE(timeGetTime() - real, 2u);
    EXPECT_EQ(static_cast<UINT>(TIMERR_NOERROR), timeBeginPeriod(1));
    EXPECT_EQ(static_cast<UINT>(TIMERR_NOERROR), timeEndPeriod(1));
}

} // namespace
