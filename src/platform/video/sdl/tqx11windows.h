// What SDL leaves out about the X11 windows behind its windows: whether another client destroyed
// one, and whether a window manager runs. Without X11 (another SDL video driver) nothing is known:
// no window is ever reported destroyed and a window manager is assumed.
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

} // namespace tqplat
