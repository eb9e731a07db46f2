#include "gui/tq2dguiscrollbar.h"

#include <algorithm>

#include "platform/win32/tqkernel32.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGUIScrollBar)

namespace {

const DWORD kUpID = 1;
const DWORD kDownID = 2;
const DWORD kBarID = 3;
const DWORD kFirstRepeatDelay = 300;
const DWORD kRepeatDelay = 50;

} // namespace

TQ2DGUIScrollBar::TQ2DGUIScrollBar() {
    m_Up.SetControlID(kUpID);
    m_Down.SetControlID(kDownID);
    m_Bar.SetControlID(kBarID);
    AddControl(&m_Up, 0);
    AddControl(&m_Down, 0);
    AddControl(&m_Bar, 0);
    SetMaxScrollRange(100);
    SetScrollPos(0);
}

float TQ2DGUIScrollBar::FaceExtent(TQ2DGUIButton& part) const {
    return IsVertical() ? part.GetTexture().GetHeight() : part.GetTexture().GetWidth();
}

int TQ2DGUIScrollBar::SetTexture(const char* szUp, const char* szDown, const char* szBar) {
    m_Up.SetTexture(szUp);
    m_Down.SetTexture(szDown);
    m_Bar.SetTexture(szBar);
    if (GetSize().x == 0.0f && GetSize().y == 0.0f) {
        if (IsVertical())
            SetSize(m_Up.GetSize().x, m_Up.GetSize().y + m_Down.GetSize().y + m_Bar.GetSize().y);
        else
            SetSize(m_Up.GetSize().x + m_Down.GetSize().x + m_Bar.GetSize().x, m_Up.GetSize().y);
    } else {
        SetSize(GetSize().x, GetSize().y);
    }
    return 1;
}

// A position beyond the new range is brought back to its end (and reported).
void TQ2DGUIScrollBar::SetMaxScrollRange(DWORD n) {
    m_dwMaxScrollRange = n;
    const bool clamped = m_dwScrollPos > n;
    if (clamped)
        m_dwScrollPos = n;
    CalculatePos();
    const int enable = n ? 1 : 0;
    m_Up.SetEnableMode(enable);
    m_Down.SetEnableMode(enable);
    m_Bar.SetEnableMode(enable);
    if (clamped)
        NotifyParent();
}

void TQ2DGUIScrollBar::SetScrollPos(int n) {
    ScrollTo(n);
}

// Positions are computed wide, so steps and thumb offsets of ranges above the int range neither
// wrap nor overflow.
void TQ2DGUIScrollBar::ScrollTo(LONGLONG n) {
    if (!m_dwMaxScrollRange)
        return;
    const DWORD pos = n < 0 ? 0 : static_cast<DWORD>(std::min<LONGLONG>(n, m_dwMaxScrollRange));
    if (pos == m_dwScrollPos)
        return;
    m_dwScrollPos = pos;
    CalculatePos();
    NotifyParent();
}

void TQ2DGUIScrollBar::NotifyParent() {
    if (GetParent())
        GetParent()->OnCommand(this, TQ2DGUI_COMMAND_CHANGED);
}

// Every thumb offset is turned into a position: the position alone says whether anything changed.
void TQ2DGUIScrollBar::SetBarPos(float p) {
    if (!(p > 0.0f))
        p = 0.0f;
    else if (p >= m_fTrackLength)
        p = m_fTrackLength;
    if (m_fTrackLength > 0.0f)
        ScrollTo(static_cast<LONGLONG>(static_cast<double>(m_dwMaxScrollRange) * p / m_fTrackLength));
}

void TQ2DGUIScrollBar::CalculatePos() {
    m_fTrackLength = 0.0f;
    m_Up.SetPos(0.0f, 0.0f);
    if (m_eScrollType != TQ2DSCROLLBAR_VERTICAL && m_eScrollType != TQ2DSCROLLBAR_HORIZONTAL)
        return;
    const float up = FaceExtent(m_Up);
    const float down = FaceExtent(m_Down);
    const float length = Along(GetSize());
    m_fTrackLength = length - (up + down + FaceExtent(m_Bar));
    const float offset =
        m_dwMaxScrollRange ? static_cast<float>(m_dwScrollPos) * m_fTrackLength / m_dwMaxScrollRange : 0.0f;
    if (IsVertical()) {
        m_Down.SetPos(0.0f, length - down);
        m_Bar.SetPos(1.0f, up + offset);
    } else {
        m_Down.SetPos(length - down, 0.0f);
        m_Bar.SetPos(up + offset, 1.0f);
    }
}

void TQ2DGUIScrollBar::OnIdle() {
    if (!m_dwMaxScrollRange || !m_dwRepeatTime)
        return;
    const DWORD now = GetTickCount();
    if (now - m_dwRepeatTime <= m_dwRepeatDelay)
        return;
    m_dwRepeatTime = now;
    m_dwRepeatDelay = kRepeatDelay;
    if (m_Up.GetMouseLButton())
        ScrollTo(static_cast<LONGLONG>(m_dwScrollPos) - 1);
    else if (m_Down.GetMouseLButton())
        ScrollTo(static_cast<LONGLONG>(m_dwScrollPos) + 1);
}

// An arrow steps on its press (TQ2DGUI_COMMAND_CHANGED); its click on the release is not a step of
// its own, so one click moves one step.
void TQ2DGUIScrollBar::OnCommand(TQ2DGUIObject* pSender, DWORD dwCommand) {
    if (!pSender || !m_dwMaxScrollRange || dwCommand != TQ2DGUI_COMMAND_CHANGED)
        return;
    if (pSender->GetControlID() == kUpID)
        ScrollTo(static_cast<LONGLONG>(m_dwScrollPos) - 1);
    else if (pSender->GetControlID() == kDownID)
        ScrollTo(static_cast<LONGLONG>(m_dwScrollPos) + 1);
}

void TQ2DGUIScrollBar::OnSetSize(float, float) {
    CalculatePos();
}

void TQ2DGUIScrollBar::OnSetEnableMode(int n) {
    m_Up.SetEnableMode(n);
    m_Down.SetEnableMode(n);
    m_Bar.SetEnableMode(n);
}

void TQ2DGUIScrollBar::OnMouseMove(float x, float y) {
    if (!m_dwMaxScrollRange || !m_bDragging)
        return;
    const float along = IsVertical() ? y : x;
    SetBarPos(along - FaceExtent(m_Up) - m_fDragOffset);
}

void TQ2DGUIScrollBar::OnMouseLButton(int n) {
    if (!m_dwMaxScrollRange)
        return;
    m_bDragging = (n && m_Bar.GetMouseLButton()) ? 1 : 0;
    CaptureMouse(m_bDragging);
    if (m_bDragging)
        m_fDragOffset = Along(m_Bar.GetMousePos());
    else
        StartRepeatOrTrackPress(n);
}

// A press on an arrow starts the auto-repeat; a press on the track centres the thumb on the mouse.
void TQ2DGUIScrollBar::StartRepeatOrTrackPress(int n) {
    const bool arrowDown = m_Up.GetMouseLButton() || m_Down.GetMouseLButton();
    if (n && arrowDown) {
        m_dwRepeatTime = GetTickCount();
        m_dwRepeatDelay = kFirstRepeatDelay;
    } else {
        m_dwRepeatTime = 0;
        m_dwRepeatDelay = 0;
    }
    m_fDragOffset = 0.0f;
    if (n && !arrowDown)
        SetBarPos(Along(GetMousePos()) - FaceExtent(m_Up) - FaceExtent(m_Bar) / 2.0f);
}

void TQ2DGUIScrollBar::OnMouseWheel(int n) {
    if (m_dwMaxScrollRange)
        ScrollTo(static_cast<LONGLONG>(m_dwScrollPos) - n);
}
