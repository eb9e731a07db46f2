#include "helpers/tqgfxguislider.h"

#include "device/tqgfxsprite.h"

TQGfxGUISlider::TQGfxGUISlider(int ctrlId, float x, float y, float w, float h, DWORD texture, float tx,
                               float ty, float sw, float sh)
    : m_bPressed(false), m_nMode(TQGFX_SLIDER_BAR), m_fMin(0), m_fMax(100), m_fVal(50), m_fSliderWidth(sw),
      m_fSliderHeight(sh), m_pSprSlider(new TQGfxSprite(texture, tx, ty, sw, sh)) {
    id = ctrlId;
    rect.Set(x, y, x + w, y + h);
}

TQGfxGUISlider::~TQGfxGUISlider() {
    delete m_pSprSlider;
}

void TQGfxGUISlider::SetMode(float min, float max, int mode) {
    m_fMin = min;
    m_fMax = max;
    m_nMode = mode;
    SetValue(m_fVal);
}

void TQGfxGUISlider::SetValue(float value) {
    if (value < m_fMin)
        value = m_fMin;
    if (value > m_fMax)
        value = m_fMax;
    m_fVal = value;
}

bool TQGfxGUISlider::MouseLButton(bool down) {
    m_bPressed = down;
    return false;
}

bool TQGfxGUISlider::MouseMove(float x, float) {
    if (!m_bPressed)
        return false;
    float width = rect.x2 - rect.x1;
    if (x > width)
        x = width;
    if (x < 0)
        x = 0;
    // A control without width has nothing to slide along: it takes the minimum.
    m_fVal = width > 0 ? m_fMin + (m_fMax - m_fMin) * x / width : m_fMin;
    return true;
}

float TQGfxGUISlider::ValueX() const {
    float range = m_fMax - m_fMin;
    if (range == 0)
        return rect.x1;
    return rect.x1 + (rect.x2 - rect.x1) * (m_fVal - m_fMin) / range;
}

void TQGfxGUISlider::Render() {
    float p = ValueX();
    float middle = (rect.y1 + rect.y2) / 2;
    float top = middle - m_fSliderHeight / 2;
    float bottom = middle + m_fSliderHeight / 2;
    switch (m_nMode) {
    case TQGFX_SLIDER_BAR:
        m_pSprSlider->RenderStretch(rect.x1, top, p, bottom);
        break;
    case TQGFX_SLIDER_BARRELATIVE:
        m_pSprSlider->RenderStretch((rect.x1 + rect.x2) / 2, top, p, bottom);
        break;
    case TQGFX_SLIDER_SLIDER:
        m_pSprSlider->RenderStretch(p - m_fSliderWidth / 2, top, p + m_fSliderWidth / 2, bottom);
        break;
    default:
        break;
    }
}
