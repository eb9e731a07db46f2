// ParticleScene: particle effects from description files and particle record files. A click
// spawns the chosen effect at the mouse through the particle manager and plays its sound; while the
// button is held the effect follows the mouse. Effects also go off by themselves along a path, so
// several always run at once, and a continuous trail follows the mouse.
#pragma once

#include <memory>
#include <vector>

#include "demoscene.h"
#include "engine/tq2dparticle.h"
#include "engine/tq2dparticlemanager.h"
#include "textlabel.h"

class ParticleScene : public DemoScene {
public:
    bool Load() override;
    void OnEvent(const TQ2D_INPUT_EVENT_tag& event) override;
    void Update(float dt) override;
    void Render() override;

private:
    TQ2DParticle* Spawn(int kind, float x, float y);
    void ShowChoice();
    void MoveTrail();

    // The templates outlive the manager's effects, which draw with their sprites.
    std::vector<std::unique_ptr<TQ2DParticle>> m_templates;
    TQ2DParticle m_trail;
    TQ2DParticleManager m_manager;
    TextLabel m_label;
    TQ2DParticle* m_held = nullptr;
    int m_choice = 0;
    int m_autoCount = 0;
    float m_time = 0.0f;
    float m_nextAuto = 0.0f;
    bool m_mouseMoved = false;
};
