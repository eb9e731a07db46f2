// SpriteScene: sprites from description files move, turn, fade and blend over a background; a
// render target drawn into every frame is shown as a texture; a click plays a sound and a music
// stream loops.
#pragma once

#include <memory>
#include <vector>

#include "demoscene.h"
#include "engine/tq2dmusic.h"
#include "engine/tq2dsound.h"
#include "engine/tq2dsprite.h"
#include "engine/tq2dtarget.h"
#include "scenerandom.h"

class SpriteScene : public DemoScene {
public:
    ~SpriteScene() override;
    bool Load() override;
    void OnEvent(const TQ2D_INPUT_EVENT_tag& event) override;
    void Update(float dt) override;
    void Render() override;

private:
    struct Mover {
        std::unique_ptr<TQ2DSprite> sprite;
        float x, y, vx, vy, angle, spin, scale;
    };

    void RenderTarget();
    void FadeToRandomAlpha(TQ2DSprite& sprite, float lowest);

    SceneRandom m_random;
    std::vector<Mover> m_movers;
    TQ2DTarget m_target;
    TQ2DSprite m_targetSprite;
    TQ2DSprite m_ring;
    TQ2DSound m_click;
    TQ2DMusic m_music;
    float m_time = 0.0f;
};
