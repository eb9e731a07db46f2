// Drawing on several threads: random scenes touching everything a recorded draw depends on must
// give exactly the pixels (drawn and presented) of one thread and of the generic path; worker threads
// end with the device.
#include "d3d9testdevice.h"

#include "platform/d3d9/tqd3d9hooks.h"
#include "platform/d3dx9/tqd3dx9.h"
#include "platform/win32/video/tqvideo.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// Sets the render threads of the devices created while it lives.
class RenderThreads {
public:
    explicit RenderThreads(int threads) { tqplat::D3D9SetRenderThreads(threads); }
    ~RenderThreads() { tqplat::D3D9SetRenderThreads(0); }
};

class GenericPath {
public:
    explicit GenericPath(bool generic) { tqplat::D3D9UseGenericPath(generic); }
    ~GenericPath() { tqplat::D3D9UseGenericPath(false); }
};

int ThreadsOfThisProcess() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(tasks))
            count += entry->d_name[0] != '.';
        closedir(tasks);
    }
    return count;
}

class RandomScene {
public:
    // Each batch draws up to `batchItems` sprites, quads, triangles and lines; the most common step
    // draws `batchesPerStep` batches.
    RandomScene(unsigned seed, int batchItems, int batchesPerStep)
        : m_rng(seed), m_batchItems(batchItems), m_batchesPerStep(batchesPerStep) {}

    std::vector<uint32_t> Draw() {
        static const D3DFORMAT formats[] = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
        m_width = Int(100, 260);
        m_height = Int(80, 200);
        TestDevice t(m_width, m_height, formats[Int(0, 3)], Int(0, 1) != 0);
        m_device = &t;
        t.SetEngineStates();
        t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET | (HasDepth() ? D3DCLEAR_ZBUFFER : 0), Color(), 1.0f, 0);
        for (IDirect3DTexture9*& texture : m_textures)
            texture = NewTexture();
        MakeTargetTexture();
        for (int step = 0; step < 40; ++step)
            Step();
        ShowTargetTexture();
        std::vector<uint32_t> pixels = t.Pixels();
        pixels.insert(pixels.end(), m_presented.begin(), m_presented.end());
        Release();
        return pixels;
    }

private:
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    float Float(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(m_rng); }
    uint32_t Color() {
        static const uint32_t alphas[] = {0x00, 0x01, 0x7F, 0x80, 0xFF, 0xFF};
        return (alphas[Int(0, 5)] << 24) | static_cast<uint32_t>(Int(0, 0xFFFFFF));
    }
    IDirect3DDevice9* Device() { return m_device->Get(); }
    bool HasDepth() {
        IDirect3DSurface9* depth = nullptr;
        Device()->GetDepthStencilSurface(&depth);
        if (depth)
            depth->Release();
        return depth != nullptr;
    }

    IDirect3DTexture9* NewTexture() {
        int w = Int(1, 40), h = Int(1, 40);
        std::vector<uint32_t> texels(w * h);
        for (uint32_t& texel : texels)
            texel = Color();
        return m_device->MakeTexture(w, h, texels);
    }

    void MakeTargetTexture() {
        D3DFORMAT format = Int(0, 1) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
        ASSERT_EQ(D3D_OK, D3DXCreateTexture(Device(), 64, 48, 1, D3DUSAGE_RENDERTARGET, format,
                                            D3DPOOL_DEFAULT, &m_target));
        m_target->GetSurfaceLevel(0, &m_targetLevel);
        Device()->GetRenderTarget(0, &m_back);
    }

    void Release() {
        Device()->SetTexture(0, nullptr);
        for (IDirect3DTexture9* texture : m_textures)
            texture->Release();
        m_targetLevel->Release();
        m_target->Release();
        m_back->Release();
    }

    void Step() {
        switch (Int(0, 13)) {
        case 0:
            SetViewportAndView();
            break;
        case 1:
            ChangeTexels(false);
            break;
        case 2:
            ChangeTexels(true);
            break;
        case 3: {
            // Freed right after being drawn, before anything else finishes the drawing.
            int k = Int(0, 2);
            Device()->SetTexture(0, m_textures[k]);
            DrawBatch();
            Device()->SetTexture(0, nullptr);
            m_textures[k]->Release();
            m_textures[k] = NewTexture();
            break;
        }
        case 4:
            ClearRectangles();
            break;
        case 5:
            DrawIntoTargetTexture();
            break;
        case 6:
            if (Int(0, 3) == 0)
                tqplat::D3D9ForceDeviceLost(Device(), Int(0, 2));
            Device()->EndScene();
            if (Device()->Present(nullptr, nullptr, nullptr, nullptr) == D3D_OK)
                KeepPresentedFrame();
            Device()->BeginScene();
            break;
        default:
            SetStates();
            for (int batch = 0; batch < m_batchesPerStep; ++batch)
                DrawBatch();
            break;
        }
    }

    void KeepPresentedFrame() {
        std::vector<uint32_t> frame;
        int width = 0, height = 0;
        ASSERT_TRUE(tqplat::VideoLastFrame(TestWindow(), &frame, &width, &height));
        m_presented.insert(m_presented.end(), frame.begin(), frame.end());
    }

    void SetStates() {
        static const DWORD blends[] = {D3DBLEND_ZERO,        D3DBLEND_ONE,      D3DBLEND_SRCCOLOR,
                                       D3DBLEND_INVSRCCOLOR, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA};
        static const DWORD ops[] = {D3DTOP_MODULATE, D3DTOP_ADD, D3DTOP_SELECTARG1, D3DTOP_SELECTARG2};
        static const DWORD compares[] = {D3DCMP_NEVER,        D3DCMP_LESS,    D3DCMP_EQUAL,
                                         D3DCMP_LESSEQUAL,    D3DCMP_GREATER, D3DCMP_NOTEQUAL,
                                         D3DCMP_GREATEREQUAL, D3DCMP_ALWAYS};
        IDirect3DDevice9* d = Device();
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, Int(0, 4) != 0);
        d->SetRenderState(D3DRS_SRCBLEND, blends[Int(0, 5)]);
        d->SetRenderState(D3DRS_DESTBLEND, blends[Int(0, 5)]);
        d->SetRenderState(D3DRS_ALPHATESTENABLE, Int(0, 1));
        d->SetRenderState(D3DRS_ALPHAFUNC, compares[Int(0, 7)]);
        d->SetRenderState(D3DRS_ALPHAREF, Int(0, 255));
        d->SetRenderState(D3DRS_ZENABLE, Int(0, 1) ? D3DZB_TRUE : D3DZB_FALSE);
        d->SetRenderState(D3DRS_ZWRITEENABLE, Int(0, 1));
        d->SetRenderState(D3DRS_ZFUNC, compares[Int(0, 7)]);
        d->SetTextureStageState(0, D3DTSS_COLOROP, ops[Int(0, 3)]);
        d->SetTextureStageState(0, D3DTSS_ALPHAOP, ops[Int(0, 3)]);
        DWORD filter = Int(0, 1) ? D3DTEXF_LINEAR : D3DTEXF_POINT;
        d->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        d->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        int texture = Int(0, 4);
        d->SetTexture(0, texture < 3 ? m_textures[texture] : texture == 3 ? m_target : nullptr);
    }

    void SetViewportAndView() {
        D3DVIEWPORT9 viewport = {0, 0, static_cast<DWORD>(m_width), static_cast<DWORD>(m_height), 0.0f, 1.0f};
        if (Int(0, 1)) {
            viewport.X = Int(0, m_width - 1);
            viewport.Y = Int(0, m_height - 1);
            viewport.Width = Int(1, m_width - viewport.X);
            viewport.Height = Int(1, m_height - viewport.Y);
        }
        Device()->SetViewport(&viewport);
        D3DXMATRIX view, turn, move;
        D3DXMatrixScaling(&view, Float(0.5f, 2.0f), Float(0.5f, 2.0f), 1.0f);
        D3DXMatrixRotationZ(&turn, Float(-0.3f, 0.3f));
        D3DXMatrixTranslation(&move, Float(-0.3f, 0.3f), Float(-0.3f, 0.3f), 0.0f);
        D3DXMatrixMultiply(&view, &view, &turn);
        D3DXMatrixMultiply(&view, &view, &move);
        if (Int(0, 2) == 0)
            D3DXMatrixIdentity(&view);
        Device()->SetTransform(D3DTS_VIEW, &view);
    }

    // Sprites one texel per pixel, turned and scaled quads with coordinates that wrap, triangles
    // reaching past the target, and lines; some through the index buffer.
    void DrawBatch() {
        std::vector<TestVertex> triangles, quads, lines;
        for (int n = Int(1, m_batchItems); n > 0; --n) {
            float x = Float(-40, m_width + 10.0f), y = Float(-40, m_height + 10.0f);
            if (Int(0, 1))
                x = std::floor(x), y = std::floor(y) + (Int(0, 1) ? 0.5f : 0.0f);
            switch (Int(0, 4)) {
            case 0: {
                float size = static_cast<float>(Int(1, 48));
                std::vector<TestVertex> q = QuadTriangles(x, y, x + size, y + size, Color(), Float(0, 1));
                quads.insert(quads.end(), {q[0], q[1], q[2], q[4]});
                break;
            }
            case 1:
                Turned(x, y, &triangles);
                break;
            case 2:
                for (int k = 0; k < 3; ++k)
                    triangles.push_back({Float(-60, m_width + 60.0f), Float(-60, m_height + 60.0f),
                                         Float(-0.2f, 1.2f), Color(), Float(-2, 3), Float(-2, 3)});
                break;
            case 3:
                for (int k = 0; k < 2; ++k)
                    lines.push_back({Float(-20, m_width + 20.0f), Float(-20, m_height + 20.0f), Float(0, 1),
                                     Color(), Float(0, 1), Float(0, 1)});
                break;
            default: {
                float w = Float(1, 80), h = Float(1, 80);
                std::vector<TestVertex> q =
                    QuadTriangles(x, y, x + w, y + h, Color(), Float(0, 1), Float(-2, 2), Float(-2, 2),
                                  Float(-2, 3), Float(-2, 3));
                triangles.insert(triangles.end(), q.begin(), q.end());
                break;
            }
            }
        }
        if (!triangles.empty())
            m_device->DrawTriangles(triangles);
        if (!quads.empty())
            m_device->DrawQuads(quads);
        if (!lines.empty())
            m_device->DrawLines(lines);
    }

    void Turned(float x, float y, std::vector<TestVertex>* out) {
        float half = Float(2, 30), angle = Float(0, 6.3f), c = std::cos(angle) * half,
              s = std::sin(angle) * half;
        DWORD color = Color();
        float z = Float(0, 1);
        TestVertex corners[4] = {{x - c + s, y - s - c, z, color, 0, 0},
                                 {x + c + s, y + s - c, z, color, 1, 0},
                                 {x + c - s, y + s + c, z, color, 1, 1},
                                 {x - c - s, y - s + c, z, color, 0, 1}};
        out->insert(out->end(), {corners[0], corners[1], corners[2], corners[2], corners[3], corners[0]});
    }

    // Rewrites some texels between draws; while the texture is locked, a draw samples it.
    void ChangeTexels(bool drawWhileLocked) {
        IDirect3DTexture9* texture = m_textures[Int(0, 2)];
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(0, &desc);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
        uint32_t* texels = static_cast<uint32_t*>(locked.pBits);
        for (UINT i = 0; i < desc.Width * desc.Height; i += Int(1, 4))
            texels[i] = Color();
        if (drawWhileLocked) {
            Device()->SetTexture(0, texture);
            DrawBatch();
            for (UINT i = 0; i < desc.Width * desc.Height; i += Int(1, 4))
                texels[i] = Color();
        }
        texture->UnlockRect(0);
    }

    void ClearRectangles() {
        D3DRECT rects[3];
        DWORD count = Int(0, 3);
        for (DWORD i = 0; i < count; ++i) {
            LONG x = Int(-10, m_width), y = Int(-10, m_height);
            rects[i] = {x, y, x + Int(0, 90), y + Int(0, 90)};
        }
        DWORD flags = D3DCLEAR_TARGET | (HasDepth() && Int(0, 1) ? D3DCLEAR_ZBUFFER : 0);
        Device()->Clear(count, count ? rects : nullptr, flags, Color(), Float(0, 1), 0);
    }

    void DrawIntoTargetTexture() {
        Device()->SetRenderTarget(0, m_targetLevel);
        m_device->SetPixelProjection(64, 48);
        if (Int(0, 1))
            Device()->Clear(0, nullptr, D3DCLEAR_TARGET, Color(), 1.0f, 0);
        SetStates();
        Device()->SetTexture(0, m_textures[Int(0, 2)]);
        Device()->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        DrawBatch();
        Device()->SetRenderTarget(0, m_back);
        m_device->SetPixelProjection(m_width, m_height);
    }

    void ShowTargetTexture() {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        Device()->SetTransform(D3DTS_VIEW, &identity);
        Device()->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        Device()->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        Device()->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        Device()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        Device()->SetTexture(0, m_target);
        m_device->DrawTriangles(QuadTriangles(0, 0, 64, 48, 0xFFFFFFFFu));
    }

    std::mt19937 m_rng;
    int m_batchItems;
    int m_batchesPerStep;
    TestDevice* m_device = nullptr;
    int m_width = 0, m_height = 0;
    IDirect3DTexture9* m_textures[3] = {};
    IDirect3DTexture9* m_target = nullptr;
    IDirect3DSurface9* m_targetLevel = nullptr;
    IDirect3DSurface9* m_back = nullptr;
    // Every frame presented, one after the other.
    std::vector<uint32_t> m_presented;
};

std::vector<uint32_t> DrawScene(unsigned seed, int threads, bool generic, int batchItems = 16,
                                int batchesPerStep = 1) {
    RenderThreads threadCount(threads);
    GenericPath path(generic);
    return RandomScene(seed, batchItems, batchesPerStep).Draw();
}

TEST(FrameRecorder, RandomScenesOnSeveralThreadsMatchOneThreadAndTheGenericPath) {
    for (unsigned seed = 1; seed <= 16; ++seed) {
        std::vector<uint32_t> generic = DrawScene(seed, 1, true);
        ExpectSamePixels(generic, DrawScene(seed, 7, true), "7 threads, generic path", seed);
        for (int threads : {1, 2, 7}) {
            std::string what = std::to_string(threads) + " threads, fast paths";
            ExpectSamePixels(generic, DrawScene(seed, threads, false), what.c_str(), seed);
        }
    }
}

// Steps of up to 8 x 500 items: draws cut into several transform tasks, mid-quad, and
// recordings rasterized while the next ones are prepared and recorded. The pixels of one thread
// (no recording) are checked against the generic path above.
TEST(FrameRecorder, LargeBatchesOnSevenThreadsMatchOneThread) {
    for (unsigned seed = 1; seed <= 2; ++seed)
        ExpectSamePixels(DrawScene(seed, 1, false, 500, 8), DrawScene(seed, 7, false, 500, 8),
                         "7 threads, large batches", seed);
}

TEST(FrameRecorder, ThreadCountComesFromTheHookOrTheEnvironmentAndEndsWithTheDevice) {
    const char* given = std::getenv("TQ_RENDER_THREADS");
    std::string kept = given ? given : "";
    unsetenv("TQ_RENDER_THREADS");
    int cores = tqplat::D3D9RenderThreads();
    EXPECT_GE(cores, 1);
    setenv("TQ_RENDER_THREADS", "3", 1);
    EXPECT_EQ(3, tqplat::D3D9RenderThreads());
    for (const char* unusable : {"0", "-2", "two", "2x", ""}) {
        setenv("TQ_RENDER_THREADS", unusable, 1);
        EXPECT_EQ(cores, tqplat::D3D9RenderThreads()) << unusable;
    }
    if (given)
        setenv("TQ_RENDER_THREADS", kept.c_str(), 1);
    else
        unsetenv("TQ_RENDER_THREADS");

    int before = ThreadsOfThisProcess();
    for (int threads : {1, 7}) {
        RenderThreads threadCount(threads);
        EXPECT_EQ(threads, tqplat::D3D9RenderThreads());
        {
            TestDevice t(64, 48);
            EXPECT_EQ(before + threads - 1, ThreadsOfThisProcess());
        }
        EXPECT_EQ(before, ThreadsOfThisProcess());
    }
}

} // namespace
