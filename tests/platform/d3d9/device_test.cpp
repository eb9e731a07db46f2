// Object lifetimes and reference counts, default states, the lost-device cycle, full-screen format
// refusal, presenting, and refusal of bad input.
#include "d3d9testdevice.h"

#include "platform/d3d9/tqd3d9hooks.h"
#include "platform/d3dx9/tqd3dx9.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/video/tqvideo.h"

#include <gtest/gtest.h>

namespace {

// Windowed parameters in the desktop's format.
D3DPRESENT_PARAMETERS Windowed(UINT width, UINT height, bool depth) {
    return WindowedParameters(width, height, D3DFMT_UNKNOWN, depth);
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(nullptr, d3d);
    }
    void TearDown() override {
        if (device) {
            EXPECT_EQ(0u, device->Release());
        }
        EXPECT_EQ(0u, d3d->Release());
    }
    HRESULT Create(D3DPRESENT_PARAMETERS* pp) {
        return d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, TestWindow(),
                                 D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, pp, &device);
    }
    DWORD State(D3DRENDERSTATETYPE state) {
        DWORD value = 0xDEAD;
        device->GetRenderState(state, &value);
        return value;
    }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

TEST_F(DeviceTest, CreationCompletesParametersAndReportsTheAdapter) {
    EXPECT_EQ(nullptr, Direct3DCreate9(31));
    D3DADAPTER_IDENTIFIER9 id;
    EXPECT_EQ(D3D_OK, d3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &id));
    EXPECT_STRNE("", id.Driver);
    D3DDISPLAYMODE mode;
    ASSERT_EQ(D3D_OK, d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode));
    EXPECT_EQ(D3DFMT_X8R8G8B8, mode.Format);

    D3DPRESENT_PARAMETERS pp = Windowed(0, 0, false);
    pp.BackBufferFormat = D3DFMT_UNKNOWN;
    ASSERT_EQ(D3D_OK, Create(&pp));
    RECT client;
    GetClientRect(TestWindow(), &client);
    EXPECT_EQ(static_cast<UINT>(client.right), pp.BackBufferWidth);
    EXPECT_EQ(static_cast<UINT>(client.bottom), pp.BackBufferHeight);
    EXPECT_EQ(D3DFMT_X8R8G8B8, pp.BackBufferFormat);
}

TEST_F(DeviceTest, EveryGetAddsAReferenceAndLevelSurfacesShareTheTextureCount) {
    D3DPRESENT_PARAMETERS pp = Windowed(32, 32, true);
    ASSERT_EQ(D3D_OK, Create(&pp));
    EXPECT_EQ(2u, device->AddRef());
    EXPECT_EQ(1u, device->Release());
    IDirect3DSurface9 *back = nullptr, *target = nullptr, *depth = nullptr;
    ASSERT_EQ(D3D_OK, device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back));
    ASSERT_EQ(D3D_OK, device->GetRenderTarget(0, &target));
    ASSERT_EQ(D3D_OK, device->GetDepthStencilSurface(&depth));
    EXPECT_EQ(back, target);
    back->Release();
    target->Release();
    depth->Release();

    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, D3DXCreateTexture(device, 5, 3, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture));
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(D3D_OK, texture->GetSurfaceLevel(0, &level));
    EXPECT_EQ(3u, texture->AddRef());
    EXPECT_EQ(2u, level->Release());
    EXPECT_EQ(1u, texture->Release());
    device->SetTexture(0, texture);
    EXPECT_EQ(1u, texture->Release()); // the device's binding keeps it alive
    device->SetTexture(0, nullptr);
}

TEST_F(DeviceTest, DefaultStatesAtCreationAndAfterReset) {
    D3DPRESENT_PARAMETERS pp = Windowed(32, 32, true);
    ASSERT_EQ(D3D_OK, Create(&pp));
    EXPECT_EQ(static_cast<DWORD>(D3DZB_TRUE), State(D3DRS_ZENABLE));
    EXPECT_EQ(static_cast<DWORD>(TRUE), State(D3DRS_ZWRITEENABLE));
    EXPECT_EQ(static_cast<DWORD>(D3DCULL_CCW), State(D3DRS_CULLMODE));
    EXPECT_EQ(static_cast<DWORD>(FALSE), State(D3DRS_ALPHABLENDENABLE));
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    D3DPRESENT_PARAMETERS noDepth = Windowed(16, 16, false);
    ASSERT_EQ(D3D_OK, device->Reset(&noDepth));
    EXPECT_EQ(static_cast<DWORD>(D3DZB_FALSE), State(D3DRS_ZENABLE));
    EXPECT_EQ(static_cast<DWORD>(TRUE), State(D3DRS_ZWRITEENABLE));
    EXPECT_EQ(static_cast<DWORD>(FALSE), State(D3DRS_ALPHABLENDENABLE));
    D3DVIEWPORT9 viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(16u, viewport.Width);
    IDirect3DSurface9* depth = nullptr;
    EXPECT_EQ(D3DERR_NOTFOUND, device->GetDepthStencilSurface(&depth));
}

TEST_F(DeviceTest, LostDeviceGoesThroughNotResetAndResetWaitsForReferences) {
    D3DPRESENT_PARAMETERS pp = Windowed(32, 32, true);
    ASSERT_EQ(D3D_OK, Create(&pp));
    IDirect3DTexture9* managed = nullptr;
    ASSERT_EQ(D3D_OK, D3DXCreateTexture(device, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed));
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(D3D_OK,
              device->CreateVertexBuffer(240, D3DUSAGE_WRITEONLY, 0x142, D3DPOOL_DEFAULT, &buffer, nullptr));
    device->SetStreamSource(0, buffer, 0, 24);
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(D3D_OK, D3DXCreateTexture(device, 8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                        D3DPOOL_DEFAULT, &target));
    IDirect3DSurface9* back = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);

    tqplat::D3D9ForceDeviceLost(device, 2);
    EXPECT_EQ(D3DERR_DEVICELOST, device->Present(nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(D3DERR_DEVICELOST, device->TestCooperativeLevel());
    EXPECT_EQ(D3DERR_DEVICELOST, device->Reset(&pp));
    EXPECT_EQ(D3DERR_DEVICELOST, device->TestCooperativeLevel());
    EXPECT_EQ(D3DERR_DEVICENOTRESET, device->TestCooperativeLevel());

    EXPECT_EQ(D3DERR_INVALIDCALL, device->Reset(&pp)); // buffer, target and back buffer still held
    buffer->Release();
    EXPECT_EQ(D3DERR_INVALIDCALL, device->Reset(&pp));
    target->Release();
    EXPECT_EQ(D3DERR_INVALIDCALL, device->Reset(&pp));
    EXPECT_EQ(D3DERR_DEVICENOTRESET, device->TestCooperativeLevel());
    back->Release();
    // The stream binding alone does not hold the reset back.
    ASSERT_EQ(D3D_OK, device->Reset(&pp));
    EXPECT_EQ(D3D_OK, device->TestCooperativeLevel());
    EXPECT_EQ(D3D_OK, device->Present(nullptr, nullptr, nullptr, nullptr));

    D3DLOCKED_RECT locked;
    EXPECT_EQ(D3D_OK, managed->LockRect(0, &locked, nullptr, 0)); // managed textures survive
    managed->UnlockRect(0);
    managed->Release();
}

TEST_F(DeviceTest, RefusedFullScreenFormatLetsTheCallerFallBack) {
    D3DPRESENT_PARAMETERS pp = Windowed(320, 240, false);
    pp.Windowed = FALSE;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    tqplat::D3D9RefuseFullScreenFormat(D3DFMT_X8R8G8B8);
    EXPECT_EQ(D3DERR_NOTAVAILABLE, Create(&pp));
    EXPECT_EQ(nullptr, device);
    pp.BackBufferFormat = D3DFMT_R5G6B5;
    EXPECT_EQ(D3D_OK, Create(&pp));
    tqplat::D3D9RefuseFullScreenFormat(D3DFMT_UNKNOWN);
    pp.BackBufferFormat = D3DFMT_UNKNOWN; // full screen needs a real format
    IDirect3DDevice9* second = nullptr;
    EXPECT_EQ(D3DERR_INVALIDCALL, d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, TestWindow(),
                                                    D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &second));
}

TEST_F(DeviceTest, PresentHandsTheBackBufferToTheWindowAndKeepsIt) {
    D3DPRESENT_PARAMETERS pp = Windowed(8, 4, false);
    ASSERT_EQ(D3D_OK, Create(&pp));
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF123456u, 1.0f, 0);
    ASSERT_EQ(D3D_OK, device->Present(nullptr, nullptr, nullptr, nullptr));
    std::vector<uint32_t> frame;
    int width = 0, height = 0;
    ASSERT_TRUE(tqplat::VideoLastFrame(TestWindow(), &frame, &width, &height));
    EXPECT_EQ(8, width);
    EXPECT_EQ(4, height);
    EXPECT_EQ(0x123456u, frame[0] & 0xFFFFFFu);
    ASSERT_EQ(D3D_OK, device->Present(nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(tqplat::VideoLastFrame(TestWindow(), &frame, &width, &height));
    EXPECT_EQ(0x123456u, frame[31] & 0xFFFFFFu);
    device->BeginScene();
    EXPECT_EQ(D3DERR_INVALIDCALL, device->Present(nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(D3DERR_INVALIDCALL, device->BeginScene());
    device->EndScene();
}

TEST_F(DeviceTest, SixteenBitBackBuffersArePresentedAsArgb) {
    D3DPRESENT_PARAMETERS pp = Windowed(4, 2, false);
    pp.BackBufferFormat = D3DFMT_R5G6B5;
    ASSERT_EQ(D3D_OK, Create(&pp));
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000u, 1.0f, 0);
    ASSERT_EQ(D3D_OK, device->Present(nullptr, nullptr, nullptr, nullptr));
    std::vector<uint32_t> frame;
    int width = 0, height = 0;
    ASSERT_TRUE(tqplat::VideoLastFrame(TestWindow(), &frame, &width, &height));
    ASSERT_EQ(8u, frame.size());
    EXPECT_EQ(0xFF0000u, frame[7] & 0xFFFFFFu);
}

TEST_F(DeviceTest, RenderTargetTexturesResetTheViewport) {
    D3DPRESENT_PARAMETERS pp = Windowed(64, 64, false);
    ASSERT_EQ(D3D_OK, Create(&pp));
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(D3D_OK, D3DXCreateTexture(device, 30, 20, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                        D3DPOOL_DEFAULT, &target));
    D3DSURFACE_DESC desc;
    target->GetLevelDesc(0, &desc);
    EXPECT_EQ(30u, desc.Width); // exact non-power-of-two size
    IDirect3DSurface9* level = nullptr;
    target->GetSurfaceLevel(0, &level);
    ASSERT_EQ(D3D_OK, device->SetRenderTarget(0, level));
    D3DVIEWPORT9 viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(30u, viewport.Width);
    EXPECT_EQ(20u, viewport.Height);
    D3DVIEWPORT9 tooWide = {0, 0, 31, 20, 0, 1};
    EXPECT_EQ(D3DERR_INVALIDCALL, device->SetViewport(&tooWide));
    D3DLOCKED_RECT locked;
    EXPECT_EQ(D3DERR_INVALIDCALL, target->LockRect(0, &locked, nullptr, D3DLOCK_READONLY));
    IDirect3DSurface9* back = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    device->SetRenderTarget(0, back);
    device->GetViewport(&viewport);
    EXPECT_EQ(64u, viewport.Width);
    back->Release();
    level->Release();
    target->Release();
}

TEST_F(DeviceTest, LocksAreRefusedWhenTheyCannotBeGiven) {
    D3DPRESENT_PARAMETERS pp = Windowed(16, 16, false);
    ASSERT_EQ(D3D_OK, Create(&pp));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, D3DXCreateTexture(device, 10, 6, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture));
    D3DLOCKED_RECT locked, again;
    RECT part = {2, 1, 5, 4};
    ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, &part, 0));
    EXPECT_EQ(40, locked.Pitch);
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->LockRect(0, &again, nullptr, D3DLOCK_READONLY));
    EXPECT_EQ(D3D_OK, texture->UnlockRect(0));
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->UnlockRect(0));
    RECT outside = {8, 0, 11, 2};
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->LockRect(0, &locked, &outside, 0));
    texture->Release();

    IDirect3DTexture9* compressed = nullptr;
    ASSERT_EQ(D3D_OK, D3DXCreateTexture(device, 8, 8, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &compressed));
    EXPECT_EQ(D3DERR_INVALIDCALL, compressed->LockRect(0, &locked, nullptr, D3DLOCK_READONLY));
    compressed->Release();

    IDirect3DTexture9* huge = nullptr;
    EXPECT_NE(D3D_OK, D3DXCreateTexture(device, 100000, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &huge));
    EXPECT_NE(D3D_OK, D3DXCreateTexture(device, 0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &huge));
    EXPECT_EQ(nullptr, huge);
}

TEST(DeviceDraws, CountsAndIndicesBeyondTheBuffersAreRefused) {
    TestDevice t(16, 16);
    t.SetEngineStates();
    IDirect3DDevice9* device = t.Get();
    // The helper's buffers hold 6000 vertices and 6000 indices.
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLELIST, 5998, 1));
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0x7FFFFFFF));
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 5997, 2));
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 2001, 0, 4, 0, 2000));
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -1, 0, 4, 0, 2));
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 1));
    EXPECT_EQ(D3D_OK, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 2000, 0, 4000, 0, 2000));
    device->SetFVF(0x102);
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1));
    device->SetFVF(0x142);
    device->EndScene();
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1));
    device->BeginScene();
}

} // namespace
