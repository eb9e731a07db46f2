#include "animationscene.h"

namespace {

struct ExhibitFile {
    const char* file;
    const char* label;
};

const ExhibitFile kExhibits[] = {
    {"anim/gem.txt", "FWD|LOOP, rotation track"},
    {"anim/pingpong.txt", "PINGPONG|LOOP, position track"},
    {"anim/reverse.txt", "REV|LOOP, scale track"},
    {"anim/fade.txt", "COLORADD blend, alpha track"},
    {"anim/once.txt", "FWD once, replays with a sound"},
    {"anim/orbit.txt", "two attached animations"},
};
const int kColumns = 3;
const float kCellWidth = kDemoWidth / 3.0f;
const float kCellHeight = 280.0f;
const int kLabelWidth = 262;
const int kLabelHeight = 16;

} // namespace

bool AnimationScene::Load() {
    int index = 0;
    for (const ExhibitFile& file : kExhibits) {
        std::unique_ptr<Exhibit> exhibit(new Exhibit);
        exhibit->animation.reset(new TQ2DAnimation);
        if (!exhibit->animation->CreateFromConfig(file.file) ||
            !exhibit->label.Create(kLabelWidth, kLabelHeight))
            return false;
        exhibit->label.SetText(std::string("$T1$C#E0E8FF") + file.file + ": " + file.label);
        exhibit->x = kCellWidth * (static_cast<float>(index % kColumns) + 0.5f);
        exhibit->y = kCaptionHeight + 20.0f + kCellHeight * (static_cast<float>(index / kColumns) + 0.5f);
        m_exhibits.push_back(std::move(exhibit));
        ++index;
    }
    PlayAll();
    return true;
}

void AnimationScene::PlayAll() {
    for (auto& exhibit : m_exhibits)
        exhibit->animation->Play(1);
}

void AnimationScene::OnEvent(const TQ2D_INPUT_EVENT_tag& event) {
    if (event.type == TQ2D_INPUT_MBUTTONDOWN)
        PlayAll();
}

void AnimationScene::Update(float dt) {
    for (auto& exhibit : m_exhibits)
        exhibit->animation->Update(dt);
}

void AnimationScene::Render() {
    for (auto& exhibit : m_exhibits) {
        exhibit->animation->Render(exhibit->x, exhibit->y);
        exhibit->label.Render(exhibit->x - kCellWidth / 2 + 8, exhibit->y + kCellHeight / 2 - 26);
    }
}
