#include "d3d9testdevice.h"

#include "platform/d3d9/tqsurface.h"
#include "platform/d3dx9/tqd3dx9.h"
#include "platform/win32/tquser32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {
constexpr UINT kMaxVertices = 6000;
// Windows of these tests live in memory: the video backend is chosen before any test runs.
const bool kHeadlessVideo = setenv("TQ_VIDEO", "headless", 1) == 0;
} // namespace

std::vector<TestVertex> QuadTriangles(float x0, float y0, float x1, float y1, DWORD color, float z, float u0,
                                      float v0, float u1, float v1) {
    TestVertex tl{x0, y0, z, color, u0, v0}, tr{x1, y0, z, color, u1, v0};
    TestVertex br{x1, y1, z, color, u1, v1}, bl{x0, y1, z, color, u0, v1};
    return {tl, tr, br, br, bl, tl};
}

HWND TestWindow() {
    static HWND window = [] {
        EXPECT_TRUE(kHeadlessVideo);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "TQD3D9TEST";
        RegisterClassA(&wc);
        return CreateWindowExA(0, "TQD3D9TEST", "d3d9 test", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr,
                               nullptr, nullptr);
    }();
    return window;
}

D3DPRESENT_PARAMETERS WindowedParameters(UINT width, UINT height, D3DFORMAT format, bool depth) {
    D3DPRESENT_PARAMETERS pp = {};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = format;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = TestWindow();
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = depth;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    return pp;
}

TestDevice::TestDevice(UINT width, UINT height, D3DFORMAT format, bool depth) {
    m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp = WindowedParameters(width, height, format, depth);
    EXPECT_EQ(D3D_OK, m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, TestWindow(),
                                          D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &m_device));
    EXPECT_EQ(D3D_OK, m_device->CreateVertexBuffer(kMaxVertices * sizeof(TestVertex), D3DUSAGE_WRITEONLY,
                                                   0x142, D3DPOOL_DEFAULT, &m_vertices, nullptr));
    EXPECT_EQ(D3D_OK, m_device->CreateIndexBuffer(kMaxVertices * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                                  D3DPOOL_DEFAULT, &m_indices, nullptr));
    uint16_t* index = nullptr;
    EXPECT_EQ(D3D_OK, m_indices->Lock(0, 0, reinterpret_cast<void**>(&index), 0));
    for (UINT q = 0; q < kMaxVertices / 6; ++q) {
        const uint16_t pattern[6] = {0, 1, 2, 2, 3, 0};
        for (int k = 0; k < 6; ++k)
            index[q * 6 + k] = static_cast<uint16_t>(q * 4 + pattern[k]);
    }
    m_indices->Unlock();
    m_device->SetFVF(0x142);
    m_device->SetStreamSource(0, m_vertices, 0, sizeof(TestVertex));
    m_device->SetIndices(m_indices);
    SetPixelProjection(width, height);
    m_device->BeginScene();
}

TestDevice::~TestDevice() {
    m_device->EndScene();
    m_device->SetStreamSource(0, nullptr, 0, 0);
    m_device->SetIndices(nullptr);
    m_vertices->Release();
    m_indices->Release();
    m_device->Release();
    m_d3d->Release();
}

void TestDevice::SetEngineStates() {
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_device->SetRenderState(D3DRS_ALPHAREF, 1);
    m_device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
}

void TestDevice::SetPixelProjection(UINT width, UINT height) {
    D3DXMATRIX flip, shift, ortho, projection;
    D3DXMatrixScaling(&flip, 1.0f, -1.0f, 1.0f);
    D3DXMatrixTranslation(&shift, -0.5f, height + 0.5f, 0.0f);
    D3DXMatrixOrthoOffCenterLH(&ortho, 0, static_cast<float>(width), 0, static_cast<float>(height), 0.0f,
                               1.0f);
    D3DXMatrixMultiply(&projection, &flip, &shift);
    D3DXMatrixMultiply(&projection, &projection, &ortho);
    m_device->SetTransform(D3DTS_PROJECTION, &projection);
}

void TestDevice::Upload(const std::vector<TestVertex>& vertices) {
    ASSERT_LE(vertices.size(), kMaxVertices);
    void* data = nullptr;
    ASSERT_EQ(D3D_OK, m_vertices->Lock(0, 0, &data, 0));
    std::memcpy(data, vertices.data(), vertices.size() * sizeof(TestVertex));
    m_vertices->Unlock();
}

void TestDevice::DrawTriangles(const std::vector<TestVertex>& vertices) {
    Upload(vertices);
    EXPECT_EQ(D3D_OK, m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(vertices.size() / 3)));
}

void TestDevice::DrawLines(const std::vector<TestVertex>& vertices) {
    Upload(vertices);
    EXPECT_EQ(D3D_OK, m_device->DrawPrimitive(D3DPT_LINELIST, 0, static_cast<UINT>(vertices.size() / 2)));
}

void TestDevice::DrawQuads(const std::vector<TestVertex>& vertices) {
    Upload(vertices);
    UINT quads = static_cast<UINT>(vertices.size() / 4);
    EXPECT_EQ(D3D_OK, m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, quads * 4, 0, quads * 2));
}

IDirect3DTexture9* TestDevice::MakeTexture(UINT width, UINT height, const std::vector<uint32_t>& pixels) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3D_OK,
              D3DXCreateTexture(m_device, width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture));
    D3DLOCKED_RECT locked;
    EXPECT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
    for (UINT y = 0; y < height; ++y)
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, &pixels[y * width], width * 4);
    texture->UnlockRect(0);
    return texture;
}

std::vector<uint32_t> TestDevice::Pixels() const {
    IDirect3DSurface9* target = nullptr;
    m_device->GetRenderTarget(0, &target);
    tqd3d9::Image& image = static_cast<tqd3d9::Surface*>(target)->DrawnPixels();
    const uint32_t* argb = image.ArgbPixels();
    std::vector<uint32_t> pixels(argb, argb + image.Width() * image.Height());
    target->Release();
    return pixels;
}

uint32_t TestDevice::Pixel(int x, int y) const {
    IDirect3DSurface9* target = nullptr;
    m_device->GetRenderTarget(0, &target);
    tqd3d9::Image& image = static_cast<tqd3d9::Surface*>(target)->DrawnPixels();
    uint32_t value = image.ArgbPixels()[y * image.Width() + x];
    target->Release();
    return value;
}

int TestDevice::CountPixels(uint32_t argb) const {
    int count = 0;
    for (uint32_t p : Pixels())
        count += p == argb;
    return count;
}

void ExpectSamePixels(const std::vector<uint32_t>& expected, const std::vector<uint32_t>& actual,
                      const char* what, unsigned seed) {
    ASSERT_EQ(expected.size(), actual.size());
    size_t differing = 0, first = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i] != actual[i] && differing++ == 0)
            first = i;
    ASSERT_EQ(0u, differing) << what << ", seed " << seed << ", first at pixel " << first << ": expected "
                             << std::hex << expected[first] << ", got " << actual[first];
}
