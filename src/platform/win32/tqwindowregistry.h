// The platform layer's record of window classes and windows, shared by the USER32 functions and
// the video backends. Records are read as snapshots and changed under the registry's lock, so a
// window procedure never runs while the lock is held.
#pragma once

#include "platform/win32/tquser32.h"

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tqplat {

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> windowClass;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string title; // GBK
    RECT rect = {};    // window rectangle: screen (top-level) or parent client coordinates (child)
    HWND parent = nullptr;
    HINSTANCE instance = nullptr;
    std::thread::id thread;
    bool destroying = false;
    LONG_PTR userData = 0;
};

class WindowRegistry {
public:
    static WindowRegistry& Instance();

    ATOM AddClass(const WindowClass& windowClass);
    std::shared_ptr<WindowClass> FindClass(const char* name);
    bool RemoveClass(const char* name);

    HWND Add(const Window& window);
    void Remove(HWND window);
    bool Exists(HWND window);
    // Copies the record; false when the window does not exist.
    bool Snapshot(HWND window, Window* copy);
    // Changes the record under the lock; false when the window does not exist.
    bool Update(HWND window, const std::function<void(Window&)>& change);
    std::vector<HWND> Children(HWND window);

    // The top-level window that holds `window` (itself when it has no parent).
    HWND TopLevelOf(HWND window);
    // Screen position of the client area's top-left corner.
    POINT ClientOrigin(HWND window);
    SIZE ClientSize(HWND window);
    // Whether the window and all its ancestors are shown.
    bool VisibleChain(HWND window);
    // The deepest shown child of `topLevel` under a point of its client area (or topLevel itself).
    HWND ChildAt(HWND topLevel, POINT clientPoint);

private:
    struct State;
    WindowRegistry();
    std::unique_ptr<State> m_state;
};

// Space between a window's outer rectangle and its client area for a style (see GetSystemMetrics).
RECT FrameInsets(DWORD style);

// Bit kept in Window::style for a shown window (WS_VISIBLE).
inline bool IsShownStyle(DWORD style) {
    return (style & WS_VISIBLE) != 0;
}

} // namespace tqplat

namespace tqplat {

// Makes a top-level window the one in front (GetForegroundWindow), as when it gains the focus.
void SetForegroundWindowRecord(HWND window);

} // namespace tqplat
