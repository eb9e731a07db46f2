// The interface every video backend implements: a table of hooks, one table per backend, picked
// once by TQ_VIDEO ("headless" or "sdl"). Without TQ_VIDEO the SDL backend is used when a display
// is present (DISPLAY or WAYLAND_DISPLAY set and SDL's video starts), else the headless one.
//
// Backends only deal with top-level windows; children are drawn into their top-level window.
// The window records themselves live in the window registry (win32/tqwindowregistry.h).
#pragma once

#include "platform/win32/tqwintypes.h"

#include <cstdint>

namespace tqplat {

// The modifiers that choose which of a key's symbols it types.
struct KeyLevel {
    bool shift = false;
    bool capsLock = false;
    bool numLock = false;
    bool altGr = false;
};

struct VideoDriver {
    const char* name;
    // Starts the backend; false when it cannot run here.
    bool (*init)();
    void (*screenSize)(int* width, int* height);
    // A top-level window was created (hidden), changed (title, style, rectangle, visibility, icon)
    // or destroyed.
    void (*createWindow)(HWND window);
    void (*syncWindow)(HWND window);
    void (*destroyWindow)(HWND window);
    // Shows pixels (0xAARRGGBB) scaled into `area`, a rectangle of the top-level window's client area.
    void (*present)(HWND topLevel, const RECT& area, const uint32_t* pixels, int width, int height, int pitch,
                    bool vsync);
    // Turns pending backend events into window messages (on the thread that started the backend).
    void (*pumpEvents)();
    void (*setCursorVisible)(bool visible);
    // Moves the cursor to a screen position.
    void (*warpCursor)(int x, int y);
    // Waits up to `milliseconds` for a backend event, without taking it: 1 when one is pending,
    // 0 when the time passed, -1 when the calling thread cannot wait for the backend's events
    // (it has none, or they are pumped on another thread).
    int (*waitEvents)(int milliseconds);
    // What the desktop's keyboard layout puts on the key with set-1 scan code `scanCode` (not
    // extended): the character of its plain level and the one it types at `level` (Unicode, 0 for
    // none). False when the backend does not know the layout (null: it never does).
    bool (*keyCharacters)(unsigned scanCode, const KeyLevel& level, char32_t* plain, char32_t* typed);
};

// The backend in use, started on first use.
const VideoDriver& ActiveVideoDriver();

extern const VideoDriver g_headlessVideoDriver;
extern const VideoDriver g_sdlVideoDriver;

// Drops what the presentation code keeps for a window (its last frame); called when it is destroyed.
void VideoForgetWindow(HWND window);

} // namespace tqplat
