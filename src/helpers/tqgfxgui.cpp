#include "helpers/tqgfxgui.h"

#include "device/tqgfxsprite.h"
#include "platform/win32/tquser32.h"

namespace {

// Enter/leave states.
constexpr int kNoTransition = 0;
constexpr int kLeaving = 1;
constexpr int kEntering = 2;

} // namespace

TQGfxGUI::TQGfxGUI()
    : m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)), m_pCtrls(nullptr), m_pCtrlLock(nullptr),
      m_pCtrlFocus(nullptr), m_pCtrlOver(nullptr), m_nNavMode(TQGFX_GUI_NONAVKEYS),
      m_nEnterLeave(kNoTransition), m_pCursor(nullptr), m_fMouseX(0), m_fMouseY(0), m_nWheel(0),
      m_bLPressed(false), m_bLLastPressed(false), m_bRPressed(false), m_bRLastPressed(false) {}

TQGfxGUI::~TQGfxGUI() {
    while (TQGfxGUIObject* ctrl = m_pCtrls) {
        m_pCtrls = ctrl->next;
        delete ctrl;
    }
    if (m_pDevice)
        m_pDevice->Release();
}

// ---- Control list ----

TQGfxGUIObject* TQGfxGUI::LastCtrl() const {
    TQGfxGUIObject* last = m_pCtrls;
    while (last && last->next)
        last = last->next;
    return last;
}

void TQGfxGUI::AddCtrl(TQGfxGUIObject* ctrl) {
    if (!ctrl)
        return;
    TQGfxGUIObject* last = LastCtrl();
    ctrl->gui = this;
    ctrl->next = nullptr;
    ctrl->prev = last;
    if (last)
        last->next = ctrl;
    else
        m_pCtrls = ctrl;
}

void TQGfxGUI::DelCtrl(int id) {
    TQGfxGUIObject* ctrl = GetCtrl(id);
    if (!ctrl)
        return;
    if (ctrl->prev)
        ctrl->prev->next = ctrl->next;
    else
        m_pCtrls = ctrl->next;
    if (ctrl->next)
        ctrl->next->prev = ctrl->prev;
    // No pointer of the manager may outlive the control.
    if (m_pCtrlLock == ctrl)
        m_pCtrlLock = nullptr;
    if (m_pCtrlFocus == ctrl)
        m_pCtrlFocus = nullptr;
    if (m_pCtrlOver == ctrl)
        m_pCtrlOver = nullptr;
    delete ctrl;
}

TQGfxGUIObject* TQGfxGUI::GetCtrl(int id) const {
    for (TQGfxGUIObject* ctrl = m_pCtrls; ctrl; ctrl = ctrl->next)
        if (ctrl->id == id)
            return ctrl;
    return nullptr;
}

void TQGfxGUI::MoveCtrl(int id, float x, float y) {
    if (TQGfxGUIObject* ctrl = GetCtrl(id))
        ctrl->rect.Set(x, y, x + (ctrl->rect.x2 - ctrl->rect.x1), y + (ctrl->rect.y2 - ctrl->rect.y1));
}

void TQGfxGUI::ShowCtrl(int id, bool visible) {
    if (TQGfxGUIObject* ctrl = GetCtrl(id))
        ctrl->bVisible = visible;
}

void TQGfxGUI::EnableCtrl(int id, bool enabled) {
    if (TQGfxGUIObject* ctrl = GetCtrl(id))
        ctrl->bEnabled = enabled;
}

// ---- Focus ----

void TQGfxGUI::MoveFocus(TQGfxGUIObject* ctrl) {
    if (m_pCtrlFocus)
        m_pCtrlFocus->Focus(false);
    m_pCtrlFocus = ctrl;
    if (ctrl)
        ctrl->Focus(true);
}

void TQGfxGUI::SetFocus(int id) {
    TQGfxGUIObject* ctrl = GetCtrl(id);
    if (ctrl == m_pCtrlFocus)
        return;
    if (!ctrl || ctrl->CanFocus())
        MoveFocus(ctrl);
}

// From the focus (or, without one, from the end the step leaves), steps through the list, going
// on at the other end when wrapping is on or there is no focus, until a control that can take the
// focus or the start again. Without a focus the start itself is a candidate too.
TQGfxGUIObject* TQGfxGUI::FindFocusable(bool forwards) const {
    TQGfxGUIObject* first = m_pCtrls;
    TQGfxGUIObject* last = LastCtrl();
    TQGfxGUIObject* start = m_pCtrlFocus ? m_pCtrlFocus : (forwards ? last : first);
    if (!start)
        return nullptr;
    bool wrap = (m_nNavMode & TQGFX_GUI_CYCLED) || !m_pCtrlFocus;
    TQGfxGUIObject* ctrl = start;
    for (;;) {
        ctrl = forwards ? ctrl->next : ctrl->prev;
        if (!ctrl) {
            if (!wrap)
                return nullptr;
            ctrl = forwards ? first : last;
        }
        if (ctrl->CanFocus())
            return ctrl;
        if (ctrl == start)
            return nullptr;
    }
}

bool TQGfxGUI::Navigate(int key) {
    bool horizontal = (m_nNavMode & TQGFX_GUI_LEFTRIGHT) != 0;
    bool vertical = (m_nNavMode & TQGFX_GUI_UPDOWN) != 0;
    bool backwards = (horizontal && key == VK_LEFT) || (vertical && key == VK_UP);
    bool forwards = (horizontal && key == VK_RIGHT) || (vertical && key == VK_DOWN);
    if (!backwards && !forwards)
        return false;
    TQGfxGUIObject* found = FindFocusable(forwards);
    if (found && found != m_pCtrlFocus)
        MoveFocus(found);
    return true;
}

// ---- Transitions and drawing ----

void TQGfxGUI::Enter() {
    for (TQGfxGUIObject* ctrl = m_pCtrls; ctrl; ctrl = ctrl->next)
        ctrl->Enter();
    m_nEnterLeave = kEntering;
}

void TQGfxGUI::Leave() {
    for (TQGfxGUIObject* ctrl = m_pCtrls; ctrl; ctrl = ctrl->next)
        ctrl->Leave();
    m_pCtrlLock = m_pCtrlFocus = m_pCtrlOver = nullptr;
    m_nEnterLeave = kLeaving;
}

void TQGfxGUI::Render() {
    for (TQGfxGUIObject* ctrl = m_pCtrls; ctrl; ctrl = ctrl->next)
        if (ctrl->bVisible)
            ctrl->Render();
    if (m_pCursor)
        m_pCursor->Render(m_fMouseX, m_fMouseY);
}

// ---- Frame ----

void TQGfxGUI::ReadInput() {
    m_pDevice->Input_GetMousePos(&m_fMouseX, &m_fMouseY);
    m_bLLastPressed = m_bLPressed;
    m_bLPressed = m_pDevice->Input_GetKeyState(VK_LBUTTON);
    m_bRLastPressed = m_bRPressed;
    m_bRPressed = m_pDevice->Input_GetKeyState(VK_RBUTTON);
    m_nWheel = m_pDevice->Input_GetMouseWheel();
}

bool TQGfxGUI::TransitionDone() {
    if (m_nEnterLeave == kNoTransition)
        return true;
    for (TQGfxGUIObject* ctrl = m_pCtrls; ctrl; ctrl = ctrl->next)
        if (!ctrl->IsDone())
            return false;
    if (m_nEnterLeave != kEntering)
        return false;
    m_nEnterLeave = kNoTransition;
    return true;
}

void TQGfxGUI::Update(float dt) {
    if (!m_pDevice)
        return;
    ReadInput();
    for (TQGfxGUIObject* ctrl = m_pCtrls; ctrl; ctrl = ctrl->next)
        ctrl->Update(dt);
    if (!TransitionDone())
        return;

    // A focus control hidden or disabled since it took the focus gets no keys.
    int key = m_pDevice->Input_GetKey();
    if (!Navigate(key) && m_pCtrlFocus && m_pCtrlFocus->CanFocus() && key != 0 && key != VK_LBUTTON &&
        key != VK_RBUTTON && m_pCtrlFocus->KeyClick(key, m_pDevice->Input_GetChar()))
        return;
    TrackMouse();
}

void TQGfxGUI::SetOver(TQGfxGUIObject* ctrl) {
    if (ctrl == m_pCtrlOver)
        return;
    if (m_pCtrlOver)
        m_pCtrlOver->MouseOver(false);
    m_pCtrlOver = ctrl;
    if (ctrl)
        ctrl->MouseOver(true);
}

void TQGfxGUI::TrackMouse() {
    if (TQGfxGUIObject* locked = m_pCtrlLock) {
        if (!m_bLPressed && !m_bRPressed)
            m_pCtrlLock = nullptr;
        ProcessCtrl(locked);
        return;
    }
    for (TQGfxGUIObject* ctrl = LastCtrl(); ctrl; ctrl = ctrl->prev) {
        if (ctrl->CanFocus() && ctrl->rect.HitTest(m_fMouseX, m_fMouseY)) {
            SetOver(ctrl);
            ProcessCtrl(ctrl);
            return;
        }
    }
    SetOver(nullptr);
}

void TQGfxGUI::ProcessCtrl(TQGfxGUIObject* ctrl) {
    bool handled = false;
    if (m_bLPressed && !m_bLLastPressed) {
        m_pCtrlLock = ctrl;
        SetFocus(ctrl->id);
        handled = ctrl->MouseLButton(true);
    }
    if (!handled && m_bRPressed && !m_bRLastPressed) {
        m_pCtrlLock = ctrl;
        SetFocus(ctrl->id);
        handled = ctrl->MouseRButton(true);
    }
    if (!handled && !m_bLPressed && m_bLLastPressed)
        handled = ctrl->MouseLButton(false);
    if (!handled && !m_bRPressed && m_bRLastPressed)
        handled = ctrl->MouseRButton(false);
    if (!handled && m_nWheel != 0)
        handled = ctrl->MouseWheel(m_nWheel);
    if (!handled)
        ctrl->MouseMove(m_fMouseX - ctrl->rect.x1, m_fMouseY - ctrl->rect.y1);
}
