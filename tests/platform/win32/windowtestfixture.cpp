#include "windowtestfixture.h"

#include "platform/win32/tqkeyboardstate.h"
#include "platform/win32/tqplatformtest.h"
#include "platform/win32/video/tqvideo.h"

#include <cstdlib>
#include <cstring>

namespace {

// These tests run on the headless backend whatever the environment offers.
const bool kHeadless = setenv("TQ_VIDEO", "headless", 1) == 0;

const char kClassName[] = "RecordingClass";

} // namespace

std::vector<Recorded> WindowTest::s_recorded;
LRESULT (*WindowTest::s_override)(HWND, UINT, WPARAM, LPARAM, bool*) = nullptr;

LRESULT CALLBACK WindowTest::RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    s_recorded.push_back({window, message, wParam, lParam});
    bool handled = false;
    if (s_override != nullptr) {
        LRESULT result = s_override(window, message, wParam, lParam, &handled);
        if (handled)
            return result;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void WindowTest::SetUp() {
    ASSERT_TRUE(kHeadless);
    tqplat::KeyboardState::Instance().Reset();
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    ASSERT_NE(0, RegisterClassA(&windowClass));
    s_recorded.clear();
    s_override = nullptr;
}

void WindowTest::TearDown() {
    if (IsWindow(window))
        DestroyWindow(window);
    Pump();
    s_override = nullptr;
    UnregisterClassA(kClassName, nullptr);
    tqplat::VideoSetCompositionText(nullptr, "");
}

HWND WindowTest::Create(DWORD style, int width, int height, HWND parent, DWORD exStyle) {
    return CreateWindowExA(exStyle, kClassName, "Test", style, 10, 20, width, height, parent, nullptr,
                           nullptr, nullptr);
}

bool WindowTest::Pump() {
    bool quit = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return quit;
}

std::vector<Recorded> WindowTest::Only(std::vector<UINT> messages) const {
    std::vector<Recorded> found;
    for (const Recorded& r : s_recorded) {
        for (UINT id : messages) {
            if (r.message == id)
                found.push_back(r);
        }
    }
    return found;
}

std::vector<UINT> WindowTest::Ids(std::vector<UINT> messages) const {
    std::vector<UINT> ids;
    for (const Recorded& r : Only(messages))
        ids.push_back(r.message);
    return ids;
}

void WindowTest::Feed(SDL_Event& event) {
    tqplat::TestFeedSdlEvent(window, event);
}

void WindowTest::Key(SDL_Scancode scancode, bool down, Uint16 modifiers, bool repeat) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = modifiers;
    Feed(event);
}

void WindowTest::Text(const char* utf8) {
    SDL_Event event = {};
    event.type = SDL_TEXTINPUT;
    strncpy(event.text.text, utf8, sizeof(event.text.text) - 1);
    Feed(event);
}

void WindowTest::Editing(const char* utf8) {
    SDL_Event event = {};
    event.type = SDL_TEXTEDITING;
    strncpy(event.edit.text, utf8, sizeof(event.edit.text) - 1);
    Feed(event);
}

void WindowTest::Motion(int x, int y) {
    SDL_Event event = {};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    Feed(event);
}

void WindowTest::Button(Uint8 button, bool down, Uint8 clicks) {
    SDL_Event event = {};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    event.button.clicks = clicks;
    event.button.x = 5;
    event.button.y = 6;
    Feed(event);
}

void WindowTest::Wheel(int notches) {
    SDL_Event event = {};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = notches;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    Feed(event);
}

void WindowTest::WindowEvent(Uint8 kind, int data1, int data2) {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = kind;
    event.window.data1 = data1;
    event.window.data2 = data2;
    Feed(event);
}
