// TQGfxDevice: factory, reference count, start-up and shut-down, errors, launching and window
// placement.
#include "device/tqgfxdevice.h"

#include "platform/imm32/tqimm32.h"
#include "platform/win32/tqshell32.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/tqwinmm.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

TQGfxDevice* g_pDevice = nullptr;
int g_nRef = 0;

const char kWindowClass[] = "TQG_WNDCLASS";

// Windowed style when the window-style state is 0: popup, visible, caption, system menu, minimise.
const DWORD kDefaultWindowedStyle = 0x90CA0000;
const DWORD kFullScreenStyle = WS_POPUP | WS_VISIBLE;
const DWORD kChildStyle = WS_CHILD | WS_VISIBLE;

// Copies text into a fixed buffer, cut to fit with its NUL.
void CopyCut(char* dest, size_t size, const char* text) {
    snprintf(dest, size, "%s", text ? text : "");
}

// A rectangle of the given size centred on the screen; one larger than the screen starts at its
// top left corner, so that the title bar stays within reach.
RECT CentredRect(int width, int height) {
    RECT rect;
    rect.left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    rect.top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

} // namespace

TQGfxDevice* TQGfxCreate(int version) {
    if (version != TQGfxDevice::kVersion)
        return nullptr;
    if (!g_pDevice)
        g_pDevice = new (std::nothrow) TQGfxDevice();
    // A failed allocation hands out no reference.
    if (g_pDevice)
        ++g_nRef;
    return g_pDevice;
}

TQGfxDevice* TQGfxDevice::Instance() {
    return g_pDevice;
}

TQGfxDevice::TQGfxDevice() : m_hInstance(GetModuleHandleA(nullptr)) {
    FindApplicationFolder();
}

TQGfxDevice::~TQGfxDevice() = default;

void TQGfxDevice::FindApplicationFolder() {
    GetModuleFileNameA(m_hInstance, m_szAppPath, sizeof(m_szAppPath));
    m_szAppPath[sizeof(m_szAppPath) - 1] = '\0';
    for (int i = static_cast<int>(strlen(m_szAppPath)) - 1; i > 0; --i) {
        if (m_szAppPath[i] == '\\') {
            m_szAppPath[i + 1] = '\0';
            break;
        }
    }
}

void TQGfxDevice::Release() {
    if (g_nRef <= 0 || --g_nRef > 0)
        return;
    if (m_hWnd)
        System_Shutdown();
    Resource_RemoveAllPacks();
    if (m_hSearch)
        FindClose(m_hSearch);
    delete this;
    g_pDevice = nullptr;
}

void TQGfxDevice::LogStartBanner() {
    System_Log("TQGfxDevice Started..\n");
    System_Log("TQGfxDevice version: %X.%X", 0, kVersion);
    SYSTEMTIME now;
    GetLocalTime(&now);
    System_Log("Date: %02d.%02d.%d, %02d:%02d:%02d\n", now.wDay, now.wMonth, now.wYear, now.wHour,
               now.wMinute, now.wSecond);
    System_Log("Application: %s", m_szTitle);
    OSVERSIONINFOA os{};
    os.dwOSVersionInfoSize = sizeof(os);
    GetVersionExA(&os);
    System_Log("OS: Windows %ld.%ld.%ld", static_cast<long>(os.dwMajorVersion),
               static_cast<long>(os.dwMinorVersion), static_cast<long>(os.dwBuildNumber));
    MEMORYSTATUS memory{};
    GlobalMemoryStatus(&memory);
    System_Log("Memory: %ldK total, %ldK free\n", static_cast<long>(memory.dwTotalPhys >> 10),
               static_cast<long>(memory.dwAvailPhys >> 10));
}

bool TQGfxDevice::RegisterWindowClass() {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = m_hInstance;
    wc.hIcon = m_szIcon ? LoadIconA(m_hInstance, m_szIcon) : LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = m_hCursor ? m_hCursor : LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kWindowClass;
    if (RegisterClassA(&wc))
        return true;
    PostError("Can't register window class");
    return false;
}

void TQGfxDevice::ComputeWindowRects() {
    m_dwStyleW = m_dwWndStyle ? m_dwWndStyle : kDefaultWindowedStyle;
    m_rectW = CentredRect(m_nScreenWidth, m_nScreenHeight);
    if ((m_dwStyleW & WS_CAPTION) == WS_CAPTION) {
        int outerWidth = m_nScreenWidth + 2 * GetSystemMetrics(SM_CXFIXEDFRAME);
        int outerHeight =
            m_nScreenHeight + 2 * GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION);
        m_rectW = CentredRect(outerWidth, outerHeight);
    }
    m_rectFS = RECT{0, 0, m_nScreenWidth, m_nScreenHeight};
    m_dwStyleFS = kFullScreenStyle;
    if (m_hWndParent) {
        m_rectW = RECT{0, 0, m_nScreenWidth, m_nScreenHeight};
        m_dwStyleW = kChildStyle;
        m_bWindowed = true;
    }
}

bool TQGfxDevice::CreateDeviceWindow() {
    if (m_bWindowed) {
        m_hWnd = CreateWindowExA(m_dwWndExStyle, kWindowClass, m_szTitle, m_dwStyleW, m_rectW.left,
                                 m_rectW.top, m_rectW.right - m_rectW.left, m_rectW.bottom - m_rectW.top,
                                 m_hWndParent, nullptr, m_hInstance, nullptr);
    } else {
        m_hWnd = CreateWindowExA(m_dwWndExStyle | WS_EX_TOPMOST, kWindowClass, m_szTitle, m_dwStyleFS, 0, 0,
                                 0, 0, nullptr, nullptr, m_hInstance, nullptr);
    }
    if (m_hWnd) {
        // Keys are the game's: a running input method would take letters for its compositions. An
        // edit of the GUI takes the input context while it has the focus (TQ2DGUIEdit).
        ImmAssociateContextEx(m_hWnd, nullptr, 0);
        return true;
    }
    PostError("Can't create window");
    return false;
}

void TQGfxDevice::ResetTimer() {
    m_fTime = 0.0f;
    m_pacer.Reset(timeGetTime());
}

bool TQGfxDevice::System_Initiate() {
    // A device quit before runs frames again once initiated anew.
    m_bStop = false;
    LogStartBanner();
    if (!RegisterWindowClass())
        return false;
    ComputeWindowRects();
    if (!CreateDeviceWindow())
        return false;
    ShowWindow(m_hWnd, SW_SHOW);
    timeBeginPeriod(1);
    Random_Seed(0);
    if (!GfxInit() || !SoundInit()) {
        System_Shutdown();
        return false;
    }
    System_Log("Init done.\n");
    ResetTimer();
    return true;
}

void TQGfxDevice::DestroyDeviceWindow() {
    if (!m_hWnd)
        return;
    // The window procedure posts WM_QUIT when a window ends on its own; the device ending its own
    // window must leave no WM_QUIT for the next start-up's loop.
    m_bDestroyingWindow = true;
    DestroyWindow(m_hWnd);
    m_bDestroyingWindow = false;
    m_hWnd = nullptr;
}

void TQGfxDevice::System_Shutdown() {
    System_Log("\nFinishing..");
    timeEndPeriod(1);
    ClearQueue();
    SoundDone();
    GfxDone();
    DestroyDeviceWindow();
    if (m_hInstance)
        UnregisterClassA(kWindowClass, m_hInstance);
    System_Log("The End.");
}

void TQGfxDevice::System_Quit() {
    m_bStop = true;
}

char* TQGfxDevice::System_GetErrorMessage() {
    return m_szError;
}

void TQGfxDevice::PostError(const char* text) {
    System_Log("%s", text ? text : "");
    // The last error posted again is kept as it is.
    if (text != m_szError)
        CopyCut(m_szError, sizeof(m_szError), text);
}

bool TQGfxDevice::System_Launch(const char* target) {
    HINSTANCE result = ShellExecuteA(m_hWnd, nullptr, target, nullptr, nullptr, SW_SHOWMAXIMIZED);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void TQGfxDevice::AdjustWindow() {
    const RECT& rect = m_bWindowed ? m_rectW : m_rectFS;
    DWORD style = m_bWindowed ? m_dwStyleW : m_dwStyleFS;
    SetWindowLongA(m_hWnd, GWL_STYLE, style);
    LONG_PTR exStyle = GetWindowLongA(m_hWnd, GWL_EXSTYLE);
    if (m_bWindowed) {
        SetWindowLongA(m_hWnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_TOPMOST));
        SetWindowPos(m_hWnd, HWND_NOTOPMOST, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_FRAMECHANGED);
    } else {
        SetWindowLongA(m_hWnd, GWL_EXSTYLE, exStyle | WS_EX_TOPMOST);
        SetWindowPos(m_hWnd, HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_FRAMECHANGED);
    }
}

void TQGfxDevice::Resize(int width, int height) {
    // A top-level window keeps its back buffer the size of the width and height states.
    if (!m_hWndParent)
        return;
    if (m_pfnFocusLost)
        m_pfnFocusLost();
    m_d3dppW.BackBufferWidth = static_cast<UINT>(width);
    m_d3dppW.BackBufferHeight = static_cast<UINT>(height);
    m_nScreenWidth = width;
    m_nScreenHeight = height;
    SetProjectionMatrix(width, height);
    GfxRestore();
    if (m_pfnFocusGain)
        m_pfnFocusGain();
}
