#include "helpers/tqgfxguibutton.h"

#include "device/tqgfxsprite.h"

TQGfxGUIButton::TQGfxGUIButton(int ctrlId, float x, float y, float w, float h, DWORD texture, float tx,
                               float ty)
    : m_bTrigger(false), m_bPressed(false), m_bOldState(false),
      m_pSprUp(new TQGfxSprite(texture, tx, ty, w, h)),
      m_pSprDown(new TQGfxSprite(texture, tx + w, ty, w, h)) {
    id = ctrlId;
    rect.Set(x, y, x + w, y + h);
}

TQGfxGUIButton::~TQGfxGUIButton() {
    delete m_pSprUp;
    delete m_pSprDown;
}

void TQGfxGUIButton::Render() {
    (m_bPressed ? m_pSprDown : m_pSprUp)->Render(rect.x1, rect.y1);
}

// A release away from the button cancels the press: a trigger button keeps its old state.
bool TQGfxGUIButton::MouseLButton(bool down) {
    if (down) {
        m_bOldState = m_bPressed;
        m_bPressed = true;
        return false;
    }
    float x = 0.0f;
    float y = 0.0f;
    m_pDevice->Input_GetMousePos(&x, &y);
    const bool over = rect.HitTest(x, y);
    m_bPressed = m_bTrigger && (over ? !m_bOldState : m_bOldState);
    return true;
}
