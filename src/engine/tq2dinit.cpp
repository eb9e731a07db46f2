// Start-up, main loop and shut-down, the window-procedure hook and the engine's own main-window path.
#include "engine/tq2dapi.h"

#include "base/tqencryptdata.h"
#include "base/tqstring.h"
#include "engine/tq2dglobal.h"
#include "engine/tq2dkeytables.h"
#include "engine/tq2dmessagehook.h"
#include "platform/gdi32/tqgdi32.h"
#include "platform/imm32/tqimm32.h"
#include "platform/win32/tqwindows.h"

#include <cstdlib>
#include <cstring>

TQGfxDevice* g_pTQ2DDevice = nullptr;
DWORD g_dwTQ2DEngineSerial = 0;

namespace {

HINSTANCE g_hInstance = nullptr;
HWND g_hMainWnd = nullptr;
HFONT g_hDefaultFont = nullptr;
WNDPROC g_pfnSavedWndProc = nullptr;
int g_bBackground = 0;

const char kMainWindowClass[] = "_TQ2DWindowClass_";

// The default window title, decoded from the library's data.
TQString DefaultTitle() {
    TQString title(g_tq2dEncodedTitle);
    if (!title.DeCodeString(nullptr, 0) || title.GetLength() == 0)
        title = "TQ2D Application";
    return title;
}

void SetState(TQGfxStateId id, TQGfxStateValue value) {
    g_pTQ2DDevice->System_SetState(id, value);
}

void SetCallbackState(TQGfxStateId id, TQ2DCallback callback) {
    if (callback)
        SetState(id, TQGfxStateValue(callback));
}

void SetNonZeroState(TQGfxStateId id, LONG_PTR value) {
    if (value)
        SetState(id, TQGfxStateValue(value));
}

// Turns the parameter block into device states, in the device's expected order.
void ApplyInitInfo(const TQ2D_INIT_INFO_tag& info, const TQString& defaultTitle) {
    SetCallbackState(TQGFX_FRAMEFUNC, info.pfnFrame);
    SetCallbackState(TQGFX_FOCUSLOSTFUNC, info.pfnFocusLost);
    SetCallbackState(TQGFX_FOCUSGAINFUNC, info.pfnFocusGain);
    SetCallbackState(TQGFX_EXITFUNC, info.pfnExit);
    if (info.szIcon)
        SetState(TQGFX_ICON, TQGfxStateValue(info.szIcon));
    SetState(TQGFX_TITLE, TQGfxStateValue(info.szTitle ? info.szTitle : defaultTitle.GetString()));
    SetState(TQGFX_SCREENWIDTH, TQGfxStateValue(info.nWidth ? info.nWidth : 1024));
    SetState(TQGFX_SCREENHEIGHT, TQGfxStateValue(info.nHeight ? info.nHeight : 768));
    SetState(TQGFX_SCREENBPP, TQGfxStateValue(info.byBPP ? static_cast<int>(info.byBPP) : 32));
    SetState(TQGFX_WINDOWED, TQGfxStateValue(static_cast<int>(info.bFullScreen == 0)));
    SetState(TQGFX_ZBUFFER, TQGfxStateValue(static_cast<int>(info.bZBuffer)));
    SetState(TQGFX_TEXTUREFILTER, TQGfxStateValue(static_cast<int>(info.bNoFilter == 0)));
    SetState(TQGFX_DONTSUSPEND, TQGfxStateValue(static_cast<int>(info.bRunInactive)));
    SetState(TQGFX_HIDEMOUSE, TQGfxStateValue(static_cast<int>(info.bShowCursor == 0)));
    SetNonZeroState(TQGFX_SAMPLERATE, info.nSampleRate);
    SetNonZeroState(TQGFX_FXVOLUME, info.nFXVolume);
    SetNonZeroState(TQGFX_MUSVOLUME, info.nMusicVolume);
    SetNonZeroState(TQGFX_FPS, info.nFPS);
    SetNonZeroState(TQGFX_WNDSTYLE, static_cast<LONG_PTR>(info.dwWndStyle));
    SetNonZeroState(TQGFX_WNDEXSTYLE, static_cast<LONG_PTR>(info.dwWndExStyle));
    SetNonZeroState(TQGFX_CURSOR, reinterpret_cast<LONG_PTR>(info.hCursor));
}

// 9 points at the screen's vertical resolution, in logical units.
LONG DefaultFontHeight() {
    HDC screen = GetDC(nullptr);
    const int y = GetDeviceCaps(screen, LOGPIXELSY) * 90 / 720;
    POINT points[2] = {{0, y}, {0, 0}};
    DPtoLP(screen, &points[0], 1);
    DPtoLP(screen, &points[1], 1);
    ReleaseDC(nullptr, screen);
    return -std::labs(static_cast<long>(points[0].y - points[1].y));
}

HFONT CreateDefaultFont() {
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = ANTIALIASED_QUALITY;
    std::strcpy(font.lfFaceName, "Times New Roman");
    font.lfHeight = DefaultFontHeight();
    return CreateFontIndirectA(&font);
}

HWND DeviceWindow() {
    return reinterpret_cast<HWND>(g_pTQ2DDevice->System_GetState(TQGFX_HWND).nValue);
}

// Offers a message to the registered message filter first; a nonzero answer ends it there.
LRESULT CALLBACK TQ2DWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!g_pfnSavedWndProc)
        return 0;
    const LRESULT handled = TQ2DFilterMessage(hwnd, msg, wParam, lParam);
    if (handled)
        return handled;
    return CallWindowProcA(g_pfnSavedWndProc, hwnd, msg, wParam, lParam);
}

// ---- The engine's own main window (the library itself creates none) ----

LRESULT CALLBACK TQ2DDefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

ATOM TQ2DRegisterWindowClass(HINSTANCE instance, const char* iconName) {
    WNDCLASSEXA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = TQ2DDefWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, iconName);
    windowClass.hIconSm = LoadIconA(instance, iconName);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&windowClass);
}

// Runs frames while the own main window has the foreground (or the background flag is set),
// else pauses and runs one frame at most every 100 ms while the window is visible.
void RunMainWindowLoop() {
    DWORD lastFrame = GetTickCount();
    for (;;) {
        const bool foreground = g_bBackground || GetForegroundWindow() == g_hMainWnd;
        if (!foreground) {
            SleepEx(1, TRUE);
            if (IsWindowVisible(g_hMainWnd) && GetTickCount() - lastFrame > 100) {
                if (g_pTQ2DDevice && DeviceWindow())
                    g_pTQ2DDevice->System_Start();
                lastFrame = GetTickCount();
            }
        } else if (g_pTQ2DDevice && DeviceWindow()) {
            g_pTQ2DDevice->System_Start();
        }
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// Creates the own main window. Nothing calls it, and no game can: the engine's own main window is
// never set, and a host that wants a window of its own makes it and sets TQGFX_HWNDPARENT.
[[maybe_unused]] HWND TQ2DCreateMainWindow(const char* title, const char* iconName, DWORD style,
                                           DWORD exStyle) {
    if (!TQ2DRegisterWindowClass(g_hInstance, iconName))
        return nullptr;
    return CreateWindowExA(exStyle, kMainWindowClass, title, style, 0, 0, 0, 0, nullptr, nullptr, g_hInstance,
                           nullptr);
}

} // namespace

HWND TQ2DInit(TQ2D_INIT_INFO_tag* info, HWND) {
    if (!info)
        return nullptr;
    TQ2DClose();
    TQSetProtocolEncryptData(g_tq2dProtocolKeyTable.data(),
                             static_cast<DWORD>(g_tq2dProtocolKeyTable.size()));
    TQSetStringEncryptData(g_tq2dStringKeyTable.data(), static_cast<DWORD>(g_tq2dStringKeyTable.size()));
    if (!info->pfnFrame)
        return nullptr;
    g_hInstance = info->hInstance;
    g_pTQ2DDevice = TQGfxCreate(TQGfxDevice::kVersion);
    if (!g_pTQ2DDevice)
        return nullptr;
    ++g_dwTQ2DEngineSerial;
    const TQString defaultTitle = DefaultTitle();
    ApplyInitInfo(*info, defaultTitle);
    SetState(TQGFX_HIDEMOUSE, TQGfxStateValue(true));
    SetState(TQGFX_USESOUND, TQGfxStateValue(true));
    if (!g_pTQ2DDevice->System_Initiate())
        return nullptr;
    g_hDefaultFont = CreateDefaultFont();
    HWND hwnd = DeviceWindow();
    SetFocus(hwnd);
    // Keys are the game's: the input method serves an edit, which takes the input context while it
    // has the focus (TQ2DGUIEdit).
    ImmAssociateContextEx(hwnd, nullptr, 0);
    g_pfnSavedWndProc =
        reinterpret_cast<WNDPROC>(SetWindowLongA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(TQ2DWndProc)));
    return g_hMainWnd ? g_hMainWnd : hwnd;
}

void TQ2DLoop() {
    if (g_hMainWnd)
        RunMainWindowLoop();
    else if (g_pTQ2DDevice)
        g_pTQ2DDevice->System_Start();
}

void TQ2DQuit() {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->System_Quit();
}

bool TQ2DIsActive() {
    return g_pTQ2DDevice && g_pTQ2DDevice->IsActive();
}

void TQ2DClose() {
    if (!g_pTQ2DDevice)
        return;
    HWND hwnd = DeviceWindow();
    if (g_pfnSavedWndProc && hwnd)
        SetWindowLongA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnSavedWndProc));
    g_pfnSavedWndProc = nullptr;
    g_pTQ2DDevice->System_Shutdown();
    g_pTQ2DDevice->Release();
    g_pTQ2DDevice = nullptr;
    if (g_hMainWnd) {
        DestroyWindow(g_hMainWnd);
        UnregisterClassA(kMainWindowClass, g_hInstance);
        g_hMainWnd = nullptr;
    }
    if (g_hDefaultFont) {
        DeleteObject(g_hDefaultFont);
        g_hDefaultFont = nullptr;
    }
}

HWND TQ2DGetMsgWnd() {
    return g_pTQ2DDevice ? DeviceWindow() : nullptr;
}

HWND TQ2DGetMainWnd() {
    return g_hMainWnd;
}

HFONT TQ2DGetDefaultFont() {
    return g_hDefaultFont;
}
