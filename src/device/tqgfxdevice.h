/// @file
/// TQGfxDevice: the graphics and system device. It owns the window and its message loop, the
/// Direct3D 9 device with quad batching, textures and render targets, input events, the frame timer,
/// sound through the audio module, zip resource packs, the ini file and the log file.
///
/// There is one instance, made by TQGfxCreate(16) and shared by reference count: every holder gives
/// its reference back through Release. Texture, target and sound handles are 32-bit values; texture
/// and target handles index tables with generation counts, so a stale or foreign handle is refused.
#pragma once

#include "device/tqgfxframepacer.h"
#include "device/tqgfxhandletable.h"
#include "platform/d3d9/tqd3d9.h"
#include "platform/d3dx9/tqd3dx9.h"
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqwintypes.h"

#include <bitset>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

/// One vertex: position in pixels (y downwards), depth, ARGB colour, texture coordinates.
struct TQ2D_VERTEX_tag {
    /// Horizontal position in pixels.
    float x;
    /// Vertical position in pixels (downwards).
    float y;
    /// Depth, 0 (near) to 1 (far).
    float z;
    /// ARGB colour.
    DWORD col;
    /// Horizontal texture coordinate, 0..1 across the texture.
    float tx;
    /// Vertical texture coordinate, 0..1 down the texture.
    float ty;
};

/// A triangle: three vertices, a texture handle (0 = none) and a blend mode.
struct TQ2D_TRIPLE_tag {
    /// The corners.
    TQ2D_VERTEX_tag v[3];
    /// Texture handle, 0 = none.
    DWORD tex;
    /// TQ2D_BLEND_ bits.
    int blend;
};

/// A quad: corners top-left, top-right, bottom-right, bottom-left, drawn as (0,1,2) and (2,3,0).
struct TQ2D_QUAD_tag {
    /// The corners.
    TQ2D_VERTEX_tag v[4];
    /// Texture handle, 0 = none.
    DWORD tex;
    /// TQ2D_BLEND_ bits.
    int blend;
};

static_assert(sizeof(TQ2D_VERTEX_tag) == 24, "vertex record is 24 bytes");
static_assert(sizeof(TQ2D_TRIPLE_tag) == 80, "triangle record is 80 bytes");
static_assert(sizeof(TQ2D_QUAD_tag) == 104, "quad record is 104 bytes");

/// Blend-mode bits; each clear bit has a name of its own.
#define TQ2D_BLEND_COLORADD 1
/// Clear TQ2D_BLEND_COLORADD: the texture's colour is multiplied by the vertex colour.
#define TQ2D_BLEND_COLORMUL 0
/// Alpha blending with the target.
#define TQ2D_BLEND_ALPHABLEND 2
/// Clear TQ2D_BLEND_ALPHABLEND: additive blending.
#define TQ2D_BLEND_ALPHAADD 0
/// Writes the depth buffer.
#define TQ2D_BLEND_ZWRITE 4
/// Clear TQ2D_BLEND_ZWRITE.
#define TQ2D_BLEND_NOZWRITE 0
/// Colour multiplied, alpha blended, no depth writes.
#define TQ2D_BLEND_DEFAULT (TQ2D_BLEND_COLORMUL | TQ2D_BLEND_ALPHABLEND | TQ2D_BLEND_NOZWRITE)

/// Primitive types; the value is the number of vertices of one primitive.
#define TQ2D_PRIM_LINES 2
/// Triangles.
#define TQ2D_PRIM_TRIPLES 3
/// Quads.
#define TQ2D_PRIM_QUADS 4

/// Vertices in the batch buffer.
#define TQ2D_VERTEX_BUFFER_SIZE 4000

/// One input event.
struct TQ2D_INPUT_EVENT_tag {
    int type;  ///< TQ2D_INPUT_*
    int key;   ///< virtual key, or the button (1 left, 2 right, 4 middle)
    int flags; ///< TQ2D_INPUTFLAG_* bits
    int chr;   ///< character of a key event, 0 when none
    int wheel; ///< wheel notches, positive away from the user
    float x;   ///< client position of the mouse
    /// Client position of the mouse, vertical.
    float y;
};
static_assert(sizeof(TQ2D_INPUT_EVENT_tag) == 28, "event record is 28 bytes");

/// Event type: a key went down (or repeats).
#define TQ2D_INPUT_KEYDOWN 1
/// Event type: a key went up.
#define TQ2D_INPUT_KEYUP 2
/// Event type: a mouse button went down.
#define TQ2D_INPUT_MBUTTONDOWN 3
/// Event type: a mouse button went up.
#define TQ2D_INPUT_MBUTTONUP 4
/// Event type: the mouse moved.
#define TQ2D_INPUT_MOUSEMOVE 5
/// Event type: the wheel turned.
#define TQ2D_INPUT_MOUSEWHEEL 6

/// Event flag: Shift held.
#define TQ2D_INPUTFLAG_SHIFT 1
/// Event flag: Ctrl held.
#define TQ2D_INPUTFLAG_CTRL 2
/// Event flag: Alt held.
#define TQ2D_INPUTFLAG_ALT 4
/// Event flag: Caps Lock on.
#define TQ2D_INPUTFLAG_CAPSLOCK 8
/// Event flag: Scroll Lock on.
#define TQ2D_INPUTFLAG_SCROLLLOCK 16
/// Event flag: Num Lock on.
#define TQ2D_INPUTFLAG_NUMLOCK 32
/// Event flag: a repeated key-down.
#define TQ2D_INPUTFLAG_REPEAT 64

/// Names of the 256 virtual keys; "?" for the unnamed ones.
extern const char* const g_tqGfxKeyNames[256];

/// A callback of the device: frame, focus lost, focus gained, exit. The frame function ends the loop
/// by returning true; the exit function allows closing the window by returning true.
typedef bool (*TQGfxCallback)();

/// Device state ids.
enum TQGfxStateId {
    /// Frame function (TQGfxCallback), called once per frame; returns true to end the loop.
    TQGFX_FRAMEFUNC = 1,
    /// Called when the application loses the focus.
    TQGFX_FOCUSLOSTFUNC = 2,
    /// Called when the application regains the focus.
    TQGFX_FOCUSGAINFUNC = 3,
    /// Asked before the window closes; true allows it.
    TQGFX_EXITFUNC = 4,
    /// Icon resource name (text, kept by pointer).
    TQGFX_ICON = 6,
    /// Window title (text, copied).
    TQGFX_TITLE = 7,
    /// Client width in pixels (before System_Initiate only).
    TQGFX_SCREENWIDTH = 8,
    /// Client height in pixels (before System_Initiate only).
    TQGFX_SCREENHEIGHT = 9,
    /// Colour depth, 16 or 32 (before System_Initiate only).
    TQGFX_SCREENBPP = 10,
    /// True: a window; false: full screen (switches at once when running, not inside a scene).
    TQGFX_WINDOWED = 11,
    /// True: a depth buffer (before System_Initiate only).
    TQGFX_ZBUFFER = 12,
    /// True: bilinear texture filtering; false: nearest texel.
    TQGFX_TEXTUREFILTER = 13,
    /// Ini file path for the Ini_ functions (relative to the application folder; NULL: none).
    TQGFX_INIFILE = 15,
    /// Log file path (relative to the application folder), emptied when set; NULL: no log file.
    TQGFX_LOGFILE = 16,
    /// True: load the audio module and play sound.
    TQGFX_USESOUND = 18,
    /// Mixing rate in Hz (before sound starts).
    TQGFX_SAMPLERATE = 19,
    /// Effect volume 0..100.
    TQGFX_FXVOLUME = 20,
    /// Music volume 0..100.
    TQGFX_MUSVOLUME = 21,
    /// Frame rate: n > 0 fixed, TQGFX_FPS_UNLIMITED, or TQGFX_FPS_VSYNC.
    TQGFX_FPS = 23,
    /// True: keep running frames while inactive.
    TQGFX_DONTSUSPEND = 24,
    /// True: hide the system cursor over the client area.
    TQGFX_HIDEMOUSE = 25,
    /// The device window (read only).
    TQGFX_HWND = 26,
    /// Parent window: the device draws into a child window of it (before System_Initiate only).
    TQGFX_HWNDPARENT = 27,
    /// Window style of the windowed mode.
    TQGFX_WNDSTYLE = 30,
    /// Extended window style.
    TQGFX_WNDEXSTYLE = 31,
    /// Class cursor of the window.
    TQGFX_CURSOR = 32,
};

/// Frame-rate state values besides n > 0 frames per second.
#define TQGFX_FPS_UNLIMITED 0
/// Synchronised with the display in full screen.
#define TQGFX_FPS_VSYNC (-1)

/// The value of a device state: an int, a bool (first byte), a text or a callback. The slot is
/// pointer-sized so that a window, a cursor, a text or a function fits whole.
struct TQGfxStateValue {
    union {
        LONG_PTR nValue;
        bool bValue;
        const char* szValue;
        TQGfxCallback pfnValue;
    };

    TQGfxStateValue() : nValue(0) {}
    /// An int.
    TQGfxStateValue(int value) : nValue(value) {}
    /// A pointer-sized integer.
    TQGfxStateValue(LONG_PTR value) : nValue(value) {}
    /// A DWORD.
    TQGfxStateValue(DWORD value) : nValue(static_cast<LONG_PTR>(value)) {}
    /// A flag.
    TQGfxStateValue(bool value) : nValue(0) { bValue = value; }
    /// A text (the device keeps the pointer or copies it, depending on the state).
    TQGfxStateValue(const char* value) : szValue(value) {}
    /// A callback.
    TQGfxStateValue(TQGfxCallback value) : pfnValue(value) {}
    /// A window.
    TQGfxStateValue(HWND value) : nValue(reinterpret_cast<LONG_PTR>(value)) {}
    /// A cursor.
    TQGfxStateValue(HCURSOR value) : nValue(reinterpret_cast<LONG_PTR>(value)) {}

    /// The value as an int.
    int AsInt() const { return static_cast<int>(nValue); }
};

class TQGfxDevice;
class TQGfxZipArchive;
namespace tqplat {
class GameFolder;
}

/// The factory: the shared device for interface version 16, NULL for any other version. Every
/// non-NULL result is one reference, given back through Release.
TQGfxDevice* TQGfxCreate(int version);

/// The graphics and system device, made by TQGfxCreate; see tqgfxdevice.h.
class TQGfxDevice final {
public:
    /// Interface version of this device.
    static constexpr int kVersion = 16;

    // ---- System (slots 0-10) ----
    /// Gives back one reference; the last shuts the device down, detaches the packs and frees it.
    virtual void Release();
    /// Logs the start-up lines, creates the window, Direct3D and sound. False on failure (see the
    /// last error).
    virtual bool System_Initiate();
    /// Brings sound, Direct3D and the window down; the device may be initiated again.
    virtual void System_Shutdown();
    /// Runs the frame loop until the frame function returns true, System_Quit, WM_QUIT or the end
    /// of the window. With a parent window it runs one frame per call.
    virtual bool System_Start();
    /// Ends the running loop at its next pass; later System_Start calls return at once.
    virtual void System_Quit();
    /// Sets a TQGfxStateId state; some states only take effect before System_Initiate.
    virtual void System_SetState(int id, TQGfxStateValue value);
    /// The value of a TQGfxStateId state.
    virtual TQGfxStateValue System_GetState(int id);
    /// The last posted error ("" when none).
    virtual char* System_GetErrorMessage();
    /// Appends one formatted line to the log file, when one is set.
    virtual void System_Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
    /// Opens a file or address with the desktop's application.
    virtual bool System_Launch(const char* target);
    /// Saves the back buffer as a BMP file; NULL picks the next "shot%03d.bmp".
    virtual void System_Snapshot(const char* fileName);

    // ---- Resources (slots 11-18) ----
    /// The whole file, from the zip packs (relative names) or the disk; free with Resource_Free.
    virtual void* Resource_Load(const char* name, DWORD* size);
    /// Frees the memory of Resource_Load.
    virtual void Resource_Free(void* data);
    /// Attaches a zip pack (path relative to the application folder or absolute), searched before the
    /// packs attached earlier; password for encrypted entries (NULL: none). False when already
    /// attached or when it cannot be opened.
    virtual bool Resource_AttachPack(const char* path, const char* password);
    /// Detaches the pack attached under path; nothing when none.
    virtual void Resource_RemovePack(const char* path);
    /// Detaches every pack.
    virtual void Resource_RemoveAllPacks();
    /// Absolute path of name (relative names under the application folder), with `\` separators.
    virtual char* Resource_MakePath(const char* name);
    /// First (wildcard given) or next (NULL) matching file / sub-folder name; NULL at the end.
    virtual char* Resource_EnumFiles(const char* wildcard);
    /// Resource_EnumFiles for sub-folders ("." and ".." skipped).
    virtual char* Resource_EnumFolders(const char* wildcard);

    // ---- Ini file and random numbers (slots 19-27) ----
    /// Writes an int to the ini file (TQGFX_INIFILE; nothing without one).
    virtual void Ini_SetInt(const char* section, const char* name, int value);
    /// Reads an int from the ini file; defaultValue when absent or without an ini file.
    virtual int Ini_GetInt(const char* section, const char* name, int defaultValue);
    /// Writes a float to the ini file.
    virtual void Ini_SetFloat(const char* section, const char* name, float value);
    /// Reads a float from the ini file; defaultValue when absent.
    virtual float Ini_GetFloat(const char* section, const char* name, float defaultValue);
    /// Writes a text to the ini file.
    virtual void Ini_SetString(const char* section, const char* name, const char* value);
    /// Reads a text from the ini file (defaultValue when absent); valid until the next call.
    virtual const char* Ini_GetString(const char* section, const char* name, const char* defaultValue);
    /// Seed 0 seeds from the clock.
    virtual void Random_Seed(DWORD seed);
    /// A number from min to max inclusive.
    virtual int Random_Int(int min, int max);
    /// A number from min to max.
    virtual float Random_Float(float min, float max);

    // ---- Timer (slots 28-30) ----
    /// Seconds since System_Start.
    virtual float Timer_GetTime();
    /// Seconds the last frame took.
    virtual float Timer_GetDelta();
    /// Frames in the last second.
    virtual int Timer_GetFPS();

    // ---- Sound (slots 31-48); with no audio module every call does nothing and gives 0 ----
    /// A sound effect from memory (size > 0) or a resource name (size 0): its handle, 0 on failure.
    virtual DWORD Effect_Load(const char* nameOrData, DWORD size);
    /// Frees an effect.
    virtual void Effect_Free(DWORD effect);
    /// Plays an effect with its default volume and panning: the channel, 0 on failure.
    virtual DWORD Effect_Play(DWORD effect);
    /// Plays an effect: volume 0..100, pan -100 (left)..100 (right), pitch a factor of its rate; the
    /// channel, 0 on failure.
    virtual DWORD Effect_PlayEx(DWORD effect, int volume, int pan, float pitch, bool loop);
    /// Tracker music from memory (size > 0) or a resource name (size 0): its handle, 0 on failure.
    virtual DWORD Music_Load(const char* nameOrData, DWORD size);
    /// Frees music.
    virtual void Music_Free(DWORD music);
    /// Plays music from the start: the channel, 0 on failure.
    virtual DWORD Music_Play(DWORD music, bool loop);
    /// A streamed sound from memory (size > 0) or a resource name (size 0): its handle, 0 on failure.
    virtual DWORD Stream_Load(const char* nameOrData, DWORD size);
    /// Frees a stream (and the memory the device read it into).
    virtual void Stream_Free(DWORD stream);
    /// Plays a stream from the start: the channel, 0 on failure.
    virtual DWORD Stream_Play(DWORD stream, bool loop);
    /// Pan -100 (left)..100 (right).
    virtual void Channel_SetPanning(DWORD channel, int pan);
    /// Volume 0..100.
    virtual void Channel_SetVolume(DWORD channel, int volume);
    /// Pitch as a factor of the sound's own rate.
    virtual void Channel_SetPitch(DWORD channel, float pitch);
    /// Pauses a channel.
    virtual void Channel_Pause(DWORD channel);
    /// Resumes a paused channel.
    virtual void Channel_Resume(DWORD channel);
    /// Stops a channel.
    virtual void Channel_Stop(DWORD channel);
    /// Stops every channel.
    virtual void Channel_StopAll();
    /// True while the channel plays.
    virtual bool Channel_IsPlaying(DWORD channel);

    // ---- Input (slots 49-56) ----
    /// The mouse's client position (NULL pointers are skipped).
    virtual void Input_GetMousePos(float* x, float* y);
    /// Moves the mouse to a client position.
    virtual void Input_SetMousePos(float x, float y);
    /// Wheel notches of this frame.
    virtual int Input_GetMouseWheel();
    /// True while the virtual key is held (false while inactive).
    virtual bool Input_GetKeyState(int key);
    /// Name of a virtual key; "?" outside 0..255.
    virtual const char* Input_GetKeyName(int key);
    /// Virtual key pressed this frame, 0 when none.
    virtual int Input_GetKey();
    /// Character typed this frame, 0 when none.
    virtual int Input_GetChar();
    /// Takes the oldest queued event into event (may be NULL); false when the queue is empty.
    virtual bool Input_GetEvent(TQ2D_INPUT_EVENT_tag* event);

    // ---- Rendering (slots 57-66) ----
    /// Begins a scene on a render target (0 = the screen).
    virtual bool Gfx_BeginScene(DWORD target);
    /// Ends the scene and presents it when it was on the screen.
    virtual void Gfx_EndScene();
    /// Clears the target (and its depth buffer) to an ARGB colour.
    virtual void Gfx_Clear(DWORD color);
    /// A one-pixel line in an ARGB colour at depth z.
    virtual void Gfx_RenderLine(float x1, float y1, float x2, float y2, DWORD color, float z);
    /// Draws a triangle.
    virtual void Gfx_RenderTriple(const TQ2D_TRIPLE_tag* triple);
    /// Draws a quad.
    virtual void Gfx_RenderQuad(const TQ2D_QUAD_tag* quad);
    /// Opens a raw batch of primType (2, 3 or 4); *maxPrim gets how many primitives fit. NULL
    /// outside a scene or for another type.
    virtual TQ2D_VERTEX_tag* Gfx_StartBatch(int primType, DWORD texture, int blend, int* maxPrim);
    /// Reports how many primitives the caller wrote into the raw batch (cut to what fits).
    virtual void Gfx_FinishBatch(int primCount);
    /// Clips drawing to the rectangle (cut to the target); width 0 clips to the whole target.
    virtual void Gfx_SetClipping(int x, int y, int width, int height);
    /// Scales and rotates about (x, y), then moves by (dx, dy); vscale 0 resets the view.
    virtual void Gfx_SetTransform(float x, float y, float dx, float dy, float rotation, float hscale,
                                  float vscale);

    // ---- Render targets and textures (slots 67-76) ----
    /// A render target of width x height with an optional depth buffer: its handle, 0 on failure.
    virtual DWORD Target_Create(DWORD width, DWORD height, bool zBuffer);
    /// Frees a render target and its texture.
    virtual void Target_Free(DWORD target);
    /// The target's texture handle (valid for the target's life, across resets).
    virtual DWORD Target_GetTexture(DWORD target);
    /// An empty A8R8G8B8 texture: its handle, 0 on failure.
    virtual DWORD Texture_Create(DWORD width, DWORD height);
    /// From memory (size > 0) or from a resource name (size 0).
    virtual DWORD Texture_Load(const char* nameOrData, DWORD size);
    /// Frees a texture (stale handles are ignored).
    virtual void Texture_Free(DWORD texture);
    /// imageSize: the loaded image's size rather than the surface's.
    virtual int Texture_GetWidth(DWORD texture, bool imageSize);
    /// Height; see Texture_GetWidth.
    virtual int Texture_GetHeight(DWORD texture, bool imageSize);
    /// Pixels of level 0 (rows of texture width × 4 bytes); NULL on failure.
    virtual DWORD* Texture_Lock(DWORD texture, bool readOnly, int left, int top, int width, int height);
    /// Ends a Texture_Lock.
    virtual void Texture_Unlock(DWORD texture);

    // ---- Used by the device's own parts ----
    /// Logs text and keeps it as the last error.
    void PostError(const char* text);
    /// Applies the window or full-screen style and position.
    void AdjustWindow();
    /// Resizes the back buffer of a child window (nothing for a top-level window).
    void Resize(int width, int height);
    /// Sets the active flag and calls the focus callbacks.
    void FocusChange(bool gained);
    /// The device window's procedure.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    /// Why the last Effect_Load or Stream_Load failed on data it had (the bytes given, or the file it
    /// read), in the audio module's words, such as "not a readable sound file (Format not
    /// recognised.)". Empty after a load that succeeded or found no file. The load only posts its
    /// error; its caller, which knows the file's name, logs the line.
    const char* Sound_LoadProblem() const { return m_soundLoadProblem.c_str(); }

    /// Diagnostics for tests and benchmarks: draw calls issued since start-up, and the Direct3D
    /// device (NULL when none).
    unsigned DrawCallCount() const { return m_nDrawCalls; }
    /// The Direct3D device (NULL when none).
    IDirect3DDevice9* Direct3DDevice() const { return m_pD3DDevice; }
    /// The active flag: the application has focus and the loop runs.
    bool IsActive() const { return m_bActive; }
    /// Why the last Texture_Load failed on data it had (the bytes given, or the file it read): what
    /// is wrong with the image, such as "corrupt image (not enough pixels)", or with the zip pack's
    /// entry that held it. Empty after a load that succeeded or found no file. Texture_Load only
    /// posts its error; its caller, which knows the file's name, logs the line.
    const char* Texture_LoadProblem() const { return m_textureLoadProblem.c_str(); }

    /// What Resource_Find found.
    enum ResourceFound { kResourceNone, kResourceZipEntry, kResourceDiskFile };
    /// A file Resource_Find found, which Resource_Read reads where it is.
    struct FoundResource {
        /// What it is.
        ResourceFound kind = kResourceNone;
        /// The file whatever the spelling that led to it: "zip:" with the archive's resolved path,
        /// "|" and the entry's normalised name, or "disk:" with the resolved path.
        std::string identity;
        /// A zip entry: its pack's path.
        std::string pack;
        /// The pack's password ("" for none).
        std::string password;
        /// The entry's normalised name.
        std::string entry;
        /// The archive of a zip entry.
        std::shared_ptr<TQGfxZipArchive> archive;
        /// A disk file: its resolved (UTF-8) path.
        std::string path;
    };
    /// Which file a name leads to, where Resource_Load reads it: for a relative name the entry of the
    /// first zip pack holding it (then final), else the disk file (a relative name under the
    /// application folder), found by the path resolver, so that a confining tqplat::OpenScope keeps
    /// it inside. Resource_Load is Resource_Find, then Resource_Read.
    ResourceFound Resource_Find(const char* name, FoundResource* found);
    /// The whole file found, read where it was found without looking its name up again (free with
    /// Resource_Free); NULL when it cannot be read (Resource_LoadProblem then says why).
    void* Resource_Read(const FoundResource& found, DWORD* size);
    /// Why the last Resource_Load or Resource_Read failed on a file it found ("the password does not
    /// open zip pack 'X'", "it is not a regular file"); empty after a load that succeeded or found
    /// nothing.
    const char* Resource_LoadProblem() const { return m_resourceLoadProblem.c_str(); }

    /// A render target's record, kept under the target's handle: the real size of the colour
    /// texture, the texture and the optional depth surface, and what to re-create after a reset
    /// (which releases both objects).
    struct TargetEntry {
        /// Colour texture width.
        UINT width;
        /// Colour texture height.
        UINT height;
        /// Colour texture.
        IDirect3DTexture9* texture;
        /// Depth surface, NULL when none.
        IDirect3DSurface9* depth;
        /// Texture handle of the colour texture.
        DWORD textureHandle;
        /// Whether the target has a depth buffer.
        bool hasDepth;
    };
    /// Fills a new render-target record with zeros.
    static void TargetRecordInit(TargetEntry* record);

private:
    friend TQGfxDevice* TQGfxCreate(int version);

    TQGfxDevice();
    ~TQGfxDevice();
    TQGfxDevice(const TQGfxDevice&) = delete;
    TQGfxDevice& operator=(const TQGfxDevice&) = delete;

    // A texture: loaded (with the image size), created, or the colour texture of a render target.
    struct TextureEntry {
        IDirect3DTexture9* texture = nullptr;
        UINT imageWidth = 0;
        UINT imageHeight = 0;
        bool loaded = false;      // from Texture_Load: has an image size, freed at shut-down
        bool targetOwned = false; // belongs to a render target: Texture_Free refuses it
    };

    // A zip pack: its absolute upper-case path, password ("" when none) and the archive kept open.
    struct ZipPack {
        char path[MAX_PATH];
        char password[64];
        std::shared_ptr<TQGfxZipArchive> archive;
        std::shared_ptr<tqplat::GameFolder> folder; // the pack's folder, a game folder while attached
    };

    // Memory a stream plays from, freed with the stream.
    struct StreamMemory {
        DWORD stream;
        void* data;
    };

    // Lifecycle and window (tqgfxdevice.cpp).
    static TQGfxDevice* Instance();
    void FindApplicationFolder();
    void LogStartBanner();
    bool RegisterWindowClass();
    void ComputeWindowRects();
    bool CreateDeviceWindow();
    void ResetTimer();
    void DestroyDeviceWindow();

    // Frame loop (tqgfxdeviceloop.cpp).
    bool RunFrame();
    void WaitBeforeNextPass(DWORD due);
    void PauseWhileInactive();
    void TakeQuitOfClosedWindow();
    bool ExitRefused();
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // States (tqgfxdevicestates.cpp).
    void SetWindowed(bool windowed);
    void SetFrameRate(int fps);
    void SetUseSound(bool useSound);
    void SetFilePath(char* field, const char* path, bool truncate);

    // Renderer (tqgfxdevicerender.cpp).
    bool GfxInit();
    void GfxDone();
    void GfxRestore();
    bool InitLost();
    void ReleaseDefaultPool();
    void LogAdapter();
    bool CreateDirect3DDevice(D3DFORMAT desktopFormat);
    void FillPresentParameters(D3DPRESENT_PARAMETERS* params, D3DFORMAT format, bool windowed);
    bool CreateVertexBuffer();
    bool CreateIndexBuffer();
    void SetFixedStates();
    bool RecoverLostDevice();
    void RenderBatch(bool endScene);
    void SetBlendMode(int blend);
    void BindTexture(DWORD texture);
    void PrepareBatch(int primType, DWORD texture, int blend);
    // The projection that puts the pixel (x, y) of the target at the same pixel when drawn through
    // the viewport (left, top, width, height): what lies outside the viewport is cut, not scaled.
    void SetProjectionMatrix(int width, int height, int left = 0, int top = 0);
    bool SwitchTarget(DWORD target);
    bool TargetHasDepth();
    void TargetBounds(int* width, int* height);
    void LockVertexBuffer();
    static int FormatId(D3DFORMAT format);

    // Textures and targets (tqgfxdevicetextures.cpp).
    IDirect3DTexture9* FindTexture(DWORD handle);
    bool TextureSize(DWORD texture, bool imageSize, UINT* width, UINT* height);
    bool CreateTargetTexture(TargetEntry* entry, UINT width, UINT height);
    bool CreateTargetDepth(TargetEntry* entry, UINT width, UINT height);
    void ReleaseTargetObjects(TargetEntry* entry);
    void RecreateTargetObjects();
    void UnbindIfCurrent(DWORD texture);
    void FreeAllTextures();
    void FreeAllTargets();
    void NextSnapshotName(char* name, size_t size);

    // Input (tqgfxdeviceinput.cpp).
    void BuildEvent(int type, int key, int scan, int flags, int x, int y);
    void ClearQueue();

    // Sound (tqgfxdevicesound.cpp).
    bool SoundInit();
    void SoundDone();
    void SetFXVolume(int volume);
    void SetMusicVolume(int volume);
    bool SoundLoaded() const { return m_hBass != nullptr; }
    void* LoadSoundData(const char* nameOrData, DWORD size, DWORD* length, bool* owned);
    DWORD DecodeEffect(const void* data, DWORD length, const char* name);
    // Opens sound data in memory as a handle; sets *keepData when the handle plays from that memory.
    using SoundOpener = std::function<DWORD(void* data, DWORD length, bool* keepData)>;
    // Reads a named file (or takes data in memory) and opens it; 0 without the audio module.
    DWORD OpenSound(const char* nameOrData, DWORD size, const SoundOpener& open);
    // OpenSound, but with no output every handle is a stand-in and nothing is opened. A refusal is
    // posted after `lead` when there is one.
    DWORD LoadSound(const char* nameOrData, DWORD size, const SoundOpener& open, const char* lead = nullptr);

    // Resources (tqgfxdeviceresources.cpp).
    const ZipPack* FindInPacks(const char* name);
    void* ReadZipEntry(const FoundResource& found, DWORD* size);
    void* ReadDiskFile(const FoundResource& found, DWORD* size);
    char* EnumNext(const char* wildcard, bool folders);
    bool FindDataMatches(bool folders) const;

    // ---- Fields ----
    HINSTANCE m_hInstance;
    HWND m_hWnd = nullptr;
    bool m_bStop = false;
    bool m_bActive = true;
    bool m_bDestroyingWindow = false; // our own DestroyWindow: WM_DESTROY posts no WM_QUIT
    char m_szError[256] = "";
    std::string m_textureLoadProblem;
    std::string m_resourceLoadProblem;
    char m_szAppPath[MAX_PATH] = "";
    char m_szIniString[256] = "";

    TQGfxCallback m_pfnFrame = nullptr;
    TQGfxCallback m_pfnFocusLost = nullptr;
    TQGfxCallback m_pfnFocusGain = nullptr;
    TQGfxCallback m_pfnExit = nullptr;

    const char* m_szIcon = nullptr;
    char m_szTitle[256] = "TQGfx";
    int m_nScreenWidth = 800;
    int m_nScreenHeight = 600;
    int m_nScreenBPP = 32;
    bool m_bWindowed = false;
    bool m_bZBuffer = false;
    bool m_bTextureFilter = true;
    char m_szIniFile[MAX_PATH] = "";
    char m_szLogFile[MAX_PATH] = "";
    bool m_bUseSound = true;
    int m_nSampleRate = 44100;
    int m_nFXVolume = 100;
    int m_nMusVolume = 100;
    int m_nFPS = 0;
    bool m_bHideMouse = true;
    bool m_bDontSuspend = false;
    HWND m_hWndParent = nullptr;
    DWORD m_dwWndStyle = 0;
    DWORD m_dwWndExStyle = 0;
    HCURSOR m_hCursor = nullptr;

    D3DPRESENT_PARAMETERS* m_pD3DPP = nullptr;
    D3DPRESENT_PARAMETERS m_d3dppW{};
    RECT m_rectW{};
    DWORD m_dwStyleW = 0;
    D3DPRESENT_PARAMETERS m_d3dppFS{};
    RECT m_rectFS{};
    DWORD m_dwStyleFS = 0;

    // Renderer.
    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pD3DDevice = nullptr;
    IDirect3DVertexBuffer9* m_pVB = nullptr;
    IDirect3DIndexBuffer9* m_pIB = nullptr;
    IDirect3DSurface9* m_pScreenSurf = nullptr;
    IDirect3DSurface9* m_pScreenDepth = nullptr;
    TQGfxHandleTable<TargetEntry> m_targets;
    DWORD m_curTarget = 0;
    bool m_bCurTargetKnown = true; // false: the next scene sets its target whatever it is
    bool m_bDeviceLost = false;    // a reset failed: scenes fail until a restore succeeds
    D3DXMATRIX m_matView;
    D3DXMATRIX m_matProj;
    TQGfxHandleTable<TextureEntry> m_textures;
    TQ2D_VERTEX_tag* m_pVertArray = nullptr;
    int m_nPrim = 0;
    int m_curPrimType = TQ2D_PRIM_QUADS;
    int m_curBlendMode = TQ2D_BLEND_DEFAULT;
    DWORD m_curTexture = 0;
    unsigned m_nDrawCalls = 0;

    // Sound.
    HMODULE m_hBass = nullptr;
    bool m_bSilent = false;
    std::vector<StreamMemory> m_streams;
    std::string m_soundLoadProblem;

    // Input.
    int m_nVKey = 0;
    int m_nChar = 0;
    int m_nZPos = 0;
    float m_fXPos = 0.0f;
    float m_fYPos = 0.0f;
    std::deque<TQ2D_INPUT_EVENT_tag> m_events;
    // Keys and buttons pressed since the last frame ended: they read as down for one frame even when
    // released before it began.
    std::bitset<256> m_pressedThisFrame;

    // Resources.
    char m_szPath[256] = "";
    std::vector<ZipPack> m_packs; // the most recently attached first
    HANDLE m_hSearch = nullptr;
    WIN32_FIND_DATAA m_findData{};

    // Timer.
    float m_fTime = 0.0f;
    float m_fDeltaTime = 0.0f;
    TQGfxFramePacer m_pacer;
};
