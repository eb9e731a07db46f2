#include "textlabel.h"

#include "gui/tq2dtextout.h"

bool TextLabel::Create(int width, int height) {
    m_width = width;
    m_height = height;
    if (!m_texture.Create(width, height) || !m_sprite.Create(m_texture, 0, 0, width, height))
        return false;
    m_sprite.SetHotSpot(0, 0);
    return true;
}

void TextLabel::SetText(const std::string& text) {
    TQ2DTextOut(m_texture, nullptr, 0, 0, m_width, m_height, "%s", text.c_str());
}
