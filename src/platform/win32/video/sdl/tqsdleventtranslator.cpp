#include "platform/win32/video/sdl/tqsdleventtranslator.h"

#include "platform/codepage/tqcodepage.h"
#include "platform/win32/tqcursorstate.h"
#include "platform/win32/tqkeyboardlayout.h"
#include "platform/win32/tqkeyboardstate.h"
#include "platform/win32/tqmessagequeue.h"
#include "platform/win32/tqplatformtest.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/tqwindowregistry.h"
#include "platform/win32/video/sdl/tqkeymap.h"
#include "platform/win32/video/tqvideo.h"

#include <algorithm>
#include <cstring>

namespace tqplat {
namespace {

KeyboardState& Keys() {
    return KeyboardState::Instance();
}

bool AsyncDown(BYTE key) {
    return (Keys().Async(key) & 0x80) != 0;
}

void SyncLockKeys(Uint16 modifiers) {
    Keys().SetToggled(VK_CAPITAL, (modifiers & KMOD_CAPS) != 0);
    Keys().SetToggled(VK_NUMLOCK, (modifiers & KMOD_NUM) != 0);
    Keys().SetToggled(VK_SCROLL, (modifiers & KMOD_SCROLL) != 0);
}

bool IsLockKey(BYTE key) {
    return key == VK_CAPITAL || key == VK_NUMLOCK || key == VK_SCROLL;
}

bool IsAltKey(BYTE key) {
    return key == VK_LMENU || key == VK_RMENU;
}

LPARAM KeyParameter(const KeyMapping& mapping, bool down, bool previouslyDown, bool alt) {
    DWORD bits = 1 | (static_cast<DWORD>(mapping.scanCode) << 16);
    if (mapping.extended)
        bits |= 1u << 24;
    if (alt)
        bits |= 1u << 29;
    if (previouslyDown || !down)
        bits |= 1u << 30;
    if (!down)
        bits |= 1u << 31;
    return static_cast<LPARAM>(bits);
}

// The key as the platform names it: its scan code the window system's where it tells one (SDL's
// scancode may name another key), its virtual key the layout's.
bool MapKey(SDL_Scancode scancode, unsigned nativeScanCode, Uint16 modifiers, KeyMapping* mapping) {
    if (!MapScancode(scancode, (modifiers & KMOD_NUM) != 0, mapping))
        return false;
    if (nativeScanCode != 0 && !mapping->extended)
        mapping->scanCode = static_cast<BYTE>(nativeScanCode);
    BYTE keys[256];
    Keys().CopyRetrieved(keys);
    mapping->virtualKey = MeaningOfKey(mapping->virtualKey, mapping->scanCode, keys).virtualKey;
    return mapping->virtualKey != 0;
}

void PostKey(HWND topLevel, SDL_Scancode scancode, unsigned nativeScanCode, bool down, bool repeat,
             Uint16 modifiers) {
    KeyMapping mapping;
    if (!MapKey(scancode, nativeScanCode, modifiers, &mapping))
        return;
    if (!IsLockKey(mapping.virtualKey))
        SyncLockKeys(modifiers);
    bool previouslyDown = AsyncDown(mapping.virtualKey) || repeat;
    Keys().ChangeAsync(mapping.virtualKey, down);
    // Alt makes system keys, unless Ctrl is down too (the Alt Graph combination); so does F10.
    bool alt = AsyncDown(VK_MENU) || IsAltKey(mapping.virtualKey);
    bool system = (alt && !AsyncDown(VK_CONTROL)) || mapping.virtualKey == VK_F10;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    // Printable characters come from SDL's text events, in the desktop's keyboard layout, while text
    // input is on; without it TranslateMessage makes them of the key, as the layout gives it.
    KeyChange change{mapping.virtualKey, down, SDL_IsTextInputActive() == SDL_TRUE};
    PostWindowMessage(KeyboardTarget(topLevel), message, MessageKey(mapping.virtualKey),
                      KeyParameter(mapping, down, previouslyDown, alt), change);
}

struct NativeKeyState {
    // What the window system told of the key of the next key event, if anything.
    NativeKey next;
    bool noted = false;
    // The right Alt key is down as AltGr, with left Ctrl.
    bool altGrHeld = false;
};

NativeKeyState& Native() {
    static NativeKeyState state;
    return state;
}

// What the window system told of this key event's key (nothing when it told of another event).
NativeKey TakeNativeKey(bool down) {
    NativeKey key;
    if (Native().noted && Native().next.press == down)
        key = Native().next;
    Native().noted = false;
    return key;
}

// AltGr goes down as left Ctrl then right Alt, and up in the reverse order.
void TranslateKey(HWND topLevel, const SDL_KeyboardEvent& key) {
    bool down = key.type == SDL_KEYDOWN;
    SDL_Scancode scancode = key.keysym.scancode;
    NativeKey native = TakeNativeKey(down);
    bool altGr = scancode == SDL_SCANCODE_RALT && (down ? native.altGr : Native().altGrHeld);
    if (altGr && down)
        PostKey(topLevel, SDL_SCANCODE_LCTRL, 0, true, key.repeat != 0, key.keysym.mod);
    PostKey(topLevel, scancode, native.scanCode, down, key.repeat != 0, key.keysym.mod);
    if (altGr && !down)
        PostKey(topLevel, SDL_SCANCODE_LCTRL, 0, false, false, key.keysym.mod);
    if (scancode == SDL_SCANCODE_RALT)
        Native().altGrHeld = altGr && down;
}

void TranslateText(HWND topLevel, const char* utf8) {
    HWND target = KeyboardTarget(topLevel);
    if (!VideoCompositionText().empty())
        VideoSetCompositionText(target, "");
    // Text typed with Alt (not Alt Graph, which is Ctrl+Alt) is a system character.
    UINT message = AsyncDown(VK_MENU) && !AsyncDown(VK_CONTROL) ? WM_SYSCHAR : WM_CHAR;
    for (unsigned char byte : Utf8ToGbk(utf8))
        PostWindowMessage(target, message, byte, 1);
}

WPARAM MouseKeyFlags() {
    WPARAM flags = 0;
    if (AsyncDown(VK_LBUTTON))
        flags |= MK_LBUTTON;
    if (AsyncDown(VK_RBUTTON))
        flags |= MK_RBUTTON;
    if (AsyncDown(VK_MBUTTON))
        flags |= MK_MBUTTON;
    if (AsyncDown(VK_SHIFT))
        flags |= MK_SHIFT;
    if (AsyncDown(VK_CONTROL))
        flags |= MK_CONTROL;
    return flags;
}

// Records the cursor at a point of the top-level client area; returns the window under it and
// the point in that window's client coordinates.
HWND TrackMouse(HWND topLevel, int x, int y, POINT* local) {
    WindowRegistry& registry = WindowRegistry::Instance();
    POINT origin = registry.ClientOrigin(topLevel);
    CursorState::Instance().SetPosition(POINT{origin.x + x, origin.y + y});
    HWND target = registry.ChildAt(topLevel, POINT{x, y});
    POINT targetOrigin = registry.ClientOrigin(target);
    *local = POINT{origin.x + x - targetOrigin.x, origin.y + y - targetOrigin.y};
    return target;
}

void TranslateMotion(HWND topLevel, const SDL_MouseMotionEvent& motion) {
    POINT local;
    HWND target = TrackMouse(topLevel, motion.x, motion.y, &local);
    PostWindowMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    PostWindowMessage(target, WM_MOUSEMOVE, MouseKeyFlags(), MAKELPARAM(local.x, local.y));
}

void TranslateButton(HWND topLevel, const SDL_MouseButtonEvent& button) {
    BYTE key = 0;
    UINT downMessage = 0;
    if (button.button == SDL_BUTTON_LEFT) {
        key = VK_LBUTTON;
        downMessage = WM_LBUTTONDOWN;
    } else if (button.button == SDL_BUTTON_RIGHT) {
        key = VK_RBUTTON;
        downMessage = WM_RBUTTONDOWN;
    } else if (button.button == SDL_BUTTON_MIDDLE) {
        key = VK_MBUTTON;
        downMessage = WM_MBUTTONDOWN;
    } else {
        return;
    }
    bool down = button.type == SDL_MOUSEBUTTONDOWN;
    POINT local;
    HWND target = TrackMouse(topLevel, button.x, button.y, &local);
    Keys().ChangeAsync(key, down);
    Window record;
    bool classWantsDouble =
        WindowRegistry::Instance().Snapshot(target, &record) && (record.windowClass->style & CS_DBLCLKS) != 0;
    // Every second click of a series is a double click (the third starts a new one).
    bool doubleClick = down && classWantsDouble && button.clicks >= 2 && button.clicks % 2 == 0;
    UINT message = !down ? downMessage + 1 : doubleClick ? downMessage + 2 : downMessage;
    PostWindowMessage(target, message, MouseKeyFlags(), MAKELPARAM(local.x, local.y),
                      KeyChange{key, down, false});
}

// Most notches one wheel message can carry: the delta is a signed 16-bit count of 120ths.
const int kMaxWheelNotches = 0x7FFF / WHEEL_DELTA;

void TranslateWheel(HWND topLevel, const SDL_MouseWheelEvent& wheel) {
    int notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
    if (notches == 0)
        return;
    notches = std::max(-kMaxWheelNotches, std::min(notches, kMaxWheelNotches));
    POINT screen = CursorState::Instance().Position();
    WPARAM wParam = MAKEWPARAM(MouseKeyFlags(), static_cast<WORD>(static_cast<SHORT>(notches * WHEEL_DELTA)));
    PostWindowMessage(KeyboardTarget(topLevel), WM_MOUSEWHEEL, wParam, MAKELPARAM(screen.x, screen.y));
}

// A window without a sizing border keeps its client size when the window system gives it another
// (a window resized from outside): the backend stretches its frames and scales the mouse instead.
void TrackSize(HWND topLevel, int width, int height) {
    SIZE current = WindowRegistry::Instance().ClientSize(topLevel);
    Window record;
    if ((current.cx == width && current.cy == height) ||
        !WindowRegistry::Instance().Snapshot(topLevel, &record) || (record.style & WS_THICKFRAME) == 0)
        return;
    WindowRegistry::Instance().Update(topLevel, [width, height](Window& window) {
        RECT insets = FrameInsets(window.style);
        window.rect.right = window.rect.left + insets.left + width + insets.right;
        window.rect.bottom = window.rect.top + insets.top + height + insets.bottom;
    });
    PostWindowMessage(topLevel, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
}

void TrackPosition(HWND topLevel, int clientX, int clientY) {
    WindowRegistry::Instance().Update(topLevel, [clientX, clientY](Window& window) {
        RECT insets = FrameInsets(window.style);
        LONG width = window.rect.right - window.rect.left;
        LONG height = window.rect.bottom - window.rect.top;
        window.rect.left = clientX - insets.left;
        window.rect.top = clientY - insets.top;
        window.rect.right = window.rect.left + width;
        window.rect.bottom = window.rect.top + height;
    });
}

void TranslateWindowEvent(HWND topLevel, const SDL_WindowEvent& window) {
    switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        SetForegroundWindowRecord(topLevel);
        PostWindowMessage(topLevel, WM_ACTIVATEAPP, TRUE, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        PostWindowMessage(topLevel, WM_ACTIVATEAPP, FALSE, 0);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        PostWindowMessage(topLevel, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        TrackSize(topLevel, window.data1, window.data2);
        break;
    case SDL_WINDOWEVENT_MOVED:
        TrackPosition(topLevel, window.data1, window.data2);
        break;
    default:
        break;
    }
}

} // namespace

HWND KeyboardTarget(HWND topLevel) {
    HWND focus = GetFocus();
    return focus != nullptr && WindowRegistry::Instance().TopLevelOf(focus) == topLevel ? focus : topLevel;
}

void TranslateSdlEvent(HWND topLevel, const SDL_Event& event) {
    if (!IsWindow(topLevel))
        return;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(topLevel, event.key);
        break;
    case SDL_TEXTINPUT:
        TranslateText(topLevel, event.text.text);
        break;
    case SDL_TEXTEDITING:
        VideoSetCompositionText(KeyboardTarget(topLevel), event.edit.text);
        break;
    case SDL_MOUSEMOTION:
        TranslateMotion(topLevel, event.motion);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        TranslateButton(topLevel, event.button);
        break;
    case SDL_MOUSEWHEEL:
        TranslateWheel(topLevel, event.wheel);
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(topLevel, event.window);
        break;
    default:
        break;
    }
}

void NoteNativeKey(const NativeKey& key) {
    Native().next = key;
    Native().noted = true;
}

void ForgetNativeKey() {
    Native().noted = false;
}

void TestFeedSdlEvent(HWND window, const SDL_Event& event) {
    TranslateSdlEvent(window, event);
}

} // namespace tqplat
