/// @file
/// The engine's exported free functions: start-up, loop and shut-down, input, timing, drawing,
/// sound switches, random numbers, index colours, the default font and IME object, screenshots.
///
/// Call TQ2DInit once, then TQ2DLoop from the same thread (the window belongs to it); inside the
/// frame function the host begins and ends its scenes. TQ2DClose tears the engine down. Every
/// function is safe to call without a started engine: forwarders then do nothing and return 0
/// (NULL, 0.0, false).
#pragma once

#include "device/tqgfxdevice.h"
#include "engine/tq2dtypes.h"
#include "platform/win32/tqwintypes.h"

class TQ2DImm;

/// A frame, focus or exit function of the host.
typedef bool (*TQ2DCallback)();

/// The start-up parameter block. Zero sizes mean 1024 x 768 x 32; the flags are nonzero for yes.
struct TQ2D_INIT_INFO_tag {
    HINSTANCE hInstance;   ///< module of the engine's own main window class
    TQ2DCallback pfnFrame; ///< called once per frame; returns true to end the loop (required)
    /// the application lost the focus (optional); also called, with the focus-gained function
    /// after it, around every reset of the device (a switch between full screen and a window):
    /// TQ2DIsActive() is false in it on a real loss and still true for a reset
    TQ2DCallback pfnFocusLost;
    TQ2DCallback pfnFocusGain; ///< the application regained the focus, or a reset ended (optional)
    TQ2DCallback pfnExit;      ///< may the window close? true allows it (optional)
    const char* szIcon;        ///< icon resource name (optional)
    const char* szTitle;       ///< window title (NULL: the default title)
    int nWidth;                ///< client width, 0 = 1024
    int nHeight;               ///< client height, 0 = 768
    BYTE byBPP;                ///< colour depth, 0 = 32
    /// nonzero: full screen; 0: a window
    BOOL bFullScreen;
    /// nonzero: a depth buffer
    BOOL bZBuffer;
    BOOL bNoFilter; ///< texture filtering off
    /// keep running frames while inactive; without it frames stop while another window has the
    /// focus (sounds and music play on)
    BOOL bRunInactive;
    BOOL bShowCursor;   ///< overridden: the cursor is always hidden over the client area
    int nSampleRate;    ///< Hz, 0 = the device's default
    int nFXVolume;      ///< 0..100, 0 = the device's default
    int nMusicVolume;   ///< 0..100, 0 = the device's default
    /// fixed frame rate; -1 synchronised, 0 free running. In a window every frame also waits for
    /// the display's refresh, whatever the rate; full screen waits only at -1; headless never waits.
    int nFPS;
    DWORD dwWndStyle;   ///< window style (0 = the device's default)
    DWORD dwWndExStyle; ///< extended window style (0 = none)
    HCURSOR hCursor;    ///< class cursor (NULL = the device's default)
};

// ---- Start-up, loop, shut-down ----
/// Starts the engine (closing an earlier start first). Returns the window to use, NULL when info
/// or its frame function is NULL or the device cannot start. The window argument is not used.
/// Keys are the game's: the device window takes text input, and so the input method runs, only
/// while a GUI edit has the focus.
HWND TQ2DInit(TQ2D_INIT_INFO_tag* info, HWND unused);
/// Runs the frame loop until the frame function returns true, TQ2DQuit, or the window goes.
void TQ2DLoop();
/// Ends the running loop at its next pass.
void TQ2DQuit();
/// The device's active flag: false while another window has the focus, and without an engine.
bool TQ2DIsActive();
/// Restores the window procedure, shuts the device down, gives back the engine's reference and
/// deletes the default font. Nothing without an engine.
void TQ2DClose();
/// The device window, NULL without an engine.
HWND TQ2DGetMsgWnd();
/// The engine's own main window (NULL: the library creates none).
HWND TQ2DGetMainWnd();

// ---- Input ----
/// The mouse position in client pixels (NULL pointers are skipped).
void TQ2DGetMousePos(float* x, float* y);
/// Moves the mouse to a client position.
void TQ2DSetMousePos(float x, float y);
/// Wheel notches turned this frame (positive away from the user).
int TQ2DGetMouseWheel();
/// Nonzero while the virtual key (or mouse button) is held; 0 while inactive.
int TQ2DGetKeyState(int key);
/// Name of a virtual key ("?" when unnamed, NULL without an engine).
const char* TQ2DGetKeyName(int key);
/// Virtual key pressed this frame, 0 when none.
int TQ2DGetKey();
/// Character typed this frame (GBK byte), 0 when none.
int TQ2DGetKeyChar();
/// Takes the oldest queued input event: 1, or 0 when the queue is empty.
int TQ2DGetKeyEvent(TQ2D_INPUT_EVENT_tag* event);

// ---- Timing ----
/// Seconds since the loop started.
float TQ2DGetTime();
/// Seconds the last frame took.
float TQ2DGetDeltaTime();
/// Frames drawn in the last second.
int TQ2DGetFPS();

// ---- Drawing ----
/// Begins a scene on a render target (0 = the screen); 0 while the application is inactive.
int TQ2DGfx_BeginScene(unsigned long target);
/// Ends the scene (nothing while inactive).
void TQ2DGfx_EndScene();
/// Clears the scene's target (and its depth buffer) to an ARGB colour.
void TQ2DGfx_Clear(unsigned long color);
/// A one-pixel line in an ARGB colour at depth z (0..1).
void TQ2DGfx_RenderLine(float x1, float y1, float x2, float y2, unsigned long color, float z);
/// Draws a triangle.
void TQ2DGfx_RenderTriple(TQ2D_TRIPLE_tag* triple);
/// Draws a quad.
void TQ2DGfx_RenderQuad(TQ2D_QUAD_tag* quad);
/// Opens a raw batch of TQ2D_PRIM_ type: vertices to fill, *maxPrim the most primitives that fit;
/// NULL outside a scene. End it with TQ2DGfx_FinishBatch.
TQ2D_VERTEX_tag* TQ2DGfx_StartBatch(int primType, unsigned long texture, int blend, int* maxPrim);
/// Draws the primCount primitives written into the raw batch.
void TQ2DGfx_FinishBatch(int primCount);
/// Clips drawing to a rectangle in pixels (cut to the target); width 0 clips to the whole target.
void TQ2DGfx_SetClipping(int x, int y, int width, int height);
/// Scales by (hscale, vscale) and rotates by rotation radians about (x, y), then moves by (dx, dy);
/// vscale 0 resets the view.
void TQ2DGfx_SetTransform(float x, float y, float dx, float dy, float rotation, float hscale, float vscale);

// ---- Sound ----
/// Nonzero: sound objects start no playback. Needs no engine.
void TQ2DSoundMute(int mute);
/// Stops every playing sound and music.
void TQ2DSoundStopAll();
/// Effect volume, 0..100: every TQ2DSound (music keeps its own volume).
void TQ2DSoundVolume(unsigned long volume);
/// Music volume, 0..100: every TQ2DMusic and tracker music.
void TQ2DMusicVolume(unsigned long volume);

// ---- Random numbers (a shared generator a background worker keeps advancing) ----
/// The next 32-bit random number.
unsigned long TQ2DGetRandom();
/// A number between the two bounds inclusive, in either order.
unsigned long TQ2DGetRandomRange(unsigned long a, unsigned long b);

// ---- Others ----
/// One of 17 fixed GDI colours (0x00BBGGRR) for index 0..16, 0 for a larger index.
unsigned long TQ2DGetIndexColor(unsigned char index);
/// The engine's 9-point "Times New Roman" font (NULL before start-up).
HFONT TQ2DGetDefaultFont();
/// The library's IME object.
TQ2DImm& TQ2DGetDefaultImm();
/// Saves the back buffer to path in format (BMP): 1, or 0 for a NULL path, no engine or a failure.
int TQ2DMakeScreenShot(TQ2D_IMAGE_FORMAT format, const char* path);
