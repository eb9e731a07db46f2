// Scenes whose pixels can be worked out by hand: coverage and fill rules, sampling, blending,
// alpha test, depth, viewports, lines, clears and 16-bit targets.
#include "d3d9testdevice.h"

#include "platform/d3dx9/tqd3dx9.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;

TEST(Rasterizer, QuadFillsExactlyItsPixels) {
    TestDevice t(64, 48);
    t.SetEngineStates();
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    t.DrawTriangles(QuadTriangles(10, 10, 20, 20, kRed));
    EXPECT_EQ(100, t.CountPixels(kRed));
    EXPECT_EQ(kRed, t.Pixel(10, 10));
    EXPECT_EQ(kRed, t.Pixel(19, 19));
    EXPECT_EQ(kBlack, t.Pixel(20, 19));
    EXPECT_EQ(kBlack, t.Pixel(19, 20));
    EXPECT_EQ(kBlack, t.Pixel(9, 10));

    // The same quad through the index buffer.
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    t.DrawQuads({{10, 10, 0.5f, kGreen, 0, 0},
                 {20, 10, 0.5f, kGreen, 1, 0},
                 {20, 20, 0.5f, kGreen, 1, 1},
                 {10, 20, 0.5f, kGreen, 0, 1}});
    EXPECT_EQ(100, t.CountPixels(kGreen));
}

// Additive blending of 64 shows every pixel drawn twice (128) or missed (0).
TEST(Rasterizer, TrianglesSharingEdgesDrawEveryPixelOnce) {
    TestDevice t(32, 32);
    t.SetEngineStates();
    t.Get()->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    const DWORD add = 0xFF000040u;
    // Corners at pixel centres (engine x.5 is screen x), so edges run through pixel centres.
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    t.DrawTriangles(QuadTriangles(0.5f, 0.5f, 16.5f, 16.5f, add));
    EXPECT_EQ(256, t.CountPixels(0xFF000040u));
    EXPECT_EQ(32 * 32 - 256, t.CountPixels(kBlack));

    // A fan of eight triangles around an off-centre point, slopes of all signs.
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    const float rim[8][2] = {{0.5f, 0.5f},   {9.5f, 0.5f},  {16.5f, 0.5f}, {16.5f, 7.5f},
                             {16.5f, 16.5f}, {5.5f, 16.5f}, {0.5f, 16.5f}, {0.5f, 11.5f}};
    std::vector<TestVertex> fan;
    for (int i = 0; i < 8; ++i) {
        fan.push_back({6.25f, 9.75f, 0.5f, add, 0, 0});
        fan.push_back({rim[i][0], rim[i][1], 0.5f, add, 0, 0});
        fan.push_back({rim[(i + 1) % 8][0], rim[(i + 1) % 8][1], 0.5f, add, 0, 0});
    }
    t.DrawTriangles(fan);
    EXPECT_EQ(256, t.CountPixels(0xFF000040u));
    EXPECT_EQ(32 * 32 - 256, t.CountPixels(kBlack));
}

TEST(Rasterizer, TextureDrawnOneToOneIsIdenticalWithPointAndLinear) {
    std::vector<uint32_t> texels(8 * 6);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x2F1D37u);
    for (DWORD filter : {D3DTEXF_POINT, D3DTEXF_LINEAR}) {
        TestDevice t(40, 30);
        t.SetEngineStates();
        IDirect3DTexture9* texture = t.MakeTexture(8, 6, texels);
        t.Get()->SetTexture(0, texture);
        t.Get()->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        t.Get()->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        t.DrawTriangles(QuadTriangles(10, 12, 18, 18, 0xFFFFFFFFu));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(texels[y * 8 + x], t.Pixel(10 + x, 12 + y))
                    << "filter " << filter << " at " << x << "," << y;
        t.Get()->SetTexture(0, nullptr);
        texture->Release();
    }
}

TEST(Rasterizer, LinearFilterMixesNeighboursWithEightBitWeights) {
    TestDevice t(16, 16);
    t.SetEngineStates();
    // Two texels, 0 and 255 red; stretched to 4 pixels, sample points fall at texel -0.25, 0.25, 0.75, 1.25.
    IDirect3DTexture9* texture = t.MakeTexture(2, 1, {0xFF000000u, 0xFFFF0000u});
    t.Get()->SetTexture(0, texture);
    t.Get()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    t.DrawTriangles(QuadTriangles(0, 0, 4, 1, 0xFFFFFFFFu));
    // Wrap addressing mixes the ends at -0.25; weights of red 64, 64, 192, 192 out of 256:
    // (255 * 64 * 256 + 32768) >> 16 = 64 and (255 * 192 * 256 + 32768) >> 16 = 191.
    EXPECT_EQ(0xFF400000u, t.Pixel(0, 0));
    EXPECT_EQ(0xFF400000u, t.Pixel(1, 0));
    EXPECT_EQ(0xFFBF0000u, t.Pixel(2, 0));
    EXPECT_EQ(0xFFBF0000u, t.Pixel(3, 0));
    t.Get()->SetTexture(0, nullptr);
    texture->Release();
}

TEST(Rasterizer, BlendingHalfAlphaAndAdditiveSaturation) {
    TestDevice t(16, 16);
    t.SetEngineStates();
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, 0x80FF0000u));
    // red round(255*128/255) = 128, blue round(255*127/255) = 127.
    EXPECT_EQ(0xFF80007Fu, t.Pixel(1, 1));

    t.Get()->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFC0C0C0u, 1.0f, 0);
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, 0xFF808080u));
    EXPECT_EQ(0xFFFFFFFFu, t.Pixel(2, 2));
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, 0x80202020u));
    EXPECT_EQ(0xFF101010u, t.Pixel(2, 2)); // round(32 * 128 / 255) = 16
}

TEST(Rasterizer, ColorAddAndUnboundTextureReadsWhite) {
    TestDevice t(16, 16);
    t.SetEngineStates();
    IDirect3DTexture9* texture = t.MakeTexture(1, 1, {0xFF204060u});
    t.Get()->SetTexture(0, texture);
    t.Get()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    t.DrawTriangles(QuadTriangles(0, 0, 2, 2, 0xFF10F010u));
    EXPECT_EQ(0xFF30FF70u, t.Pixel(0, 0));
    t.Get()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    t.DrawTriangles(QuadTriangles(4, 4, 6, 6, 0xFF808080u));
    EXPECT_EQ(0xFF102030u, t.Pixel(4, 4)); // round(0x20*128/255) = 16, 0x40 -> 32, 0x60 -> 48
    t.Get()->SetTexture(0, nullptr);
    t.DrawTriangles(QuadTriangles(8, 8, 10, 10, 0xFF123456u));
    EXPECT_EQ(0xFF123456u, t.Pixel(8, 8));
    texture->Release();
}

TEST(Rasterizer, TransparentTexelsWriteNeitherColorNorDepth) {
    TestDevice t(16, 16, D3DFMT_X8R8G8B8, true);
    t.SetEngineStates();
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    IDirect3DTexture9* texture = t.MakeTexture(2, 1, {0x00FF0000u, 0xFF00FF00u});
    t.Get()->SetTexture(0, texture);
    t.DrawTriangles(QuadTriangles(0, 0, 2, 1, 0xFFFFFFFFu, 0.2f));
    EXPECT_EQ(kBlack, t.Pixel(0, 0));
    EXPECT_EQ(kGreen, t.Pixel(1, 0));
    t.Get()->SetTexture(0, nullptr);
    t.DrawTriangles(QuadTriangles(0, 0, 2, 1, kBlue, 0.5f));
    EXPECT_EQ(kBlue, t.Pixel(0, 0));  // depth there is still 1.0
    EXPECT_EQ(kGreen, t.Pixel(1, 0)); // depth 0.2 keeps the nearer green
    texture->Release();
}

TEST(Rasterizer, DepthTestLessEqualAndWriteSwitch) {
    TestDevice t(16, 16, D3DFMT_X8R8G8B8, true);
    t.SetEngineStates();
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, kRed, 0.5f));
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, kGreen, 0.7f));
    EXPECT_EQ(kRed, t.Pixel(1, 1));
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, kBlue, 0.5f));
    EXPECT_EQ(kBlue, t.Pixel(1, 1)); // equal depth passes
    t.Get()->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, 0xFFFFFF00u, 0.3f));
    EXPECT_EQ(0xFFFFFF00u, t.Pixel(1, 1));
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, 0xFFFFFFFFu, 0.4f));
    EXPECT_EQ(0xFFFFFFFFu, t.Pixel(1, 1)); // 0.3 was not written
    t.Get()->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, kRed, 0.9f));
    EXPECT_EQ(kRed, t.Pixel(1, 1));
}

TEST(Rasterizer, GeometryOutsideDepthRangeIsClipped) {
    TestDevice t(16, 16);
    t.SetEngineStates();
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, kRed, 1.5f));
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, kRed, -0.25f));
    EXPECT_EQ(0, t.CountPixels(kRed));
    // A quad leaning through z = 1 keeps the part in front: z runs 0.5 .. 1.5 across 8 pixels.
    t.DrawTriangles({{0, 0, 0.5f, kGreen, 0, 0},
                     {8, 0, 1.5f, kGreen, 0, 0},
                     {8, 1, 1.5f, kGreen, 0, 0},
                     {8, 1, 1.5f, kGreen, 0, 0},
                     {0, 1, 0.5f, kGreen, 0, 0},
                     {0, 0, 0.5f, kGreen, 0, 0}});
    EXPECT_EQ(4, t.CountPixels(kGreen));
}

TEST(Rasterizer, ViewportSmallerThanTargetScalesTheScene) {
    TestDevice t(64, 64);
    t.SetEngineStates();
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    D3DVIEWPORT9 half = {0, 0, 32, 32, 0.0f, 1.0f};
    ASSERT_EQ(D3D_OK, t.Get()->SetViewport(&half));
    t.DrawTriangles(QuadTriangles(0, 0, 64, 64, kRed));
    EXPECT_EQ(32 * 32, t.CountPixels(kRed));
    EXPECT_EQ(kRed, t.Pixel(31, 31));
    EXPECT_EQ(kBlack, t.Pixel(32, 31));
    D3DVIEWPORT9 corner = {32, 32, 32, 32, 0.0f, 1.0f};
    ASSERT_EQ(D3D_OK, t.Get()->SetViewport(&corner));
    t.DrawTriangles(QuadTriangles(32, 32, 64, 64, kGreen));
    EXPECT_EQ(16 * 16, t.CountPixels(kGreen));
    EXPECT_EQ(kGreen, t.Pixel(48, 48));
    EXPECT_EQ(kGreen, t.Pixel(63, 63));
}

TEST(Rasterizer, LinesLeaveTheirLastPixel) {
    TestDevice t(32, 32);
    t.SetEngineStates();
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    t.DrawLines({{10, 10, 0.5f, kRed, 0, 0}, {20, 10, 0.5f, kRed, 0, 0}});
    EXPECT_EQ(10, t.CountPixels(kRed));
    EXPECT_EQ(kRed, t.Pixel(10, 10));
    EXPECT_EQ(kRed, t.Pixel(19, 10));
    EXPECT_EQ(kBlack, t.Pixel(20, 10));

    t.DrawLines({{5, 25, 0.5f, kGreen, 0, 0}, {5, 12, 0.5f, kGreen, 0, 0}});
    // Upwards from y = 25 to y = 12: rows 24 down to 12.
    EXPECT_EQ(13, t.CountPixels(kGreen));
    EXPECT_EQ(kGreen, t.Pixel(5, 24));
    EXPECT_EQ(kGreen, t.Pixel(5, 12));
    EXPECT_EQ(kBlack, t.Pixel(5, 25));
    EXPECT_EQ(kBlack, t.Pixel(5, 11));

    t.DrawLines({{10, 12, 0.5f, kBlue, 0, 0}, {20, 22, 0.5f, kBlue, 0, 0}});
    EXPECT_EQ(10, t.CountPixels(kBlue));
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(kBlue, t.Pixel(10 + k, 12 + k));
}

TEST(Rasterizer, ClearStaysInsideTheViewportAndRectangles) {
    TestDevice t(32, 32);
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    D3DVIEWPORT9 viewport = {4, 4, 8, 8, 0.0f, 1.0f};
    t.Get()->SetViewport(&viewport);
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    EXPECT_EQ(64, t.CountPixels(kRed));
    EXPECT_EQ(kBlack, t.Pixel(3, 3));
    EXPECT_EQ(kRed, t.Pixel(11, 11));
    D3DRECT rect = {10, 10, 20, 20};
    t.Get()->Clear(1, &rect, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    EXPECT_EQ(4, t.CountPixels(kGreen)); // (10..11) x (10..11) inside the viewport
    EXPECT_EQ(D3DERR_INVALIDCALL,
              t.Get()->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0)); // no depth buffer
}

TEST(Rasterizer, SixteenBitTargetsRoundChannels) {
    TestDevice t(16, 16, D3DFMT_R5G6B5);
    t.SetEngineStates();
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    t.DrawTriangles(QuadTriangles(0, 0, 4, 4, 0x80FFFFFFu));
    // 128 -> round(128*31/255) = 16 -> 0x84; round(128*63/255) = 32 -> 0x82.
    EXPECT_EQ(0xFF848284u, t.Pixel(1, 1));
    TestDevice u(16, 16, D3DFMT_X1R5G5B5);
    u.SetEngineStates();
    u.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00u, 1.0f, 0);
    EXPECT_EQ(0xFF00FF00u, u.Pixel(3, 3));
    u.DrawTriangles(QuadTriangles(0, 0, 4, 4, kRed));
    EXPECT_EQ(kRed, u.Pixel(1, 1));
}

TEST(Rasterizer, GouraudColourFollowsThePixelCentres) {
    TestDevice t(256, 4);
    t.SetEngineStates();
    // Red 0 at x = 0 to 255 at x = 256: pixel px samples at x = px + 0.5.
    t.DrawTriangles({{0, 0, 0.5f, 0xFF000000u, 0, 0},
                     {256, 0, 0.5f, 0xFFFF0000u, 0, 0},
                     {256, 4, 0.5f, 0xFFFF0000u, 0, 0},
                     {256, 4, 0.5f, 0xFFFF0000u, 0, 0},
                     {0, 4, 0.5f, 0xFF000000u, 0, 0},
                     {0, 0, 0.5f, 0xFF000000u, 0, 0}});
    for (int x = 0; x < 256; ++x) {
        double expected = (x + 0.5) * 255.0 / 256.0;
        int red = static_cast<int>((t.Pixel(x, 2) >> 16) & 0xFF);
        EXPECT_NEAR(expected, red, 0.51) << x;
    }
}

// A scene drawn into an X8R8G8B8 render-target texture and then drawn from it: the texture reads
// what was drawn last (alpha 255), also after the target changes again.
TEST(Rasterizer, RenderTargetTexturesAreSampledWithTheirLatestPixels) {
    TestDevice t(32, 32);
    t.SetEngineStates();
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(D3D_OK, D3DXCreateTexture(t.Get(), 4, 2, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                        D3DPOOL_DEFAULT, &target));
    IDirect3DSurface9 *level = nullptr, *back = nullptr;
    target->GetSurfaceLevel(0, &level);
    t.Get()->GetRenderTarget(0, &back);
    t.Get()->SetRenderTarget(0, level);
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    for (uint32_t color : {kRed, kGreen}) {
        t.Get()->SetRenderTarget(0, level);
        t.SetPixelProjection(4, 2);
        t.DrawTriangles(QuadTriangles(1, 0, 3, 2, color));
        t.Get()->SetRenderTarget(0, back);
        t.SetPixelProjection(32, 32);
        t.Get()->SetTexture(0, target);
        t.DrawTriangles(QuadTriangles(8, 8, 12, 10, 0xFFFFFFFFu));
        t.Get()->SetTexture(0, nullptr);
        EXPECT_EQ(kBlue, t.Pixel(8, 8));
        EXPECT_EQ(color, t.Pixel(9, 9));
        EXPECT_EQ(color, t.Pixel(10, 8));
        EXPECT_EQ(kBlue, t.Pixel(11, 9));
    }
    back->Release();
    level->Release();
    target->Release();
}

// Vertex data is not trusted: NaN, infinities, huge positions and texture coordinates draw
// nothing wrong (the sanitizer build checks the arithmetic) and leave the rest of the target alone.
TEST(Rasterizer, ExtremeVertexDataIsDrawnSafely) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    TestDevice t(64, 48);
    t.SetEngineStates();
    IDirect3DTexture9* texture = t.MakeTexture(3, 3, std::vector<uint32_t>(9, 0xFF00FF00u));
    t.Get()->SetTexture(0, texture);
    for (DWORD filter : {D3DTEXF_POINT, D3DTEXF_LINEAR}) {
        t.Get()->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        t.Get()->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
        t.DrawTriangles({{nan, 0, 0.5f, kRed, 0, 0},
                         {10, 0, 0.5f, kRed, 0, 0},
                         {0, 10, 0.5f, kRed, 0, 0},
                         {inf, 0, 0.5f, kRed, 0, 0},
                         {10, inf, 0.5f, kRed, 0, 0},
                         {0, 10, 0.5f, kRed, 0, 0}});
        EXPECT_EQ(64 * 48, t.CountPixels(kBlack));
        t.DrawTriangles({{-3e38f, -3e38f, 0.5f, 0xFFFFFFFFu, -1e30f, 1e30f},
                         {3e38f, -3e38f, 0.5f, 0xFFFFFFFFu, 1e30f, nan},
                         {0, 3e38f, 0.5f, 0xFFFFFFFFu, inf, -inf},
                         {1, 1, 0.5f, 0xFFFFFFFFu, 0, 0},
                         {1.001f, 1, 0.5f, 0xFFFFFFFFu, 1e30f, 0},
                         {1, 40, 0.5f, 0xFFFFFFFFu, 0, 1e30f}});
        t.DrawLines({{-1e30f, 5, 0.5f, 0xFFFFFFFFu, -1e30f, 0},
                     {1e30f, 6, 0.5f, 0xFFFFFFFFu, 1e30f, nan},
                     {nan, 5, 0.5f, 0xFFFFFFFFu, 0, 0},
                     {3, 9, 0.5f, 0xFFFFFFFFu, 0, 0}});
        EXPECT_EQ(0, t.CountPixels(kBlack)); // the huge triangle covers the whole target
    }
    t.Get()->SetTexture(0, nullptr);
    texture->Release();
}

} // namespace
