// Turns SDL events into the window messages the platform would send: keys with virtual-key codes
// and scan codes, typed text as GBK character bytes, IME composition, mouse, wheel, focus, close
// and size. Used by the SDL backend for real events and by tests for synthetic ones.
#pragma once

#include "platform/win32/tqwintypes.h"

#include <SDL_events.h>

namespace tqplat {

// The window that keyboard messages of a top-level window go to: the focus window when it lies in
// it, else the top-level window itself.
HWND KeyboardTarget(HWND topLevel);

// Posts the messages of one event of the top-level window `topLevel`.
void TranslateSdlEvent(HWND topLevel, const SDL_Event& event);

// What the window system tells of the key behind the next key event.
struct NativeKey {
    bool press = false;
    // Set-1 scan code of a main-block or keypad key or of a Japanese keyboard's extra key, 0 for any
    // other key.
    unsigned scanCode = 0;
    // The keyboard layout's AltGr (its third-level shift or mode switch, not a plain Alt). AltGr
    // goes down and up as left Ctrl with right Alt, so that what it types is ordinary text.
    bool altGr = false;
};
void NoteNativeKey(const NativeKey& key);
// The noted key had no key event (an input method took it).
void ForgetNativeKey();

} // namespace tqplat
