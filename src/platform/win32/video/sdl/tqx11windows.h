// What SDL leaves out about the X11 windows behind its windows: whether another client destroyed
// one, whether a window manager runs, which key a key event is and what the keyboard layout puts
// on it. Without X11 (another SDL video driver) nothing is known: no window is ever reported
// destroyed, a window manager is assumed and no key or layout is known.
#pragma once

#include "platform/win32/video/sdl/tqsdleventtranslator.h"
#include "platform/win32/video/tqvideodriver.h"

#include <SDL.h>

namespace tqplat {

// Starts watching, once SDL's video runs: X errors about windows of ours that are gone (drawing
// into a window destroyed from outside) are ignored instead of ending the program.
void WatchX11Windows();
// Notes the X window behind a native window as one of ours.
void RememberX11Window(SDL_Window* native);
// True when `event` (a window-system event) says the X window behind `native` was destroyed.
bool X11WindowDestroyed(const SDL_Event& event, SDL_Window* native);
// True when a window manager runs on the display of `native`.
bool X11WindowManagerRuns(SDL_Window* native);
// True when `event` (a window-system event) is a key press or release, which SDL reports next.
// SDL's scancodes of letter keys follow either the key's place or the layout it found at start,
// depending on how it matched the server's key codes, and never a later layout: the key's own code
// says which key it is.
bool X11KeyEvent(const SDL_Event& event, NativeKey* key);
// True when `event` (a window-system event) is a button press or release in the X window behind a
// native window; `x` and `y` then tell where it was, in that window. SDL reports the button next,
// at the last position it saw in a motion event, which a window moved under a still pointer (a
// switch to or from full screen) leaves stale.
bool X11ButtonEvent(const SDL_Event& event, int* x, int* y);
// Where the pointer is now in the X window behind `native`, and on the screen; false when
// unknown. Asked of the X server each time (SDL's own answer for the screen may be one it kept).
bool X11PointerInWindow(SDL_Window* native, int* x, int* y);
bool X11PointerOnScreen(SDL_Window* native, int* x, int* y);
// The layout's characters of a key (see VideoDriver::keyCharacters), in the keyboard group of the
// last key event.
bool X11KeyCharacters(unsigned scanCode, const KeyLevel& level, char32_t* plain, char32_t* typed);

} // namespace tqplat
