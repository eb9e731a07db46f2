// Window classes and windows.
#include "platform/codepage/tqcodepage.h"
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqplatformlog.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/tqwindowregistry.h"
#include "platform/win32/video/tqvideodriver.h"

#include <atomic>
#include <cstring>

using tqplat::Window;
using tqplat::WindowRegistry;

namespace {

const DWORD kErrorInvalidWindowHandle = 1400;
const DWORD kErrorClassAlreadyExists = 1410;
const DWORD kErrorClassDoesNotExist = 1411;
const DWORD kErrorInvalidIndex = 1413;
const DWORD kErrorCannotFindClass = 1407;
const DWORD kErrorChildWithoutParent = 1406;

// Longest window title kept, in bytes; longer titles are cut at a character boundary.
const size_t kMaxTitle = 1023;

std::atomic<HWND> g_foreground{nullptr};
thread_local HWND t_focus = nullptr;

WindowRegistry& Registry() {
    return WindowRegistry::Instance();
}

std::string CutTitle(LPCSTR text) {
    if (text == nullptr)
        return std::string();
    return std::string(text, tqplat::GbkWholeCharsPrefix(text, strnlen(text, kMaxTitle + 1), kMaxTitle));
}

bool IsTopLevel(const Window& window) {
    return window.parent == nullptr;
}

// Tells the backend about a change of a top-level window (children are drawn by their ancestor).
void SyncNative(HWND window) {
    Window record;
    if (Registry().Snapshot(window, &record) && IsTopLevel(record))
        tqplat::ActiveVideoDriver().syncWindow(window);
}

RECT InitialRect(int x, int y, int width, int height) {
    if (x == CW_USEDEFAULT) {
        x = 100;
        y = 100;
    }
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
    return RECT{x, y, x + (width > 0 ? width : 0), y + (height > 0 ? height : 0)};
}

void SendSize(HWND window) {
    SIZE size = Registry().ClientSize(window);
    SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
}

bool IsWithin(HWND window, HWND ancestor) {
    for (Window record; window != nullptr && Registry().Snapshot(window, &record); window = record.parent) {
        if (window == ancestor)
            return true;
    }
    return false;
}

ATOM AddClass(const tqplat::WindowClass& windowClass) {
    if (windowClass.name.empty() || windowClass.proc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ATOM atom = Registry().AddClass(windowClass);
    if (atom == 0)
        SetLastError(kErrorClassAlreadyExists);
    return atom;
}

} // namespace

namespace tqplat {

void SetForegroundWindowRecord(HWND window) {
    g_foreground = window;
}

} // namespace tqplat

ATOM RegisterClassA(const WNDCLASSA* c) {
    if (c == nullptr || c->lpszClassName == nullptr || IS_INTRESOURCE(c->lpszClassName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return AddClass(
        {c->lpszClassName, c->style, c->lpfnWndProc, c->hInstance, c->hIcon, c->hCursor, c->hbrBackground});
}

ATOM RegisterClassExA(const WNDCLASSEXA* c) {
    if (c == nullptr || c->cbSize != sizeof(WNDCLASSEXA) || c->lpszClassName == nullptr ||
        IS_INTRESOURCE(c->lpszClassName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return AddClass(
        {c->lpszClassName, c->style, c->lpfnWndProc, c->hInstance, c->hIcon, c->hCursor, c->hbrBackground});
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
    if (className == nullptr || IS_INTRESOURCE(className) || !Registry().RemoveClass(className)) {
        SetLastError(kErrorClassDoesNotExist);
        return FALSE;
    }
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    Window window;
    window.windowClass = IS_INTRESOURCE(className) ? nullptr : Registry().FindClass(className);
    if (!window.windowClass) {
        tqplat::PlatformLog("CreateWindowExA: no window class '%s'",
                            IS_INTRESOURCE(className) ? "#" : className);
        SetLastError(kErrorCannotFindClass);
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (child && !IsWindow(parent)) {
        SetLastError(parent == nullptr ? kErrorChildWithoutParent : kErrorInvalidWindowHandle);
        return nullptr;
    }
    window.proc = window.windowClass->proc;
    window.style = style & ~WS_VISIBLE;
    window.exStyle = exStyle;
    window.title = CutTitle(windowName);
    window.rect = InitialRect(x, y, width, height);
    window.parent = child ? parent : nullptr;
    window.instance = instance;
    window.thread = std::this_thread::get_id();
    HWND handle = Registry().Add(window);
    if (!child)
        tqplat::ActiveVideoDriver().createWindow(handle);

    CREATESTRUCTA create = {param,
                            instance,
                            menu,
                            parent,
                            static_cast<int>(window.rect.bottom - window.rect.top),
                            static_cast<int>(window.rect.right - window.rect.left),
                            static_cast<int>(window.rect.top),
                            static_cast<int>(window.rect.left),
                            static_cast<LONG>(style),
                            windowName,
                            className,
                            exStyle};
    if (SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (!IsWindow(handle))
        return nullptr;
    SendSize(handle);
    if (style & WS_VISIBLE)
        ShowWindow(handle, SW_SHOW);
    return handle;
}

BOOL DestroyWindow(HWND window) {
    Window record;
    if (!Registry().Snapshot(window, &record)) {
        SetLastError(kErrorInvalidWindowHandle);
        return FALSE;
    }
    if (record.destroying)
        return TRUE;
    Registry().Update(window, [](Window& w) { w.destroying = true; });
    SendMessageA(window, WM_DESTROY, 0, 0);
    for (HWND child : Registry().Children(window))
        DestroyWindow(child);
    if (t_focus == window)
        t_focus = nullptr;
    HWND expected = window;
    g_foreground.compare_exchange_strong(expected, nullptr);
    if (IsTopLevel(record))
        tqplat::ActiveVideoDriver().destroyWindow(window);
    tqplat::VideoForgetWindow(window);
    Registry().Remove(window);
    return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
    Window record;
    if (!Registry().Snapshot(window, &record)) {
        SetLastError(kErrorInvalidWindowHandle);
        return FALSE;
    }
    bool show = command != SW_HIDE;
    Registry().Update(window,
                      [show](Window& w) { w.style = show ? w.style | WS_VISIBLE : w.style & ~WS_VISIBLE; });
    bool activate = show && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && IsTopLevel(record);
    if (activate) {
        g_foreground = window;
        if (!IsWithin(t_focus, window))
            SetFocus(window);
    }
    SyncNative(window);
    return tqplat::IsShownStyle(record.style) ? TRUE : FALSE;
}

BOOL IsWindow(HWND window) {
    return window != nullptr && Registry().Exists(window) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
    return Registry().VisibleChain(window) ? TRUE : FALSE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    std::string title = CutTitle(text);
    if (!Registry().Update(window, [&title](Window& w) { w.title = title; })) {
        SetLastError(kErrorInvalidWindowHandle);
        return FALSE;
    }
    SyncNative(window);
    return TRUE;
}

LONG_PTR GetWindowLongA(HWND window, int index) {
    Window record;
    if (!Registry().Snapshot(window, &record)) {
        SetLastError(kErrorInvalidWindowHandle);
        return 0;
    }
    switch (index) {
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(record.proc);
    case GWL_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(record.instance);
    case GWL_STYLE:
        return static_cast<LONG_PTR>(record.style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(record.exStyle);
    case GWL_USERDATA:
        return record.userData;
    default:
        SetLastError(kErrorInvalidIndex);
        return 0;
    }
}

LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value) {
    LONG_PTR previous = 0;
    bool known = true;
    bool exists = Registry().Update(window, [&](Window& w) {
        switch (index) {
        case GWL_WNDPROC:
            previous = reinterpret_cast<LONG_PTR>(w.proc);
            w.proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWL_STYLE:
            previous = static_cast<LONG_PTR>(w.style);
            w.style = static_cast<DWORD>(value);
            break;
        case GWL_EXSTYLE:
            previous = static_cast<LONG_PTR>(w.exStyle);
            w.exStyle = static_cast<DWORD>(value);
            break;
        case GWL_USERDATA:
            previous = w.userData;
            w.userData = value;
            break;
        default:
            known = false;
        }
    });
    if (!exists || !known) {
        SetLastError(exists ? kErrorInvalidIndex : kErrorInvalidWindowHandle);
        return 0;
    }
    if (index == GWL_STYLE || index == GWL_EXSTYLE)
        SyncNative(window);
    return previous;
}

ULONG_PTR SetClassLongA(HWND window, int index, LONG_PTR value) {
    Window record;
    if (!Registry().Snapshot(window, &record)) {
        SetLastError(kErrorInvalidWindowHandle);
        return 0;
    }
    ULONG_PTR previous = 0;
    tqplat::WindowClass& windowClass = *record.windowClass;
    if (index == GCL_HICON) {
        previous = reinterpret_cast<ULONG_PTR>(windowClass.icon);
        windowClass.icon = reinterpret_cast<HICON>(value);
    } else if (index == GCL_HCURSOR) {
        previous = reinterpret_cast<ULONG_PTR>(windowClass.cursor);
        windowClass.cursor = reinterpret_cast<HCURSOR>(value);
    } else {
        SetLastError(kErrorInvalidIndex);
        return 0;
    }
    SyncNative(Registry().TopLevelOf(window));
    return previous;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    SIZE before = Registry().ClientSize(window);
    bool exists = Registry().Update(window, [&](Window& w) {
        if (!(flags & SWP_NOZORDER) && insertAfter == HWND_TOPMOST)
            w.exStyle |= WS_EX_TOPMOST;
        if (!(flags & SWP_NOZORDER) && insertAfter == HWND_NOTOPMOST)
            w.exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
        LONG width = w.rect.right - w.rect.left;
        LONG height = w.rect.bottom - w.rect.top;
        if (!(flags & SWP_NOMOVE)) {
            w.rect.left = x;
            w.rect.top = y;
        }
        if (!(flags & SWP_NOSIZE)) {
            width = cx > 0 ? cx : 0;
            height = cy > 0 ? cy : 0;
        }
        w.rect.right = w.rect.left + width;
        w.rect.bottom = w.rect.top + height;
        if (flags & SWP_SHOWWINDOW)
            w.style |= WS_VISIBLE;
        if (flags & SWP_HIDEWINDOW)
            w.style &= ~static_cast<DWORD>(WS_VISIBLE);
    });
    if (!exists) {
        SetLastError(kErrorInvalidWindowHandle);
        return FALSE;
    }
    SyncNative(window);
    SIZE after = Registry().ClientSize(window);
    if (after.cx != before.cx || after.cy != before.cy)
        SendSize(window);
    return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    Window record;
    if (rect == nullptr || !Registry().Snapshot(window, &record)) {
        SetLastError(kErrorInvalidWindowHandle);
        return FALSE;
    }
    POINT offset = record.parent == nullptr ? POINT{0, 0} : Registry().ClientOrigin(record.parent);
    *rect = RECT{record.rect.left + offset.x, record.rect.top + offset.y, record.rect.right + offset.x,
                 record.rect.bottom + offset.y};
    return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    if (rect == nullptr || !IsWindow(window)) {
        SetLastError(kErrorInvalidWindowHandle);
        return FALSE;
    }
    SIZE size = Registry().ClientSize(window);
    *rect = RECT{0, 0, size.cx, size.cy};
    return TRUE;
}

BOOL ClientToScreen(HWND window, LPPOINT point) {
    if (point == nullptr || !IsWindow(window))
        return FALSE;
    POINT origin = Registry().ClientOrigin(window);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, LPPOINT point) {
    if (point == nullptr || !IsWindow(window))
        return FALSE;
    POINT origin = Registry().ClientOrigin(window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

int GetSystemMetrics(int index) {
    int width = 0, height = 0;
    switch (index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN:
        tqplat::ActiveVideoDriver().screenSize(&width, &height);
        return index == SM_CXSCREEN ? width : height;
    case SM_CYCAPTION:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME:
        return 3;
    case SM_CXSIZEFRAME:
    case SM_CYSIZEFRAME:
        return 4;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    default:
        return 0;
    }
}

HWND GetForegroundWindow() {
    return g_foreground;
}

HWND GetFocus() {
    return t_focus;
}

HWND SetFocus(HWND window) {
    if (window != nullptr && !IsWindow(window)) {
        SetLastError(kErrorInvalidWindowHandle);
        return nullptr;
    }
    HWND previous = t_focus;
    if (previous == window)
        return previous;
    t_focus = window;
    if (previous != nullptr)
        SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window != nullptr)
        SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

BOOL ValidateRect(HWND window, LPCRECT) {
    return window == nullptr || IsWindow(window) ? TRUE : FALSE;
}
