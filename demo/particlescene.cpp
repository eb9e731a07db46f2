#include "particlescene.h"

#include <cmath>
#include <string>

namespace {

const char* const kEffects[] = {"fx/fire.txt", "fx/sparks.txt", "fx/rings.txt"};
const int kEffectCount = 3;
const float kAutoInterval = 0.3f;
const float kManagerFps = 60.0f;

} // namespace

bool ParticleScene::Load() {
    for (const char* file : kEffects) {
        std::unique_ptr<TQ2DParticle> effect(new TQ2DParticle);
        if (!effect->CreateFromConfig(file))
            return false;
        m_templates.push_back(std::move(effect));
    }
    if (!m_trail.CreateFromConfig("fx/trail.txt") || !m_manager.Create(kManagerFps) ||
        !m_label.Create(400, 16))
        return false;
    MoveTrail();
    m_trail.Fire();
    ShowChoice();
    return true;
}

void ParticleScene::ShowChoice() {
    m_label.SetText(std::string("$T1$C#E0E8FFclick spawns: $C#FFD060") + kEffects[m_choice]);
}

// Effect `kind` at (x, y), fired by the manager.
TQ2DParticle* ParticleScene::Spawn(int kind, float x, float y) {
    return m_manager.SpawnPTS(m_templates[kind].get(), x, y);
}

void ParticleScene::OnEvent(const TQ2D_INPUT_EVENT_tag& event) {
    if (event.type == TQ2D_INPUT_MOUSEMOVE)
        m_mouseMoved = true;
    if (event.type == TQ2D_INPUT_MBUTTONDOWN && event.key == 1) {
        m_held = Spawn(m_choice, event.x, event.y);
        m_templates[m_choice]->Play();
    }
    if (event.type == TQ2D_INPUT_MBUTTONUP && event.key == 1)
        m_held = nullptr;
    if (event.type == TQ2D_INPUT_MBUTTONDOWN && event.key == 2) {
        m_choice = (m_choice + 1) % kEffectCount;
        ShowChoice();
    }
}

// The trail follows the mouse once it has moved, else a figure of eight.
void ParticleScene::MoveTrail() {
    float x = kDemoWidth / 2.0f + 250.0f * std::sin(m_time * 0.9f);
    float y = kDemoHeight / 2.0f + 150.0f * std::sin(m_time * 1.8f);
    if (m_mouseMoved)
        TQ2DGetMousePos(&x, &y);
    m_trail.MoveTo(x, y, false);
}

void ParticleScene::Update(float dt) {
    m_time += dt;
    // Effects that go off by themselves are silent: only clicks play sounds.
    if (m_time >= m_nextAuto) {
        const float angle = static_cast<float>(m_autoCount) * 2.4f;
        Spawn(m_autoCount % kEffectCount, kDemoWidth / 2.0f + 300.0f * std::cos(angle),
              kDemoHeight / 2.0f + 200.0f * std::sin(angle));
        ++m_autoCount;
        m_nextAuto += kAutoInterval;
    }
    if (m_held && m_manager.IsPTSAlive(m_held)) {
        float x, y;
        TQ2DGetMousePos(&x, &y);
        m_held->MoveTo(x, y, false);
    }
    MoveTrail();
    m_trail.Update(dt);
    m_manager.Update(dt);
}

void ParticleScene::Render() {
    m_trail.Render();
    m_manager.Render();
    m_label.Render(8, kDemoHeight - 22);
}
