// TQGfxDevice: the Direct3D 9 renderer: device creation and restore, fixed states, the batch of
// lines, triangles and quads, scenes on the screen and on render targets, clipping and the view.
#include "device/tqgfxdevice.h"

#include "platform/win32/tquser32.h"

#include <algorithm>
#include <cstring>

namespace {

const DWORD kVertexFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
const UINT kVertexStride = sizeof(TQ2D_VERTEX_tag);
const int kMaxQuads = TQ2D_VERTEX_BUFFER_SIZE / TQ2D_PRIM_QUADS;
const DWORD kBehaviour = D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED;
const DWORD kRestoreWaitMs = 10;

const D3DFORMAT kFullScreenCandidates[] = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
const char* const kFormatNames[] = {"UNKNOWN", "R5G6B5", "X1R5G5B5", "A1R5G5B5", "X8R8G8B8", "A8R8G8B8"};

bool IsPrimType(int primType) {
    return primType == TQ2D_PRIM_LINES || primType == TQ2D_PRIM_TRIPLES || primType == TQ2D_PRIM_QUADS;
}

int MaxPrims(int primType) {
    return TQ2D_VERTEX_BUFFER_SIZE / primType;
}

template <class T> void ReleaseAndClear(T*& object) {
    if (object)
        object->Release();
    object = nullptr;
}

} // namespace

int TQGfxDevice::FormatId(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_R5G6B5:
        return 1;
    case D3DFMT_X1R5G5B5:
        return 2;
    case D3DFMT_A1R5G5B5:
        return 3;
    case D3DFMT_X8R8G8B8:
        return 4;
    case D3DFMT_A8R8G8B8:
        return 5;
    default:
        return 0;
    }
}

void TQGfxDevice::LogAdapter() {
    D3DADAPTER_IDENTIFIER9 id{};
    m_pD3D->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &id);
    id.Driver[sizeof(id.Driver) - 1] = '\0';
    id.Description[sizeof(id.Description) - 1] = '\0';
    System_Log("D3D Driver: %s", id.Driver);
    System_Log("Description: %s", id.Description);
    DWORD high = static_cast<DWORD>(id.DriverVersion.HighPart);
    DWORD low = id.DriverVersion.LowPart;
    System_Log("Version: %d.%d.%d.%d", HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
}

void TQGfxDevice::FillPresentParameters(D3DPRESENT_PARAMETERS* params, D3DFORMAT format, bool windowed) {
    *params = D3DPRESENT_PARAMETERS{};
    params->BackBufferWidth = static_cast<UINT>(m_nScreenWidth);
    params->BackBufferHeight = static_cast<UINT>(m_nScreenHeight);
    params->BackBufferFormat = format;
    params->BackBufferCount = 1;
    params->MultiSampleType = D3DMULTISAMPLE_NONE;
    params->SwapEffect = D3DSWAPEFFECT_DISCARD;
    params->hDeviceWindow = m_hWnd;
    params->Windowed = windowed ? TRUE : FALSE;
    // A window's presents wait for the display's refresh whatever the frame rate (the default
    // interval); full screen waits only when synchronised.
    if (!windowed) {
        params->FullScreen_RefreshRateInHz = 0;
        params->PresentationInterval =
            m_nFPS == TQGFX_FPS_VSYNC ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
    }
    if (m_bZBuffer) {
        params->EnableAutoDepthStencil = TRUE;
        params->AutoDepthStencilFormat = D3DFMT_D16;
    }
}

// Tries the full-screen candidate formats in order (windowed: the desktop format, three times).
bool TQGfxDevice::CreateDirect3DDevice(D3DFORMAT desktopFormat) {
    FillPresentParameters(&m_d3dppW, desktopFormat, true);
    for (D3DFORMAT candidate : kFullScreenCandidates) {
        FillPresentParameters(&m_d3dppFS, candidate, false);
        m_pD3DPP = m_bWindowed ? &m_d3dppW : &m_d3dppFS;
        m_nScreenBPP = FormatId(m_pD3DPP->BackBufferFormat) < 4 ? 16 : 32;
        if (SUCCEEDED(m_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_hWnd, kBehaviour, m_pD3DPP,
                                           &m_pD3DDevice)))
            return true;
        m_pD3DDevice = nullptr;
    }
    return false;
}

bool TQGfxDevice::GfxInit() {
    m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_pD3D) {
        PostError("Can't create D3D interface");
        return false;
    }
    LogAdapter();
    D3DDISPLAYMODE mode{};
    if (FAILED(m_pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)) || mode.Format == D3DFMT_UNKNOWN) {
        PostError("Can't determine desktop video mode");
        if (m_bWindowed)
            return false;
    }
    if (!CreateDirect3DDevice(mode.Format)) {
        PostError("Can't create D3D device");
        return false;
    }
    AdjustWindow();
    System_Log("Mode: %d x %d x %s\n", m_nScreenWidth, m_nScreenHeight,
               kFormatNames[FormatId(m_d3dppFS.BackBufferFormat)]);
    m_pVertArray = nullptr;
    m_bDeviceLost = false;
    SetProjectionMatrix(m_nScreenWidth, m_nScreenHeight);
    D3DXMatrixIdentity(&m_matView);
    if (!InitLost())
        return false;
    Gfx_Clear(0);
    return true;
}

bool TQGfxDevice::CreateVertexBuffer() {
    if (FAILED(m_pD3DDevice->CreateVertexBuffer(TQ2D_VERTEX_BUFFER_SIZE * kVertexStride, D3DUSAGE_WRITEONLY,
                                                kVertexFormat, D3DPOOL_DEFAULT, &m_pVB, nullptr))) {
        m_pVB = nullptr;
        PostError("Can't create D3D vertex buffer");
        return false;
    }
    m_pD3DDevice->SetFVF(kVertexFormat);
    m_pD3DDevice->SetStreamSource(0, m_pVB, 0, kVertexStride);
    return true;
}

// The static index buffer: two triangles (n, n+1, n+2) and (n+2, n+3, n) for every quad.
bool TQGfxDevice::CreateIndexBuffer() {
    if (FAILED(m_pD3DDevice->CreateIndexBuffer(kMaxQuads * 6 * sizeof(WORD), D3DUSAGE_WRITEONLY,
                                               D3DFMT_INDEX16, D3DPOOL_DEFAULT, &m_pIB, nullptr))) {
        m_pIB = nullptr;
        PostError("Can't create D3D index buffer");
        return false;
    }
    void* locked = nullptr;
    if (FAILED(m_pIB->Lock(0, 0, &locked, 0))) {
        PostError("Can't lock D3D index buffer");
        return false;
    }
    WORD* index = static_cast<WORD*>(locked);
    for (int quad = 0; quad < kMaxQuads; ++quad) {
        WORD n = static_cast<WORD>(quad * 4);
        const WORD corners[6] = {n,
                                 static_cast<WORD>(n + 1),
                                 static_cast<WORD>(n + 2),
                                 static_cast<WORD>(n + 2),
                                 static_cast<WORD>(n + 3),
                                 n};
        memcpy(index + quad * 6, corners, sizeof(corners));
    }
    m_pIB->Unlock();
    m_pD3DDevice->SetIndices(m_pIB);
    return true;
}

void TQGfxDevice::SetFixedStates() {
    IDirect3DDevice9* d = m_pD3DDevice;
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    d->SetRenderState(D3DRS_ALPHAREF, 1);
    d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    DWORD filter = m_bTextureFilter ? D3DTEXF_LINEAR : D3DTEXF_POINT;
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
    d->SetTexture(0, nullptr);
}

bool TQGfxDevice::InitLost() {
    ReleaseAndClear(m_pScreenSurf);
    ReleaseAndClear(m_pScreenDepth);
    m_pD3DDevice->GetRenderTarget(0, &m_pScreenSurf);
    if (FAILED(m_pD3DDevice->GetDepthStencilSurface(&m_pScreenDepth)))
        m_pScreenDepth = nullptr;
    RecreateTargetObjects();
    if (!CreateVertexBuffer() || !CreateIndexBuffer())
        return false;
    SetFixedStates();
    m_nPrim = 0;
    m_curPrimType = TQ2D_PRIM_QUADS;
    m_curBlendMode = TQ2D_BLEND_DEFAULT;
    m_curTexture = 0;
    // After a reset the device draws to the screen whatever the last scene's target was.
    m_bCurTargetKnown = false;
    m_pD3DDevice->SetTransform(D3DTS_VIEW, &m_matView);
    m_pD3DDevice->SetTransform(D3DTS_PROJECTION, &m_matProj);
    return true;
}

// Gives back every default-pool object so that the device can be reset.
void TQGfxDevice::ReleaseDefaultPool() {
    // A scene still open is ended: the device cannot be reset inside one.
    if (m_pVertArray) {
        m_pVB->Unlock();
        m_pD3DDevice->EndScene();
        m_pVertArray = nullptr;
    }
    ReleaseAndClear(m_pScreenSurf);
    ReleaseAndClear(m_pScreenDepth);
    m_targets.ForEach([this](DWORD, TargetEntry& entry) { ReleaseTargetObjects(&entry); });
    m_pD3DDevice->SetTexture(0, nullptr);
    m_pD3DDevice->SetIndices(nullptr);
    ReleaseAndClear(m_pIB);
    m_pD3DDevice->SetStreamSource(0, nullptr, 0, 0);
    ReleaseAndClear(m_pVB);
}

void TQGfxDevice::GfxRestore() {
    if (!m_pD3DDevice)
        return;
    HRESULT state = m_pD3DDevice->TestCooperativeLevel();
    while (state == D3DERR_DEVICELOST && IsWindow(m_hWnd)) {
        Sleep(kRestoreWaitMs);
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Put the quit back for the frame loop, and keep scenes refused until a restore.
                PostQuitMessage(static_cast<int>(msg.wParam));
                m_bDeviceLost = true;
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        state = m_pD3DDevice->TestCooperativeLevel();
    }
    ReleaseDefaultPool();
    HRESULT reset = m_pD3DDevice->Reset(m_pD3DPP);
    bool created = InitLost();
    m_bDeviceLost = FAILED(reset) || !created;
}

// Restores a device whose reset failed, once the device can be reset. True when it is usable.
bool TQGfxDevice::RecoverLostDevice() {
    if (m_pD3DDevice->TestCooperativeLevel() == D3DERR_DEVICELOST)
        return false;
    GfxRestore();
    return !m_bDeviceLost;
}

void TQGfxDevice::GfxDone() {
    if (!m_pD3DDevice) {
        ReleaseAndClear(m_pD3D);
        return;
    }
    if (m_pVertArray && m_pVB)
        m_pVB->Unlock();
    m_pVertArray = nullptr;
    FreeAllTextures();
    ReleaseAndClear(m_pScreenSurf);
    ReleaseAndClear(m_pScreenDepth);
    FreeAllTargets();
    m_pD3DDevice->SetTexture(0, nullptr);
    m_pD3DDevice->SetIndices(nullptr);
    ReleaseAndClear(m_pIB);
    m_pD3DDevice->SetStreamSource(0, nullptr, 0, 0);
    ReleaseAndClear(m_pVB);
    ReleaseAndClear(m_pD3DDevice);
    ReleaseAndClear(m_pD3D);
    m_curTexture = 0;
    m_curTarget = 0;
    m_bCurTargetKnown = true;
    m_bDeviceLost = false;
}

void TQGfxDevice::SetProjectionMatrix(int width, int height, int left, int top) {
    D3DXMATRIX translation, ortho;
    D3DXMatrixScaling(&m_matProj, 1.0f, -1.0f, 1.0f);
    D3DXMatrixTranslation(&translation, -0.5f - static_cast<float>(left),
                          static_cast<float>(height) + 0.5f + static_cast<float>(top), 0.0f);
    D3DXMatrixMultiply(&m_matProj, &m_matProj, &translation);
    D3DXMatrixOrthoOffCenterLH(&ortho, 0.0f, static_cast<float>(width), 0.0f, static_cast<float>(height),
                               0.0f, 1.0f);
    D3DXMatrixMultiply(&m_matProj, &m_matProj, &ortho);
}

void TQGfxDevice::LockVertexBuffer() {
    void* locked = nullptr;
    if (FAILED(m_pVB->Lock(0, 0, &locked, 0)))
        locked = nullptr;
    m_pVertArray = static_cast<TQ2D_VERTEX_tag*>(locked);
}

void TQGfxDevice::RenderBatch(bool endScene) {
    if (!m_pVertArray)
        return;
    m_pVB->Unlock();
    if (m_nPrim > 0) {
        switch (m_curPrimType) {
        case TQ2D_PRIM_QUADS:
            m_pD3DDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, m_nPrim * 4, 0, m_nPrim * 2);
            break;
        case TQ2D_PRIM_TRIPLES:
            m_pD3DDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, m_nPrim);
            break;
        default:
            m_pD3DDevice->DrawPrimitive(D3DPT_LINELIST, 0, m_nPrim);
            break;
        }
        ++m_nDrawCalls;
        m_nPrim = 0;
    }
    if (endScene)
        m_pVertArray = nullptr;
    else
        LockVertexBuffer();
}

void TQGfxDevice::SetBlendMode(int blend) {
    int changed = blend ^ m_curBlendMode;
    if (changed & TQ2D_BLEND_ALPHABLEND)
        m_pD3DDevice->SetRenderState(D3DRS_DESTBLEND,
                                     (blend & TQ2D_BLEND_ALPHABLEND) ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE);
    if (changed & TQ2D_BLEND_ZWRITE)
        m_pD3DDevice->SetRenderState(D3DRS_ZWRITEENABLE, (blend & TQ2D_BLEND_ZWRITE) ? TRUE : FALSE);
    if (changed & TQ2D_BLEND_COLORADD)
        m_pD3DDevice->SetTextureStageState(0, D3DTSS_COLOROP,
                                           (blend & TQ2D_BLEND_COLORADD) ? D3DTOP_ADD : D3DTOP_MODULATE);
    m_curBlendMode = blend;
}

void TQGfxDevice::BindTexture(DWORD texture) {
    if (texture == m_curTexture)
        return;
    m_pD3DDevice->SetTexture(0, FindTexture(texture));
    m_curTexture = texture;
}

// Draws the pending batch and makes the device ready for primitives of this kind.
void TQGfxDevice::PrepareBatch(int primType, DWORD texture, int blend) {
    RenderBatch(false);
    m_curPrimType = primType;
    if (blend != m_curBlendMode)
        SetBlendMode(blend);
    BindTexture(texture);
}

void TQGfxDevice::Gfx_RenderQuad(const TQ2D_QUAD_tag* quad) {
    if (!m_pVertArray || !quad)
        return;
    if (m_curPrimType != TQ2D_PRIM_QUADS || m_nPrim >= MaxPrims(TQ2D_PRIM_QUADS) ||
        quad->tex != m_curTexture || quad->blend != m_curBlendMode) {
        PrepareBatch(TQ2D_PRIM_QUADS, quad->tex, quad->blend);
        if (!m_pVertArray)
            return;
    }
    memcpy(&m_pVertArray[m_nPrim * 4], quad->v, sizeof(quad->v));
    ++m_nPrim;
}

void TQGfxDevice::Gfx_RenderTriple(const TQ2D_TRIPLE_tag* triple) {
    if (!m_pVertArray || !triple)
        return;
    if (m_curPrimType != TQ2D_PRIM_TRIPLES || m_nPrim >= MaxPrims(TQ2D_PRIM_TRIPLES) ||
        triple->tex != m_curTexture || triple->blend != m_curBlendMode) {
        PrepareBatch(TQ2D_PRIM_TRIPLES, triple->tex, triple->blend);
        if (!m_pVertArray)
            return;
    }
    memcpy(&m_pVertArray[m_nPrim * 3], triple->v, sizeof(triple->v));
    ++m_nPrim;
}

void TQGfxDevice::Gfx_RenderLine(float x1, float y1, float x2, float y2, DWORD color, float z) {
    if (!m_pVertArray)
        return;
    if (m_curPrimType != TQ2D_PRIM_LINES || m_nPrim >= MaxPrims(TQ2D_PRIM_LINES) || m_curTexture != 0 ||
        m_curBlendMode != TQ2D_BLEND_DEFAULT) {
        PrepareBatch(TQ2D_PRIM_LINES, 0, TQ2D_BLEND_DEFAULT);
        if (!m_pVertArray)
            return;
    }
    TQ2D_VERTEX_tag* v = &m_pVertArray[m_nPrim * 2];
    v[0] = TQ2D_VERTEX_tag{x1, y1, z, color, 0.0f, 0.0f};
    v[1] = TQ2D_VERTEX_tag{x2, y2, z, color, 0.0f, 0.0f};
    ++m_nPrim;
}

TQ2D_VERTEX_tag* TQGfxDevice::Gfx_StartBatch(int primType, DWORD texture, int blend, int* maxPrim) {
    if (!m_pVertArray || !IsPrimType(primType))
        return nullptr;
    PrepareBatch(primType, texture, blend);
    if (maxPrim)
        *maxPrim = MaxPrims(primType);
    return m_pVertArray;
}

void TQGfxDevice::Gfx_FinishBatch(int primCount) {
    if (m_pVertArray)
        m_nPrim = std::min(std::max(primCount, 0), MaxPrims(m_curPrimType));
}

void TQGfxDevice::TargetBounds(int* width, int* height) {
    TargetEntry* entry = m_curTarget ? m_targets.Find(m_curTarget) : nullptr;
    *width = entry ? static_cast<int>(entry->width) : m_nScreenWidth;
    *height = entry ? static_cast<int>(entry->height) : m_nScreenHeight;
}

bool TQGfxDevice::TargetHasDepth() {
    TargetEntry* entry = m_curTarget ? m_targets.Find(m_curTarget) : nullptr;
    return entry ? entry->depth != nullptr : m_pScreenDepth != nullptr;
}

// Makes target (0 = the screen) the device's render target with its own projection and an
// identity view.
bool TQGfxDevice::SwitchTarget(DWORD target) {
    TargetEntry* entry = target ? m_targets.Find(target) : nullptr;
    IDirect3DSurface9* colour = m_pScreenSurf;
    IDirect3DSurface9* depth = m_pScreenDepth;
    if (entry) {
        depth = entry->depth;
        if (!entry->texture || FAILED(entry->texture->GetSurfaceLevel(0, &colour)))
            colour = nullptr;
    }
    bool ok = (entry || !target) && colour && SUCCEEDED(m_pD3DDevice->SetRenderTarget(0, colour)) &&
              SUCCEEDED(m_pD3DDevice->SetDepthStencilSurface(depth));
    if (entry && colour)
        colour->Release();
    if (!ok) {
        PostError("Gfx_BeginScene: Can't set render target");
        return false;
    }
    m_pD3DDevice->SetRenderState(D3DRS_ZENABLE, depth ? D3DZB_TRUE : D3DZB_FALSE);
    m_curTarget = target;
    m_bCurTargetKnown = true;
    int width, height;
    TargetBounds(&width, &height);
    SetProjectionMatrix(width, height);
    m_pD3DDevice->SetTransform(D3DTS_PROJECTION, &m_matProj);
    D3DXMatrixIdentity(&m_matView);
    m_pD3DDevice->SetTransform(D3DTS_VIEW, &m_matView);
    return true;
}

bool TQGfxDevice::Gfx_BeginScene(DWORD target) {
    if (m_pVertArray) {
        PostError("Gfx_BeginScene: Scene is already being rendered");
        return false;
    }
    if (!m_pD3DDevice || (m_bDeviceLost && !RecoverLostDevice()))
        return false;
    if ((!m_bCurTargetKnown || target != m_curTarget) && !SwitchTarget(target))
        return false;
    if (FAILED(m_pD3DDevice->BeginScene()))
        return false;
    LockVertexBuffer();
    return true;
}

void TQGfxDevice::Gfx_EndScene() {
    if (!m_pVertArray)
        return;
    RenderBatch(true);
    m_pD3DDevice->EndScene();
    if (m_curTarget == 0 && m_pD3DDevice->Present(nullptr, nullptr, nullptr, nullptr) == D3DERR_DEVICELOST)
        GfxRestore();
    m_pVertArray = nullptr;
}

void TQGfxDevice::Gfx_Clear(DWORD color) {
    if (!m_pD3DDevice)
        return;
    DWORD flags = D3DCLEAR_TARGET | (TargetHasDepth() ? D3DCLEAR_ZBUFFER : 0);
    m_pD3DDevice->Clear(0, nullptr, flags, color, 1.0f, 0);
}

void TQGfxDevice::Gfx_SetClipping(int x, int y, int width, int height) {
    if (!m_pD3DDevice)
        return;
    int boundWidth, boundHeight;
    TargetBounds(&boundWidth, &boundHeight);
    D3DVIEWPORT9 viewport{0, 0, static_cast<DWORD>(boundWidth), static_cast<DWORD>(boundHeight), 0.0f, 1.0f};
    if (width != 0) {
        // Wide arithmetic: no argument, however far out, can overflow.
        long long left = x, top = y, w = width, h = height;
        if (left < 0) {
            w += left;
            left = 0;
        }
        if (top < 0) {
            h += top;
            top = 0;
        }
        w = std::min(w, boundWidth - left);
        h = std::min(h, boundHeight - top);
        // A rectangle wholly outside the bounds clips everything away.
        if (w <= 0 || h <= 0)
            left = top = w = h = 0;
        viewport.X = static_cast<DWORD>(left);
        viewport.Y = static_cast<DWORD>(top);
        viewport.Width = static_cast<DWORD>(w);
        viewport.Height = static_cast<DWORD>(h);
    }
    RenderBatch(false);
    m_pD3DDevice->SetViewport(&viewport);
    // An empty viewport draws nothing, whatever the projection.
    if (viewport.Width == 0 || viewport.Height == 0)
        return;
    SetProjectionMatrix(static_cast<int>(viewport.Width), static_cast<int>(viewport.Height),
                        static_cast<int>(viewport.X), static_cast<int>(viewport.Y));
    m_pD3DDevice->SetTransform(D3DTS_PROJECTION, &m_matProj);
}

void TQGfxDevice::Gfx_SetTransform(float x, float y, float dx, float dy, float rotation, float hscale,
                                   float vscale) {
    if (vscale == 0.0f) {
        D3DXMatrixIdentity(&m_matView);
    } else {
        D3DXMATRIX step;
        D3DXMatrixTranslation(&m_matView, -x, -y, 0.0f);
        D3DXMatrixScaling(&step, hscale, vscale, 1.0f);
        D3DXMatrixMultiply(&m_matView, &m_matView, &step);
        D3DXMatrixRotationZ(&step, -rotation);
        D3DXMatrixMultiply(&m_matView, &m_matView, &step);
        D3DXMatrixTranslation(&step, x + dx, y + dy, 0.0f);
        D3DXMatrixMultiply(&m_matView, &m_matView, &step);
    }
    RenderBatch(false);
    if (m_pD3DDevice)
        m_pD3DDevice->SetTransform(D3DTS_VIEW, &m_matView);
}
