#include "animationscene.h"

#include "demodraw.h"

namespace {

// Each animation's description file is anim/NAME.txt.
struct ExhibitFile {
    const char* name;
    const char* label;
};

const ExhibitFile kExhibits[] = {
    {"gem", "FWD|LOOP, rotation track"},        {"pingpong", "PINGPONG|LOOP, position track"},
    {"reverse", "REV|LOOP, scale track"},       {"fade", "COLORADD blend, alpha track"},
    {"once", "FWD once, replays with a sound"}, {"orbit", "two attached animations"},
};
const int kColumns = 3;
const float kCellWidth = kDemoWidth / 3.0f;
const float kCellHeight = (kDemoHeight - kCaptionHeight) / 2.0f;
const int kLabelWidth = 262;
const int kLabelHeight = 16;

} // namespace

bool AnimationScene::Load() {
    int index = 0;
    for (const ExhibitFile& file : kExhibits) {
        std::unique_ptr<Exhibit> exhibit(new Exhibit);
        exhibit->animation.reset(new TQ2DAnimation);
        const std::string name = std::string(file.name) + ".txt";
        if (!exhibit->animation->CreateFromConfig(("anim/" + name).c_str()) ||
            !exhibit->label.Create(kLabelWidth, kLabelHeight))
            return false;
        exhibit->label.SetText("$T1$C#FFD060" + name + "$C#E0E8FF " + file.label);
        exhibit->x = kCellWidth * (static_cast<float>(index % kColumns) + 0.5f);
        exhibit->y = kCaptionHeight + kCellHeight * (static_cast<float>(index / kColumns) + 0.5f);
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
        const float left = exhibit->x - kCellWidth / 2 + 4, top = exhibit->y - kCellHeight / 2 + 4;
        DrawBox(left, top, kCellWidth - 8, kCellHeight - 8, 0xFF18264A);
        DrawFrame(left, top, kCellWidth - 8, kCellHeight - 8, 0xFF34508A);
        exhibit->animation->Render(exhibit->x, exhibit->y);
        exhibit->label.Render(exhibit->x - kCellWidth / 2 + 8, exhibit->y + kCellHeight / 2 - 26);
    }
}
