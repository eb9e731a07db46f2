// Hooks for tests of the platform layer and of the layers above it: the test clock, feeding
// synthetic SDL events to a window, and (in video/tqvideo.h) reading the last presented frame and
// setting the IME composition.
#pragma once

#include "platform/win32/tqwintypes.h"

union SDL_Event;

namespace tqplat {

// Replaces the clock of timeGetTime and GetTickCount with a test clock starting at `start`
// (false returns to the real clock). Sleep advances the test clock instead of waiting.
void TestClockEnable(bool enable, DWORD start = 0);
void TestClockAdvance(DWORD milliseconds);
bool TestClockEnabled();

// Translates an SDL event into the window messages it gives `window` (a top-level window), as the
// SDL backend does with the events it receives; the messages are posted to the window's thread.
// Works with either backend.
void TestFeedSdlEvent(HWND window, const SDL_Event& event);

} // namespace tqplat
