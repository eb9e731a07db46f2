// The SDL backend: one SDL window per top-level window, frames blitted (scaled when the sizes
// differ) into the window surface, SDL events turned into window messages.
//
// A window's client area keeps the size the program set. When the native window has another size
// (full screen covers the desktop without changing its mode; a window resized from outside) frames
// are stretched to it and mouse positions scaled back, so a click lands on what is drawn under it.
// Changes of a window reach the native window only where they differ from what it already has, so
// that a window manager still busy with one change is not handed the same one again.
#include "platform/codepage/tqcodepage.h"
#include "platform/win32/tqcursorstate.h"
#include "platform/win32/tqpath.h"
#include "platform/win32/tqplatformlog.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/tqwindowregistry.h"
#include "platform/win32/video/sdl/tqsdleventtranslator.h"
#include "platform/win32/video/sdl/tqx11windows.h"
#include "platform/win32/video/tqvideo.h"
#include "platform/win32/video/tqvideodriver.h"

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace tqplat {
namespace {

// A native window and what it was last given (or last reported).
struct NativeWindow {
    SDL_Window* window = nullptr;
    HICON icon = nullptr;
    bool fullScreen = false;
    // Destroyed by another program.
    bool vanished = false;
    std::string title;
    bool bordered = true;
    bool topmost = false;
    bool shown = false;
    // The client area's screen position and size while windowed.
    POINT origin = {0, 0};
    SIZE size = {0, 0};
};

struct SdlState {
    std::mutex mutex;
    std::thread::id thread;
    std::map<HWND, NativeWindow> windows;
    // Windows changed since their native windows were last given their state.
    std::set<HWND> changed;
};

SdlState& State() {
    static SdlState state;
    return state;
}

SDL_Window* NativeOf(HWND window) {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto it = State().windows.find(window);
    return it == State().windows.end() ? nullptr : it->second.window;
}

// A copy of what is known of a native window; false when the window has none.
bool NativeStateOf(HWND window, NativeWindow* state) {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto it = State().windows.find(window);
    if (it == State().windows.end())
        return false;
    *state = it->second;
    return true;
}

void StoreNativeState(HWND window, const NativeWindow& state) {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto it = State().windows.find(window);
    if (it != State().windows.end())
        it->second = state;
}

// Scales a length measured against `from` to the same share of `to`.
int Rescale(int value, int from, int to) {
    return from > 0 ? static_cast<int>(static_cast<int64_t>(value) * to / from) : value;
}

HWND WindowOfId(Uint32 id) {
    std::lock_guard<std::mutex> lock(State().mutex);
    for (const auto& entry : State().windows) {
        if (SDL_GetWindowID(entry.second.window) == id)
            return entry.first;
    }
    return nullptr;
}

// SDL falls back to a driver that draws nowhere when no display can be opened; such a driver counts
// only when it was asked for by name.
bool ShowsOnADisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    bool drawsNowhere = driver && (strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0);
    return !drawsNowhere || getenv("SDL_VIDEODRIVER") != nullptr;
}

bool SdlInit() {
    // SDL would turn SIGINT and SIGTERM into a quit event that no window receives, so that Ctrl+C
    // and kill could not end the program: they keep their usual effect.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Frames are ready-made pixels: the window system's own framebuffer shows them. SDL would
    // otherwise put them through an OpenGL texture, which without a graphics card (a virtual X
    // server) is a second software renderer taking the cores from ours.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A click that gives a window the focus is a click in it too: SDL would drop a press that comes
    // within a few milliseconds of the focus.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        PlatformLog("SDL video: %s", SDL_GetError());
        return false;
    }
    if (!ShowsOnADisplay()) {
        PlatformLog("SDL video: no display could be opened (DISPLAY=%s)",
                    getenv("DISPLAY") ? getenv("DISPLAY") : "");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    State().thread = std::this_thread::get_id();
    WatchX11Windows();
    return true;
}

void SdlScreenSize(int* width, int* height) {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        mode.w = 1920;
        mode.h = 1080;
    }
    *width = mode.w;
    *height = mode.h;
}

// A topmost popup without caption placed at the screen's origin is a full-screen window.
bool IsFullScreen(const Window& record) {
    bool popup = (record.style & WS_POPUP) != 0 && (record.style & WS_CAPTION) != WS_CAPTION;
    return popup && (record.exStyle & WS_EX_TOPMOST) && record.rect.left == 0 && record.rect.top == 0;
}

void ApplyIcon(HWND window, SDL_Window* native, HICON icon) {
    {
        std::lock_guard<std::mutex> lock(State().mutex);
        NativeWindow& entry = State().windows[window];
        if (entry.icon == icon)
            return;
        entry.icon = icon;
    }
    std::string name, path;
    if (!IconFileName(icon, &name) ||
        !ResolveExistingPath((Utf8ToGbk(ApplicationFolder()) + name).c_str(), &path))
        return;
    if (SDL_Surface* image = SDL_LoadBMP(path.c_str())) {
        SDL_SetWindowIcon(native, image);
        SDL_FreeSurface(image);
    }
}

void SdlCreateWindow(HWND window) {
    Window record;
    if (!WindowRegistry::Instance().Snapshot(window, &record))
        return;
    SIZE size = WindowRegistry::Instance().ClientSize(window);
    POINT origin = WindowRegistry::Instance().ClientOrigin(window);
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if ((record.style & WS_CAPTION) != WS_CAPTION)
        flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window* native = SDL_CreateWindow(GbkToUtf8(record.title).c_str(), origin.x, origin.y,
                                          size.cx > 0 ? size.cx : 1, size.cy > 0 ? size.cy : 1, flags);
    if (native == nullptr) {
        PlatformLog("SDL_CreateWindow: %s", SDL_GetError());
        return;
    }
    RememberX11Window(native);
    NativeWindow state;
    state.window = native;
    state.title = record.title;
    state.bordered = (flags & SDL_WINDOW_BORDERLESS) == 0;
    state.origin = origin;
    state.size = SIZE{size.cx > 0 ? size.cx : 1, size.cy > 0 ? size.cy : 1};
    std::lock_guard<std::mutex> lock(State().mutex);
    State().windows[window] = state;
}

// Asks the window manager for full screen on or off. SDL waits a moment for the window manager,
// then puts the pointer back at its old place in the window, taken in the window's new place: the
// pointer would jump (to its old client position as a screen position, going full screen). It is
// put back where it was on the screen at once.
void SetFullScreenKeepingThePointer(SDL_Window* native, Uint32 flags) {
    int x = 0, y = 0;
    bool known = X11PointerOnScreen(native, &x, &y);
    SDL_SetWindowFullscreen(native, flags);
    int afterX = 0, afterY = 0;
    if (known && X11PointerOnScreen(native, &afterX, &afterY) && (afterX != x || afterY != y))
        SDL_WarpMouseGlobal(x, y);
}

// Covers the desktop. Without a window manager nobody acts on SDL's full-screen request, so the
// window is placed over the desktop directly.
void EnterFullScreen(SDL_Window* native) {
    if (X11WindowManagerRuns(native)) {
        SetFullScreenKeepingThePointer(native, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    int width = 0, height = 0;
    SdlScreenSize(&width, &height);
    SDL_SetWindowBordered(native, SDL_FALSE);
    SDL_SetWindowPosition(native, 0, 0);
    SDL_SetWindowSize(native, width, height);
    SDL_RaiseWindow(native);
}

// Back from full screen. SDL's request to a window manager restores the window's own frame,
// position and size; without one they are put back directly.
void LeaveFullScreen(SDL_Window* native, const NativeWindow& windowed) {
    if (X11WindowManagerRuns(native)) {
        SetFullScreenKeepingThePointer(native, 0);
        return;
    }
    SDL_SetWindowBordered(native, windowed.bordered ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowSize(native, windowed.size.cx, windowed.size.cy);
    SDL_SetWindowPosition(native, windowed.origin.x, windowed.origin.y);
}

// Gives the native window what the record asks for that it does not have yet.
void ApplyWindow(HWND window) {
    NativeWindow state;
    Window record;
    if (!NativeStateOf(window, &state) || !WindowRegistry::Instance().Snapshot(window, &record))
        return;
    SDL_Window* native = state.window;
    if (state.title != record.title) {
        state.title = record.title;
        SDL_SetWindowTitle(native, GbkToUtf8(record.title).c_str());
    }
    bool fullScreen = IsFullScreen(record);
    bool topmost = (record.exStyle & WS_EX_TOPMOST) != 0;
    if (topmost != state.topmost) {
        state.topmost = topmost;
        SDL_SetWindowAlwaysOnTop(native, topmost ? SDL_TRUE : SDL_FALSE);
    }
    if (!fullScreen) {
        bool bordered = (record.style & WS_CAPTION) == WS_CAPTION;
        SIZE size = WindowRegistry::Instance().ClientSize(window);
        size = SIZE{size.cx > 0 ? size.cx : 1, size.cy > 0 ? size.cy : 1};
        POINT origin = WindowRegistry::Instance().ClientOrigin(window);
        if (state.fullScreen) {
            state.fullScreen = false;
            LeaveFullScreen(native, state);
        }
        if (bordered != state.bordered) {
            state.bordered = bordered;
            SDL_SetWindowBordered(native, bordered ? SDL_TRUE : SDL_FALSE);
        }
        if (size.cx != state.size.cx || size.cy != state.size.cy) {
            state.size = size;
            SDL_SetWindowSize(native, size.cx, size.cy);
        }
        if (origin.x != state.origin.x || origin.y != state.origin.y) {
            state.origin = origin;
            SDL_SetWindowPosition(native, origin.x, origin.y);
        }
    } else if (!state.fullScreen) {
        state.fullScreen = true;
        EnterFullScreen(native);
    }
    bool shown = IsShownStyle(record.style);
    bool showChanged = shown != state.shown;
    state.shown = shown;
    StoreNativeState(window, state);
    if (record.windowClass->icon != nullptr)
        ApplyIcon(window, native, record.windowClass->icon);
    if (showChanged && shown)
        SDL_ShowWindow(native);
    else if (showChanged)
        SDL_HideWindow(native);
}

// The native window follows a change at the next pump or present, together with the changes made
// with it (a window switched to full screen changes style, extended style and rectangle in turn:
// a window manager only sees the result).
void SdlSyncWindow(HWND window) {
    std::lock_guard<std::mutex> lock(State().mutex);
    State().changed.insert(window);
}

void ApplyChangedWindows() {
    std::set<HWND> changed;
    {
        std::lock_guard<std::mutex> lock(State().mutex);
        changed.swap(State().changed);
    }
    for (HWND window : changed)
        ApplyWindow(window);
}

void SdlDestroyWindow(HWND window) {
    SDL_Window* native = nullptr;
    bool vanished = false;
    {
        std::lock_guard<std::mutex> lock(State().mutex);
        auto it = State().windows.find(window);
        if (it == State().windows.end())
            return;
        native = it->second.window;
        vanished = it->second.vanished;
        State().windows.erase(it);
        State().changed.erase(window);
    }
    // SDL would first hide a window that is gone, and wait for it to be unmapped: it is left alone.
    if (!vanished)
        SDL_DestroyWindow(native);
}

// Waits for the next refresh of the display the window is on.
void WaitForRefresh(SDL_Window* native) {
    SDL_DisplayMode mode;
    int rate = SDL_GetWindowDisplayMode(native, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : 60;
    auto period = std::chrono::microseconds(1000000 / rate);
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    auto next = (now / period + 1) * period;
    std::this_thread::sleep_for(next - now);
}

void SdlPresent(HWND topLevel, const RECT& area, const uint32_t* pixels, int width, int height, int pitch,
                bool vsync) {
    if (std::this_thread::get_id() == State().thread)
        ApplyChangedWindows();
    SDL_Window* native = NativeOf(topLevel);
    SDL_Surface* target = native == nullptr ? nullptr : SDL_GetWindowSurface(native);
    if (target == nullptr)
        return;
    SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32,
                                                            pitch, SDL_PIXELFORMAT_ARGB8888);
    if (frame == nullptr)
        return;
    SDL_SetSurfaceBlendMode(frame, SDL_BLENDMODE_NONE);
    SIZE client = WindowRegistry::Instance().ClientSize(topLevel);
    SDL_Rect destination = {Rescale(area.left, client.cx, target->w), Rescale(area.top, client.cy, target->h),
                            Rescale(area.right - area.left, client.cx, target->w),
                            Rescale(area.bottom - area.top, client.cy, target->h)};
    if (destination.w == width && destination.h == height)
        SDL_BlitSurface(frame, nullptr, target, &destination);
    else
        SDL_BlitScaled(frame, nullptr, target, &destination);
    SDL_FreeSurface(frame);
    if (vsync)
        WaitForRefresh(native);
    SDL_UpdateWindowSurface(native);
}

// Shows the last frames of a window and of its children again, when the window system has lost
// the contents of their top-level window.
void RepaintLastFrames(HWND window) {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    if (VideoLastFrame(window, &pixels, &width, &height))
        VideoPresent(window, pixels.data(), width, height, width * 4, false);
    for (HWND child : WindowRegistry::Instance().Children(window))
        RepaintLastFrames(child);
}

Uint32 EventWindowId(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return event.key.windowID;
    case SDL_TEXTINPUT:
        return event.text.windowID;
    case SDL_TEXTEDITING:
        return event.edit.windowID;
    case SDL_MOUSEMOTION:
        return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return event.button.windowID;
    case SDL_MOUSEWHEEL:
        return event.wheel.windowID;
    case SDL_WINDOWEVENT:
        return event.window.windowID;
    default:
        return 0;
    }
}

// Mouse positions in client coordinates when the native window's size differs from the client
// area's. A full-screen window neither moves nor changes size as far as its client area goes; a
// windowed one keeps track of where it is. False when the event is to be dropped.
bool AdaptToNativeWindow(HWND topLevel, SDL_Event* event) {
    NativeWindow state;
    if (!NativeStateOf(topLevel, &state))
        return true;
    if (event->type == SDL_WINDOWEVENT) {
        bool moved = event->window.event == SDL_WINDOWEVENT_MOVED;
        bool sized = event->window.event == SDL_WINDOWEVENT_SIZE_CHANGED;
        if (state.fullScreen)
            return !moved && !sized;
        if (moved) {
            state.origin = POINT{event->window.data1, event->window.data2};
            StoreNativeState(topLevel, state);
        }
        return true;
    }
    int* x = nullptr;
    int* y = nullptr;
    if (event->type == SDL_MOUSEMOTION) {
        x = &event->motion.x;
        y = &event->motion.y;
    } else if (event->type == SDL_MOUSEBUTTONDOWN || event->type == SDL_MOUSEBUTTONUP) {
        x = &event->button.x;
        y = &event->button.y;
    } else {
        return true;
    }
    int nativeWidth = 0, nativeHeight = 0;
    SDL_GetWindowSize(state.window, &nativeWidth, &nativeHeight);
    SIZE client = WindowRegistry::Instance().ClientSize(topLevel);
    *x = Rescale(*x, nativeWidth, client.cx);
    *y = Rescale(*y, nativeHeight, client.cy);
    return true;
}

// A native window destroyed by another program: its window goes as if destroyed by the program.
bool DestroyVanishedWindow(const SDL_Event& event) {
    if (event.type != SDL_SYSWMEVENT)
        return false;
    std::vector<std::pair<HWND, SDL_Window*>> windows;
    {
        std::lock_guard<std::mutex> lock(State().mutex);
        for (const auto& entry : State().windows)
            windows.emplace_back(entry.first, entry.second.window);
    }
    for (const auto& entry : windows) {
        if (X11WindowDestroyed(event, entry.second)) {
            NativeWindow state;
            if (NativeStateOf(entry.first, &state)) {
                state.vanished = true;
                StoreNativeState(entry.first, state);
            }
            PlatformLog("The window '%s' was destroyed by another program", SDL_GetWindowTitle(entry.second));
            DestroyWindow(entry.first);
        }
    }
    return true;
}

// Where the window system says the button event SDL reports next happened.
struct NotedButton {
    bool noted = false;
    int x = 0, y = 0;
};

void PlaceButton(NotedButton* noted, SDL_MouseButtonEvent* button) {
    if (noted->noted) {
        button->x = noted->x;
        button->y = noted->y;
    }
    noted->noted = false;
}

bool MovedOrSized(const SDL_Event& event) {
    return event.type == SDL_WINDOWEVENT && (event.window.event == SDL_WINDOWEVENT_MOVED ||
                                             event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED);
}

// A window moved or sized under a still pointer (a switch to or from full screen) gets no motion:
// the pointer's place in it is told at once, when it lies inside.
void PostPointerPosition(HWND topLevel, Uint32 windowId) {
    SDL_Window* native = NativeOf(topLevel);
    int x = 0, y = 0, width = 0, height = 0;
    if (native == nullptr || !X11PointerInWindow(native, &x, &y))
        return;
    SDL_GetWindowSize(native, &width, &height);
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = windowId;
    motion.motion.x = x;
    motion.motion.y = y;
    if (AdaptToNativeWindow(topLevel, &motion))
        TranslateSdlEvent(topLevel, motion);
}

// The top-level window whose keys come next: the one in front when it is ours, else the first shown
// (before the window system has told of any focus).
HWND KeyboardTopLevel() {
    HWND front = GetForegroundWindow();
    std::lock_guard<std::mutex> lock(State().mutex);
    if (State().windows.count(front) != 0)
        return front;
    for (const auto& entry : State().windows) {
        if (entry.second.shown)
            return entry.first;
    }
    return nullptr;
}

// The text-input area last given to SDL, in the native window's coordinates.
SDL_Rect& GivenTextInputRect() {
    static SDL_Rect rect = {-1, -1, -1, -1};
    return rect;
}

// Places the input method's candidate window beside where the window takes text.
void ApplyTextInputArea(HWND topLevel, HWND target) {
    RECT area;
    NativeWindow state;
    if (!VideoTextInputArea(target, &area) || !NativeStateOf(topLevel, &state))
        return;
    POINT targetOrigin = WindowRegistry::Instance().ClientOrigin(target);
    POINT topOrigin = WindowRegistry::Instance().ClientOrigin(topLevel);
    int dx = targetOrigin.x - topOrigin.x, dy = targetOrigin.y - topOrigin.y;
    int nativeWidth = 0, nativeHeight = 0;
    SDL_GetWindowSize(state.window, &nativeWidth, &nativeHeight);
    SIZE client = WindowRegistry::Instance().ClientSize(topLevel);
    SDL_Rect rect = {Rescale(area.left + dx, client.cx, nativeWidth), Rescale(area.top + dy, client.cy, nativeHeight),
                     Rescale(area.right - area.left, client.cx, nativeWidth),
                     Rescale(area.bottom - area.top, client.cy, nativeHeight)};
    SDL_Rect& given = GivenTextInputRect();
    if (SDL_memcmp(&rect, &given, sizeof rect) == 0)
        return;
    given = rect;
    SDL_SetTextInputRect(&rect);
}

// Text input, and with it the input method, is on only while the window that receives the keys of
// the window in front takes text (an edit has the focus); otherwise keys reach it as plain keys,
// never starting a composition. A composition in progress ends with it.
void ApplyTextInput() {
    HWND topLevel = KeyboardTopLevel();
    HWND target = topLevel != nullptr ? KeyboardTarget(topLevel) : nullptr;
    bool wanted = target != nullptr && VideoTextInputOn(target);
    bool active = SDL_IsTextInputActive() == SDL_TRUE;
    if (wanted && !active) {
        GivenTextInputRect() = SDL_Rect{-1, -1, -1, -1};
        SDL_StartTextInput();
    } else if (!wanted && active) {
        SDL_StopTextInput();
        if (!VideoCompositionText().empty())
            VideoSetCompositionText(target, "");
    }
    if (wanted)
        ApplyTextInputArea(topLevel, target);
}

void SdlPumpEvents() {
    if (std::this_thread::get_id() != State().thread)
        return;
    ApplyChangedWindows();
    ApplyTextInput();
    SDL_Event event;
    NotedButton button;
    while (SDL_PollEvent(&event)) {
        // What the window system tells of a key goes with the key event right after it. A key that an
        // input method took has none: its note is dropped at the next event, never given to a later key.
        NativeKey key;
        if (X11KeyEvent(event, &key))
            NoteNativeKey(key);
        else if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP)
            ForgetNativeKey();
        int x = 0, y = 0;
        if (X11ButtonEvent(event, &x, &y))
            button = NotedButton{true, x, y};
        if (DestroyVanishedWindow(event))
            continue;
        HWND topLevel = WindowOfId(EventWindowId(event));
        if (topLevel == nullptr)
            continue;
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED)
            RepaintLastFrames(topLevel);
        if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP)
            PlaceButton(&button, &event.button);
        if (AdaptToNativeWindow(topLevel, &event))
            TranslateSdlEvent(topLevel, event);
        if (MovedOrSized(event))
            PostPointerPosition(topLevel, event.window.windowID);
    }
}

// SDL waits on the display connection itself; the event stays queued for the next pump.
int SdlWaitEvents(int milliseconds) {
    if (std::this_thread::get_id() != State().thread)
        return -1;
    return SDL_WaitEventTimeout(nullptr, milliseconds) ? 1 : 0;
}

void SdlSetCursorVisible(bool visible) {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

// The full-screen window, if any (it covers the desktop).
HWND FullScreenWindow(SDL_Window** native) {
    std::lock_guard<std::mutex> lock(State().mutex);
    for (const auto& entry : State().windows) {
        if (entry.second.fullScreen) {
            *native = entry.second.window;
            return entry.first;
        }
    }
    return nullptr;
}

// Screen positions over a full-screen window are its client coordinates, stretched over the
// desktop as its frames are.
void SdlWarpCursor(int x, int y) {
    SDL_Window* native = nullptr;
    HWND fullScreen = FullScreenWindow(&native);
    if (fullScreen == nullptr) {
        SDL_WarpMouseGlobal(x, y);
        return;
    }
    int nativeWidth = 0, nativeHeight = 0;
    SDL_GetWindowSize(native, &nativeWidth, &nativeHeight);
    SIZE client = WindowRegistry::Instance().ClientSize(fullScreen);
    SDL_WarpMouseInWindow(native, Rescale(x, client.cx, nativeWidth), Rescale(y, client.cy, nativeHeight));
}

// The layout is asked over SDL's display connection, which only the thread that pumps its events
// may use: other threads are told it is not known.
bool SdlKeyCharacters(unsigned scanCode, const KeyLevel& level, char32_t* plain, char32_t* typed) {
    return std::this_thread::get_id() == State().thread && X11KeyCharacters(scanCode, level, plain, typed);
}

} // namespace

const VideoDriver g_sdlVideoDriver = {
    "sdl",      SdlInit,       SdlScreenSize,       SdlCreateWindow, SdlSyncWindow, SdlDestroyWindow,
    SdlPresent, SdlPumpEvents, SdlSetCursorVisible, SdlWarpCursor,   SdlWaitEvents, SdlKeyCharacters};

} // namespace tqplat
