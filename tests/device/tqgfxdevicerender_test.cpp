// The renderer: batching and its draw calls, pixels of each blend mode on the screen and on render
// targets, clipping, the view transform, scenes, and the lost device.
#include "devicetestsupport.h"

#include "platform/d3d9/tqd3d9hooks.h"
#include "platform/win32/tquser32.h"

#include <climits>
#include <cstdlib>

namespace {

class DeviceRenderTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_TRUE(Initiate());
    }

    // A texture of one colour.
    DWORD SolidTexture(int width, int height, DWORD color) {
        DWORD texture = dev->Texture_Create(width, height);
        DWORD* pixels = dev->Texture_Lock(texture, false, 0, 0, 0, 0);
        if (!pixels)
            return texture;
        for (int i = 0; i < width * height; ++i)
            pixels[i] = color;
        dev->Texture_Unlock(texture);
        return texture;
    }

    // Draw calls of one scene on the screen, cleared to black, with the given drawing.
    unsigned DrawCallsOf(std::function<void()> draw) {
        unsigned before = dev->DrawCallCount();
        EXPECT_TRUE(dev->Gfx_BeginScene(0));
        draw();
        dev->Gfx_EndScene();
        return dev->DrawCallCount() - before;
    }

    void Quad(float x0, float y0, float x1, float y1, DWORD color, DWORD tex = 0,
              int blend = TQ2D_BLEND_DEFAULT) {
        TQ2D_QUAD_tag quad = MakeQuad(x0, y0, x1, y1, color, tex, blend);
        dev->Gfx_RenderQuad(&quad);
    }
};

} // namespace

TEST_F(DeviceRenderTest, ThousandQuadsAreOneDrawCall) {
    EXPECT_EQ(DrawCallsOf([&] {
                  for (int i = 0; i < 1000; ++i)
                      Quad(0, 0, 1, 1, 0xFFFFFFFF);
              }),
              1u);
    EXPECT_EQ(DrawCallsOf([&] {
                  for (int i = 0; i < 1001; ++i)
                      Quad(0, 0, 1, 1, 0xFFFFFFFF);
              }),
              2u);
}

TEST_F(DeviceRenderTest, ChangesOfTextureModeOrTypeFlushTheBatch) {
    DWORD a = SolidTexture(4, 4, 0xFFFFFFFF);
    DWORD b = SolidTexture(4, 4, 0xFF000000);
    EXPECT_EQ(DrawCallsOf([&] {
                  for (int i = 0; i < 10; ++i)
                      Quad(0, 0, 1, 1, 0xFFFFFFFF, i % 2 ? a : b);
              }),
              10u);
    EXPECT_EQ(DrawCallsOf([&] {
                  Quad(0, 0, 1, 1, 0xFFFFFFFF, a);
                  Quad(0, 0, 1, 1, 0xFFFFFFFF, a, TQ2D_BLEND_COLORADD);
                  dev->Gfx_RenderLine(0, 0, 5, 5, 0xFFFFFFFF, 0.5f);
                  dev->Gfx_RenderLine(0, 0, 5, 5, 0xFFFFFFFF, 0.5f);
              }),
              3u);
    // Clipping and the transform draw what is pending.
    EXPECT_EQ(DrawCallsOf([&] {
                  Quad(0, 0, 1, 1, 0xFFFFFFFF);
                  dev->Gfx_SetClipping(0, 0, 0, 0);
                  Quad(0, 0, 1, 1, 0xFFFFFFFF);
                  dev->Gfx_SetTransform(0, 0, 0, 0, 0, 1, 0);
                  Quad(0, 0, 1, 1, 0xFFFFFFFF);
              }),
              3u);
}

TEST_F(DeviceRenderTest, RawBatches) {
    int most = 0;
    EXPECT_EQ(dev->Gfx_StartBatch(TQ2D_PRIM_QUADS, 0, TQ2D_BLEND_DEFAULT, &most), nullptr);
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF000000);
    EXPECT_EQ(dev->Gfx_StartBatch(5, 0, TQ2D_BLEND_DEFAULT, &most), nullptr);
    EXPECT_EQ(dev->Gfx_StartBatch(0, 0, TQ2D_BLEND_DEFAULT, &most), nullptr);
    ASSERT_NE(dev->Gfx_StartBatch(TQ2D_PRIM_LINES, 0, TQ2D_BLEND_DEFAULT, &most), nullptr);
    EXPECT_EQ(most, 2000);
    ASSERT_NE(dev->Gfx_StartBatch(TQ2D_PRIM_TRIPLES, 0, TQ2D_BLEND_DEFAULT, &most), nullptr);
    EXPECT_EQ(most, 1333);
    TQ2D_VERTEX_tag* v = dev->Gfx_StartBatch(TQ2D_PRIM_QUADS, 0, TQ2D_BLEND_DEFAULT, &most);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(most, 1000);
    TQ2D_QUAD_tag quad = MakeQuad(2, 2, 6, 6, 0xFF00FF00);
    for (int i = 0; i < 4; ++i)
        v[i] = quad.v[i];
    // A count beyond the buffer is cut to what it holds.
    dev->Gfx_FinishBatch(5000);
    unsigned before = dev->DrawCallCount();
    dev->Gfx_EndScene();
    EXPECT_EQ(dev->DrawCallCount() - before, 1u);
    EXPECT_EQ(PixelRgb(3, 3), 0x00FF00u);
}

TEST_F(DeviceRenderTest, SecondBeginSceneFailsAndTheFirstGoesOn) {
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF000000);
    EXPECT_FALSE(dev->Gfx_BeginScene(0));
    EXPECT_STREQ(dev->System_GetErrorMessage(), "Gfx_BeginScene: Scene is already being rendered");
    Quad(0, 0, 4, 4, 0xFFFFFFFF);
    dev->Gfx_EndScene();
    EXPECT_EQ(PixelRgb(1, 1), 0xFFFFFFu);
    // Outside a scene nothing is drawn and nothing fails.
    Quad(0, 0, 4, 4, 0xFF0000FF);
    dev->Gfx_RenderLine(0, 0, 4, 4, 0xFF0000FF, 0.5f);
    dev->Gfx_FinishBatch(3);
    dev->Gfx_EndScene();
}

TEST_F(DeviceRenderTest, PixelsOfEachBlendMode) {
    DWORD grey = SolidTexture(4, 4, 0xFF404040);
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF000000);
    Quad(0, 0, 8, 8, 0xFFFF0000);
    Quad(8, 0, 16, 8, 0x80FF0000, 0, TQ2D_BLEND_ALPHABLEND);
    Quad(16, 0, 24, 8, 0x80FF0000, 0, TQ2D_BLEND_ALPHAADD);
    Quad(16, 0, 24, 8, 0x80FF0000, 0, TQ2D_BLEND_ALPHAADD);
    Quad(24, 0, 32, 8, 0xFF202020, grey, TQ2D_BLEND_COLORMUL | TQ2D_BLEND_ALPHABLEND);
    Quad(32, 0, 40, 8, 0xFF202020, grey, TQ2D_BLEND_COLORADD | TQ2D_BLEND_ALPHABLEND);
    // Fully transparent pixels are discarded by the alpha test.
    Quad(40, 0, 48, 8, 0x00FFFFFF, 0, TQ2D_BLEND_ALPHAADD);
    TQ2D_TRIPLE_tag triple{};
    triple.v[0] = {0, 16, 0.5f, 0xFF0000FF, 0, 0};
    triple.v[1] = {16, 16, 0.5f, 0xFF0000FF, 0, 0};
    triple.v[2] = {0, 32, 0.5f, 0xFF0000FF, 0, 0};
    triple.blend = TQ2D_BLEND_DEFAULT;
    dev->Gfx_RenderTriple(&triple);
    dev->Gfx_RenderLine(0, 40, 64, 40, 0xFF00FF00, 0.5f);
    dev->Gfx_EndScene();

    EXPECT_EQ(PixelRgb(4, 4), 0xFF0000u);
    EXPECT_EQ(PixelRgb(12, 4), 0x800000u);
    EXPECT_EQ(PixelRgb(20, 4), 0xFF0000u);
    EXPECT_EQ(PixelRgb(28, 4), 0x080808u);
    EXPECT_EQ(PixelRgb(36, 4), 0x606060u);
    EXPECT_EQ(PixelRgb(44, 4), 0x000000u);
    EXPECT_EQ(PixelRgb(2, 18), 0x0000FFu);
    EXPECT_EQ(PixelRgb(14, 30), 0x000000u);
    EXPECT_EQ(PixelRgb(30, 40), 0x00FF00u);
    EXPECT_EQ(PixelRgb(30, 41), 0x000000u);
}

TEST_F(DeviceRenderTest, SceneOnARenderTargetThenOnTheScreen) {
    DWORD target = dev->Target_Create(16, 16, true);
    ASSERT_NE(target, 0u);
    DWORD texture = dev->Target_GetTexture(target);
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(dev->Target_GetTexture(0), 0u);
    EXPECT_EQ(dev->Texture_GetWidth(texture, true), 16);

    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF000000);
    dev->Gfx_EndScene();
    ASSERT_TRUE(dev->Gfx_BeginScene(target));
    dev->Gfx_Clear(0xFF0000FF);
    Quad(0, 0, 8, 16, 0xFFFFFF00);
    dev->Gfx_EndScene();
    // A scene on a target is not presented.
    EXPECT_EQ(PixelRgb(4, 4), 0x000000u);

    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF000000);
    Quad(32, 16, 48, 32, 0xFFFFFFFF, texture);
    dev->Gfx_EndScene();
    EXPECT_EQ(PixelRgb(34, 20), 0xFFFF00u);
    EXPECT_EQ(PixelRgb(44, 20), 0x0000FFu);
    // Back on the screen the projection is the screen's again.
    EXPECT_EQ(PixelRgb(31, 20), 0x000000u);
    EXPECT_EQ(PixelRgb(47, 31), 0x0000FFu);
    EXPECT_EQ(PixelRgb(48, 32), 0x000000u);
}

TEST_F(DeviceRenderTest, FreeingTheCurrentTargetSwitchesBackToTheScreen) {
    DWORD first = dev->Target_Create(16, 16, false);
    ASSERT_TRUE(dev->Gfx_BeginScene(first));
    dev->Gfx_Clear(0xFF0000FF);
    dev->Gfx_EndScene();
    dev->Target_Free(first);
    dev->Target_Free(first);
    DWORD second = dev->Target_Create(16, 16, false);
    EXPECT_NE(second, first);
    EXPECT_EQ(dev->Target_GetTexture(first), 0u);
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFFFF0000);
    dev->Gfx_EndScene();
    EXPECT_EQ(PixelRgb(40, 40), 0xFF0000u);
    // A freed target's handle is refused.
    EXPECT_FALSE(dev->Gfx_BeginScene(first));
    EXPECT_STREQ(dev->System_GetErrorMessage(), "Gfx_BeginScene: Can't set render target");
}

TEST_F(DeviceRenderTest, TextureFreeRefusesUnknownFreedAndTargetHandles) {
    DWORD target = dev->Target_Create(8, 8, false);
    DWORD targetTexture = dev->Target_GetTexture(target);
    dev->Texture_Free(targetTexture);
    EXPECT_EQ(dev->Texture_GetWidth(targetTexture, false), 8);
    dev->Texture_Free(0x12345678);
    DWORD texture = SolidTexture(4, 4, 0xFFFFFFFF);
    dev->Texture_Free(texture);
    dev->Texture_Free(texture);
    EXPECT_EQ(dev->Texture_GetWidth(texture, false), 0);
    EXPECT_EQ(dev->Texture_Lock(texture, true, 0, 0, 0, 0), nullptr);
    // A handle freed and taken again by a new texture does not reach the new one.
    DWORD next = SolidTexture(2, 2, 0xFFFFFFFF);
    EXPECT_NE(next, texture);
    dev->Texture_Free(texture);
    EXPECT_EQ(dev->Texture_GetWidth(next, false), 2);
}

TEST_F(DeviceRenderTest, ClippingRectangles) {
    dev->System_Shutdown();
    ASSERT_TRUE(Initiate(800, 600));
    D3DVIEWPORT9 viewport;
    auto clip = [&](int x, int y, int w, int h) {
        dev->Gfx_SetClipping(x, y, w, h);
        dev->Direct3DDevice()->GetViewport(&viewport);
    };
    clip(-10, -10, 100, 100);
    EXPECT_EQ(viewport.X, 0u);
    EXPECT_EQ(viewport.Width, 90u);
    EXPECT_EQ(viewport.Height, 90u);
    clip(750, 550, 100, 100);
    EXPECT_EQ(viewport.X, 750u);
    EXPECT_EQ(viewport.Y, 550u);
    EXPECT_EQ(viewport.Width, 50u);
    EXPECT_EQ(viewport.Height, 50u);
    clip(10, 10, 0, 0);
    EXPECT_EQ(viewport.X, 0u);
    EXPECT_EQ(viewport.Width, 800u);
    EXPECT_EQ(viewport.Height, 600u);
    // Extreme arguments clip everything away instead of wrapping around.
    clip(-5, -5, INT_MIN, 10);
    EXPECT_EQ(viewport.Width, 0u);
    clip(-5, 0, 10, INT_MIN + 1);
    EXPECT_EQ(viewport.Height, 0u);

    // A rectangle wholly outside draws nothing.
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF000000);
    dev->Gfx_SetClipping(900, 700, 50, 50);
    Quad(0, 0, 800, 600, 0xFFFFFFFF);
    dev->Gfx_SetClipping(-200, 0, 100, 100);
    Quad(0, 0, 800, 600, 0xFFFFFFFF);
    dev->Gfx_EndScene();
    EXPECT_EQ(PixelRgb(0, 0), 0u);
    EXPECT_EQ(PixelRgb(799, 599), 0u);
}

TEST_F(DeviceRenderTest, ClippingCutsAndKeepsPixelsWhereTheyWereDrawn) {
    // Random quads inside, across and outside random clip rectangles, on the 64 x 48 screen and
    // on a 32 x 24 target: a pixel is lit exactly where the quad and the rectangle overlap.
    DWORD target = dev->Target_Create(32, 24, false);
    ASSERT_NE(target, 0u);
    std::srand(38);
    auto random = [](int low, int high) { return low + std::rand() % (high - low + 1); };
    for (int trial = 0; trial < 24; ++trial) {
        const bool onTarget = trial % 2 == 1;
        const int width = onTarget ? 32 : 64, height = onTarget ? 24 : 48;
        const int cx = random(-8, width), cy = random(-8, height);
        const int cw = random(1, width), ch = random(1, height);
        const int qx = random(-16, width), qy = random(-16, height);
        const int qw = random(1, width), qh = random(1, height);
        ASSERT_TRUE(dev->Gfx_BeginScene(onTarget ? target : 0));
        dev->Gfx_Clear(0xFF000000);
        dev->Gfx_SetClipping(cx, cy, cw, ch);
        Quad(static_cast<float>(qx), static_cast<float>(qy), static_cast<float>(qx + qw),
             static_cast<float>(qy + qh), 0xFFFFFFFF);
        dev->Gfx_EndScene();
        if (onTarget) { // shown one to one on the screen
            ASSERT_TRUE(dev->Gfx_BeginScene(0));
            dev->Gfx_Clear(0xFF000000);
            Quad(0, 0, 32, 24, 0xFFFFFFFF, dev->Target_GetTexture(target));
            dev->Gfx_EndScene();
        }
        const std::vector<uint32_t> pixels = LastFrame();
        auto inside = [](int v, int start, int extent) { return v >= start && v < start + extent; };
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool lit =
                    inside(x, cx, cw) && inside(y, cy, ch) && inside(x, qx, qw) && inside(y, qy, qh);
                wrong += (pixels[y * 64 + x] & 0xFFFFFF) != (lit ? 0xFFFFFFu : 0u);
            }
        EXPECT_EQ(wrong, 0) << (onTarget ? "target" : "screen") << " clip " << cx << "," << cy << " " << cw
                            << "x" << ch << " quad " << qx << "," << qy << " " << qw << "x" << qh;
    }
}

TEST_F(DeviceRenderTest, ViewTransform) {
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF000000);
    dev->Gfx_SetTransform(0, 0, 10, 5, 0, 1, 1);
    Quad(0, 0, 4, 4, 0xFFFFFFFF);
    // Vertical scale 0 is the identity whatever the rest says.
    dev->Gfx_SetTransform(3, 3, 20, 20, 1.0f, 5, 0);
    Quad(0, 0, 2, 2, 0xFF00FF00);
    // Scale 2 about (40, 20).
    dev->Gfx_SetTransform(40, 20, 0, 0, 0, 2, 2);
    Quad(40, 20, 42, 22, 0xFF0000FF);
    dev->Gfx_EndScene();
    EXPECT_EQ(PixelRgb(10, 5), 0xFFFFFFu);
    EXPECT_EQ(PixelRgb(13, 8), 0xFFFFFFu);
    EXPECT_EQ(PixelRgb(14, 9), 0x000000u);
    EXPECT_EQ(PixelRgb(1, 1), 0x00FF00u);
    EXPECT_EQ(PixelRgb(43, 23), 0x0000FFu);
    EXPECT_EQ(PixelRgb(44, 24), 0x000000u);
}

TEST_F(DeviceRenderTest, LostDeviceKeepsTextureAndTargetHandles) {
    DWORD texture = SolidTexture(4, 4, 0xFF00FF00);
    DWORD target = dev->Target_Create(8, 8, true);
    DWORD targetTexture = dev->Target_GetTexture(target);
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF000000);
    tqplat::D3D9ForceDeviceLost(dev->Direct3DDevice(), 3);
    dev->Gfx_EndScene();

    EXPECT_EQ(dev->Target_GetTexture(target), targetTexture);
    EXPECT_EQ(dev->Texture_GetWidth(targetTexture, false), 8);
    ASSERT_TRUE(dev->Gfx_BeginScene(target));
    dev->Gfx_Clear(0xFFFF0000);
    dev->Gfx_EndScene();
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF000000);
    Quad(0, 0, 8, 8, 0xFFFFFFFF, texture);
    Quad(8, 0, 16, 8, 0xFFFFFFFF, targetTexture);
    dev->Gfx_EndScene();
    EXPECT_EQ(PixelRgb(2, 2), 0x00FF00u);
    EXPECT_EQ(PixelRgb(10, 2), 0xFF0000u);
}

TEST_F(DeviceRenderTest, QuitTakenWhileWaitingForTheDeviceIsKept) {
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    tqplat::D3D9ForceDeviceLost(dev->Direct3DDevice(), 1000);
    PostQuitMessage(3);
    dev->Gfx_EndScene();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    // Until the device is restored scenes fail.
    EXPECT_FALSE(dev->Gfx_BeginScene(0));
    // TestCooperativeLevel counts down the lost polls; once it may be reset, scenes work again.
    for (int i = 0; i < 1000 && !dev->Gfx_BeginScene(0); ++i) {
    }
    dev->Gfx_Clear(0xFF00FF00);
    dev->Gfx_EndScene();
    EXPECT_EQ(PixelRgb(5, 5), 0x00FF00u);
}

TEST_F(DeviceRenderTest, FailedResetRefusesScenesUntilRestored) {
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_EndScene();
    tqplat::D3D9RefuseFullScreenFormat(D3DFMT_X8R8G8B8);
    dev->System_SetState(TQGFX_WINDOWED, false);
    EXPECT_FALSE(dev->Gfx_BeginScene(0));
    dev->Gfx_RenderLine(0, 0, 4, 4, 0xFFFFFFFF, 0.5f);
    dev->Gfx_EndScene();
    tqplat::D3D9RefuseFullScreenFormat(D3DFMT_UNKNOWN);
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF0000FF);
    dev->Gfx_EndScene();
    EXPECT_EQ(PixelRgb(5, 5), 0x0000FFu);
}

TEST_F(DeviceRenderTest, FullScreenFallsBackToSixteenBits) {
    dev->System_Shutdown();
    tqplat::D3D9RefuseFullScreenFormat(D3DFMT_X8R8G8B8);
    dev->System_SetState(TQGFX_WINDOWED, false);
    dev->System_SetState(TQGFX_FRAMEFUNC, DeviceTestFrame);
    bool started = dev->System_Initiate();
    tqplat::D3D9RefuseFullScreenFormat(D3DFMT_UNKNOWN);
    ASSERT_TRUE(started);
    EXPECT_EQ(dev->System_GetState(TQGFX_SCREENBPP).AsInt(), 16);
    EXPECT_TRUE(LogContains("x R5G6B5"));
}

TEST_F(DeviceRenderTest, CallsWithoutADeviceDoNothing) {
    dev->System_Shutdown();
    EXPECT_FALSE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0);
    dev->Gfx_SetClipping(0, 0, 10, 10);
    dev->Gfx_SetTransform(0, 0, 0, 0, 0, 1, 1);
    EXPECT_EQ(dev->Texture_Create(4, 4), 0u);
    EXPECT_EQ(dev->Target_Create(4, 4, false), 0u);
    EXPECT_EQ(dev->Texture_Load("x.png", 0), 0u);
    dev->System_Snapshot(Path("none.bmp").c_str());
    EXPECT_EQ(ReadFile("none.bmp"), "");
}

TEST_F(DeviceRenderTest, ResetWhileATargetIsCurrentSetsItAgain) {
    DWORD target = dev->Target_Create(8, 8, false);
    ASSERT_TRUE(dev->Gfx_BeginScene(target));
    dev->Gfx_EndScene();
    // Losing and regaining focus resets the device, which then draws to the screen.
    HWND window = reinterpret_cast<HWND>(dev->System_GetState(TQGFX_HWND).nValue);
    SendMessageA(window, WM_ACTIVATEAPP, 0, 0);
    SendMessageA(window, WM_ACTIVATEAPP, 1, 0);
    ASSERT_TRUE(dev->Gfx_BeginScene(target));
    dev->Gfx_Clear(0xFFFF0000);
    dev->Gfx_EndScene();
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF000000);
    Quad(0, 0, 8, 8, 0xFFFFFFFF, dev->Target_GetTexture(target));
    dev->Gfx_EndScene();
    EXPECT_EQ(PixelRgb(2, 2), 0xFF0000u);
}

TEST_F(DeviceRenderTest, RestoreDuringASceneEndsItAndScenesGoOn) {
    HWND window = reinterpret_cast<HWND>(dev->System_GetState(TQGFX_HWND).nValue);
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    SendMessageA(window, WM_ACTIVATEAPP, 0, 0);
    SendMessageA(window, WM_ACTIVATEAPP, 1, 0);
    Quad(0, 0, 4, 4, 0xFFFFFFFF);
    dev->Gfx_EndScene();
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF00FF00);
    dev->Gfx_EndScene();
    EXPECT_EQ(PixelRgb(1, 1), 0x00FF00u);
}
