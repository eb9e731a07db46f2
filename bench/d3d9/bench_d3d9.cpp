// Sprite scene benchmark: N textured, alpha-blended 32 x 32 quads per frame on an 800 x 600 target,
// drawn by the software Direct3D 9 device (as the engine batches them), by SDL2's software renderer
// on a surface, and bounded below by memset/memcpy of the same pixel traffic.
//
// Usage: bench_d3d9 [sprites per frame] [frames per timed run]
#include "platform/d3d9/tqd3d9.h"
#include "platform/d3d9/tqd3d9hooks.h"
#include "platform/d3dx9/tqd3dx9.h"
#include "platform/win32/tquser32.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kSprite = 32;
constexpr int kQuadsPerBatch = 1000;

struct Vertex {
    float x, y, z;
    DWORD color;
    float u, v;
};

struct Sprite {
    float x, y;
};

// One variant of the scene: sprite positions, filter, the diffuse colour of every vertex, rotation
// about the sprite's centre and additive blending (else alpha blending).
struct SceneKind {
    const char* name;
    bool fractional;
    bool linear;
    DWORD tint;
    float degrees;
    bool additive;
};

// 32 x 32 texels: a colour gradient with alpha running from 0 at the rim to 255 inside.
std::vector<uint32_t> SpriteTexels() {
    std::vector<uint32_t> texels(kSprite * kSprite);
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            int rim = std::min(std::min(x, y), std::min(kSprite - 1 - x, kSprite - 1 - y));
            uint32_t alpha = std::min(255, rim * 40);
            texels[y * kSprite + x] = (alpha << 24) | (x * 8 << 16) | (y * 8 << 8) | 0x80;
        }
    return texels;
}

std::vector<Sprite> SpritePositions(int count, bool fractional) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> px(0, kWidth - kSprite), py(0, kHeight - kSprite);
    std::vector<Sprite> sprites(count);
    for (Sprite& s : sprites)
        s = {px(rng) + (fractional ? 0.37f : 0.0f), py(rng) + (fractional ? 0.61f : 0.0f)};
    return sprites;
}

// Time of `frames` frames: the best of three runs after a warm-up frame, so that other work on the
// machine disturbs the figures less.
double Seconds(const std::function<void()>& frame, int frames) {
    frame();
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < frames; ++i)
            frame();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = run == 0 ? seconds : std::min(best, seconds);
    }
    return best;
}

HWND BenchWindow() {
    setenv("TQ_VIDEO", "headless", 1);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "TQBENCH";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "TQBENCH", "bench", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr,
                           nullptr);
}

class D3DScene {
public:
    D3DScene(const std::vector<Sprite>& sprites, const SceneKind& kind)
        : m_sprites(sprites), m_tint(kind.tint), m_radians(kind.degrees * 3.14159265f / 180.0f) {
        m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp = {};
        pp.BackBufferWidth = kWidth;
        pp.BackBufferHeight = kHeight;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.Windowed = TRUE;
        HWND window = BenchWindow();
        pp.hDeviceWindow = window;
        if (FAILED(m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                       D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &m_device))) {
            std::fprintf(stderr, "no device\n");
            std::exit(1);
        }
        m_device->CreateVertexBuffer(4 * kQuadsPerBatch * sizeof(Vertex), D3DUSAGE_WRITEONLY, 0x142,
                                     D3DPOOL_DEFAULT, &m_vertices, nullptr);
        m_device->CreateIndexBuffer(6 * kQuadsPerBatch * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                    D3DPOOL_DEFAULT, &m_indices, nullptr);
        uint16_t* index = nullptr;
        m_indices->Lock(0, 0, reinterpret_cast<void**>(&index), 0);
        for (int q = 0; q < kQuadsPerBatch; ++q) {
            const uint16_t pattern[6] = {0, 1, 2, 2, 3, 0};
            for (int k = 0; k < 6; ++k)
                index[q * 6 + k] = static_cast<uint16_t>(q * 4 + pattern[k]);
        }
        m_indices->Unlock();
        D3DXCreateTexture(m_device, kSprite, kSprite, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_texture);
        D3DLOCKED_RECT locked;
        m_texture->LockRect(0, &locked, nullptr, 0);
        std::vector<uint32_t> texels = SpriteTexels();
        std::memcpy(locked.pBits, texels.data(), texels.size() * 4);
        m_texture->UnlockRect(0);
        SetEngineStates(kind.linear, kind.additive);
    }

    ~D3DScene() {
        m_device->SetTexture(0, nullptr);
        m_device->SetStreamSource(0, nullptr, 0, 0);
        m_device->SetIndices(nullptr);
        m_texture->Release();
        m_vertices->Release();
        m_indices->Release();
        m_device->Release();
        m_d3d->Release();
    }

    void Frame() {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060u, 1.0f, 0);
        m_device->BeginScene();
        for (size_t first = 0; first < m_sprites.size(); first += kQuadsPerBatch) {
            size_t count = std::min<size_t>(kQuadsPerBatch, m_sprites.size() - first);
            Vertex* v = nullptr;
            m_vertices->Lock(0, 0, reinterpret_cast<void**>(&v), 0);
            for (size_t i = 0; i < count; ++i, v += 4)
                MakeQuad(m_sprites[first + i], v);
            m_vertices->Unlock();
            m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, static_cast<UINT>(count * 4), 0,
                                           static_cast<UINT>(count * 2));
        }
        m_device->EndScene();
    }

private:
    // The four corners, top-left first, turned about the sprite's centre.
    void MakeQuad(const Sprite& sprite, Vertex* v) const {
        const float half = kSprite / 2.0f, c = std::cos(m_radians), s = std::sin(m_radians);
        const float corners[4][4] = {
            {-half, -half, 0, 0}, {half, -half, 1, 0}, {half, half, 1, 1}, {-half, half, 0, 1}};
        for (int k = 0; k < 4; ++k) {
            float dx = corners[k][0], dy = corners[k][1];
            v[k] = {sprite.x + half + dx * c - dy * s,
                    sprite.y + half + dx * s + dy * c,
                    0.5f,
                    m_tint,
                    corners[k][2],
                    corners[k][3]};
        }
    }

    void SetEngineStates(bool linear, bool additive) {
        m_device->SetFVF(0x142);
        m_device->SetStreamSource(0, m_vertices, 0, sizeof(Vertex));
        m_device->SetIndices(m_indices);
        m_device->SetTexture(0, m_texture);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_device->SetRenderState(D3DRS_DESTBLEND, additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
        m_device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        m_device->SetRenderState(D3DRS_ALPHAREF, 1);
        m_device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        DWORD filter = linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
        m_device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        m_device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        D3DXMATRIX flip, shift, ortho, projection;
        D3DXMatrixScaling(&flip, 1.0f, -1.0f, 1.0f);
        D3DXMatrixTranslation(&shift, -0.5f, kHeight + 0.5f, 0.0f);
        D3DXMatrixOrthoOffCenterLH(&ortho, 0, kWidth, 0, kHeight, 0.0f, 1.0f);
        D3DXMatrixMultiply(&projection, &flip, &shift);
        D3DXMatrixMultiply(&projection, &projection, &ortho);
        m_device->SetTransform(D3DTS_PROJECTION, &projection);
    }

    std::vector<Sprite> m_sprites;
    DWORD m_tint;
    float m_radians;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    IDirect3DVertexBuffer9* m_vertices = nullptr;
    IDirect3DIndexBuffer9* m_indices = nullptr;
    IDirect3DTexture9* m_texture = nullptr;
};

class SdlScene {
public:
    SdlScene(const std::vector<Sprite>& sprites, const SceneKind& kind)
        : m_sprites(sprites), m_degrees(kind.degrees) {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, kind.linear ? "linear" : "nearest");
        m_surface = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        m_renderer = SDL_CreateSoftwareRenderer(m_surface);
        m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kSprite,
                                      kSprite);
        std::vector<uint32_t> texels = SpriteTexels();
        SDL_UpdateTexture(m_texture, nullptr, texels.data(), kSprite * 4);
        SDL_SetTextureBlendMode(m_texture, kind.additive ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
        SDL_SetTextureColorMod(m_texture, (kind.tint >> 16) & 0xFF, (kind.tint >> 8) & 0xFF,
                               kind.tint & 0xFF);
        SDL_SetTextureAlphaMod(m_texture, kind.tint >> 24);
    }

    ~SdlScene() {
        SDL_DestroyTexture(m_texture);
        SDL_DestroyRenderer(m_renderer);
        SDL_FreeSurface(m_surface);
    }

    void Frame() {
        SDL_SetRenderDrawColor(m_renderer, 0x20, 0x40, 0x60, 0xFF);
        SDL_RenderClear(m_renderer);
        for (const Sprite& s : m_sprites) {
            SDL_FRect dst = {s.x, s.y, kSprite, kSprite};
            if (m_degrees != 0)
                SDL_RenderCopyExF(m_renderer, m_texture, nullptr, &dst, m_degrees, nullptr, SDL_FLIP_NONE);
            else
                SDL_RenderCopyF(m_renderer, m_texture, nullptr, &dst);
        }
        SDL_RenderPresent(m_renderer);
    }

private:
    std::vector<Sprite> m_sprites;
    double m_degrees;
    SDL_Surface* m_surface = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
};

void Report(const char* name, double seconds, int frames, int sprites, double reference) {
    double fps = frames / seconds;
    double pixels = fps * sprites * kSprite * kSprite;
    std::printf("%-34s %9.1f frames/s %9.1f Mpixel/s", name, fps, pixels / 1e6);
    if (reference > 0)
        std::printf("   x%.2f", fps / reference);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    int sprites = argc > 1 ? std::atoi(argv[1]) : 2000;
    int frames = argc > 2 ? std::atoi(argv[2]) : 100;
    std::printf("%d sprites of %dx%d per frame at %dx%d, %d frames (ratios against SDL2 software)\n", sprites,
                kSprite, kSprite, kWidth, kHeight, frames);

    std::vector<uint32_t> frame(kWidth * kHeight), texels = SpriteTexels();
    double bound = Seconds(
        [&] {
            std::memset(frame.data(), 0x20, frame.size() * 4);
            for (int i = 0; i < sprites; ++i) {
                uint32_t* dst =
                    frame.data() + (i * 37 % (kHeight - kSprite)) * kWidth + i * 13 % (kWidth - kSprite);
                for (int y = 0; y < kSprite; ++y)
                    std::memcpy(dst + y * kWidth, texels.data() + y * kSprite, kSprite * 4);
            }
        },
        frames);

    const SceneKind kinds[] = {
        {"whole-pixel positions, point", false, false, 0xFFFFFFFFu, 0, false},
        {"fractional positions, point", true, false, 0xFFFFFFFFu, 0, false},
        {"whole-pixel positions, tinted 50% alpha", false, false, 0x80FFC080u, 0, false},
        {"fractional positions, linear (SDL2 copies unfiltered)", true, true, 0xFFFFFFFFu, 0, false},
        {"turned 30 degrees, tinted, additive, point", true, false, 0xC0FFC080u, 30, true},
        {"turned 30 degrees, tinted, additive, linear", true, true, 0xC0FFC080u, 30, true},
    };
    for (const SceneKind& kind : kinds) {
        std::vector<Sprite> positions = SpritePositions(sprites, kind.fractional);
        std::printf("\n%s\n", kind.name);
        double sdl;
        {
            SdlScene scene(positions, kind);
            sdl = Seconds([&] { scene.Frame(); }, frames);
        }
        double sdlFps = frames / sdl;
        Report("SDL2 software renderer", sdl, frames, sprites, sdlFps);
        D3DScene scene(positions, kind);
        Report("software Direct3D 9 (fast paths)", Seconds([&] { scene.Frame(); }, frames), frames, sprites,
               sdlFps);
        tqplat::D3D9UseGenericPath(true);
        Report("software Direct3D 9 (generic path)", Seconds([&] { scene.Frame(); }, frames), frames, sprites,
               sdlFps);
        tqplat::D3D9UseGenericPath(false);
        Report("memset/memcpy bound", bound, frames, sprites, sdlFps);
    }
    return 0;
}
