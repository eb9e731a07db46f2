// TextLabel: a line of marked-up text (TQ2DTextOut) drawn once into a texture of its own and shown
// as a sprite with its top-left corner at the given point.
#pragma once

#include <string>

#include "engine/tq2dsprite.h"
#include "engine/tq2dtexture.h"

class TextLabel {
public:
    bool Create(int width, int height);
    // Draws the text anew ("$C#RRGGBB" colours it, "$T1" shadows it), replacing the old one.
    void SetText(const std::string& text);
    void Render(float x, float y) { m_sprite.Render(x, y); }
    // Multiplies the text's colours by `color` (ARGB).
    void SetColor(unsigned long color) { m_sprite.SetColor(color, -1); }

private:
    TQ2DTexture m_texture;
    TQ2DSprite m_sprite;
    int m_width = 0;
    int m_height = 0;
};
