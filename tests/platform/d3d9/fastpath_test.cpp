// The fast span paths against the generic per-pixel path: random scenes drawn both ways must give
// identical pixels.
#include "d3d9testdevice.h"

#include "platform/d3d9/tqd3d9hooks.h"

#include <gtest/gtest.h>

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

    // Sprites drawn one texel per pixel, scaled sprites and free triangles with Gouraud colour.
    std::vector<TestVertex> Geometry(int texWidth, int texHeight) {
        std::vector<TestVertex> out;
        for (int n = Int(1, 12); n > 0; --n) {
            std::vector<TestVertex> piece;
            float x = static_cast<float>(Int(-20, 90)), y = static_cast<float>(Int(-20, 70));
            switch (Int(0, 3)) {
            case 0: // one texel per pixel, on whole, half or any fraction of pixels
                x += Int(0, 1) ? 0.5f : Int(0, 1) ? Float(0, 1) : 0.0f;
                y += Int(0, 2) ? 0.0f : Float(0, 1);
                piece =
                    QuadTriangles(x, y, x + texWidth, y + texHeight, Int(0, 1) ? 0xFFFFFFFFu : Color(), 0.5f);
                break;
            case 1: {
                float w = Float(1, 60), h = Float(1, 60);
                piece = QuadTriangles(x + Float(0, 1), y + Float(0, 1), x + w, y + h, Color(), 0.5f,
                                      Float(-2, 2), Float(-2, 2), Float(-2, 3), Float(-2, 3));
                break;
            }
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
    std::mt19937 m_rng;
};

std::vector<uint32_t> DrawScene(unsigned seed, bool generic) {
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
        DWORD filter = maker.Int(0, 1) ? D3DTEXF_LINEAR : D3DTEXF_POINT;
        t.Get()->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        t.Get()->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        static const DWORD colorOps[] = {D3DTOP_MODULATE, D3DTOP_ADD, D3DTOP_SELECTARG1};
        t.Get()->SetTextureStageState(0, D3DTSS_COLOROP, colorOps[maker.Int(0, 2)]);
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
    tqplat::D3D9UseGenericPath(false);
    return t.Pixels();
}

TEST(FastPaths, RandomScenesMatchTheGenericPathPixelForPixel) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::vector<uint32_t> generic = DrawScene(seed, true);
        std::vector<uint32_t> fast = DrawScene(seed, false);
        ASSERT_EQ(generic.size(), fast.size());
        size_t differing = 0, first = 0;
        for (size_t i = 0; i < generic.size(); ++i)
            if (generic[i] != fast[i] && differing++ == 0)
                first = i;
        ASSERT_EQ(0u, differing) << "seed " << seed << ", first at pixel " << first << ": generic "
                                 << std::hex << generic[first] << ", fast " << fast[first];
    }
}

} // namespace
