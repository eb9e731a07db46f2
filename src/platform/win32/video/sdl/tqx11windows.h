// What SDL leaves out about the X11 windows behind its windows: whether another client destroyed
// one, whether a window manager runs, and which key is the layout's AltGr. Without X11 (another
// SDL video driver) nothing is known: no window is ever reported destroyed, a window manager is
// assumed and no key is AltGr.
#pragma once

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
// True when `event` (a window-system event) is a key press; `altGr` then tells whether the key is
// the keyboard layout's AltGr (its third-level shift or mode switch, not a plain Alt).
bool X11KeyPress(const SDL_Event& event, bool* altGr);

} // namespace tqplat
