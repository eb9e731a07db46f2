#include "platform/d3d9/tqdevice.h"

#include "platform/d3d9/tqcleararea.h"
#include "platform/d3d9/tqd3d9hooks.h"
#include "platform/d3d9/tqdirect3d.h"
#include "platform/d3d9/tqframerecorder.h"
#include "platform/d3d9/tqindexbuffer.h"
#include "platform/d3d9/tqpixelformat.h"
#include "platform/d3d9/tqrenderer.h"
#include "platform/d3d9/tqsurface.h"
#include "platform/d3d9/tqtexture.h"
#include "platform/d3d9/tqvertexbuffer.h"
#include "platform/d3d9/tqvertexprocessor.h"
#include "platform/win32/tqplatformlog.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/video/tqvideo.h"

#include <algorithm>
#include <memory>
#include <new>
#include <mutex>

namespace tqd3d9 {

namespace {

bool IsBackBufferFormat(D3DFORMAT format) {
    return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_R5G6B5 ||
           format == D3DFMT_X1R5G5B5;
}

bool IsPresentInterval(UINT interval) {
    return interval == D3DPRESENT_INTERVAL_DEFAULT || interval == D3DPRESENT_INTERVAL_ONE ||
           interval == D3DPRESENT_INTERVAL_IMMEDIATE;
}

D3DMATRIX Identity() {
    D3DMATRIX m = {};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// Binds an object in a device slot: the device holds a reference while it is bound.
template <class T> void Rebind(T*& slot, T* object) {
    if (object)
        object->AddDeviceReference();
    if (slot)
        slot->ReleaseDeviceReference();
    slot = object;
}

template <class T> HRESULT HandOut(T* object, IDirect3DSurface9** out) {
    if (!out)
        return D3DERR_INVALIDCALL;
    *out = object;
    if (!object)
        return D3DERR_NOTFOUND;
    object->AddRef();
    return D3D_OK;
}

// The rectangle of rect within [0, width) x [0, height); false when empty.
bool Intersect(RECT* rect, const RECT& bounds) {
    rect->left = std::max(rect->left, bounds.left);
    rect->top = std::max(rect->top, bounds.top);
    rect->right = std::min(rect->right, bounds.right);
    rect->bottom = std::min(rect->bottom, bounds.bottom);
    return rect->left < rect->right && rect->top < rect->bottom;
}

// Devices that record their draws.
std::mutex g_recordingDevicesMutex;
std::vector<Device*> g_recordingDevices;

} // namespace

Device::Device(Direct3D* direct3d, HWND focusWindow) : m_direct3d(direct3d), m_focusWindow(focusWindow) {
    m_direct3d->AddRef();
    int threads = tqplat::D3D9RenderThreads();
    if (threads > 1) {
        m_recorder.reset(new FrameRecorder(threads));
        std::lock_guard<std::mutex> lock(g_recordingDevicesMutex);
        g_recordingDevices.push_back(this);
    }
}

Device::~Device() {
    if (m_recorder) {
        std::lock_guard<std::mutex> lock(g_recordingDevicesMutex);
        g_recordingDevices.erase(std::remove(g_recordingDevices.begin(), g_recordingDevices.end(), this),
                                 g_recordingDevices.end());
    }
    FinishDrawing();
    m_recorder.reset();
    ReleaseBindings();
    Rebind(m_backBuffer, static_cast<Surface*>(nullptr));
    Rebind(m_autoDepth, static_cast<Surface*>(nullptr));
    for (Resource* resource : m_resources)
        resource->DetachFromDevice();
    m_direct3d->Release();
}

HRESULT Device::Create(Direct3D* direct3d, HWND focusWindow, D3DPRESENT_PARAMETERS* params,
                       IDirect3DDevice9** device) {
    Device* created = new Device(direct3d, focusWindow);
    HRESULT hr = created->CreateSwapChain(params);
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    *device = created;
    return D3D_OK;
}

void Device::RegisterResource(Resource* resource) {
    m_resources.push_back(resource);
}

void Device::UnregisterResource(Resource* resource) {
    m_resources.erase(std::remove(m_resources.begin(), m_resources.end(), resource), m_resources.end());
}

void Device::FinishDrawing() {
    if (m_recorder)
        m_recorder->Finish();
}

void Device::FinishDrawingOnEveryDevice() {
    std::lock_guard<std::mutex> lock(g_recordingDevicesMutex);
    for (Device* device : g_recordingDevices)
        device->FinishDrawing();
}

void Device::ForceLost(int lostPolls) {
    FinishDrawing();
    m_health = Health::kLost;
    m_lostPolls = std::max(0, lostPolls);
}

ULONG Device::AddRef() {
    return ++m_references;
}

ULONG Device::Release() {
    ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT Device::CompleteParameters(D3DPRESENT_PARAMETERS* p) const {
    HWND window = p->hDeviceWindow ? p->hDeviceWindow : m_focusWindow;
    if (!window || p->MultiSampleType != D3DMULTISAMPLE_NONE || p->BackBufferCount > 3 ||
        !IsPresentInterval(p->PresentationInterval))
        return D3DERR_INVALIDCALL;
    if (p->EnableAutoDepthStencil && p->AutoDepthStencilFormat != D3DFMT_D16)
        return D3DERR_INVALIDCALL;
    if (p->Windowed) {
        RECT client = {0, 0, 0, 0};
        if ((p->BackBufferWidth == 0 || p->BackBufferHeight == 0) && !GetClientRect(window, &client))
            return D3DERR_INVALIDCALL;
        if (p->BackBufferWidth == 0)
            p->BackBufferWidth = std::max<LONG>(1, client.right - client.left);
        if (p->BackBufferHeight == 0)
            p->BackBufferHeight = std::max<LONG>(1, client.bottom - client.top);
        if (p->BackBufferFormat == D3DFMT_UNKNOWN)
            p->BackBufferFormat = Direct3D::DesktopMode().Format;
    } else if (p->BackBufferFormat != D3DFMT_UNKNOWN &&
               p->BackBufferFormat == tqplat::D3D9RefusedFullScreenFormat()) {
        return D3DERR_NOTAVAILABLE;
    }
    if (!IsBackBufferFormat(p->BackBufferFormat) || p->BackBufferWidth == 0 || p->BackBufferHeight == 0 ||
        p->BackBufferWidth > Image::kMaxSize || p->BackBufferHeight > Image::kMaxSize)
        return D3DERR_INVALIDCALL;
    if (p->BackBufferCount == 0)
        p->BackBufferCount = 1;
    return D3D_OK;
}

HRESULT Device::CreateSwapChain(D3DPRESENT_PARAMETERS* params) {
    D3DPRESENT_PARAMETERS p = *params;
    HRESULT hr = CompleteParameters(&p);
    if (FAILED(hr))
        return hr;
    std::unique_ptr<Surface> back(new Surface(this, D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET, nullptr));
    std::unique_ptr<Surface> depth;
    if (!back->Create(p.BackBufferFormat, p.BackBufferWidth, p.BackBufferHeight))
        return D3DERR_OUTOFVIDEOMEMORY;
    if (p.EnableAutoDepthStencil) {
        depth.reset(new Surface(this, D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL, nullptr));
        if (!depth->Create(D3DFMT_D16, p.BackBufferWidth, p.BackBufferHeight))
            return D3DERR_OUTOFVIDEOMEMORY;
    }
    ReleaseBindings();
    // The device's binding takes over the creation reference.
    Rebind(m_backBuffer, back.release());
    m_backBuffer->Release();
    Surface* newDepth = depth.release();
    Rebind(m_autoDepth, newDepth);
    if (newDepth)
        newDepth->Release();
    *params = p;
    m_params = p;
    SetDefaultStates();
    return D3D_OK;
}

void Device::SetDefaultStates() {
    std::fill(std::begin(m_renderStates), std::end(m_renderStates), 0);
    m_renderStates[D3DRS_ZENABLE] = m_params.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    m_renderStates[D3DRS_FILLMODE] = D3DFILL_SOLID;
    m_renderStates[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    m_renderStates[D3DRS_ZWRITEENABLE] = TRUE;
    m_renderStates[D3DRS_LASTPIXEL] = TRUE;
    m_renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    m_renderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    m_renderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
    m_renderStates[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    m_renderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    m_renderStates[D3DRS_LIGHTING] = TRUE;
    std::fill(std::begin(m_stageStates), std::end(m_stageStates), 0);
    m_stageStates[D3DTSS_COLOROP] = D3DTOP_MODULATE;
    m_stageStates[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    m_stageStates[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    m_stageStates[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
    m_stageStates[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    m_stageStates[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    std::fill(std::begin(m_samplerStates), std::end(m_samplerStates), 0);
    m_samplerStates[D3DSAMP_ADDRESSU] = m_samplerStates[D3DSAMP_ADDRESSV] =
        m_samplerStates[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    m_samplerStates[D3DSAMP_MAGFILTER] = m_samplerStates[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    m_samplerStates[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    m_world = m_view = m_projection = Identity();
    m_fvf = 0;
    Rebind(m_renderTarget, m_backBuffer);
    Rebind(m_depthStencil, m_autoDepth);
    FullViewport();
}

void Device::ReleaseBindings() {
    Rebind(m_renderTarget, static_cast<Surface*>(nullptr));
    Rebind(m_depthStencil, static_cast<Surface*>(nullptr));
    Rebind(m_texture, static_cast<Texture*>(nullptr));
    Rebind(m_stream, static_cast<VertexBuffer*>(nullptr));
    Rebind(m_indices, static_cast<IndexBuffer*>(nullptr));
    m_streamOffset = m_streamStride = 0;
}

void Device::FullViewport() {
    Image& target = m_renderTarget->Pixels();
    m_viewport = D3DVIEWPORT9{0, 0, target.Width(), target.Height(), 0.0f, 1.0f};
}

HRESULT Device::TestCooperativeLevel() {
    switch (m_health) {
    case Health::kOperational:
        return D3D_OK;
    case Health::kLost:
        if (m_lostPolls > 0) {
            --m_lostPolls;
            return D3DERR_DEVICELOST;
        }
        m_health = Health::kNotReset;
        return D3DERR_DEVICENOTRESET;
    default:
        return D3DERR_DEVICENOTRESET;
    }
}

bool Device::CallersHoldDefaultPoolObjects() const {
    return std::any_of(m_resources.begin(), m_resources.end(), [](Resource* resource) {
        return resource->Pool() == D3DPOOL_DEFAULT && resource->CallerReferences() > 0;
    });
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* params) {
    FinishDrawing();
    if (!params || m_inScene)
        return D3DERR_INVALIDCALL;
    if (m_health == Health::kLost && m_lostPolls > 0)
        return D3DERR_DEVICELOST;
    if (CallersHoldDefaultPoolObjects()) {
        tqplat::PlatformLog("Reset: a default-pool object or a surface of the device is still referenced");
        m_health = Health::kNotReset;
        return D3DERR_INVALIDCALL;
    }
    HRESULT hr = CreateSwapChain(params);
    m_health = SUCCEEDED(hr) ? Health::kOperational : Health::kNotReset;
    return hr;
}

HWND Device::PresentWindow(HWND destWindow) const {
    if (destWindow)
        return destWindow;
    return m_params.hDeviceWindow ? m_params.hDeviceWindow : m_focusWindow;
}

HRESULT Device::Present(const RECT*, const RECT*, HWND destWindow, const void*) {
    HRESULT refused = m_health != Health::kOperational ? D3DERR_DEVICELOST
                      : m_inScene                      ? D3DERR_INVALIDCALL
                                                       : D3D_OK;
    if (FAILED(refused)) {
        FinishDrawing();
        return refused;
    }
    Image& back = m_backBuffer->Pixels();
    int width = static_cast<int>(back.Width()), height = static_cast<int>(back.Height());
    HWND window = PresentWindow(destWindow);
    bool vsync = m_params.PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE;
    if (BytesPerPixel(back.Format()) != 4) {
        // 16-bit back buffers go through their 0xAARRGGBB view.
        FinishDrawing();
        if (const uint32_t* argb = back.ArgbPixels())
            tqplat::VideoPresent(window, argb, width, height, width * 4, vsync);
        return D3D_OK;
    }
    // 32-bit ones are copied into the window's frame as they are: by the threads that draw, each
    // band of rows once its last draw is done, while other bands are still drawn.
    uint32_t* kept = tqplat::VideoFrameToKeep(window, width, height);
    if (kept && m_recorder)
        m_recorder->RecordCopy(back, kept);
    FinishDrawing();
    if (!kept)
        return D3D_OK;
    if (!m_recorder)
        back.CopyRowsTo(kept, 0, back.Height());
    tqplat::VideoPresentKept(window, vsync);
    return D3D_OK;
}

HRESULT Device::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                              IDirect3DSurface9** surface) {
    if (swapChain != 0 || index != 0 || type != D3DBACKBUFFER_TYPE_MONO)
        return D3DERR_INVALIDCALL;
    return HandOut(m_backBuffer, surface);
}

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) {
    if (!texture || shared || levels > 1 || pool == D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    if (renderTarget && (pool != D3DPOOL_DEFAULT || !IsBackBufferFormat(format)))
        return D3DERR_INVALIDCALL;
    if (!IsColorFormat(format) && !IsBlockFormat(format))
        return D3DERR_INVALIDCALL;
    // Memory that runs out fails the call, like pixels that get none.
    try {
        std::unique_ptr<Texture> created(
            new Texture(this, pool, usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC)));
        if (!created->Create(format, width, height))
            return D3DERR_OUTOFVIDEOMEMORY;
        *texture = created.release();
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                                   HANDLE* shared) {
    if (!buffer || shared)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    std::unique_ptr<VertexBuffer> created(new VertexBuffer(this, pool));
    if (!created->Store().Create(length))
        return D3DERR_INVALIDCALL;
    *buffer = created.release();
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer9** buffer, HANDLE* shared) {
    if (!buffer || shared || format != D3DFMT_INDEX16)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    std::unique_ptr<IndexBuffer> created(new IndexBuffer(this, pool));
    if (!created->Store().Create(length))
        return D3DERR_INVALIDCALL;
    *buffer = created.release();
    return D3D_OK;
}

HRESULT Device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                          D3DMULTISAMPLE_TYPE multiSample, DWORD, BOOL,
                                          IDirect3DSurface9** surface, HANDLE* shared) {
    if (!surface || shared || format != D3DFMT_D16 || multiSample != D3DMULTISAMPLE_NONE)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    try {
        std::unique_ptr<Surface> created(new Surface(this, D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL, nullptr));
        if (!created->Create(format, width, height))
            return D3DERR_OUTOFVIDEOMEMORY;
        *surface = created.release();
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT Device::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
    Surface* target = static_cast<Surface*>(surface);
    if (index != 0 || !target || !target->IsRenderTarget())
        return D3DERR_INVALIDCALL;
    if (target != m_renderTarget)
        FinishDrawing();
    Rebind(m_renderTarget, target);
    FullViewport();
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
    if (index != 0)
        return D3DERR_INVALIDCALL;
    return HandOut(m_renderTarget, surface);
}

HRESULT Device::SetDepthStencilSurface(IDirect3DSurface9* surface) {
    Surface* depth = static_cast<Surface*>(surface);
    if (depth && !depth->IsDepthStencil())
        return D3DERR_INVALIDCALL;
    Rebind(m_depthStencil, depth);
    return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface9** surface) {
    return HandOut(m_depthStencil, surface);
}

HRESULT Device::BeginScene() {
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = true;
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    return D3D_OK;
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD) {
    if ((count > 0 && !rects) || (flags & D3DCLEAR_STENCIL) ||
        ((flags & D3DCLEAR_ZBUFFER) && !m_depthStencil))
        return D3DERR_INVALIDCALL;
    RECT viewport = {static_cast<LONG>(m_viewport.X), static_cast<LONG>(m_viewport.Y),
                     static_cast<LONG>(m_viewport.X + m_viewport.Width),
                     static_cast<LONG>(m_viewport.Y + m_viewport.Height)};
    DWORD pieces = count > 0 ? count : 1;
    for (DWORD i = 0; i < pieces; ++i) {
        RECT area = count > 0 ? RECT{rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2} : viewport;
        if (!Intersect(&area, viewport))
            continue;
        ClearArea clear;
        if (flags & D3DCLEAR_TARGET) {
            clear.color = &m_renderTarget->Pixels();
            clear.colorRect = area;
            clear.argb = color;
        }
        Image* depth = (flags & D3DCLEAR_ZBUFFER) ? &m_depthStencil->Pixels() : nullptr;
        if (depth && Intersect(&area, RECT{0, 0, static_cast<LONG>(depth->Width()),
                                           static_cast<LONG>(depth->Height())})) {
            clear.depth = depth;
            clear.depthRect = area;
            clear.z = z;
        }
        if (m_recorder)
            m_recorder->RecordClear(clear);
        else
            clear.Fill();
        if (clear.color)
            clear.color->MarkChanged();
    }
    return D3D_OK;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (!matrix)
        return D3DERR_INVALIDCALL;
    switch (state) {
    case D3DTS_WORLD:
        m_world = *matrix;
        return D3D_OK;
    case D3DTS_VIEW:
        m_view = *matrix;
        return D3D_OK;
    case D3DTS_PROJECTION:
        m_projection = *matrix;
        return D3D_OK;
    default:
        return D3DERR_INVALIDCALL;
    }
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* viewport) {
    if (!viewport)
        return D3DERR_INVALIDCALL;
    Image& target = m_renderTarget->Pixels();
    uint64_t right = static_cast<uint64_t>(viewport->X) + viewport->Width;
    uint64_t bottom = static_cast<uint64_t>(viewport->Y) + viewport->Height;
    if (right > target.Width() || bottom > target.Height())
        return D3DERR_INVALIDCALL;
    m_viewport = *viewport;
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* viewport) {
    if (!viewport)
        return D3DERR_INVALIDCALL;
    *viewport = m_viewport;
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= TQ_D3DRS_COUNT)
        return D3DERR_INVALIDCALL;
    m_renderStates[state] = value;
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (state >= TQ_D3DRS_COUNT || !value)
        return D3DERR_INVALIDCALL;
    *value = m_renderStates[state];
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage != 0)
        return D3DERR_INVALIDCALL;
    Rebind(m_texture, static_cast<Texture*>(texture));
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage != 0 || type >= TQ_D3DTSS_COUNT)
        return D3DERR_INVALIDCALL;
    m_stageStates[type] = value;
    return D3D_OK;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler != 0 || type >= TQ_D3DSAMP_COUNT)
        return D3DERR_INVALIDCALL;
    m_samplerStates[type] = value;
    return D3D_OK;
}

HRESULT Device::SetFVF(DWORD fvf) {
    m_fvf = fvf;
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    if (stream != 0)
        return D3DERR_INVALIDCALL;
    Rebind(m_stream, static_cast<VertexBuffer*>(buffer));
    m_streamOffset = buffer ? offset : 0;
    m_streamStride = buffer ? stride : 0;
    return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* buffer) {
    Rebind(m_indices, static_cast<IndexBuffer*>(buffer));
    return D3D_OK;
}

static void MultiplyInto(double out[4][4], const D3DMATRIX& a, const double b[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[r][c] = a.m[r][0] * b[0][c] + a.m[r][1] * b[1][c] + a.m[r][2] * b[2][c] + a.m[r][3] * b[3][c];
}

bool Device::BuildRenderState(RenderState* s) {
    const DWORD* rs = m_renderStates;
    Image& color = m_renderTarget->Pixels();
    s->color = &color;
    s->depth = (rs[D3DRS_ZENABLE] != D3DZB_FALSE && m_depthStencil) ? &m_depthStencil->Pixels() : nullptr;
    UINT width = color.Width(), height = color.Height();
    if (s->depth) {
        width = std::min(width, s->depth->Width());
        height = std::min(height, s->depth->Height());
    }
    s->viewport = m_viewport;
    s->clipLeft = static_cast<int>(m_viewport.X);
    s->clipTop = static_cast<int>(m_viewport.Y);
    s->clipRight = static_cast<int>(std::min<uint64_t>(width, uint64_t(m_viewport.X) + m_viewport.Width));
    s->clipBottom = static_cast<int>(std::min<uint64_t>(height, uint64_t(m_viewport.Y) + m_viewport.Height));
    if (s->clipLeft >= s->clipRight || s->clipTop >= s->clipBottom)
        return false;

    double projection[4][4], viewProjection[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            projection[r][c] = m_projection.m[r][c];
    MultiplyInto(viewProjection, m_view, projection);
    MultiplyInto(s->transform, m_world, viewProjection);

    if (m_texture) {
        // A texture whose pixels cannot be viewed for want of memory draws nothing.
        Image& pixels = m_texture->Pixels();
        const uint32_t* argb = pixels.ArgbPixels();
        if (!argb)
            return false;
        s->texture = TextureView{argb, static_cast<int>(pixels.Width()), static_cast<int>(pixels.Height())};
    }
    s->magLinear = m_samplerStates[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR;
    s->minLinear = m_samplerStates[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
    s->colorOp = m_stageStates[D3DTSS_COLOROP];
    s->colorArg1 = m_stageStates[D3DTSS_COLORARG1];
    s->colorArg2 = m_stageStates[D3DTSS_COLORARG2];
    s->alphaOp = m_stageStates[D3DTSS_ALPHAOP];
    s->alphaArg1 = m_stageStates[D3DTSS_ALPHAARG1];
    s->alphaArg2 = m_stageStates[D3DTSS_ALPHAARG2];
    s->alphaTest = rs[D3DRS_ALPHATESTENABLE] != FALSE;
    s->alphaFunc = rs[D3DRS_ALPHAFUNC];
    s->alphaRef = rs[D3DRS_ALPHAREF] & 0xFF;
    s->blend = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
    s->srcBlend = rs[D3DRS_SRCBLEND];
    s->destBlend = rs[D3DRS_DESTBLEND];
    s->depthWrite = rs[D3DRS_ZWRITEENABLE] != FALSE;
    s->depthFunc = rs[D3DRS_ZFUNC];
    return true;
}

UINT Device::StreamVertexCount() const {
    UINT length = m_stream->Store().Length();
    return m_streamOffset >= length ? 0 : (length - m_streamOffset) / kVertexStride;
}

static UINT VerticesPerPrimitive(D3DPRIMITIVETYPE type) {
    return type == D3DPT_TRIANGLELIST ? 3 : type == D3DPT_LINELIST ? 2 : 0;
}

bool Device::TextureIsTargetOrLocked() const {
    if (!m_texture)
        return false;
    Image& texels = m_texture->Pixels();
    return texels.IsLocked() || &texels == &m_renderTarget->Pixels();
}

HRESULT Device::Draw(D3DPRIMITIVETYPE type, const PrimitiveSource& source) {
    // A draw that samples its own target or a texture the caller is writing reads pixels that
    // change while it draws: it is drawn at once, after the recorded work, as one thread would.
    bool record = m_recorder && !TextureIsTargetOrLocked();
    if (!record)
        FinishDrawing();
    RenderState state;
    if (!BuildRenderState(&state))
        return D3D_OK;
    bool triangles = type == D3DPT_TRIANGLELIST;
    if (record && triangles)
        m_recorder->RecordTriangles(state, source);
    else if (record)
        m_recorder->RecordLines(state, source);
    else if (triangles)
        DrawTriangleList(state, source);
    else
        DrawLineList(state, source);
    return D3D_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    UINT perPrimitive = VerticesPerPrimitive(type);
    if (!m_inScene || perPrimitive == 0 || !m_stream || m_fvf != kVertexFormat ||
        m_streamStride != kVertexStride)
        return D3DERR_INVALIDCALL;
    UINT available = StreamVertexCount();
    if (uint64_t(startVertex) + uint64_t(primitiveCount) * perPrimitive > available) {
        tqplat::PlatformLog(
            "DrawPrimitive: %u primitives from vertex %u run past the %u vertices of the stream",
            primitiveCount, startVertex, available);
        return D3DERR_INVALIDCALL;
    }
    if (primitiveCount == 0)
        return D3D_OK;
    PrimitiveSource source{m_stream->Store().Bytes() + m_streamOffset, nullptr, 0, startVertex,
                           primitiveCount};
    return Draw(type, source);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT, UINT, UINT startIndex,
                                     UINT primitiveCount) {
    UINT perPrimitive = VerticesPerPrimitive(type);
    if (!m_inScene || perPrimitive == 0 || !m_stream || !m_indices || m_fvf != kVertexFormat ||
        m_streamStride != kVertexStride)
        return D3DERR_INVALIDCALL;
    const uint16_t* indices = reinterpret_cast<const uint16_t*>(m_indices->Store().Bytes());
    uint64_t indexCount = m_indices->Store().Length() / 2;
    uint64_t used = uint64_t(primitiveCount) * perPrimitive;
    if (startIndex + used > indexCount) {
        tqplat::PlatformLog("DrawIndexedPrimitive: %u primitives from index %u run past the index buffer",
                            primitiveCount, startIndex);
        return D3DERR_INVALIDCALL;
    }
    int64_t available = StreamVertexCount();
    for (uint64_t i = startIndex; i < startIndex + used; ++i) {
        int64_t vertex = int64_t(baseVertex) + indices[i];
        if (vertex < 0 || vertex >= available) {
            tqplat::PlatformLog(
                "DrawIndexedPrimitive: vertex %lld is outside the %lld vertices of the stream",
                static_cast<long long>(vertex), static_cast<long long>(available));
            return D3DERR_INVALIDCALL;
        }
    }
    if (primitiveCount == 0)
        return D3D_OK;
    PrimitiveSource source{m_stream->Store().Bytes() + m_streamOffset, indices, baseVertex, startIndex,
                           primitiveCount};
    return Draw(type, source);
}

} // namespace tqd3d9
