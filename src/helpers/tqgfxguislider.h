/// @file
/// TQGfxGUISlider: a horizontal value slider. Dragging with the left button sets the value from the
/// mouse's position across the control. It draws one sprite stretched as a bar from the left edge
/// (TQGFX_SLIDER_BAR), as a bar from the centre (TQGFX_SLIDER_BARRELATIVE) or as a thumb at the
/// value (TQGFX_SLIDER_SLIDER), vertically centred.
#pragma once

#include "helpers/tqgfxguiobject.h"

class TQGfxSprite;

/// Drawn as a bar from the left edge to the value.
#define TQGFX_SLIDER_BAR 0
/// Drawn as a bar from the centre to the value.
#define TQGFX_SLIDER_BARRELATIVE 1
/// Drawn as a thumb at the value.
#define TQGFX_SLIDER_SLIDER 2

/// A horizontal value slider; see tqgfxguislider.h.
class TQGfxGUISlider : public TQGfxGUIObject {
public:
    /// Covers (x, y) to (x + w, y + h); the sprite is the texture's (tx, ty, sw, sh). Range 0 to
    /// 100, value 50, bar mode.
    TQGfxGUISlider(int id, float x, float y, float w, float h, DWORD texture, float tx, float ty, float sw,
                   float sh);
    ~TQGfxGUISlider() override;

    /// Range and drawing mode; the value is clamped into the new range.
    void SetMode(float min, float max, int mode);
    /// Clamped to the range.
    void SetValue(float value);
    /// The value.
    float GetValue() const { return m_fVal; }

    /// Draws the bar or the thumb.
    void Render() override;
    bool MouseMove(float x, float y) override;
    /// Starts (down) or ends a drag of the value; false.
    bool MouseLButton(bool down) override;

private:
    // The x of the value across the control.
    float ValueX() const;

    bool m_bPressed;
    int m_nMode;
    float m_fMin, m_fMax, m_fVal;
    float m_fSliderWidth, m_fSliderHeight;
    TQGfxSprite* m_pSprSlider;
};
