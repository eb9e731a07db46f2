// tq2d-demo: a host program of the engine. Sprites from description files move, turn, fade and
// blend over a background; a render target drawn into every frame is shown as a texture; the frame
// rate is drawn with digit sprites; a click plays a sound and a music stream loops.
// Escape quits, F12 writes a screenshot.
//
// usage: tq2d-demo [--frames N] [--screenshot FILE]
//   --frames N         runs exactly N frames with a fixed time step of 1/60 s (deterministic), then quits
//   --screenshot FILE  writes the last frame to FILE (BMP) before quitting
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/tq2dapi.h"
#include "engine/tq2dmusic.h"
#include "engine/tq2dpack.h"
#include "engine/tq2dsound.h"
#include "engine/tq2dsprite.h"
#include "engine/tq2dtarget.h"

namespace {

const int kWidth = 640;
const int kHeight = 480;
const int kMovers = 240;
const float kFixedStep = 1.0f / 60.0f;
const int kVirtualKeyEscape = 0x1B;
const int kVirtualKeyF12 = 0x7B;
const char* const kKinds[] = {"sprites/ball.txt", "sprites/box.txt", "sprites/star.txt", "sprites/ring.txt"};

struct Options {
    int frames = 0; // 0: run until Escape
    std::string screenshot;
};

// A small deterministic generator, so that every run lays the scene out alike.
class SceneRandom {
public:
    float Next(float low, float high) {
        m_state = m_state * 1664525u + 1013904223u;
        return low + (high - low) * static_cast<float>(m_state >> 8) / 16777216.0f;
    }

private:
    uint32_t m_state = 12345u;
};

struct Mover {
    std::unique_ptr<TQ2DSprite> sprite;
    float x, y, vx, vy, angle, spin, scale;
};

class Demo {
public:
    explicit Demo(const Options& options) : m_options(options) {}
    bool Load();
    bool Frame();
    void Unload();

private:
    float Step() const { return m_options.frames ? kFixedStep : TQ2DGetDeltaTime(); }
    bool HandleInput();
    void Update(float dt);
    void RenderTarget();
    void RenderScene();
    void RenderNumber(int value, float x, float y);
    void FadeToRandomAlpha(TQ2DSprite& sprite, float lowest);

    Options m_options;
    SceneRandom m_random;
    std::vector<Mover> m_movers;
    TQ2DTarget m_target;
    std::unique_ptr<TQ2DSprite> m_targetSprite;
    std::unique_ptr<TQ2DSprite> m_ring;
    std::unique_ptr<TQ2DSprite> m_digit;
    TQ2DSound m_click;
    TQ2DMusic m_music;
    int m_frame = 0;
    float m_time = 0.0f;
};

std::unique_ptr<TQ2DSprite> LoadSprite(const char* name) {
    std::unique_ptr<TQ2DSprite> sprite(new TQ2DSprite);
    if (!sprite->CreateFromConfig(name)) {
        std::fprintf(stderr, "tq2d-demo: cannot load %s\n", name);
        return nullptr;
    }
    return sprite;
}

// The speed is drawn before the target, so the scene is the same with every compiler.
void Demo::FadeToRandomAlpha(TQ2DSprite& sprite, float lowest) {
    const float speed = m_random.Next(60, 240);
    const float target = m_random.Next(lowest, 255);
    sprite.SetAniAlpha(static_cast<unsigned char>(target), speed);
}

bool Demo::Load() {
    for (int i = 0; i < kMovers; ++i) {
        Mover mover{
            LoadSprite(kKinds[i % 4]), m_random.Next(16, kWidth - 16), m_random.Next(16, kHeight - 16),
            m_random.Next(-80, 80),    m_random.Next(-60, 60),         m_random.Next(0, 6.28f),
            m_random.Next(-3, 3),      m_random.Next(0.5f, 1.3f)};
        if (!mover.sprite)
            return false;
        mover.sprite->SetBlendMode(i % 3 == 0 ? TQ2D_BLEND_ALPHAADD : TQ2D_BLEND_DEFAULT);
        if (i % 5 == 0)
            mover.sprite->SetColor(0xFF80FFFF, -1);
        FadeToRandomAlpha(*mover.sprite, 40);
        m_movers.push_back(std::move(mover));
    }
    m_ring = LoadSprite("sprites/ring.txt");
    m_digit = LoadSprite("ui/digit.txt");
    if (!m_ring || !m_digit || !m_target.Create(96, 96, false))
        return false;
    m_targetSprite.reset(new TQ2DSprite);
    if (!m_targetSprite->Create(m_target.GetTexture(), 0, 0, 96, 96))
        return false;
    m_targetSprite->SetHotSpot(48, 48);
    m_click.Create("sound/click.wav", 0);
    m_music.SetLoopMode(true);
    if (m_music.Create("music/loop.wav", 0))
        m_music.Play();
    return true;
}

bool Demo::HandleInput() {
    TQ2D_INPUT_EVENT_tag event;
    while (TQ2DGetKeyEvent(&event)) {
        if (event.type == TQ2D_INPUT_KEYDOWN && event.key == kVirtualKeyEscape)
            return true;
        if (event.type == TQ2D_INPUT_KEYDOWN && event.key == kVirtualKeyF12)
            TQ2DMakeScreenShot(D3DXIFF_BMP, "tq2d-demo-shot.bmp");
        if (event.type == TQ2D_INPUT_MBUTTONDOWN)
            m_click.Play();
    }
    return false;
}

// Movers bounce off the edges, turn, and fade to a new alpha whenever a fade ends.
void Demo::Update(float dt) {
    m_time += dt;
    for (Mover& m : m_movers) {
        m.x += m.vx * dt;
        m.y += m.vy * dt;
        if (m.x < 0 || m.x > kWidth)
            m.vx = -m.vx;
        if (m.y < 0 || m.y > kHeight)
            m.vy = -m.vy;
        m.angle += m.spin * dt;
        m.sprite->Update(dt);
        if (!m.sprite->GetAniAlphaMode())
            FadeToRandomAlpha(*m.sprite, 30);
    }
}

// Rings circling in the render target.
void Demo::RenderTarget() {
    if (!TQ2DGfx_BeginScene(m_target))
        return;
    TQ2DGfx_Clear(0xFF102040);
    for (int i = 0; i < 6; ++i) {
        const float a = m_time * 1.5f + i * 1.0472f;
        m_ring->RenderEx(48 + 28 * std::cos(a), 48 + 28 * std::sin(a), a, 0.6f, 0.0f);
    }
    TQ2DGfx_EndScene();
}

void Demo::RenderNumber(int value, float x, float y) {
    const std::string text = std::to_string(value);
    for (size_t i = 0; i < text.size(); ++i) {
        m_digit->SetTextureRect(static_cast<float>((text[i] - '0') * 8), 0, 8, 12);
        m_digit->RenderEx(x + 16.0f * static_cast<float>(i), y, 0.0f, 2.0f, 0.0f);
    }
}

void Demo::RenderScene() {
    if (!TQ2DGfx_BeginScene(0))
        return;
    TQ2DGfx_Clear(0xFF203050);
    for (int y = 0; y < kHeight; y += 24)
        TQ2DGfx_RenderLine(0, static_cast<float>(y), kWidth, static_cast<float>(y), 0xFF304870, 0.5f);
    m_targetSprite->RenderEx(kWidth / 2.0f, kHeight / 2.0f, m_time * 0.5f, 2.0f, 0.0f);
    for (Mover& m : m_movers)
        m.sprite->RenderEx(m.x, m.y, m.angle, m.scale, 0.0f);
    RenderNumber(m_options.frames ? 60 : TQ2DGetFPS(), 4, 4);
    TQ2DGfx_EndScene();
}

bool Demo::Frame() {
    if (HandleInput())
        return true;
    Update(Step());
    RenderTarget();
    RenderScene();
    ++m_frame;
    if (m_options.frames == 0 || m_frame < m_options.frames)
        return false;
    if (!m_options.screenshot.empty() && !TQ2DMakeScreenShot(D3DXIFF_BMP, m_options.screenshot.c_str()))
        std::fprintf(stderr, "tq2d-demo: cannot write %s\n", m_options.screenshot.c_str());
    return true;
}

void Demo::Unload() {
    m_music.Delete();
    m_movers.clear();
    m_targetSprite.reset();
    m_ring.reset();
    m_digit.reset();
    m_click.Delete();
    m_target.Delete();
}

Demo* g_demo = nullptr;

bool FrameFunction() {
    return g_demo->Frame();
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) {
            options->frames = std::atoi(argv[++i]);
            if (options->frames <= 0)
                return false;
        } else if (arg == "--screenshot" && i + 1 < argc) {
            options->screenshot = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

std::string PackPath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return (program.parent_path() / "tq2d-demo.pak").string();
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: tq2d-demo [--frames N] [--screenshot FILE]\n");
        return 2;
    }
    if (!TQ2DPackAdd(PackPath().c_str())) {
        std::fprintf(stderr, "tq2d-demo: cannot open %s\n", PackPath().c_str());
        return 1;
    }
    TQ2D_INIT_INFO_tag info{};
    info.pfnFrame = FrameFunction;
    info.szTitle = "TQ2D demo";
    info.nWidth = kWidth;
    info.nHeight = kHeight;
    info.bRunInactive = TRUE;
    info.bShowCursor = TRUE;
    info.nFPS = options.frames ? 0 : 60;
    if (!TQ2DInit(&info, nullptr)) {
        std::fprintf(stderr, "tq2d-demo: the engine cannot start\n");
        TQ2DPackRemoveAll();
        return 1;
    }
    Demo demo(options);
    g_demo = &demo;
    const bool loaded = demo.Load();
    if (loaded)
        TQ2DLoop();
    demo.Unload();
    TQ2DClose();
    TQ2DPackRemoveAll();
    return loaded ? 0 : 1;
}
