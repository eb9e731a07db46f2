#include "spritescene.h"

#include <cmath>

namespace {

const int kMovers = 240;
const int kTargetSize = 96;
const char* const kKinds[] = {"sprites/ball.txt", "sprites/box.txt", "sprites/star.txt", "sprites/ring.txt"};

} // namespace

SpriteScene::~SpriteScene() {
    m_music.Delete();
}

bool SpriteScene::Load() {
    for (int i = 0; i < kMovers; ++i) {
        Mover mover{std::unique_ptr<TQ2DSprite>(new TQ2DSprite),
                    m_random.Next(16, kDemoWidth - 16),
                    m_random.Next(kCaptionHeight + 16, kDemoHeight - 16),
                    m_random.Next(-80, 80),
                    m_random.Next(-60, 60),
                    m_random.Next(0, 6.28f),
                    m_random.Next(-3, 3),
                    m_random.Next(0.5f, 1.3f)};
        if (!mover.sprite->CreateFromConfig(kKinds[i % 4]))
            return false;
        mover.sprite->SetBlendMode(i % 3 == 0 ? TQ2D_BLEND_ALPHAADD : TQ2D_BLEND_DEFAULT);
        if (i % 5 == 0)
            mover.sprite->SetColor(0xFF80FFFF, -1);
        FadeToRandomAlpha(*mover.sprite, 40);
        m_movers.push_back(std::move(mover));
    }
    if (!m_ring.CreateFromConfig("sprites/ring.txt") || !m_target.Create(kTargetSize, kTargetSize, false) ||
        !m_targetSprite.Create(m_target.GetTexture(), 0, 0, kTargetSize, kTargetSize))
        return false;
    m_targetSprite.SetHotSpot(kTargetSize / 2, kTargetSize / 2);
    m_click.Create("sound/click.wav", 0);
    m_music.SetLoopMode(true);
    if (m_music.Create("music/loop.wav", 0))
        m_music.Play();
    return true;
}

void SpriteScene::OnEvent(const TQ2D_INPUT_EVENT_tag& event) {
    if (event.type == TQ2D_INPUT_MBUTTONDOWN)
        m_click.Play();
}

// The speed is drawn before the target, so the scene is the same with every compiler.
void SpriteScene::FadeToRandomAlpha(TQ2DSprite& sprite, float lowest) {
    const float speed = m_random.Next(60, 240);
    const float target = m_random.Next(lowest, 255);
    sprite.SetAniAlpha(static_cast<unsigned char>(target), speed);
}

// Movers bounce off the edges, turn, and fade to a new alpha whenever a fade ends.
void SpriteScene::Update(float dt) {
    m_time += dt;
    for (Mover& m : m_movers) {
        m.x += m.vx * dt;
        m.y += m.vy * dt;
        if (m.x < 0 || m.x > kDemoWidth)
            m.vx = -m.vx;
        if (m.y < kCaptionHeight || m.y > kDemoHeight)
            m.vy = -m.vy;
        m.angle += m.spin * dt;
        m.sprite->Update(dt);
        if (!m.sprite->GetAniAlphaMode())
            FadeToRandomAlpha(*m.sprite, 30);
    }
    RenderTarget();
}

// Rings circling in the render target.
void SpriteScene::RenderTarget() {
    if (!TQ2DGfx_BeginScene(m_target))
        return;
    TQ2DGfx_Clear(0xFF102040);
    for (int i = 0; i < 6; ++i) {
        const float a = m_time * 1.5f + i * 1.0472f;
        m_ring.RenderEx(48 + 28 * std::cos(a), 48 + 28 * std::sin(a), a, 0.6f, 0.0f);
    }
    TQ2DGfx_EndScene();
}

void SpriteScene::Render() {
    for (int y = kCaptionHeight; y < kDemoHeight; y += 24)
        TQ2DGfx_RenderLine(0, static_cast<float>(y), kDemoWidth, static_cast<float>(y), 0xFF304870, 0.5f);
    m_targetSprite.RenderEx(kDemoWidth / 2.0f, kDemoHeight / 2.0f, m_time * 0.5f, 2.0f, 0.0f);
    for (Mover& m : m_movers)
        m.sprite->RenderEx(m.x, m.y, m.angle, m.scale, 0.0f);
}
