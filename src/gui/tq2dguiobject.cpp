#include "gui/tq2dguiobject.h"

#include "base/tqlog.h"
#include "containers/tqcompare.h"
#include "engine/tq2dapi.h"
#include "engine/tq2dmessagehook.h"
#include "gui/tq2dguidispatch.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGUIObject)

int TQ2DGUIObject::m_bActiveMouseLButtonMode = 0;
DWORD TQ2DGUIObject::m_dwActiveControlID = 0;
TQ2DGUIObject* TQ2DGUIObject::m_pFocusControl = nullptr;
TQ2DGUIObject* TQ2DGUIObject::m_pMouseCaptureControl = nullptr;
TQ2DGUIObject* TQ2DGUIObject::m_pModalControl = nullptr;
TQ2DGUIObject* TQ2DGUIObject::m_pInputControl = nullptr;
TQ2DGUIObject* TQ2DGUIObject::m_pActiveControl = nullptr;
TQ2DGUIObject* TQ2DGUIObject::m_pMouseTarget = nullptr;
bool TQ2DGUIObject::m_bKeyTaken = false;
bool TQ2DGUIObject::m_bPressFrame = false;
int TQ2DGUIObject::m_nPassDepth = 0;
TQ2DGUIObject::ControlList TQ2DGUIObject::m_ModalControlList;

namespace {

// Mouse buttons as TQ2DGetKeyState reads them.
const int kKeyLButton = 1;
const int kKeyRButton = 2;
const int kKeyMButton = 4;

// The engine's message filter: the input control sees the device window's messages first.
LRESULT OfferToInputControl(HWND hwnd, UINT msg, WPARAM& wParam, LPARAM& lParam) {
    TQ2DGUIObject* control = TQ2DGUIObject::GetInputControl();
    return control ? control->OnWndProc(hwnd, msg, wParam, lParam) : 0;
}

} // namespace

TQ2DGUIObject::~TQ2DGUIObject() {
    TQ2DGUIDispatch::ControlDestroyed(this);
    ClearStatus();
    if (m_pParent) {
        if (ControlList::Element* element = ElementInParent()) {
            element->SetAutoDelete(0); // this object is already being destroyed
            m_pParent->m_ControlList.DelList(element, 0);
        }
    }
    ForgetControl(this);
    DetachChildren();
}

// No class-wide pointer may outlive the control it names: ClearStatus can bring a saved modal
// control back, and that may be the control being destroyed.
void TQ2DGUIObject::ForgetControl(TQ2DGUIObject* p) {
    ControlList::Element* saved = m_ModalControlList.FindElement(&p->m_dwControlID);
    if (saved && saved->GetData() == p)
        m_ModalControlList.DelList(saved, 0);
    if (m_pModalControl == p)
        m_pModalControl = m_ModalControlList.RemoveHead();
    if (m_pFocusControl == p)
        m_pFocusControl = nullptr;
    if (m_pMouseCaptureControl == p)
        m_pMouseCaptureControl = nullptr;
    if (m_pInputControl == p)
        m_pInputControl = nullptr;
    if (m_pActiveControl == p)
        ClearActivePress();
    if (m_pMouseTarget == p)
        m_pMouseTarget = nullptr;
}

// Owned children are deleted one by one after their parent pointer is cleared, so their own
// destructors never reach back into this list while it is being emptied.
void TQ2DGUIObject::DetachChildren() {
    while (ControlList::Element* element = m_ControlList.GetHeadPosition()) {
        element->GetData()->m_pParent = nullptr;
        m_ControlList.DelList(element, 0);
    }
}

TQ2DGUIObject::ControlList::Element* TQ2DGUIObject::ElementInParent() {
    if (!m_pParent)
        return nullptr;
    ControlList::Element* element = m_pParent->m_ControlList.FindElement(&m_dwControlID);
    return (element && element->GetData() == this) ? element : nullptr;
}

LRESULT TQ2DGUIObject::OnWndProc(HWND, DWORD, WPARAM&, LPARAM&) {
    return 0;
}

int TQ2DGUIObject::OnHitTest(float x, float y) {
    return (x >= m_ptPos.x && y >= m_ptPos.y && x < m_ptPos.x + m_ptSize.x && y < m_ptPos.y + m_ptSize.y) ? 1
                                                                                                          : 0;
}

bool TQ2DGUIObject::GetActiveMouseLButtonMode() {
    return m_bActiveMouseLButtonMode == 0 && m_dwActiveControlID == 0 && m_pActiveControl == nullptr &&
           m_pModalControl == nullptr;
}

void TQ2DGUIObject::SetInputControl(TQ2DGUIObject* control) {
    TQ2DSetMessageFilter(OfferToInputControl);
    m_pInputControl = control;
}

void TQ2DGUIObject::SetActiveControlID(DWORD id) {
    m_dwActiveControlID = id;
    m_pActiveControl = nullptr;
}

// The press belongs to the control that took it; an ID the host set names no control and is
// matched by ID. Only compares the pointer: the control may be gone already.
bool TQ2DGUIObject::HoldsActivePress(const TQ2DGUIObject* control, DWORD id) {
    return m_pActiveControl ? m_pActiveControl == control : (id != 0 && m_dwActiveControlID == id);
}

void TQ2DGUIObject::ClearActivePress() {
    m_pActiveControl = nullptr;
    m_dwActiveControlID = 0;
}

bool TQ2DGUIObject::TakeKey(int key) {
    if (m_bKeyTaken || TQ2DGetKey() != key)
        return false;
    m_bKeyTaken = true;
    return true;
}

// ---- Tree ----

int TQ2DGUIObject::AddControl(TQ2DGUIObject* pChild, int bAutoDelete) {
    if (!pChild)
        return 0;
    if (!m_ControlList.AddTail(pChild, bAutoDelete, 0)) {
        g_tqLogError.SetLogInfo(__FILE__, "TQ2DGUIObject::AddControl", __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Control ID %lu not added: %s.",
                         static_cast<unsigned long>(pChild->m_dwControlID),
                         GetControl(pChild->m_dwControlID) ? "a sibling has it" : "out of memory");
        return 0;
    }
    pChild->m_pParent = this;
    return 1;
}

void TQ2DGUIObject::DelControl(DWORD dwID) {
    ControlList::Element* element = m_ControlList.FindElement(&dwID);
    if (!element)
        return;
    element->GetData()->m_pParent = nullptr;
    m_ControlList.DelList(element, 0);
}

void TQ2DGUIObject::DelControl(TQ2DGUIObject* p) {
    if (p && p->m_pParent == this && p->ElementInParent())
        DelControl(p->m_dwControlID);
}

TQ2DGUIObject* TQ2DGUIObject::GetControl(DWORD dwID) {
    return m_ControlList.FindData(&dwID);
}

int TQ2DGUIObject::CheckParent(TQ2DGUIObject* p) {
    for (TQ2DGUIObject* node = m_pParent; node; node = node->m_pParent)
        if (node == p)
            return 1;
    return 0;
}

int TQ2DGUIObject::CheckChild(TQ2DGUIObject* p) {
    if (!p)
        return 0;
    return p->CheckParent(this);
}

// Each unchecked sibling may notify this control, whose handler may change the children: the list
// is searched afresh after each one, and at most as many are unchecked as there were children.
void TQ2DGUIObject::UpdateGroupControl(TQ2DGUIObject* p) {
    if (!p || !p->m_nStatus || !p->m_dwGroup)
        return;
    TQ2DGUIDispatch dispatch(this, p);
    TQ2DGUIObject* checked = OtherCheckedInGroup(p);
    for (DWORD left = m_ControlList.GetCount(); checked && left; --left) {
        if (!dispatch.Run([&] { checked->SetStatus(0); }))
            return;
        checked = OtherCheckedInGroup(p);
    }
}

TQ2DGUIObject* TQ2DGUIObject::OtherCheckedInGroup(TQ2DGUIObject* p) {
    if (!p->m_nStatus)
        return nullptr;
    for (ControlList::Element* element = m_ControlList.GetHeadPosition(); element;
         element = element->GetNext()) {
        TQ2DGUIObject* child = element->GetData();
        if (child != p && child->m_nStatus && child->m_dwGroup == p->m_dwGroup)
            return child;
    }
    return nullptr;
}

// ---- State setters ----

void TQ2DGUIObject::SetPos(float x, float y) {
    m_ptPos.x = x;
    m_ptPos.y = y;
    OnSetPos(x, y);
}

void TQ2DGUIObject::SetSize(float w, float h) {
    m_ptSize.x = w;
    m_ptSize.y = h;
    OnSetSize(w, h);
}

void TQ2DGUIObject::SetShowMode(int bShow, int bNoFocus) {
    if (m_bShowMode == bShow)
        return;
    m_bShowMode = bShow;
    if (bShow) {
        m_bAwaitRelease = TQ2DGetKeyState(kKeyLButton) != 0;
        if (!bNoFocus)
            SetFocus();
    } else {
        ClearStatus();
    }
    OnSetShowMode(bShow);
}

void TQ2DGUIObject::SetEnableMode(int bEnable) {
    if (m_bEnableMode == bEnable)
        return;
    m_bEnableMode = bEnable;
    if (!bEnable)
        ClearStatus();
    OnSetEnableMode(bEnable);
}

void TQ2DGUIObject::SetStatus(int n) {
    if (m_nStatus == n)
        return;
    m_nStatus = n;
    // Unchecking a sibling notifies the parent, which may destroy this control.
    TQ2DGUIDispatch dispatch(this);
    if (n && m_dwGroup && OnCheckGroup() && m_pParent)
        dispatch.Run([&] { m_pParent->UpdateGroupControl(this); });
    dispatch.Run([&] { OnSetStatus(n); });
}

void TQ2DGUIObject::SetMoveMode(int n) {
    m_bMoveMode = n;
    if (!n)
        CaptureMouse(0);
}

void TQ2DGUIObject::SetPopupMode(int n) {
    if (m_bPopupMode == n)
        return;
    m_bPopupMode = n;
    if (n) {
        SetShowMode(1, 0);
        SetFocus();
        CaptureMouse(1);
        SetModalControl(this);
    } else {
        SetModalControl(nullptr);
        CaptureMouse(0);
        KillFocus();
        SetShowMode(0, 0);
    }
}

void TQ2DGUIObject::SetMoveRange(float x, float y, float w, float h) {
    m_rcMoveRange.left = x;
    m_rcMoveRange.top = y;
    m_rcMoveRange.right = x + w - 1.0f;
    m_rcMoveRange.bottom = y + h - 1.0f;
    float px = m_ptPos.x;
    float py = m_ptPos.y;
    AdjustPosRange(px, py);
}

void TQ2DGUIObject::KillFocus() {
    if (m_pFocusControl == this)
        SetFocusControl(nullptr);
}

void TQ2DGUIObject::CaptureMouse(int b) {
    if (b)
        m_pMouseCaptureControl = this;
    else if (m_pMouseCaptureControl == this)
        m_pMouseCaptureControl = nullptr;
}

void TQ2DGUIObject::SetFocusControl(TQ2DGUIObject* p) {
    if (m_pFocusControl)
        m_pFocusControl->OnSetFocusControl(0);
    m_pFocusControl = p;
    if (p)
        p->OnSetFocusControl(1);
    // Every window around the focused control goes to the tail of its list, whatever the depth: a
    // click anywhere in a window raises it. A control without children keeps its place, so a
    // caption or a picture drawn over it stays in view.
    TQ2DGUIObject* node = (p && p->m_ControlList.GetCount()) ? p : (p ? p->m_pParent : nullptr);
    for (; node && node->m_pParent; node = node->m_pParent)
        node->m_pParent->m_ControlList.MoveToTail(node->ElementInParent());
}

void TQ2DGUIObject::SetModalControl(TQ2DGUIObject* p) {
    if (m_pModalControl && p && p != m_pModalControl)
        m_ModalControlList.AddTail(m_pModalControl, 0, 1);
    m_pModalControl = p;
}

void TQ2DGUIObject::ClearModalControl(TQ2DGUIObject* p) {
    if (m_pModalControl && p && p != m_pModalControl) {
        ControlList::Element* saved = m_ModalControlList.FindElement(&p->m_dwControlID);
        if (saved && saved->GetData() == p)
            m_ModalControlList.DelList(saved, 0);
        return;
    }
    m_pModalControl = m_ModalControlList.RemoveHead();
}

void TQ2DGUIObject::ClearStatus() {
    for (ControlList::Element* element = m_ControlList.GetHeadPosition(); element;
         element = element->GetNext())
        element->GetData()->ClearStatus();
    CaptureMouse(0);
    ClearModalControl(this);
    if (HoldsActivePress(this, m_dwControlID))
        ClearActivePress();
    if (m_pFocusControl == this)
        SetFocusControl(nullptr);
    if (m_pInputControl == this)
        m_pInputControl = nullptr;
    const bool entered = m_bMouseEnter != 0;
    const bool pressed = m_nMouseLButton != 0;
    m_bMouseEnter = 0;
    m_nMouseLButton = 0;
    m_nMouseRButton = 0;
    m_nMouseMButton = 0;
    m_nMouseWheel = 0;
    // What the mouse did goes with it: a press (and a drag) ends, a hover look goes.
    if (pressed)
        OnMouseLButton(0);
    if (entered)
        OnMouseLeave();
}

unsigned char TQ2DGUIObject::AdjustPosRange(float& x, float& y) {
    const float rangeWidth = m_rcMoveRange.right - m_rcMoveRange.left + 1.0f;
    const float rangeHeight = m_rcMoveRange.bottom - m_rcMoveRange.top + 1.0f;
    if (rangeWidth == 0.0f && rangeHeight == 0.0f)
        return 0;
    unsigned char flags = 0;
    if (x < m_rcMoveRange.left) {
        x = m_rcMoveRange.left;
        flags |= 1;
    }
    if (y < m_rcMoveRange.top) {
        y = m_rcMoveRange.top;
        flags |= 2;
    }
    if (x + m_ptSize.x > m_rcMoveRange.right) {
        x = m_rcMoveRange.right - m_ptSize.x;
        flags |= 1;
    }
    if (y + m_ptSize.y > m_rcMoveRange.bottom) {
        y = m_rcMoveRange.bottom - m_ptSize.y;
        flags |= 2;
    }
    if (flags)
        SetPos(x, y);
    return flags;
}

// ---- Per-frame passes ----

void TQ2DGUIObject::UpdateGUI(float fDelta, float x, float y) {
    if (!m_ControlList.GetCount() || !m_bShowMode)
        return;
    // A handler may run a pass of its own on another tree: the outer pass's state comes back after
    // it, and a key taken inside stays taken.
    TQ2DGUIObject* const outerTarget = m_pMouseTarget;
    const bool outerPressFrame = m_bPressFrame;
    TQ2DGUIDispatch dispatch;
    if (m_nPassDepth++ == 0)
        m_bKeyTaken = false;
    const int lButton = TQ2DGetKeyState(kKeyLButton);
    m_bPressFrame = lButton && !m_nPassLButton;
    m_nPassLButton = lButton;
    if (!lButton)
        m_bAwaitRelease = false;
    m_pMouseTarget = FindMouseTarget(x - m_ptPos.x, y - m_ptPos.y);
    dispatch.Run([&] { UpdateSubtree(fDelta, x, y); });
    --m_nPassDepth;
    m_pMouseTarget = dispatch.Intact() ? outerTarget : nullptr;
    m_bPressFrame = outerPressFrame;
}

// The last-drawn control under (x, y), given in this control's coordinates, that may take the
// mouse: the deepest of the topmost subtree. Disabled controls (images) and those whose hit test
// refuses the mouse (captions) let it through to what lies beneath.
TQ2DGUIObject* TQ2DGUIObject::FindMouseTarget(float x, float y) {
    TQ2DGUIObject* found = nullptr;
    for (ControlList::Element* element = m_ControlList.GetHeadPosition(); element;
         element = element->GetNext()) {
        TQ2DGUIObject* child = element->GetData();
        if (!child->m_bShowMode)
            continue;
        TQ2DGUIObject* inside = child->FindMouseTarget(x - child->m_ptPos.x, y - child->m_ptPos.y);
        if (inside)
            found = inside;
        else if (child->TakesMouseAt(x, y))
            found = child;
    }
    return found;
}

bool TQ2DGUIObject::TakesMouseAt(float x, float y) {
    return m_bEnableMode && !IsBlockedBy(m_pModalControl) && !IsBlockedBy(m_pMouseCaptureControl) &&
           OnHitTest(x, y);
}

bool TQ2DGUIObject::IsUnderMouse(float x, float y) {
    return m_pMouseTarget && (m_pMouseTarget == this || CheckChild(m_pMouseTarget)) && OnHitTest(x, y);
}

void TQ2DGUIObject::UpdateSubtree(float fDelta, float x, float y) {
    if (!m_ControlList.GetCount() || !m_bShowMode)
        return;
    const int lButton = TQ2DGetKeyState(kKeyLButton);
    const int rButton = TQ2DGetKeyState(kKeyRButton);
    const int mButton = TQ2DGetKeyState(kKeyMButton);
    const int wheel = TQ2DGetMouseWheel();
    const float lx = x - m_ptPos.x;
    const float ly = y - m_ptPos.y;
    TQ2DGUIDispatch dispatch;
    ControlList::Element* element = m_ControlList.GetHeadPosition();
    while (element && dispatch.Intact()) {
        TQ2DGUIObject* child = element->GetData();
        element = element->GetNext();
        if (!m_bShowMode || !child->m_bShowMode)
            continue;
        dispatch.Run([&] { child->UpdateSubtree(fDelta, lx, ly); });
        dispatch.Run([&] { UpdateGUIControl(child, fDelta, lx, ly, lButton, rButton, mButton, wheel); });
    }
    if (!lButton)
        m_bActiveMouseLButtonMode = 0;
}

bool TQ2DGUIObject::IsBlockedBy(TQ2DGUIObject* holder) {
    return holder && holder != this && !CheckParent(holder);
}

bool TQ2DGUIObject::AwaitsRelease() const {
    for (const TQ2DGUIObject* node = this; node; node = node->m_pParent)
        if (node->m_bAwaitRelease)
            return true;
    return false;
}

void TQ2DGUIObject::UpdateGUIControl(TQ2DGUIObject* pControl, float fDelta, float x, float y, int nLButton,
                                     int nRButton, int nMButton, int nWheel) {
    if (!pControl)
        return;
    TQ2DGUIDispatch dispatch;
    if (!dispatch.Run([&] { pControl->OnUpdate(fDelta, x, y); }) || !pControl->m_bEnableMode)
        return;
    if (pControl->IsBlockedBy(m_pModalControl) || pControl->IsBlockedBy(m_pMouseCaptureControl))
        return;
    if (!nLButton)
        pControl->m_bAwaitRelease = false;
    if (!nLButton || (m_bPressFrame && !pControl->AwaitsRelease())) {
        if (!dispatch.Run([&] { pControl->SetMouseEnter(pControl->IsUnderMouse(x, y) ? 1 : 0); }))
            return;
    }
    if (!pControl->m_bMouseEnter && pControl != m_pMouseCaptureControl) {
        DeliverMouseState(dispatch, pControl, 0, 0, 0, 0);
        return;
    }
    dispatch.Run([&] { pControl->SetMousePos(x - pControl->m_ptPos.x, y - pControl->m_ptPos.y); });
    DeliverMouseState(dispatch, pControl, nLButton, nRButton, nMButton, nWheel);
    dispatch.Run([&] { pControl->OnIdle(); });
}

void TQ2DGUIObject::DeliverMouseState(TQ2DGUIDispatch& dispatch, TQ2DGUIObject* pControl, int nLButton,
                                      int nRButton, int nMButton, int nWheel) {
    dispatch.Run([&] { pControl->SetMouseLButton(nLButton); });
    dispatch.Run([&] { pControl->SetMouseRButton(nRButton); });
    dispatch.Run([&] { pControl->SetMouseMButton(nMButton); });
    dispatch.Run([&] { pControl->SetMouseWheel(nWheel); });
}

void TQ2DGUIObject::RenderGUI(float x, float y) {
    const float ox = x + m_ptPos.x;
    const float oy = y + m_ptPos.y;
    for (ControlList::Element* element = m_ControlList.GetHeadPosition(); element;
         element = element->GetNext()) {
        TQ2DGUIObject* child = element->GetData();
        if (child->m_bShowMode)
            child->RenderGUI(ox, oy);
    }
    OnRender(ox, oy);
    if (m_pParent)
        m_pParent->OnRenderChild(this, ox, oy);
}

// ---- Mouse setters ----

void TQ2DGUIObject::SetMouseEnter(int n) {
    if (m_bMouseEnter == n)
        return;
    m_bMouseEnter = n;
    if (n)
        OnMouseEnter();
    else
        OnMouseLeave();
}

// A control that moves with the mouse (a dragged window) sees the same relative position while
// the mouse moves: the move counts as long as either position changed.
void TQ2DGUIObject::SetMousePos(float x, float y) {
    const float parentX = x + m_ptPos.x;
    const float parentY = y + m_ptPos.y;
    if (m_ptMousePos.x == x && m_ptMousePos.y == y && m_ptMouseInParent.x == parentX &&
        m_ptMouseInParent.y == parentY)
        return;
    m_ptMousePos.x = x;
    m_ptMousePos.y = y;
    m_ptMouseInParent.x = parentX;
    m_ptMouseInParent.y = parentY;
    OnMouseMove(x, y);
}

void TQ2DGUIObject::SetMouseLButton(int n) {
    if (m_nMouseLButton == n)
        return;
    m_nMouseLButton = n;
    if (n) {
        if (!CheckChild(m_pFocusControl))
            SetFocusControl(this);
        if (!m_pActiveControl && !m_dwActiveControlID) {
            m_pActiveControl = this;
            m_dwActiveControlID = m_dwControlID;
        }
        m_bActiveMouseLButtonMode = 1;
    }
    // The handler and the click may destroy this control: its ID is kept, and after a destruction
    // no member is read (a destroyed control has already given up the press it held).
    const DWORD id = m_dwControlID;
    TQ2DGUIDispatch dispatch;
    dispatch.Run([&] { OnMouseLButton(n); });
    if (n)
        return;
    dispatch.Run([&] {
        if (!m_bMoveMode && m_bMouseEnter && m_pParent)
            m_pParent->OnCommand(this, TQ2DGUI_COMMAND_CLICK);
    });
    if (HoldsActivePress(this, id))
        ClearActivePress();
}

void TQ2DGUIObject::SetMouseRButton(int n) {
    if (m_nMouseRButton == n)
        return;
    m_nMouseRButton = n;
    OnMouseRButton(n);
}

void TQ2DGUIObject::SetMouseMButton(int n) {
    if (m_nMouseMButton == n)
        return;
    m_nMouseMButton = n;
    OnMouseMButton(n);
}

// The value is this frame's notches: each frame's turn is delivered, also the same one again.
void TQ2DGUIObject::SetMouseWheel(int n) {
    m_nMouseWheel = n;
    if (n)
        OnMouseWheel(n);
}

// ---- Ordering ----

int TQ2DGUIObject::operator-(TQ2DGUIObject& other) {
    return TQCompare(m_dwControlID, other.m_dwControlID);
}

int TQ2DGUIObject::operator-(void* pKey) {
    if (!pKey)
        return -1;
    return TQCompare(m_dwControlID, *static_cast<const DWORD*>(pKey));
}
