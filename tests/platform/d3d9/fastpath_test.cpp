// The fast span paths, with every kernel level the processor runs, against the generic per-pixel
// path: random scenes drawn both ways must give identical pixels; and drawing a scene band by band must give
// the pixels of drawing it whole.
#include "d3d9testdevice.h"
#include "kernellevels.h"

#include "platform/d3d9/tqd3d9hooks.h"
#include "platform/d3d9/tqtrianglerasterizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {

class SceneMaker {
public:
    explicit SceneMaker(unsigned seed) : m_rng(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    float Float(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(m_rng); }
    uint32_t Color() {
        static const uint32_t alphas[] = {0x00, 0x01, 0x80, 0xFF, 0xFF};
        return (alphas[Int(0, 4)] << 24) | static_cast<uint32_t>(Int(0, 0xFFFFFF));
    }
    DWORD Tint() { return Int(0, 1) ? 0xFFFFFFFFu : Color(); }

    // Sprites drawn one texel per pixel (some repeating the texture), scaled sprites, turned and
    // scaled sprites, and free triangles with Gouraud colour; positions run over the target's edges.
    std::vector<TestVertex> Geometry(int texWidth, int texHeight) {
        std::vector<TestVertex> out;
        for (int n = Int(1, 12); n > 0; --n) {
            std::vector<TestVertex> piece;
            float x = static_cast<float>(Int(-20, 90)), y = static_cast<float>(Int(-20, 70));
            switch (Int(0, 5)) {
            case 0: // one texel per pixel, on whole, half or any fraction of pixels
                x += Int(0, 1) ? 0.5f : Int(0, 1) ? Float(0, 1) : 0.0f;
                y += Int(0, 2) ? 0.0f : Float(0, 1);
                piece = QuadTriangles(x, y, x + texWidth, y + texHeight, Tint(), 0.5f);
                break;
            case 1: { // one texel per pixel at whole pixels, the texture repeated from any texel
                int across = Int(1, 3), down = Int(1, 3);
                float u0 =
                    static_cast<float>(Int(-2, 2)) + static_cast<float>(Int(0, texWidth - 1)) / texWidth;
                float v0 =
                    static_cast<float>(Int(-2, 2)) + static_cast<float>(Int(0, texHeight - 1)) / texHeight;
                piece = QuadTriangles(x, y, x + across * texWidth, y + down * texHeight, Tint(), 0.5f, u0, v0,
                                      u0 + across, v0 + down);
                if (Int(0, 1))
                    piece = {piece[0], piece[1], piece[4], piece[1], piece[2], piece[4]}; // other diagonal
                break;
            }
            case 2: {
                float w = Float(1, 60), h = Float(1, 60);
                piece = QuadTriangles(x + Float(0, 1), y + Float(0, 1), x + w, y + h, Color(), 0.5f,
                                      Float(-2, 2), Float(-2, 2), Float(-2, 3), Float(-2, 3));
                break;
            }
            case 3:
                piece = TurnedQuad(x, y, texWidth, texHeight);
                break;
            default:
                for (int k = 0; k < 3; ++k)
                    piece.push_back(
                        {Float(-40, 120), Float(-40, 100), Float(0, 1), Color(), Float(-1, 2), Float(-1, 2)});
                break;
            }
            out.insert(out.end(), piece.begin(), piece.end());
        }
        return out;
    }

    std::vector<uint32_t> Texels(int count) {
        std::vector<uint32_t> texels(count);
        for (uint32_t& t : texels)
            t = Color();
        return texels;
    }

private:
    // A sprite turned about its centre and scaled, the texture whole or repeated.
    std::vector<TestVertex> TurnedQuad(float cx, float cy, int texWidth, int texHeight) {
        const float angle = Float(0, 6.3f), scale = Float(0.4f, 2.5f), c = std::cos(angle),
                    s = std::sin(angle);
        const float uvMax = Int(0, 2) ? 1.0f : 2.0f;
        const float corners[4][4] = {{-0.5f, -0.5f, 0, 0},
                                     {0.5f, -0.5f, uvMax, 0},
                                     {0.5f, 0.5f, uvMax, uvMax},
                                     {-0.5f, 0.5f, 0, uvMax}};
        const DWORD tint = Tint();
        TestVertex v[4];
        for (int k = 0; k < 4; ++k) {
            float dx = corners[k][0] * texWidth * scale, dy = corners[k][1] * texHeight * scale;
            v[k] = {cx + dx * c - dy * s, cy + dx * s + dy * c, 0.5f, tint, corners[k][2], corners[k][3]};
        }
        return {v[0], v[1], v[2], v[2], v[3], v[0]};
    }

    std::mt19937 m_rng;
};

DWORD PickFilter(SceneMaker& maker) {
    return maker.Int(0, 1) ? D3DTEXF_LINEAR : D3DTEXF_POINT;
}

DWORD PickColorOp(SceneMaker& maker) {
    static const DWORD colorOps[] = {D3DTOP_MODULATE, D3DTOP_ADD, D3DTOP_SELECTARG1};
    return colorOps[maker.Int(0, 2)];
}

// Draws with `threads` render threads (0: the default); one draws as each draw comes, more record.
std::vector<uint32_t> DrawScene(unsigned seed, bool generic, int threads = 0) {
    tqplat::D3D9SetRenderThreads(threads);
    tqplat::D3D9UseGenericPath(generic);
    SceneMaker maker(seed);
    D3DFORMAT format = maker.Int(0, 1) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    TestDevice t(96, 72, format);
    t.SetEngineStates();
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, maker.Color(), 1.0f, 0);
    for (int batch = 0; batch < 6; ++batch) {
        int tw = maker.Int(1, 24), th = maker.Int(1, 24);
        IDirect3DTexture9* texture = maker.Int(0, 3) ? t.MakeTexture(tw, th, maker.Texels(tw * th)) : nullptr;
        t.Get()->SetTexture(0, texture);
        DWORD filter = PickFilter(maker);
        t.Get()->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        t.Get()->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        t.Get()->SetTextureStageState(0, D3DTSS_COLOROP, PickColorOp(maker));
        t.Get()->SetTextureStageState(0, D3DTSS_ALPHAOP,
                                      maker.Int(0, 1) ? D3DTOP_MODULATE : D3DTOP_SELECTARG1);
        t.Get()->SetRenderState(D3DRS_ALPHABLENDENABLE, maker.Int(0, 3) != 0);
        t.Get()->SetRenderState(D3DRS_DESTBLEND, maker.Int(0, 1) ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE);
        t.Get()->SetRenderState(D3DRS_ALPHATESTENABLE, maker.Int(0, 1));
        t.Get()->SetRenderState(D3DRS_ALPHAREF, maker.Int(0, 255));
        t.DrawTriangles(maker.Geometry(tw, th));
        t.Get()->SetTexture(0, nullptr);
        if (texture)
            texture->Release();
    }
    std::vector<uint32_t> pixels = t.Pixels();
    tqplat::D3D9UseGenericPath(false);
    tqplat::D3D9SetRenderThreads(0);
    return pixels;
}

class FastPathKernels : public KernelLevelTest {};
TQ_FOR_EVERY_KERNEL_LEVEL(FastPathKernels);

TEST_P(FastPathKernels, RandomScenesMatchTheGenericPathPixelForPixel) {
    for (unsigned seed = 1; seed <= 100; ++seed) {
        std::vector<uint32_t> generic = DrawScene(seed, true);
        ASSERT_NO_FATAL_FAILURE(
            ExpectSamePixels(generic, DrawScene(seed, false, 1), "fast on one thread against generic", seed));
        ASSERT_NO_FATAL_FAILURE(
            ExpectSamePixels(generic, DrawScene(seed, false, 4), "fast, recorded, against generic", seed));
    }
}

// One draw of a random scene straight through the rasterizer, with the band given.
struct RasterScene {
    tqd3d9::RenderState state;
    std::vector<uint32_t> texels;
    std::vector<tqd3d9::ScreenVertex> triangles;
};

RasterScene MakeRasterScene(SceneMaker& maker, tqd3d9::Image* target) {
    RasterScene scene;
    tqd3d9::RenderState& s = scene.state;
    s.color = target;
    s.clipRight = static_cast<int>(target->Width());
    s.clipBottom = static_cast<int>(target->Height());
    int tw = maker.Int(1, 24), th = maker.Int(1, 24);
    scene.texels = maker.Texels(tw * th);
    s.texture = {scene.texels.data(), tw, th};
    s.magLinear = s.minLinear = PickFilter(maker) == D3DTEXF_LINEAR;
    s.colorOp = PickColorOp(maker);
    s.alphaOp = maker.Int(0, 1) ? D3DTOP_MODULATE : D3DTOP_SELECTARG1;
    s.blend = maker.Int(0, 3) != 0;
    s.srcBlend = D3DBLEND_SRCALPHA;
    s.destBlend = maker.Int(0, 1) ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE;
    s.alphaTest = maker.Int(0, 1) != 0;
    s.alphaFunc = D3DCMP_GREATEREQUAL;
    s.alphaRef = static_cast<uint32_t>(maker.Int(0, 255));
    for (const TestVertex& v : maker.Geometry(tw, th)) {
        // Pixel centres lie on integers: the engine's projection shifts by half a pixel.
        scene.triangles.push_back({v.x - 0.5, v.y - 0.5, v.z, static_cast<double>(v.color >> 24),
                                   static_cast<double>((v.color >> 16) & 0xFF),
                                   static_cast<double>((v.color >> 8) & 0xFF),
                                   static_cast<double>(v.color & 0xFF), v.u, v.v});
    }
    return scene;
}

void Rasterize(const tqd3d9::RenderState& state, const std::vector<tqd3d9::ScreenVertex>& triangles) {
    tqd3d9::TriangleRasterizer rasterizer(state);
    for (size_t i = 0; i + 3 <= triangles.size(); i += 3)
        rasterizer.Draw(&triangles[i]);
    rasterizer.Finish();
}

std::vector<uint32_t> RowsOf(tqd3d9::Image& image) {
    std::vector<uint32_t> pixels(image.Width() * image.Height());
    for (UINT y = 0; y < image.Height(); ++y)
        std::memcpy(&pixels[y * image.Width()], image.Row(y), image.Width() * 4);
    return pixels;
}

TEST(FastPaths, ScenesDrawnBandByBandMatchTheWholeDraw) {
    for (unsigned seed = 1; seed <= 100; ++seed) {
        SceneMaker maker(seed);
        const D3DFORMAT format = maker.Int(0, 1) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
        tqd3d9::Image whole, banded;
        ASSERT_TRUE(whole.Create(format, 97, 71));
        ASSERT_TRUE(banded.Create(format, 97, 71));
        const uint32_t background = maker.Color();
        for (UINT y = 0; y < whole.Height(); ++y)
            for (UINT x = 0; x < whole.Width(); ++x) {
                reinterpret_cast<uint32_t*>(whole.Row(y))[x] = background;
                reinterpret_cast<uint32_t*>(banded.Row(y))[x] = background;
            }
        for (int draw = 0; draw < 4; ++draw) {
            RasterScene scene = MakeRasterScene(maker, &whole);
            Rasterize(scene.state, scene.triangles);
            scene.state.color = &banded;
            for (int top = 0; top < scene.state.clipBottom;) {
                scene.state.bandTop = top;
                scene.state.bandBottom = top = std::min(scene.state.clipBottom, top + maker.Int(1, 24));
                Rasterize(scene.state, scene.triangles);
            }
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSamePixels(RowsOf(whole), RowsOf(banded), "bands against whole", seed));
    }
}

} // namespace
