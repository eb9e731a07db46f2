// TQGfxDevice: the device states, their refusals and their live effects.
#include "device/tqgfxdevice.h"

#include "platform/win32/tqpath.h"
#include "platform/win32/tquser32.h"

#include <cstdio>

namespace {

void CallIfSet(TQGfxCallback callback) {
    if (callback)
        callback();
}

} // namespace

void TQGfxDevice::System_SetState(int id, TQGfxStateValue value) {
    bool noDevice = m_pD3DDevice == nullptr;
    switch (id) {
    case TQGFX_FRAMEFUNC:
        m_pfnFrame = value.pfnValue;
        break;
    case TQGFX_FOCUSLOSTFUNC:
        m_pfnFocusLost = value.pfnValue;
        break;
    case TQGFX_FOCUSGAINFUNC:
        m_pfnFocusGain = value.pfnValue;
        break;
    case TQGFX_EXITFUNC:
        m_pfnExit = value.pfnValue;
        break;
    case TQGFX_ICON:
        m_szIcon = value.szValue;
        if (m_hWnd)
            SetClassLongA(m_hWnd, GCL_HICON, reinterpret_cast<LONG_PTR>(LoadIconA(m_hInstance, m_szIcon)));
        break;
    case TQGFX_TITLE:
        // The title read back from this state is the field itself: nothing to copy then.
        if (value.szValue != m_szTitle)
            snprintf(m_szTitle, sizeof(m_szTitle), "%s", value.szValue ? value.szValue : "");
        if (m_hWnd)
            SetWindowTextA(m_hWnd, m_szTitle);
        break;
    case TQGFX_SCREENWIDTH:
        if (noDevice)
            m_nScreenWidth = value.AsInt();
        break;
    case TQGFX_SCREENHEIGHT:
        if (noDevice)
            m_nScreenHeight = value.AsInt();
        break;
    case TQGFX_SCREENBPP:
        if (noDevice)
            m_nScreenBPP = value.AsInt();
        break;
    case TQGFX_WINDOWED:
        SetWindowed(value.bValue);
        break;
    case TQGFX_ZBUFFER:
        if (noDevice)
            m_bZBuffer = value.bValue;
        break;
    case TQGFX_TEXTUREFILTER:
        m_bTextureFilter = value.bValue;
        if (!noDevice) {
            RenderBatch(false);
            DWORD filter = m_bTextureFilter ? D3DTEXF_LINEAR : D3DTEXF_POINT;
            m_pD3DDevice->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
            m_pD3DDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        }
        break;
    case TQGFX_INIFILE:
        SetFilePath(m_szIniFile, value.szValue, false);
        break;
    case TQGFX_LOGFILE:
        SetFilePath(m_szLogFile, value.szValue, true);
        break;
    case TQGFX_USESOUND:
        SetUseSound(value.bValue);
        break;
    case TQGFX_SAMPLERATE:
        if (!SoundLoaded())
            m_nSampleRate = value.AsInt();
        break;
    case TQGFX_FXVOLUME:
        m_nFXVolume = value.AsInt();
        SetFXVolume(m_nFXVolume);
        break;
    case TQGFX_MUSVOLUME:
        m_nMusVolume = value.AsInt();
        SetMusicVolume(m_nMusVolume);
        break;
    case TQGFX_FPS:
        SetFrameRate(value.AsInt());
        break;
    case TQGFX_DONTSUSPEND:
        m_bDontSuspend = value.bValue;
        break;
    case TQGFX_HIDEMOUSE:
        m_bHideMouse = value.bValue;
        break;
    case TQGFX_HWNDPARENT:
        if (!m_hWnd)
            m_hWndParent = reinterpret_cast<HWND>(value.nValue);
        break;
    case TQGFX_WNDSTYLE:
        m_dwWndStyle = static_cast<DWORD>(value.nValue);
        break;
    case TQGFX_WNDEXSTYLE:
        m_dwWndExStyle = static_cast<DWORD>(value.nValue);
        break;
    case TQGFX_CURSOR:
        m_hCursor = reinterpret_cast<HCURSOR>(value.nValue);
        break;
    default:
        break;
    }
}

TQGfxStateValue TQGfxDevice::System_GetState(int id) {
    switch (id) {
    case TQGFX_FRAMEFUNC:
        return m_pfnFrame;
    case TQGFX_FOCUSLOSTFUNC:
        return m_pfnFocusLost;
    case TQGFX_FOCUSGAINFUNC:
        return m_pfnFocusGain;
    case TQGFX_EXITFUNC:
        return m_pfnExit;
    case TQGFX_ICON:
        return m_szIcon;
    case TQGFX_TITLE:
        return static_cast<const char*>(m_szTitle);
    case TQGFX_SCREENWIDTH:
        return m_nScreenWidth;
    case TQGFX_SCREENHEIGHT:
        return m_nScreenHeight;
    case TQGFX_SCREENBPP:
        return m_nScreenBPP;
    case TQGFX_WINDOWED:
        return m_bWindowed;
    case TQGFX_ZBUFFER:
        return m_bZBuffer;
    case TQGFX_TEXTUREFILTER:
        return m_bTextureFilter;
    case TQGFX_INIFILE:
        return m_szIniFile[0] ? TQGfxStateValue(static_cast<const char*>(m_szIniFile)) : TQGfxStateValue(0);
    case TQGFX_LOGFILE:
        return m_szLogFile[0] ? TQGfxStateValue(static_cast<const char*>(m_szLogFile)) : TQGfxStateValue(0);
    case TQGFX_USESOUND:
        return m_bUseSound;
    case TQGFX_SAMPLERATE:
        return m_nSampleRate;
    case TQGFX_FXVOLUME:
        return m_nFXVolume;
    case TQGFX_MUSVOLUME:
        return m_nMusVolume;
    case TQGFX_FPS:
        return m_nFPS;
    case TQGFX_DONTSUSPEND:
        return m_bDontSuspend;
    case TQGFX_HIDEMOUSE:
        return m_bHideMouse;
    case TQGFX_HWND:
        return m_hWnd;
    case TQGFX_HWNDPARENT:
        return m_hWndParent;
    case TQGFX_WNDSTYLE:
        return m_dwWndStyle;
    case TQGFX_WNDEXSTYLE:
        return m_dwWndExStyle;
    case TQGFX_CURSOR:
        return m_hCursor;
    default:
        return 0;
    }
}

void TQGfxDevice::SetWindowed(bool windowed) {
    if (m_pVertArray || m_hWndParent)
        return;
    if (!m_pD3DDevice || windowed == m_bWindowed) {
        m_bWindowed = windowed;
        return;
    }
    if (m_d3dppW.BackBufferFormat == D3DFMT_UNKNOWN || m_d3dppFS.BackBufferFormat == D3DFMT_UNKNOWN)
        return;
    CallIfSet(m_pfnFocusLost);
    if (m_bWindowed)
        GetWindowRect(m_hWnd, &m_rectW);
    m_bWindowed = windowed;
    m_pD3DPP = windowed ? &m_d3dppW : &m_d3dppFS;
    m_nScreenBPP = FormatId(m_pD3DPP->BackBufferFormat) < 4 ? 16 : 32;
    GfxRestore();
    AdjustWindow();
    CallIfSet(m_pfnFocusGain);
}

void TQGfxDevice::SetFrameRate(int fps) {
    if (m_pVertArray)
        return;
    if (m_pD3DDevice && (m_nFPS >= 0) != (fps >= 0)) {
        m_d3dppW.SwapEffect = D3DSWAPEFFECT_DISCARD;
        m_d3dppFS.PresentationInterval =
            fps == TQGFX_FPS_VSYNC ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
        CallIfSet(m_pfnFocusLost);
        GfxRestore();
        CallIfSet(m_pfnFocusGain);
    }
    m_nFPS = fps;
    m_pacer.SetRate(fps);
}

void TQGfxDevice::SetUseSound(bool useSound) {
    if (useSound == m_bUseSound)
        return;
    m_bUseSound = useSound;
    if (!m_hWnd)
        return;
    if (useSound)
        SoundInit();
    else
        SoundDone();
}

// Stores the full form of path in a 260-byte path field (NULL clears it). For the log file the
// file is created or emptied at once; when that fails logging stays off. The path may be the
// field's own text, as read back from the state.
void TQGfxDevice::SetFilePath(char* field, const char* path, bool truncate) {
    if (!path) {
        field[0] = '\0';
        return;
    }
    snprintf(field, MAX_PATH, "%s", Resource_MakePath(path));
    if (!truncate)
        return;
    FILE* file = tqplat::OpenFile(field, "w");
    if (!file) {
        field[0] = '\0';
        return;
    }
    fclose(file);
}
