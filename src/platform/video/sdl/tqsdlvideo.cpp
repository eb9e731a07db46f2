// The SDL backend: one SDL window per top-level window, frames blitted (scaled when the sizes
// differ) into the window surface, SDL events turned into window messages.
//
// A full-screen window covers the desktop (its mode is not changed) while its client area keeps
// the size the program set: frames are stretched to the desktop and mouse positions scaled back.
#include "platform/codepage/tqcodepage.h"
#include "platform/video/sdl/tqsdleventtranslator.h"
#include "platform/video/tqvideo.h"
#include "platform/video/tqvideodriver.h"
#include "platform/win32/tqcursorstate.h"
#include "platform/win32/tqpath.h"
#include "platform/win32/tqplatformlog.h"
#include "platform/win32/tqwindowregistry.h"

#include <SDL.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

namespace tqplat {
namespace {

struct NativeWindow {
    SDL_Window* window = nullptr;
    HICON icon = nullptr;
    bool fullScreen = false;
};

struct SdlState {
    std::mutex mutex;
    std::thread::id thread;
    std::map<HWND, NativeWindow> windows;
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

bool IsFullScreenNative(HWND window) {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto it = State().windows.find(window);
    return it != State().windows.end() && it->second.fullScreen;
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

bool SdlInit() {
    // SDL would turn SIGINT and SIGTERM into a quit event that no window receives, so that Ctrl+C
    // and kill could not end the program: they keep their usual effect.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Frames are ready-made pixels: the window system's own framebuffer shows them. SDL would
    // otherwise put them through an OpenGL texture, which without a graphics card (a virtual X
    // server) is a second software renderer taking the cores from ours.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        PlatformLog("SDL video: %s", SDL_GetError());
        return false;
    }
    State().thread = std::this_thread::get_id();
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
    std::lock_guard<std::mutex> lock(State().mutex);
    State().windows[window].window = native;
}

void SdlSyncWindow(HWND window) {
    SDL_Window* native = NativeOf(window);
    Window record;
    if (native == nullptr || !WindowRegistry::Instance().Snapshot(window, &record))
        return;
    SDL_SetWindowTitle(native, GbkToUtf8(record.title).c_str());
    SDL_SetWindowBordered(native, (record.style & WS_CAPTION) == WS_CAPTION ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowAlwaysOnTop(native, (record.exStyle & WS_EX_TOPMOST) ? SDL_TRUE : SDL_FALSE);
    bool fullScreen = IsFullScreen(record);
    {
        std::lock_guard<std::mutex> lock(State().mutex);
        State().windows[window].fullScreen = fullScreen;
    }
    SDL_SetWindowFullscreen(native, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (!fullScreen) {
        SIZE size = WindowRegistry::Instance().ClientSize(window);
        POINT origin = WindowRegistry::Instance().ClientOrigin(window);
        SDL_SetWindowSize(native, size.cx > 0 ? size.cx : 1, size.cy > 0 ? size.cy : 1);
        SDL_SetWindowPosition(native, origin.x, origin.y);
    }
    if (record.windowClass->icon != nullptr)
        ApplyIcon(window, native, record.windowClass->icon);
    if (IsShownStyle(record.style))
        SDL_ShowWindow(native);
    else
        SDL_HideWindow(native);
}

void SdlDestroyWindow(HWND window) {
    SDL_Window* native = nullptr;
    {
        std::lock_guard<std::mutex> lock(State().mutex);
        auto it = State().windows.find(window);
        if (it == State().windows.end())
            return;
        native = it->second.window;
        State().windows.erase(it);
    }
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
    SDL_Window* native = NativeOf(topLevel);
    SDL_Surface* target = native == nullptr ? nullptr : SDL_GetWindowSurface(native);
    if (target == nullptr)
        return;
    SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32,
                                                            pitch, SDL_PIXELFORMAT_ARGB8888);
    if (frame == nullptr)
        return;
    SDL_SetSurfaceBlendMode(frame, SDL_BLENDMODE_NONE);
    SDL_Rect destination = {area.left, area.top, area.right - area.left, area.bottom - area.top};
    if (IsFullScreenNative(topLevel)) {
        SIZE client = WindowRegistry::Instance().ClientSize(topLevel);
        destination = {Rescale(area.left, client.cx, target->w), Rescale(area.top, client.cy, target->h),
                       Rescale(area.right - area.left, client.cx, target->w),
                       Rescale(area.bottom - area.top, client.cy, target->h)};
    }
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

// For a full-screen window: mouse positions in client coordinates, and no size or position changes
// (the client area keeps its size). False when the event is to be dropped.
bool AdaptToFullScreen(HWND topLevel, SDL_Event* event) {
    if (!IsFullScreenNative(topLevel))
        return true;
    if (event->type == SDL_WINDOWEVENT)
        return event->window.event != SDL_WINDOWEVENT_SIZE_CHANGED &&
               event->window.event != SDL_WINDOWEVENT_MOVED;
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
    SDL_GetWindowSize(NativeOf(topLevel), &nativeWidth, &nativeHeight);
    SIZE client = WindowRegistry::Instance().ClientSize(topLevel);
    *x = Rescale(*x, nativeWidth, client.cx);
    *y = Rescale(*y, nativeHeight, client.cy);
    return true;
}

void SdlPumpEvents() {
    if (std::this_thread::get_id() != State().thread)
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        HWND topLevel = WindowOfId(EventWindowId(event));
        if (topLevel == nullptr)
            continue;
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED)
            RepaintLastFrames(topLevel);
        if (AdaptToFullScreen(topLevel, &event))
            TranslateSdlEvent(topLevel, event);
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

} // namespace

const VideoDriver g_sdlVideoDriver = {
    "sdl",      SdlInit,       SdlScreenSize,       SdlCreateWindow, SdlSyncWindow, SdlDestroyWindow,
    SdlPresent, SdlPumpEvents, SdlSetCursorVisible, SdlWarpCursor,   SdlWaitEvents};

} // namespace tqplat
