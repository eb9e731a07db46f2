#include "democaption.h"

#include "demodraw.h"
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
    DrawBox(0, 0, kDemoWidth, kCaptionHeight, kCaptionBackground);
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
