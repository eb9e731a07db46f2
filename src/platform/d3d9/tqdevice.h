// The software device: one swap chain with an optional automatic depth buffer, the fixed-function
// states the engine sets, drawing through the rasterizer, presenting through the video backend,
// and the lost / not reset / reset cycle.
//
// With more than one render thread, draws and clears are recorded and rasterized on the threads
// when something could next see or change the pixels (FinishDrawing); with one, they are drawn at once.
#pragma once

#include "platform/d3d9/tqd3d9.h"
#include "platform/d3d9/tqrenderstate.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tqd3d9 {

class Direct3D;
class FrameRecorder;
class Resource;
class Surface;
class Texture;
class VertexBuffer;
class IndexBuffer;
struct PrimitiveSource;

class Device : public IDirect3DDevice9 {
public:
    // Creates a device whose swap chain follows params (completed as the platform does: a windowed
    // back buffer of size 0 takes the window's client size, format UNKNOWN the desktop format).
    static HRESULT Create(Direct3D* direct3d, HWND focusWindow, D3DPRESENT_PARAMETERS* params,
                          IDirect3DDevice9** device);

    void RegisterResource(Resource* resource);
    void UnregisterResource(Resource* resource);
    // Test hook: Present reports the loss, TestCooperativeLevel then goes through DEVICELOST
    // (lostPolls calls) and DEVICENOTRESET.
    void ForceLost(int lostPolls);
    // Rasterizes the draws recorded so far: every surface then holds the pixels that drawing each
    // call at once would have given. The device calls it before anything reads, changes or frees
    // what recorded draws use.
    void FinishDrawing();
    // FinishDrawing on every device (before the test hooks switch between the fast and generic
    // paths, so each draw takes the path in effect when it was made).
    static void FinishDrawingOnEveryDevice();

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT TestCooperativeLevel() override;
    // Fails while a default-pool object or a surface obtained from the device is still referenced.
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND destWindow, const void* dirtyRegion) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface9** surface) override;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* shared) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** buffer, HANDLE* shared) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, HANDLE* shared) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                      D3DMULTISAMPLE_TYPE multiSample, DWORD quality, BOOL discard,
                                      IDirect3DSurface9** surface, HANDLE* shared) override;

    // Also resets the viewport to the whole new target.
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;

    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    // Limited to the viewport (and to the rectangles when given).
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;

    // Triangle and line lists; every vertex and index read is checked against its buffer first.
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override;

private:
    enum class Health { kOperational, kLost, kNotReset };

    Device(Direct3D* direct3d, HWND focusWindow);
    ~Device() override;

    HRESULT CreateSwapChain(D3DPRESENT_PARAMETERS* params);
    HRESULT CompleteParameters(D3DPRESENT_PARAMETERS* params) const;
    void SetDefaultStates();
    void ReleaseBindings();
    bool CallersHoldDefaultPoolObjects() const;
    void FullViewport();
    bool BuildRenderState(RenderState* state);
    HRESULT Draw(D3DPRIMITIVETYPE type, const PrimitiveSource& source);
    bool TextureIsTargetOrLocked() const;
    UINT StreamVertexCount() const;
    HWND PresentWindow(HWND destWindow) const;

    ULONG m_references = 1;
    Direct3D* m_direct3d;
    HWND m_focusWindow;
    D3DPRESENT_PARAMETERS m_params = {};
    Health m_health = Health::kOperational;
    int m_lostPolls = 0;
    bool m_inScene = false;
    std::vector<Resource*> m_resources;
    // Records draws to rasterize them on several threads; NULL when drawing on the calling thread
    // alone.
    std::unique_ptr<FrameRecorder> m_recorder;

    Surface* m_backBuffer = nullptr;
    Surface* m_autoDepth = nullptr;
    Surface* m_renderTarget = nullptr;
    Surface* m_depthStencil = nullptr;
    Texture* m_texture = nullptr;
    VertexBuffer* m_stream = nullptr;
    UINT m_streamOffset = 0;
    UINT m_streamStride = 0;
    IndexBuffer* m_indices = nullptr;
    DWORD m_fvf = 0;

    DWORD m_renderStates[TQ_D3DRS_COUNT] = {};
    DWORD m_stageStates[TQ_D3DTSS_COUNT] = {};
    DWORD m_samplerStates[TQ_D3DSAMP_COUNT] = {};
    D3DMATRIX m_world = {}, m_view = {}, m_projection = {};
    D3DVIEWPORT9 m_viewport = {};
};

} // namespace tqd3d9
