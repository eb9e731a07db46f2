// Waiting for the next message with a real window: an event of the display ends the wait.
#include "platform/win32/tqpacing.h"
#include "platform/win32/tqwindows.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace {

const bool kSdl = setenv("TQ_VIDEO", "sdl", 1) == 0;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void Drain() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

TEST(SdlWait, ADisplayEventEndsTheWait) {
    ASSERT_TRUE(kSdl);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.lpszClassName = "SdlWaitClass";
    ASSERT_NE(0, RegisterClassA(&windowClass));
    HWND window = CreateWindowExA(0, "SdlWaitClass", "Wait", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 64,
                                  48, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    SDL_Delay(100);
    Drain();

    const DWORD start = timeGetTime();
    std::thread sender([] {
        SDL_Delay(20);
        SDL_Event event = {};
        event.type = SDL_USEREVENT;
        SDL_PushEvent(&event);
    });
    const bool woken = tqplat::WaitMessageUntilTime(start + 60000);
    sender.join();
    EXPECT_TRUE(woken);
    EXPECT_LT(timeGetTime() - start, 30000u);
    DestroyWindow(window);
    Drain();
    UnregisterClassA("SdlWaitClass", nullptr);
}

} // namespace
