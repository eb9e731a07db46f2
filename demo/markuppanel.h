// MarkupPanel: a GUI control showing marked-up text (colours, shadow, outline, GBK Chinese) that
// TQ2DTextOut drew into its texture; it takes no mouse input, so its window drags from it.
#pragma once

#include "gui/tq2dguiobject.h"
#include "textlabel.h"

class MarkupPanel : public TQ2DGUIObject {
public:
    // A panel of the given size showing `text` (GBK, with mark-up).
    bool Create(int width, int height, const char* text);
    // Multiplies the text's colours by `color` (ARGB).
    void SetTint(unsigned long color) { m_label.SetColor(color); }
    void OnRender(float x, float y) override { m_label.Render(x, y); }

private:
    TextLabel m_label;
};
