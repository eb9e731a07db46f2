// Opens a real window through the SDL backend (run under a virtual X server).
#include "platform/win32/tqwindows.h"
#include "platform/win32/video/tqvideo.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const bool kSdl = setenv("TQ_VIDEO", "sdl", 1) == 0;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

SDL_Window* OnlySdlWindow() {
    for (Uint32 id = 1; id < 64; ++id) {
        if (SDL_Window* native = SDL_GetWindowFromID(id))
            return native;
    }
    return nullptr;
}

void PumpFor(int milliseconds) {
    Uint32 until = SDL_GetTicks() + milliseconds;
    MSG msg;
    while (SDL_GetTicks() < until) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        SDL_Delay(10);
    }
}

TEST(SdlWindow, OpensWithTheClientSizeAndTheTitleAndShowsFrames) {
    ASSERT_TRUE(kSdl);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.lpszClassName = "SdlTestClass";
    ASSERT_NE(0, RegisterClassA(&windowClass));
    int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    // "测试 Window" in GBK.
    HWND window =
        CreateWindowExA(0, "SdlTestClass", "\xb2\xe2\xca\xd4 Window", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40,
                        30, 320 + 2 * frame, 240 + 2 * frame + caption, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    PumpFor(200);

    SDL_Window* native = OnlySdlWindow();
    ASSERT_NE(nullptr, native);
    int width = 0, height = 0;
    SDL_GetWindowSize(native, &width, &height);
    EXPECT_EQ(320, width);
    EXPECT_EQ(240, height);
    EXPECT_EQ(std::string("\xe6\xb5\x8b\xe8\xaf\x95 Window"), SDL_GetWindowTitle(native));
    EXPECT_NE(0u, SDL_GetWindowFlags(native) & SDL_WINDOW_SHOWN);

    // A 2 x 2 frame is scaled to the whole client area.
    std::vector<uint32_t> pixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    tqplat::VideoPresent(window, pixels.data(), 2, 2, 8, false);
    SDL_Surface* surface = SDL_GetWindowSurface(native);
    ASSERT_NE(nullptr, surface);
    SDL_LockSurface(surface);
    auto pixelAt = [&](int x, int y) {
        Uint32 raw =
            *reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * 4);
        Uint8 r, g, b;
        SDL_GetRGB(raw, surface->format, &r, &g, &b);
        return (r << 16) | (g << 8) | b;
    };
    EXPECT_EQ(0xFF0000, pixelAt(0, 0));
    EXPECT_EQ(0x00FF00, pixelAt(319, 0));
    EXPECT_EQ(0xFFFFFF, pixelAt(319, 239));
    SDL_UnlockSurface(surface);

    // A child has no window of its own: its frames land in its rectangle of the parent.
    HWND child = CreateWindowExA(0, "SdlTestClass", "", WS_CHILD | WS_VISIBLE, 100, 50, 20, 10, window,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(native, OnlySdlWindow());
    uint32_t blue = 0xFF0000FF;
    tqplat::VideoPresent(child, &blue, 1, 1, 4, false);
    surface = SDL_GetWindowSurface(native);
    SDL_LockSurface(surface);
    EXPECT_EQ(0x0000FF, pixelAt(100, 50));
    EXPECT_EQ(0x0000FF, pixelAt(119, 59));
    EXPECT_EQ(0xFF0000, pixelAt(99, 55));
    EXPECT_EQ(0xFF0000, pixelAt(120, 60));
    SDL_UnlockSurface(surface);

    // When the window system loses the contents, the kept frames of the window and of its child
    // are shown again.
    SDL_FillRect(surface, nullptr, 0);
    SDL_Event exposed = {};
    exposed.type = SDL_WINDOWEVENT;
    exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
    exposed.window.windowID = SDL_GetWindowID(native);
    SDL_PushEvent(&exposed);
    PumpFor(50);
    surface = SDL_GetWindowSurface(native);
    SDL_LockSurface(surface);
    EXPECT_EQ(0xFF0000, pixelAt(0, 0));
    EXPECT_EQ(0x0000FF, pixelAt(110, 55));
    SDL_UnlockSurface(surface);

    // Changes reach the native window at the next pump, all together.
    SetWindowTextA(window, "Renamed");
    PumpFor(20);
    EXPECT_EQ(std::string("Renamed"), SDL_GetWindowTitle(native));
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, OnlySdlWindow());
    UnregisterClassA("SdlTestClass", nullptr);
}

std::vector<LPARAM> g_moves;

LRESULT CALLBACK RecordMoves(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE)
        g_moves.push_back(lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(SdlWindow, FullScreenKeepsTheClientSizeAndScalesFramesAndTheMouse) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordMoves;
    windowClass.lpszClassName = "SdlFullScreenClass";
    ASSERT_NE(0, RegisterClassA(&windowClass));
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "SdlFullScreenClass", "Full", WS_POPUP | WS_VISIBLE, 0, 0,
                                  320, 240, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    PumpFor(300);
    SDL_Window* native = OnlySdlWindow();
    ASSERT_NE(nullptr, native);
    int width = 0, height = 0;
    SDL_GetWindowSize(native, &width, &height);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), height);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(320, client.right);
    EXPECT_EQ(240, client.bottom);

    std::vector<uint32_t> pixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    tqplat::VideoPresent(window, pixels.data(), 2, 2, 8, false);
    SDL_Surface* surface = SDL_GetWindowSurface(native);
    SDL_LockSurface(surface);
    Uint32 raw = *reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) +
                                            (height - 1) * surface->pitch + (width - 1) * 4);
    Uint8 r, g, b;
    SDL_GetRGB(raw, surface->format, &r, &g, &b);
    EXPECT_EQ(0xFFFFFF, (r << 16) | (g << 8) | b);
    SDL_UnlockSurface(surface);

    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = SDL_GetWindowID(native);
    motion.motion.x = width / 2;
    motion.motion.y = height / 4;
    g_moves.clear();
    SDL_PushEvent(&motion);
    PumpFor(50);
    ASSERT_FALSE(g_moves.empty());
    EXPECT_EQ(MAKELPARAM(160, 60), g_moves.back());

    // Moving the cursor to a client point puts it where that point is shown.
    ASSERT_TRUE(SetCursorPos(80, 180));
    int mouseX = 0, mouseY = 0;
    SDL_GetGlobalMouseState(&mouseX, &mouseY);
    EXPECT_EQ(width / 4, mouseX);
    EXPECT_EQ(height * 3 / 4, mouseY);
    DestroyWindow(window);
    UnregisterClassA("SdlFullScreenClass", nullptr);
}

} // namespace
