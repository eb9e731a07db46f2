// DemoCaption: the one-line caption at the top of the window, naming the scene and its keys, with
// the frame rate at its right end drawn with digit sprites.
#pragma once

#include <string>

#include "engine/tq2dsprite.h"
#include "textlabel.h"

class DemoCaption {
public:
    bool Load();
    // Draws the text into the caption's texture (marked-up text: "$C" codes colour it).
    void SetText(const std::string& text);
    void Render(int fps);

private:
    void RenderNumber(int value, float right, float y);

    TextLabel m_text;
    TQ2DSprite m_digit;
};
