// The API functions that forward to the device, the index colours and screenshots. Without an
// engine every forwarder does nothing and returns 0.
#include "engine/tq2dapi.h"

#include "engine/tq2dglobal.h"

int g_bSoundMute = 0;

namespace {

const unsigned long kIndexColors[17] = {
    0x00000000, 0x00FFFB35, 0x00FFBA77, 0x00FF91B9, 0x0035F8FF, 0x0091E8FF,
    0x0077BBFF, 0x00D4E7FF, 0x002973FF, 0x003539FF, 0x00AA29FF, 0x007EFF29,
    0x00D9FFCB, 0x009CFFC0, 0x0035F8FF, 0x00FFFFFF, 0x00000000,
};

bool ActiveDevice() {
    return g_pTQ2DDevice && g_pTQ2DDevice->IsActive();
}

} // namespace

void TQ2DGetMousePos(float* x, float* y) {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->Input_GetMousePos(x, y);
}

void TQ2DSetMousePos(float x, float y) {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->Input_SetMousePos(x, y);
}

int TQ2DGetMouseWheel() {
    return g_pTQ2DDevice ? g_pTQ2DDevice->Input_GetMouseWheel() : 0;
}

int TQ2DGetKeyState(int key) {
    return g_pTQ2DDevice ? g_pTQ2DDevice->Input_GetKeyState(key) : 0;
}

const char* TQ2DGetKeyName(int key) {
    return g_pTQ2DDevice ? g_pTQ2DDevice->Input_GetKeyName(key) : nullptr;
}

int TQ2DGetKey() {
    return g_pTQ2DDevice ? g_pTQ2DDevice->Input_GetKey() : 0;
}

int TQ2DGetKeyChar() {
    return g_pTQ2DDevice ? g_pTQ2DDevice->Input_GetChar() : 0;
}

int TQ2DGetKeyEvent(TQ2D_INPUT_EVENT_tag* event) {
    return g_pTQ2DDevice ? g_pTQ2DDevice->Input_GetEvent(event) : 0;
}

float TQ2DGetTime() {
    return g_pTQ2DDevice ? g_pTQ2DDevice->Timer_GetTime() : 0.0f;
}

float TQ2DGetDeltaTime() {
    return g_pTQ2DDevice ? g_pTQ2DDevice->Timer_GetDelta() : 0.0f;
}

int TQ2DGetFPS() {
    return g_pTQ2DDevice ? g_pTQ2DDevice->Timer_GetFPS() : 0;
}

int TQ2DGfx_BeginScene(unsigned long target) {
    return ActiveDevice() ? g_pTQ2DDevice->Gfx_BeginScene(static_cast<DWORD>(target)) : 0;
}

void TQ2DGfx_EndScene() {
    if (ActiveDevice())
        g_pTQ2DDevice->Gfx_EndScene();
}

void TQ2DGfx_Clear(unsigned long color) {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->Gfx_Clear(static_cast<DWORD>(color));
}

void TQ2DGfx_RenderLine(float x1, float y1, float x2, float y2, unsigned long color, float z) {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->Gfx_RenderLine(x1, y1, x2, y2, static_cast<DWORD>(color), z);
}

void TQ2DGfx_RenderTriple(TQ2D_TRIPLE_tag* triple) {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->Gfx_RenderTriple(triple);
}

void TQ2DGfx_RenderQuad(TQ2D_QUAD_tag* quad) {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->Gfx_RenderQuad(quad);
}

TQ2D_VERTEX_tag* TQ2DGfx_StartBatch(int primType, unsigned long texture, int blend, int* maxPrim) {
    if (!g_pTQ2DDevice)
        return nullptr;
    return g_pTQ2DDevice->Gfx_StartBatch(primType, static_cast<DWORD>(texture), blend, maxPrim);
}

void TQ2DGfx_FinishBatch(int primCount) {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->Gfx_FinishBatch(primCount);
}

void TQ2DGfx_SetClipping(int x, int y, int width, int height) {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->Gfx_SetClipping(x, y, width, height);
}

void TQ2DGfx_SetTransform(float x, float y, float dx, float dy, float rotation, float hscale, float vscale) {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->Gfx_SetTransform(x, y, dx, dy, rotation, hscale, vscale);
}

void TQ2DSoundMute(int mute) {
    g_bSoundMute = mute;
}

void TQ2DSoundStopAll() {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->Channel_StopAll();
}

void TQ2DSoundVolume(unsigned long volume) {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->System_SetState(TQGFX_FXVOLUME, TQGfxStateValue(static_cast<int>(volume)));
}

void TQ2DMusicVolume(unsigned long volume) {
    if (g_pTQ2DDevice)
        g_pTQ2DDevice->System_SetState(TQGFX_MUSVOLUME, TQGfxStateValue(static_cast<int>(volume)));
}

unsigned long TQ2DGetIndexColor(unsigned char index) {
    return index < 17 ? kIndexColors[index] : 0;
}

int TQ2DMakeScreenShot(TQ2D_IMAGE_FORMAT format, const char* path) {
    IDirect3DDevice9* d3d = g_pTQ2DDevice ? g_pTQ2DDevice->Direct3DDevice() : nullptr;
    if (!path || !d3d)
        return 0;
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(d3d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface)) || !surface)
        return 0;
    const bool saved = SUCCEEDED(D3DXSaveSurfaceToFileA(path, format, surface, nullptr, nullptr));
    surface->Release();
    return saved ? 1 : 0;
}
