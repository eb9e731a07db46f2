// A windowed software device with the fixed states the engine sets, helpers that draw lists of
// vertices given in pixels (the engine's projection with its half-pixel shift), and pixel read-back.
#pragma once

#include "platform/d3d9/tqd3d9.h"

#include <cstdint>
#include <vector>

struct TestVertex {
    float x, y, z;
    DWORD color;
    float u, v;
};

// The two triangles (0, 1, 2), (2, 3, 0) of an axis-aligned quad from (x0, y0) to (x1, y1).
std::vector<TestVertex> QuadTriangles(float x0, float y0, float x1, float y1, DWORD color, float z = 0.5f,
                                      float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 1);

// A test window for devices (headless video).
HWND TestWindow();

// Windowed presentation parameters on the test window: one back buffer, discard, optional D16 depth.
D3DPRESENT_PARAMETERS WindowedParameters(UINT width, UINT height, D3DFORMAT format, bool depth);

class TestDevice {
public:
    TestDevice(UINT width, UINT height, D3DFORMAT format = D3DFMT_X8R8G8B8, bool depth = false);
    ~TestDevice();

    IDirect3DDevice9* Get() const { return m_device; }
    // Culling off, lighting off, blending SRCALPHA/INVSRCALPHA, alpha test >= 1, stage 0 MODULATE.
    void SetEngineStates();
    // Pixel coordinates of a target of this size (y down), as the engine's projection maps them.
    void SetPixelProjection(UINT width, UINT height);

    void DrawTriangles(const std::vector<TestVertex>& vertices);
    void DrawLines(const std::vector<TestVertex>& vertices);
    // Quads of four vertices each through 16-bit indices (0, 1, 2, 2, 3, 0 per quad).
    void DrawQuads(const std::vector<TestVertex>& vertices);

    // A managed A8R8G8B8 texture filled with the pixels (row by row).
    IDirect3DTexture9* MakeTexture(UINT width, UINT height, const std::vector<uint32_t>& pixels);

    // The current render target as 0xAARRGGBB.
    uint32_t Pixel(int x, int y) const;
    std::vector<uint32_t> Pixels() const;
    int CountPixels(uint32_t argb) const;

private:
    void Upload(const std::vector<TestVertex>& vertices);

    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    IDirect3DVertexBuffer9* m_vertices = nullptr;
    IDirect3DIndexBuffer9* m_indices = nullptr;
};

// Fails (fatally, within the helper) when the two images differ, naming the first differing pixel.
void ExpectSamePixels(const std::vector<uint32_t>& expected, const std::vector<uint32_t>& actual,
                      const char* what, unsigned seed);
