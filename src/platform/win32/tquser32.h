/// @file
/// USER32 stand-ins: window classes and windows, the per-thread message queue, window procedures,
/// keyboard and mouse state, cursors and icons. Windows are shown through the video backend
/// (video/tqvideo.h): headless, or real windows through SDL.
/// This reference leaves the declarations out: names, values and meanings are as on the platform.
#pragma once

#include "platform/win32/tqwintypes.h"

/// @cond PLATFORM_DECLARATIONS
typedef WORD ATOM;

// Messages.
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ACTIVATEAPP 0x001C
#define WM_SETCURSOR 0x0020
#define WM_KEYFIRST 0x0100
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_KEYLAST 0x0109
#define WM_IME_STARTCOMPOSITION 0x010D
#define WM_IME_ENDCOMPOSITION 0x010E
#define WM_IME_COMPOSITION 0x010F
#define WM_SYSCOMMAND 0x0112
#define WM_MOUSEFIRST 0x0200
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MBUTTONDBLCLK 0x0209
#define WM_MOUSEWHEEL 0x020A
#define WM_MOUSELAST 0x020A
#define WM_USER 0x0400

// WM_IME_COMPOSITION flags (lParam), also the ImmGetCompositionStringA indices.
#define GCS_COMPSTR 0x0008
#define GCS_RESULTSTR 0x0800

// WM_SIZE kinds, WM_SYSCOMMAND commands, WM_SETCURSOR hit codes, mouse-message key flags.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2
#define SC_CLOSE 0xF060
#define HTCLIENT 1
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010
#define WHEEL_DELTA 120

// PeekMessageA options.
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

// Window styles.
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW 0x00CF0000L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_APPWINDOW 0x00040000L

// Class styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020

#define CW_USEDEFAULT ((int)0x80000000)

// Window and class long indexes. The slots are pointer-sized, so a window procedure or a handle
// survives SetWindowLongA / GetWindowLongA whole.
#define GWL_WNDPROC (-4)
#define GWL_HINSTANCE (-6)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_USERDATA (-21)
#define GCL_HCURSOR (-12)
#define GCL_HICON (-14)

// SetWindowPos.
#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)(LONG_PTR)-1)
#define HWND_NOTOPMOST ((HWND)(LONG_PTR)-2)
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080

// ShowWindow.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWNA 8
#define SW_RESTORE 9

// GetSystemMetrics. Frames are those of the classic look: a fixed frame of 3 pixels, a sizing frame
// of 4, a border of 1 and a caption of 19, so that window and client rectangles convert exactly.
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CYCAPTION 4
#define SM_CXFIXEDFRAME 7
#define SM_CYFIXEDFRAME 8
#define SM_CXSIZEFRAME 32
#define SM_CYSIZEFRAME 33
#define SM_CXDOUBLECLK 36
#define SM_CYDOUBLECLK 37

// Resources and stock objects.
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(p) ((((ULONG_PTR)(p)) >> 16) == 0)
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define BLACK_BRUSH 4

/// @endcond
/// @{
/// Virtual-key codes: TQ2DGetKeyState, TQ2DGetKey and TQ2D_INPUT_EVENT_tag::key take them. Letters
/// and digits are their upper-case ASCII codes ('A' to 'Z', '0' to '9') and have no names.
///
/// Every code the keyboard sends is named here: the letters and digits, VK_F1 to VK_F12 (VK_F13 to
/// VK_F24 are named too, but keyboards here send none), Enter (also the keypad's), Escape,
/// Backspace, Tab, Space, Caps Lock, Num Lock, Scroll Lock, Pause, Print Screen (VK_SNAPSHOT), the
/// six editing keys (VK_INSERT, VK_DELETE, VK_HOME, VK_END, VK_PRIOR for Page Up, VK_NEXT for Page
/// Down), the arrows, the keypad (VK_NUMPAD0 to VK_NUMPAD9 and VK_DECIMAL with Num Lock on; without
/// it the editing keys, the arrows and VK_CLEAR for 5; VK_DIVIDE, VK_MULTIPLY, VK_SUBTRACT, VK_ADD),
/// the punctuation keys (VK_OEM_...: their meaning follows the US layout's key positions), the
/// Windows and menu keys (VK_LWIN, VK_RWIN, VK_APPS), and Shift, Ctrl and Alt: events carry
/// VK_SHIFT, VK_CONTROL and VK_MENU, while TQ2DGetKeyState also answers the left and right ones
/// (VK_LSHIFT ... VK_RMENU).
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_CANCEL 0x03
#define VK_MBUTTON 0x04
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_CLEAR 0x0C
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_CONVERT 0x1C
#define VK_NONCONVERT 0x1D
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_NUMPAD0 0x60
#define VK_NUMPAD1 0x61
#define VK_NUMPAD2 0x62
#define VK_NUMPAD3 0x63
#define VK_NUMPAD4 0x64
#define VK_NUMPAD5 0x65
#define VK_NUMPAD6 0x66
#define VK_NUMPAD7 0x67
#define VK_NUMPAD8 0x68
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_F13 0x7C
#define VK_F14 0x7D
#define VK_F15 0x7E
#define VK_F16 0x7F
#define VK_F17 0x80
#define VK_F18 0x81
#define VK_F19 0x82
#define VK_F20 0x83
#define VK_F21 0x84
#define VK_F22 0x85
#define VK_F23 0x86
#define VK_F24 0x87
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE
#define VK_OEM_102 0xE2
#define VK_PROCESSKEY 0xE5
#define VK_OEM_COPY 0xF2
/// @}
/// @cond PLATFORM_DECLARATIONS

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

// Window classes. Names are compared without regard to case; the class holds no extra bytes.
ATOM RegisterClassA(const WNDCLASSA* wndClass);
ATOM RegisterClassExA(const WNDCLASSEXA* wndClass);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);

// Windows. CreateWindowExA sends WM_CREATE (a result of -1 fails the creation) and then WM_SIZE
// (SIZE_RESTORED, client size) before it returns. Styles map onto the shown window: a caption
// means a decorated window, a popup without caption a borderless one, a child is drawn inside
// its parent, WS_EX_TOPMOST keeps it above others; a topmost popup without caption at (0, 0) is
// shown full screen (the desktop's mode). The title is GBK.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// Sends WM_DESTROY to the window, then to its children, and frees them.
BOOL DestroyWindow(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL SetWindowTextA(HWND window, LPCSTR text);
LONG_PTR GetWindowLongA(HWND window, int index);
LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value);
ULONG_PTR SetClassLongA(HWND window, int index, LONG_PTR value);
// Moves and sizes a window (screen coordinates for top-level windows, parent client coordinates
// for children); a changed client size sends WM_SIZE.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL ClientToScreen(HWND window, LPPOINT point);
BOOL ScreenToClient(HWND window, LPPOINT point);
int GetSystemMetrics(int index);
HWND GetForegroundWindow();
HWND GetFocus();
// Keyboard focus of the calling thread; sends WM_KILLFOCUS and WM_SETFOCUS. Returns the previous.
HWND SetFocus(HWND window);
BOOL ValidateRect(HWND window, LPCRECT rect);

// Messages. Each thread has its own queue; a window's messages go to the thread that created it.
// PeekMessageA and GetMessageA first turn the video backend's pending events into messages.
// WM_QUIT comes only when no other message is waiting. Pumping is re-entrant.
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage);
BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);
// Key downs become WM_CHAR (WM_SYSKEYDOWN: WM_SYSCHAR) by the ToAscii rules, queued first. For keys
// from the video backend, whose typed text arrives as WM_CHAR messages of its own (in the keyboard
// layout of the desktop, GBK), only control characters (Enter, Tab, Backspace, Escape, Ctrl+letter)
// are made here.
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
// Calls the window's procedure at once (from any thread: on the caller's thread).
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Default handling: Alt+F4 (WM_SYSKEYDOWN) sends WM_SYSCOMMAND SC_CLOSE, which sends WM_CLOSE,
// which destroys the window; WM_SETCURSOR over the client area shows the class cursor.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Keyboard and mouse state. GetKeyState and GetKeyboardState reflect the messages retrieved so far
// (high bit down, low bit toggled); GetAsyncKeyState the state now, mouse buttons included.
SHORT GetKeyState(int virtualKey);
SHORT GetAsyncKeyState(int virtualKey);
BOOL GetKeyboardState(BYTE* keyState);
// The character of a key for a keyboard state, in the desktop's keyboard layout (a US layout when
// the video backend does not know it): 1 with it in *chars, else 0.
int ToAscii(UINT virtualKey, UINT scanCode, const BYTE* keyState, WORD* chars, UINT flags);
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);

// Cursors and icons. LoadIconA with a name looks for "<name>.bmp" in the application folder when
// the window shows it; the system icon and cursors are the backend's own.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// NULL hides the cursor over the program's windows. Returns the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
// Display counter: the cursor shows while it is 0 or more. Returns the new count.
int ShowCursor(BOOL show);
HGDIOBJ GetStockObject(int object);
/// @endcond
