#include "gui/tq2dguibutton.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGUIButton)

int TQ2DGUIButton::SetTexture(const char* szFile) {
    if (!m_Face.CreateFromConfig(szFile))
        return 0;
    m_Face.Stop();
    m_Face.SetFrame(kNormal);
    if (GetSize().x == 0.0f && GetSize().y == 0.0f)
        SetSize(m_Face.GetWidth(), m_Face.GetHeight());
    return 1;
}

void TQ2DGUIButton::NotifyParent() {
    if (GetParent())
        GetParent()->OnCommand(this, TQ2DGUI_COMMAND_CHANGED);
}

void TQ2DGUIButton::OnRender(float x, float y) {
    m_Face.Render(x, y);
}

void TQ2DGUIButton::OnUpdate(float fDelta, float, float) {
    m_Face.Update(fDelta);
}

void TQ2DGUIButton::OnSetStatus(int n) {
    m_Face.SetFrame(n ? kChecked : kNormal);
    NotifyParent();
}

void TQ2DGUIButton::OnSetShowMode(int n) {
    if (n)
        OnSetEnableMode(GetEnableMode());
    else
        OnMouseLeave();
}

void TQ2DGUIButton::OnSetEnableMode(int n) {
    if (!GetShowMode())
        return;
    if (n || m_eButtonType != TQ2DBUTTON_PUSH)
        OnMouseLeave(); // a disabled group or toggle button still shows whether it is checked
    else
        m_Face.SetFrame(kDisabledOrCheckedHover);
}

int TQ2DGUIButton::OnCheckGroup() {
    return m_eButtonType == TQ2DBUTTON_GROUP ? 1 : 0;
}

void TQ2DGUIButton::OnMouseEnter() {
    m_Face.SetFrame(GetStatus() ? kDisabledOrCheckedHover : kHover);
}

void TQ2DGUIButton::OnMouseLeave() {
    m_Face.SetFrame(GetStatus() ? kChecked : kNormal);
}

void TQ2DGUIButton::OnMouseLButton(int n) {
    if (!GetMouseEnter()) {
        OnMouseLeave();
        return;
    }
    if (n)
        m_Face.SetFrame(kChecked);
    else
        OnMouseEnter();
    if (!n)
        return;
    switch (m_eButtonType) {
    case TQ2DBUTTON_PUSH:
        NotifyParent();
        break;
    case TQ2DBUTTON_GROUP:
        SetStatus(1);
        break;
    case TQ2DBUTTON_TOGGLE:
        SetStatus(!GetStatus());
        break;
    }
}
