#include "democaption.h"

#include "demoscene.h"

namespace {

const unsigned long kCaptionBackground = 0xE0101828;
const float kDigitWidth = 8.0f;

} // namespace

bool DemoCaption::Load() {
    return m_text.Create(kDemoWidth - 60, kCaptionHeight - 2) && m_digit.CreateFromConfig("ui/digit.txt");
}

void DemoCaption::SetText(const std::string& text) {
    m_text.SetText(text);
}

void DemoCaption::Render(int fps) {
    TQ2D_QUAD_tag bar{};
    const float corners[4][2] = {{0, 0}, {kDemoWidth, 0}, {kDemoWidth, kCaptionHeight}, {0, kCaptionHeight}};
    for (int i = 0; i < 4; ++i) {
        bar.v[i].x = corners[i][0];
        bar.v[i].y = corners[i][1];
        bar.v[i].z = 0.5f;
        bar.v[i].col = kCaptionBackground;
    }
    bar.blend = TQ2D_BLEND_DEFAULT;
    TQ2DGfx_RenderQuad(&bar);
    m_text.Render(4, 2);
    RenderNumber(fps, kDemoWidth - 6, 3);
}

// The number right-aligned at `right`, one 8 x 12 digit cell each.
void DemoCaption::RenderNumber(int value, float right, float y) {
    const std::string text = std::to_string(value);
    float x = right - kDigitWidth * static_cast<float>(text.size());
    for (char c : text) {
        m_digit.SetTextureRect(static_cast<float>((c - '0') * 8), 0, 8, 12);
        m_digit.Render(x, y);
        x += kDigitWidth;
    }
}
