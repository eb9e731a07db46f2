// What the other platform libraries need of the video backend (headless or SDL, chosen by TQ_VIDEO).
#pragma once

#include "platform/win32/tqwintypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tqplat {

// Shows a frame of 32-bit pixels (0xAARRGGBB, alpha ignored) in the window's client area.
// `pitch` is in bytes. With vsync the call waits for the display's next refresh (SDL backend).
// The headless backend keeps the frame as the window's last frame.
void VideoPresent(HWND window, const uint32_t* pixels, int width, int height, int pitch, bool vsync);

// The same in two steps, for a caller that fills the frame itself: the window's kept frame, sized
// to width x height pixels 0xAARRGGBB in rows of `width` values, to be filled and then shown with
// VideoPresentKept. Until then nothing else may read the window's frame. NULL (logged) when the
// window or the size is refused.
uint32_t* VideoFrameToKeep(HWND window, int width, int height);
// Shows the window's kept frame.
void VideoPresentKept(HWND window, bool vsync);

// The last frame presented to a window (both backends keep it). False when none was presented.
bool VideoLastFrame(HWND window, std::vector<uint32_t>* pixels, int* width, int* height);
// One pixel of that frame, without copying the frame. False when none was presented or (x, y) lies
// outside it.
bool VideoLastFramePixel(HWND window, int x, int y, uint32_t* pixel);

// Whether the last frame presented to a window waited for the display's refresh.
bool VideoLastPresentWaited(HWND window);

// The current IME composition text, as GBK bytes (empty when no composition is in progress).
std::string VideoCompositionText();

// Whether keys typed into a window go through the input method and come as typed text: on unless
// the window's input context was taken from it (ImmAssociateContextEx). The SDL backend turns text
// input, and so the input method, on only while the window with the keyboard focus has it on;
// otherwise keys reach the window as plain keys.
void VideoSetTextInput(HWND window, bool on);
bool VideoTextInputOn(HWND window);
// Where text is being typed in a window: a rectangle of its client area (the caret, or the
// composition shown in its place), which the input method's candidate window keeps clear of.
void VideoSetTextInputArea(HWND window, const RECT& area);
// False when none was set.
bool VideoTextInputArea(HWND window, RECT* area);

// Sets the composition text (UTF-8) as a text-editing event of the backend would, posting
// WM_IME_STARTCOMPOSITION / WM_IME_COMPOSITION / WM_IME_ENDCOMPOSITION to the window as needed.
// An empty text ends the composition.
void VideoSetCompositionText(HWND window, const char* utf8);

} // namespace tqplat
