// TQGfxDevice: the graphics and system device. It owns the window and its message loop, the
// Direct3D 9 device with quad batching, textures and render targets, input events, the frame timer,
// sound through the audio module, zip resource packs, the ini file and the log file.
//
// There is one instance, made by TQGfxCreate(16) and shared by reference count: every holder gives
// its reference back through Release. Texture, target and sound handles are 32-bit values; texture
// and target handles index tables with generation counts, so a stale or foreign handle is refused.
#pragma once

#include "device/tqgfxhandletable.h"
#include "platform/d3d9/tqd3d9.h"
#include "platform/d3dx9/tqd3dx9.h"
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqwintypes.h"

#include <bitset>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

// One vertex: position in pixels (y downwards), depth, ARGB colour, texture coordinates.
struct TQ2D_VERTEX_tag {
    float x;
    float y;
    float z;
    DWORD col;
    float tx;
    float ty;
};

// A triangle: three vertices, a texture handle (0 = none) and a blend mode.
struct TQ2D_TRIPLE_tag {
    TQ2D_VERTEX_tag v[3];
    DWORD tex;
    int blend;
};

// A quad: corners top-left, top-right, bottom-right, bottom-left, drawn as (0,1,2) and (2,3,0).
struct TQ2D_QUAD_tag {
    TQ2D_VERTEX_tag v[4];
    DWORD tex;
    int blend;
};

static_assert(sizeof(TQ2D_VERTEX_tag) == 24, "vertex record is 24 bytes");
static_assert(sizeof(TQ2D_TRIPLE_tag) == 80, "triangle record is 80 bytes");
static_assert(sizeof(TQ2D_QUAD_tag) == 104, "quad record is 104 bytes");

// Blend-mode bits; each clear bit has a name of its own.
#define TQ2D_BLEND_COLORADD 1
#define TQ2D_BLEND_COLORMUL 0
#define TQ2D_BLEND_ALPHABLEND 2
#define TQ2D_BLEND_ALPHAADD 0
#define TQ2D_BLEND_ZWRITE 4
#define TQ2D_BLEND_NOZWRITE 0
#define TQ2D_BLEND_DEFAULT (TQ2D_BLEND_COLORMUL | TQ2D_BLEND_ALPHABLEND | TQ2D_BLEND_NOZWRITE)

// Primitive types; the value is the number of vertices of one primitive.
#define TQ2D_PRIM_LINES 2
#define TQ2D_PRIM_TRIPLES 3
#define TQ2D_PRIM_QUADS 4

// Vertices in the batch buffer.
#define TQ2D_VERTEX_BUFFER_SIZE 4000

// One input event.
struct TQ2D_INPUT_EVENT_tag {
    int type;  // TQ2D_INPUT_*
    int key;   // virtual key, or the button (1 left, 2 right, 4 middle)
    int flags; // TQ2D_INPUTFLAG_* bits
    int chr;   // character of a key event, 0 when none
    int wheel; // wheel notches, positive away from the user
    float x;   // client position of the mouse
    float y;
};
static_assert(sizeof(TQ2D_INPUT_EVENT_tag) == 28, "event record is 28 bytes");

#define TQ2D_INPUT_KEYDOWN 1
#define TQ2D_INPUT_KEYUP 2
#define TQ2D_INPUT_MBUTTONDOWN 3
#define TQ2D_INPUT_MBUTTONUP 4
#define TQ2D_INPUT_MOUSEMOVE 5
#define TQ2D_INPUT_MOUSEWHEEL 6

#define TQ2D_INPUTFLAG_SHIFT 1
#define TQ2D_INPUTFLAG_CTRL 2
#define TQ2D_INPUTFLAG_ALT 4
#define TQ2D_INPUTFLAG_CAPSLOCK 8
#define TQ2D_INPUTFLAG_SCROLLLOCK 16
#define TQ2D_INPUTFLAG_NUMLOCK 32
#define TQ2D_INPUTFLAG_REPEAT 64

// Names of the 256 virtual keys; "?" for the unnamed ones.
extern const char* const g_tqGfxKeyNames[256];

// A callback of the device: frame, focus lost, focus gained, exit. The frame function ends the loop
// by returning true; the exit function allows closing the window by returning true.
typedef bool (*TQGfxCallback)();

// Device state ids.
enum TQGfxStateId {
    TQGFX_FRAMEFUNC = 1,
    TQGFX_FOCUSLOSTFUNC = 2,
    TQGFX_FOCUSGAINFUNC = 3,
    TQGFX_EXITFUNC = 4,
    TQGFX_ICON = 6,
    TQGFX_TITLE = 7,
    TQGFX_SCREENWIDTH = 8,
    TQGFX_SCREENHEIGHT = 9,
    TQGFX_SCREENBPP = 10,
    TQGFX_WINDOWED = 11,
    TQGFX_ZBUFFER = 12,
    TQGFX_TEXTUREFILTER = 13,
    TQGFX_INIFILE = 15,
    TQGFX_LOGFILE = 16,
    TQGFX_USESOUND = 18,
    TQGFX_SAMPLERATE = 19,
    TQGFX_FXVOLUME = 20,
    TQGFX_MUSVOLUME = 21,
    TQGFX_FPS = 23,
    TQGFX_DONTSUSPEND = 24,
    TQGFX_HIDEMOUSE = 25,
    TQGFX_HWND = 26,
    TQGFX_HWNDPARENT = 27,
    TQGFX_WNDSTYLE = 30,
    TQGFX_WNDEXSTYLE = 31,
    TQGFX_CURSOR = 32,
};

// Frame-rate state values besides n > 0 frames per second.
#define TQGFX_FPS_UNLIMITED 0
#define TQGFX_FPS_VSYNC (-1)

// The value of a device state: an int, a bool (first byte), a text or a callback. The slot is
// pointer-sized so that a window, a cursor, a text or a function fits whole.
struct TQGfxStateValue {
    union {
        LONG_PTR nValue;
        bool bValue;
        const char* szValue;
        TQGfxCallback pfnValue;
    };

    TQGfxStateValue() : nValue(0) {}
    TQGfxStateValue(int value) : nValue(value) {}
    TQGfxStateValue(LONG_PTR value) : nValue(value) {}
    TQGfxStateValue(DWORD value) : nValue(static_cast<LONG_PTR>(value)) {}
    TQGfxStateValue(bool value) : nValue(0) { bValue = value; }
    TQGfxStateValue(const char* value) : szValue(value) {}
    TQGfxStateValue(TQGfxCallback value) : pfnValue(value) {}
    TQGfxStateValue(HWND value) : nValue(reinterpret_cast<LONG_PTR>(value)) {}
    TQGfxStateValue(HCURSOR value) : nValue(reinterpret_cast<LONG_PTR>(value)) {}

    int AsInt() const { return static_cast<int>(nValue); }
};

class TQGfxDevice;
class TQGfxZipArchive;

// The factory: the shared device for interface version 16, NULL for any other version. Every
// non-NULL result is one reference, given back through Release.
TQGfxDevice* TQGfxCreate(int version);

class TQGfxDevice final {
public:
    // Interface version of this device.
    static constexpr int kVersion = 16;

    // ---- System (slots 0-10) ----
    // Gives back one reference; the last shuts the device down, detaches the packs and frees it.
    virtual void Release();
    // Logs the start-up lines, creates the window, Direct3D and sound. False on failure (see the
    // last error).
    virtual bool System_Initiate();
    // Brings sound, Direct3D and the window down; the device may be initiated again.
    virtual void System_Shutdown();
    // Runs the frame loop until the frame function returns true, System_Quit, WM_QUIT or the end
    // of the window. With a parent window it runs one frame per call.
    virtual bool System_Start();
    // Ends the running loop at its next pass; later System_Start calls return at once.
    virtual void System_Quit();
    virtual void System_SetState(int id, TQGfxStateValue value);
    virtual TQGfxStateValue System_GetState(int id);
    // The last posted error ("" when none).
    virtual char* System_GetErrorMessage();
    // Appends one formatted line to the log file, when one is set.
    virtual void System_Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Opens a file or address with the desktop's application.
    virtual bool System_Launch(const char* target);
    // Saves the back buffer as a BMP file; NULL picks the next "shot%03d.bmp".
    virtual void System_Snapshot(const char* fileName);

    // ---- Resources (slots 11-18) ----
    // The whole file, from the zip packs (relative names) or the disk; free with Resource_Free.
    virtual void* Resource_Load(const char* name, DWORD* size);
    virtual void Resource_Free(void* data);
    virtual bool Resource_AttachPack(const char* path, const char* password);
    virtual void Resource_RemovePack(const char* path);
    virtual void Resource_RemoveAllPacks();
    // Absolute path of name (relative names under the application folder), with '\' separators.
    virtual char* Resource_MakePath(const char* name);
    // First (wildcard given) or next (NULL) matching file / sub-folder name; NULL at the end.
    virtual char* Resource_EnumFiles(const char* wildcard);
    virtual char* Resource_EnumFolders(const char* wildcard);

    // ---- Ini file and random numbers (slots 19-27) ----
    virtual void Ini_SetInt(const char* section, const char* name, int value);
    virtual int Ini_GetInt(const char* section, const char* name, int defaultValue);
    virtual void Ini_SetFloat(const char* section, const char* name, float value);
    virtual float Ini_GetFloat(const char* section, const char* name, float defaultValue);
    virtual void Ini_SetString(const char* section, const char* name, const char* value);
    virtual const char* Ini_GetString(const char* section, const char* name, const char* defaultValue);
    // Seed 0 seeds from the clock.
    virtual void Random_Seed(DWORD seed);
    virtual int Random_Int(int min, int max);
    virtual float Random_Float(float min, float max);

    // ---- Timer (slots 28-30) ----
    virtual float Timer_GetTime();
    virtual float Timer_GetDelta();
    virtual int Timer_GetFPS();

    // ---- Sound (slots 31-48); with no audio module every call does nothing and gives 0 ----
    virtual DWORD Effect_Load(const char* nameOrData, DWORD size);
    virtual void Effect_Free(DWORD effect);
    virtual DWORD Effect_Play(DWORD effect);
    virtual DWORD Effect_PlayEx(DWORD effect, int volume, int pan, float pitch, bool loop);
    virtual DWORD Music_Load(const char* nameOrData, DWORD size);
    virtual void Music_Free(DWORD music);
    virtual DWORD Music_Play(DWORD music, bool loop);
    virtual DWORD Stream_Load(const char* nameOrData, DWORD size);
    virtual void Stream_Free(DWORD stream);
    virtual DWORD Stream_Play(DWORD stream, bool loop);
    virtual void Channel_SetPanning(DWORD channel, int pan);
    virtual void Channel_SetVolume(DWORD channel, int volume);
    virtual void Channel_SetPitch(DWORD channel, float pitch);
    virtual void Channel_Pause(DWORD channel);
    virtual void Channel_Resume(DWORD channel);
    virtual void Channel_Stop(DWORD channel);
    virtual void Channel_StopAll();
    virtual bool Channel_IsPlaying(DWORD channel);

    // ---- Input (slots 49-56) ----
    virtual void Input_GetMousePos(float* x, float* y);
    virtual void Input_SetMousePos(float x, float y);
    virtual int Input_GetMouseWheel();
    virtual bool Input_GetKeyState(int key);
    virtual const char* Input_GetKeyName(int key);
    virtual int Input_GetKey();
    virtual int Input_GetChar();
    virtual bool Input_GetEvent(TQ2D_INPUT_EVENT_tag* event);

    // ---- Rendering (slots 57-66) ----
    // Begins a scene on a render target (0 = the screen).
    virtual bool Gfx_BeginScene(DWORD target);
    virtual void Gfx_EndScene();
    virtual void Gfx_Clear(DWORD color);
    virtual void Gfx_RenderLine(float x1, float y1, float x2, float y2, DWORD color, float z);
    virtual void Gfx_RenderTriple(const TQ2D_TRIPLE_tag* triple);
    virtual void Gfx_RenderQuad(const TQ2D_QUAD_tag* quad);
    // Opens a raw batch of primType (2, 3 or 4); *maxPrim gets how many primitives fit. NULL
    // outside a scene or for another type.
    virtual TQ2D_VERTEX_tag* Gfx_StartBatch(int primType, DWORD texture, int blend, int* maxPrim);
    // Reports how many primitives the caller wrote into the raw batch (cut to what fits).
    virtual void Gfx_FinishBatch(int primCount);
    virtual void Gfx_SetClipping(int x, int y, int width, int height);
    // Scales and rotates about (x, y), then moves by (dx, dy); vscale 0 resets the view.
    virtual void Gfx_SetTransform(float x, float y, float dx, float dy, float rotation, float hscale,
                                  float vscale);

    // ---- Render targets and textures (slots 67-76) ----
    virtual DWORD Target_Create(DWORD width, DWORD height, bool zBuffer);
    virtual void Target_Free(DWORD target);
    // The target's texture handle (valid for the target's life, across resets).
    virtual DWORD Target_GetTexture(DWORD target);
    virtual DWORD Texture_Create(DWORD width, DWORD height);
    // From memory (size > 0) or from a resource name (size 0).
    virtual DWORD Texture_Load(const char* nameOrData, DWORD size);
    virtual void Texture_Free(DWORD texture);
    // imageSize: the loaded image's size rather than the surface's.
    virtual int Texture_GetWidth(DWORD texture, bool imageSize);
    virtual int Texture_GetHeight(DWORD texture, bool imageSize);
    // Pixels of level 0 (rows of texture width × 4 bytes); NULL on failure.
    virtual DWORD* Texture_Lock(DWORD texture, bool readOnly, int left, int top, int width, int height);
    virtual void Texture_Unlock(DWORD texture);

    // ---- Used by the device's own parts ----
    void PostError(const char* text);
    void AdjustWindow();
    void Resize(int width, int height);
    void FocusChange(bool gained);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Diagnostics for tests and benchmarks: draw calls issued since start-up, and the Direct3D
    // device (NULL when none).
    unsigned DrawCallCount() const { return m_nDrawCalls; }
    IDirect3DDevice9* Direct3DDevice() const { return m_pD3DDevice; }
    // The active flag: the application has focus and the loop runs.
    bool IsActive() const { return m_bActive; }

    // A render target's record, kept under the target's handle: the real size of the colour
    // texture, the texture and the optional depth surface, and what to re-create after a reset
    // (which releases both objects).
    struct TargetEntry {
        UINT width;
        UINT height;
        IDirect3DTexture9* texture;
        IDirect3DSurface9* depth;
        DWORD textureHandle;
        bool hasDepth;
    };
    // Fills a new render-target record with zeros.
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
    void SetProjectionMatrix(int width, int height);
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
    DWORD DecodeEffect(const void* data, DWORD length);

    // Resources (tqgfxdeviceresources.cpp).
    void* LoadFromPacks(const char* name, DWORD* size, bool* found);
    void* LoadFromDisk(const char* name, DWORD* size);
    char* EnumNext(const char* wildcard, bool folders);
    bool FindDataMatches(bool folders) const;

    // ---- Fields ----
    HINSTANCE m_hInstance;
    HWND m_hWnd = nullptr;
    bool m_bStop = false;
    bool m_bActive = true;
    bool m_bDestroyingWindow = false; // our own DestroyWindow: WM_DESTROY posts no WM_QUIT
    char m_szError[256] = "";
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
    DWORD m_nFixedDelta = 0;
    int m_nFPSValue = 0;
    DWORD m_t0 = 0;
    DWORD m_t0fps = 0;
    DWORD m_dt = 0;
    DWORD m_cfps = 0;
};
