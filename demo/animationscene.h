// AnimationScene: frame animations from description files in several loop modes (forward,
// ping-pong, reverse, once with replays), moved by their position, scale, rotation and alpha
// tracks, one with a sound on every replay and one with attached animations. A click plays them
// all from the start.
#pragma once

#include <memory>
#include <vector>

#include "demoscene.h"
#include "engine/tq2danimation.h"
#include "textlabel.h"

class AnimationScene : public DemoScene {
public:
    bool Load() override;
    void OnEvent(const TQ2D_INPUT_EVENT_tag& event) override;
    void Update(float dt) override;
    void Render() override;

private:
    struct Exhibit {
        std::unique_ptr<TQ2DAnimation> animation;
        TextLabel label;
        float x, y;
    };

    void PlayAll();

    std::vector<std::unique_ptr<Exhibit>> m_exhibits;
};
