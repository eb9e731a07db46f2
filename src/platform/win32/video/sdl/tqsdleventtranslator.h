// Turns SDL events into the window messages the platform would send: keys with virtual-key codes
// and scan codes, typed text as GBK character bytes, IME composition, mouse, wheel, focus, close
// and size. Used by the SDL backend for real events and by tests for synthetic ones.
#pragma once

#include "platform/win32/tqwintypes.h"

#include <SDL_events.h>

namespace tqplat {

// Posts the messages of one event of the top-level window `topLevel`.
void TranslateSdlEvent(HWND topLevel, const SDL_Event& event);

// Tells whether the key press behind the next key event is the keyboard layout's AltGr. AltGr
// goes down and up as left Ctrl with right Alt, so that what it types is ordinary text.
void NoteAltGrPress(bool altGr);

} // namespace tqplat
