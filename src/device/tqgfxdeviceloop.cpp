// TQGfxDevice: the frame loop, the frame timer and the window procedure.
#include "device/tqgfxdevice.h"

#include "platform/win32/tqpacing.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/tqwinmm.h"

namespace {

// A stall longer than this becomes one fixed interval (or kStallDelta without a fixed rate).
const float kMaxDelta = 0.2f;
const float kStallDelta = 0.01f;
const DWORD kInactiveSleepMs = 80;

int ScanCode(LPARAM lParam) {
    return static_cast<int>((lParam >> 16) & 0xFF);
}

int RepeatFlag(LPARAM lParam) {
    return (lParam & 0x40000000) ? TQ2D_INPUTFLAG_REPEAT : 0;
}

// The button of a mouse-button message: 1 left, 2 right, 4 middle.
int ButtonOf(UINT message) {
    if (message <= WM_LBUTTONDBLCLK)
        return 1;
    return message <= WM_RBUTTONDBLCLK ? 2 : 4;
}

} // namespace

bool TQGfxDevice::System_Start() {
    if (!m_hWnd) {
        PostError("System_Start: System_Initiate wasn't called");
        return false;
    }
    if (!m_pfnFrame) {
        PostError("System_Start: No frame function defined");
        return false;
    }
    m_bActive = true;
    for (;;) {
        if (m_bStop || !IsWindow(m_hWnd))
            break;
        if (!m_hWndParent) {
            MSG msg;
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT)
                    break;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                continue;
            }
        }
        if (!m_bActive && !m_bDontSuspend) {
            PauseWhileInactive();
            continue;
        }
        const DWORD due = m_pacer.NextFrameDue();
        if (static_cast<int32_t>(timeGetTime() - due) >= 0) {
            if (RunFrame())
                break;
        } else {
            WaitBeforeNextPass(due);
        }
    }
    if (!m_hWndParent && !IsWindow(m_hWnd))
        TakeQuitOfClosedWindow();
    ClearQueue();
    m_bActive = false;
    return true;
}

// A window closed from outside posted a quit message as it went (WM_DESTROY), and the loop ended
// on the window's end before reading it: the quit is taken here, so that it cannot end the next
// loop of the same thread at once.
void TQGfxDevice::TakeQuitOfClosedWindow() {
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// Sleeps until timeGetTime() reaches `due`; a device that pumps its own messages wakes for the
// first one to come. A device with a parent window leaves messages to its caller.
void TQGfxDevice::WaitBeforeNextPass(DWORD due) {
    if (m_hWndParent)
        tqplat::SleepUntilTime(due);
    else
        tqplat::WaitMessageUntilTime(due);
}

// One pass of a paused loop: sleeps, or waits for a message when the device pumps its own.
void TQGfxDevice::PauseWhileInactive() {
    if (m_hWndParent)
        Sleep(kInactiveSleepMs);
    else
        tqplat::WaitMessage(kInactiveSleepMs);
}

// Measures the frame, counts it and calls the frame function. True when the loop must end. The
// delta is the time that passed since the last frame began.
bool TQGfxDevice::RunFrame() {
    m_fDeltaTime = static_cast<float>(m_pacer.StartFrame(timeGetTime()) / 1000.0);
    if (m_fDeltaTime > kMaxDelta) {
        const float fixed = m_pacer.FixedInterval();
        m_fDeltaTime = fixed > 0.0f ? fixed : kStallDelta;
    }
    m_fTime += m_fDeltaTime;
    if (m_pfnFrame() || m_hWndParent)
        return true;
    ClearQueue();
    if (!m_bWindowed && m_nFPS == TQGFX_FPS_VSYNC)
        Sleep(1);
    return false;
}

float TQGfxDevice::Timer_GetTime() {
    return m_fTime;
}

float TQGfxDevice::Timer_GetDelta() {
    return m_fDeltaTime;
}

int TQGfxDevice::Timer_GetFPS() {
    return m_pacer.FramesPerSecond();
}

void TQGfxDevice::FocusChange(bool gained) {
    m_bActive = gained;
    if (gained) {
        GfxRestore();
        if (m_pfnFocusGain)
            m_pfnFocusGain();
    } else if (m_pfnFocusLost) {
        m_pfnFocusLost();
    }
}

// True when an exit function is set and refuses to let the window close.
bool TQGfxDevice::ExitRefused() {
    return m_pfnExit && !m_pfnExit();
}

LRESULT CALLBACK TQGfxDevice::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TQGfxDevice* device = Instance();
    if (!device)
        return DefWindowProcA(window, message, wParam, lParam);
    return device->HandleMessage(window, message, wParam, lParam);
}

LRESULT TQGfxDevice::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Signed: while a button holds the capture the pointer can be left of or above the window.
    int x = static_cast<short>(LOWORD(lParam));
    int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        if (!m_bDestroyingWindow)
            PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_RESTORED)
            Resize(x, y);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_PAINT:
        ValidateRect(window, nullptr);
        return 0;
    case WM_ACTIVATEAPP:
        if (m_pD3D && m_bActive != (wParam == 1))
            FocusChange(wParam == 1);
        return 0;
    case WM_SETCURSOR:
        if (m_bActive && LOWORD(lParam) == HTCLIENT && m_bHideMouse)
            SetCursor(nullptr);
        else
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4) {
            if (ExitRefused())
                return 0;
            return DefWindowProcA(window, message, wParam, lParam);
        }
        BuildEvent(TQ2D_INPUT_KEYDOWN, static_cast<int>(wParam), ScanCode(lParam), RepeatFlag(lParam), -1,
                   -1);
        return 0;
    case WM_KEYDOWN:
        BuildEvent(TQ2D_INPUT_KEYDOWN, static_cast<int>(wParam), ScanCode(lParam), RepeatFlag(lParam), -1,
                   -1);
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        BuildEvent(TQ2D_INPUT_KEYUP, static_cast<int>(wParam), ScanCode(lParam), 0, -1, -1);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        SetFocus(window);
        BuildEvent(TQ2D_INPUT_MBUTTONDOWN, ButtonOf(message), 0, 0, x, y);
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        BuildEvent(TQ2D_INPUT_MBUTTONDOWN, ButtonOf(message), 0, TQ2D_INPUTFLAG_REPEAT, x, y);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        BuildEvent(TQ2D_INPUT_MBUTTONUP, ButtonOf(message), 0, 0, x, y);
        return 0;
    case WM_MOUSEMOVE:
        BuildEvent(TQ2D_INPUT_MOUSEMOVE, 0, 0, 0, x, y);
        return 0;
    case WM_MOUSEWHEEL:
        BuildEvent(TQ2D_INPUT_MOUSEWHEEL, static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA, 0, 0, x, y);
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE) {
            if (ExitRefused())
                return 0;
            m_bActive = false;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
