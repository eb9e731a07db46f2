/// @file
/// TQ2DGUIObject: the base of every GUI control and the node of the control tree the host owns.
///
/// A control holds its state (shown, enabled, draggable, popup, checked, group, position, size,
/// mouse state), its children and the virtual handlers the controls override. Positions are
/// relative to the parent's position. Children are kept in drawing and update order and indexed by
/// control ID, so IDs are unique among the children of one parent. A child added with auto-delete
/// is owned by its parent: removing it from the parent, or destroying the parent, deletes it;
/// deleting an owned child directly first takes it out of its parent's list.
///
/// One set of class-wide statics holds the focus, mouse-capture, modal and input controls, the ID
/// of the control that took the current left-button press, and the modal controls waiting to
/// return.
///
/// Handlers named On... run after the new state is stored and only when the state really changed
/// (SetPos and SetSize always call theirs). A control notifies its parent with OnCommand(this, code):
/// TQ2DGUI_COMMAND_CLICK on a left-button release over it, TQ2DGUI_COMMAND_CHANGED for state changes
/// of the controls, TQ2DGUI_COMMAND_ENTER for Enter in an edit control.
///
/// A handler may destroy controls, the very one it runs on included. The update pass and group
/// exclusion make every handler call through a TQ2DGUIDispatch, which stops the calls after a
/// destruction.
///
/// Controls are not copyable: a control stands in a tree (parent pointer, owned children, statics
/// pointing at it), and a memberwise copy would share or double-free that tree.
#pragma once

#include "base/tqstring.h"
#include "containers/tqlisttmpl.h"
#include "containers/tqmemorypooltmpl.h"
#include "engine/tq2dtypes.h"
#include "platform/win32/tqwintypes.h"

class TQ2DGUIDispatch;

/// Command codes a control sends to its parent.
enum : DWORD {
    TQ2DGUI_COMMAND_CHANGED = 0,
    TQ2DGUI_COMMAND_ENTER = 1,
    TQ2DGUI_COMMAND_CLICK = 0xFFFFFFFF,
};

/// Base of every GUI control and node of the control tree; see tq2dguiobject.h.
class TQ2DGUIObject {
public:
    /// The children, in drawing and update order, indexed by control ID.
    typedef TQListExTmpl<TQ2DGUIObject> ControlList;

    TQ2DGUIObject() = default;
    TQ2DGUIObject(const TQ2DGUIObject&) = delete;
    TQ2DGUIObject& operator=(const TQ2DGUIObject&) = delete;
    /// Clears the control's state (focus, capture, modal, input, active ID), leaves the parent's
    /// list, deletes the owned children and detaches the others (their parent becomes NULL).
    virtual ~TQ2DGUIObject();

    // ---- Handlers (the base does nothing unless said) ----
    /// Every frame the control is under the mouse or holds the capture, after the mouse setters.
    virtual void OnIdle() {}
    /// Draws the control with its top-left corner at the absolute point (x, y).
    virtual void OnRender(float, float) {}
    /// Called on a parent after a child drew itself at (x, y).
    virtual void OnRenderChild(TQ2DGUIObject*, float, float) {}
    /// Per-frame update: frame time and the mouse in the parent's coordinates.
    virtual void OnUpdate(float, float, float) {}
    /// A child's notification.
    virtual void OnCommand(TQ2DGUIObject*, DWORD) {}
    /// Maps a name in a window description file to a control ID; 0 = read the field as a number.
    virtual DWORD OnGetControlID(const char*) { return 0; }
    /// The position was set to (x, y).
    virtual void OnSetPos(float, float) {}
    /// The size was set to (w, h).
    virtual void OnSetSize(float, float) {}
    /// The status (checked state) changed.
    virtual void OnSetStatus(int) {}
    /// The control was shown (1) or hidden (0).
    virtual void OnSetShowMode(int) {}
    /// The control was enabled (1) or disabled (0).
    virtual void OnSetEnableMode(int) {}
    /// 1 when the control gains the focus, 0 when it loses it.
    virtual void OnSetFocusControl(int) {}
    /// Nonzero: checking the control unchecks the checked siblings of its group.
    virtual int OnCheckGroup() { return 0; }
    /// The mouse entered the control.
    virtual void OnMouseEnter() {}
    /// The mouse left the control.
    virtual void OnMouseLeave() {}
    /// The mouse moved; (x, y) relative to the control's position.
    virtual void OnMouseMove(float, float) {}
    /// The left button went down (1) or up (0) over the control.
    virtual void OnMouseLButton(int) {}
    /// The right button went down (1) or up (0) over the control.
    virtual void OnMouseRButton(int) {}
    /// The middle button went down (1) or up (0) over the control.
    virtual void OnMouseMButton(int) {}
    /// A nonzero wheel value arrived.
    virtual void OnMouseWheel(int) {}
    /// A window message offered to the input control before the device sees it. The control may
    /// change wParam and lParam; a nonzero result is returned at once and the device never sees the
    /// message. The base handles nothing (0).
    virtual LRESULT OnWndProc(HWND hWnd, DWORD dwMsg, WPARAM& wParam, LPARAM& lParam);
    /// 1 when (x, y), in the parent's coordinates, lies in the control's half-open rectangle.
    virtual int OnHitTest(float x, float y);

    // ---- Accessors ----
    /// 1 while shown.
    int GetShowMode() const { return m_bShowMode; }
    /// 1 while enabled.
    int GetEnableMode() const { return m_bEnableMode; }
    /// Nonzero while the control can be dragged.
    int GetMoveMode() const { return m_bMoveMode; }
    /// Nonzero while open as a popup.
    int GetPopupMode() const { return m_bPopupMode; }
    /// The control ID, unique among its siblings.
    DWORD GetControlID() const { return m_dwControlID; }
    /// The control's key (its name in a window description file).
    TQString& GetControlKey() { return m_strControlKey; }
    /// The status (checked state of buttons).
    int GetStatus() const { return m_nStatus; }
    /// The group; checked controls of one nonzero group exclude each other.
    DWORD GetGroup() const { return m_dwGroup; }
    /// A type ID for the host's use.
    DWORD GetUserTypeID() const { return m_dwUserTypeID; }
    /// Position relative to the parent's position.
    TQ2D_POINT_tag& GetPos() { return m_ptPos; }
    /// Width and height.
    TQ2D_POINT_tag& GetSize() { return m_ptSize; }
    /// Last mouse position, relative to the control.
    TQ2D_POINT_tag& GetMousePos() { return m_ptMousePos; }
    /// 1 while the mouse is over the control.
    int GetMouseEnter() const { return m_bMouseEnter; }
    /// Left button state over the control (nonzero: down).
    int GetMouseLButton() const { return m_nMouseLButton; }
    /// Right button state over the control.
    int GetMouseRButton() const { return m_nMouseRButton; }
    /// Middle button state over the control.
    int GetMouseMButton() const { return m_nMouseMButton; }
    /// Wheel value of this frame.
    int GetMouseWheel() const { return m_nMouseWheel; }
    /// The move range as left, top, right (x + w - 1) and bottom (y + h - 1) (see SetMoveRange).
    TQ2D_RECT_tag& GetMoveRange() { return m_rcMoveRange; }
    /// The parent, NULL for a root.
    TQ2DGUIObject* GetParent() const { return m_pParent; }
    /// The children.
    ControlList& GetControlList() { return m_ControlList; }

    /// Only store. Change the control ID only while the control is in no list: lists index by it.
    void SetControlID(DWORD id) { m_dwControlID = id; }
    /// Stores the key.
    void SetControlKey(const char* key) { m_strControlKey = key; }
    /// Stores the group.
    void SetGroup(DWORD group) { m_dwGroup = group; }
    /// Stores the host's type ID.
    void SetUserTypeID(DWORD id) { m_dwUserTypeID = id; }
    /// Stores the parent only (AddControl links both ways).
    void SetParent(TQ2DGUIObject* parent) { m_pParent = parent; }

    // ---- Class-wide state ----
    /// The control with the focus, NULL when none.
    static TQ2DGUIObject* GetFocusControl() { return m_pFocusControl; }
    /// The control holding the mouse capture, NULL when none.
    static TQ2DGUIObject* GetMouseCapture() { return m_pMouseCaptureControl; }
    /// The modal control, NULL when none.
    static TQ2DGUIObject* GetModalControl() { return m_pModalControl; }
    /// The control that receives keyboard and IME messages (NULL when none).
    static TQ2DGUIObject* GetInputControl() { return m_pInputControl; }
    /// ID of the control that took the current left-button press, 0 when none.
    static DWORD GetActiveControlID() { return m_dwActiveControlID; }
    /// The control that took the current left-button press (NULL when none, or when the host set
    /// the active ID itself).
    static TQ2DGUIObject* GetActiveControl() { return m_pActiveControl; }
    /// Stores the capture control (no handlers run).
    static void SetMouseCapture(TQ2DGUIObject* control) { m_pMouseCaptureControl = control; }
    /// Stores the input control; from then on the engine offers the device window's messages to
    /// whichever control is the input control (OnWndProc) before the device sees them.
    static void SetInputControl(TQ2DGUIObject* control);
    /// Stores the ID; the press then belongs to no control object.
    static void SetActiveControlID(DWORD id);
    /// True when no GUI press is active and no modal control is set: the host may use the left
    /// button for itself.
    static bool GetActiveMouseLButtonMode();
    /// The modal controls waiting to return, earliest displaced first (never owned).
    static ControlList& GetModalControlList() { return m_ModalControlList; }

    // ---- Tree ----
    /// Appends child at the tail (owned when bAutoDelete is nonzero): 1, or 0 for NULL or an ID
    /// already taken among the children. Siblings need distinct IDs: a refused child is not added
    /// (the caller still owns it) and one error line names the ID.
    int AddControl(TQ2DGUIObject* pChild, int bAutoDelete);
    /// Removes the child with that ID (deleting it when owned); nothing when there is none.
    void DelControl(DWORD dwID);
    /// Removes p when it is a child of this control (deleting it when owned).
    void DelControl(TQ2DGUIObject* p);
    /// The direct child with that ID, or NULL.
    TQ2DGUIObject* GetControl(DWORD dwID);
    /// 1 when p is this control's parent or a further ancestor.
    int CheckParent(TQ2DGUIObject* p);
    /// 1 when p lies anywhere below this control.
    int CheckChild(TQ2DGUIObject* p);
    /// Unchecks every other checked child in p's nonzero group when p is checked.
    void UpdateGroupControl(TQ2DGUIObject* p);

    // ---- State setters ----
    /// Moves the control (relative to its parent) and calls OnSetPos.
    void SetPos(float x, float y);
    /// Resizes the control and calls OnSetSize.
    void SetSize(float w, float h);
    /// Showing focuses the control unless bNoFocus; hiding clears its state and its subtree's.
    void SetShowMode(int bShow, int bNoFocus);
    /// Disabling clears the control's state and its subtree's.
    void SetEnableMode(int bEnable);
    /// Checking a control that takes part in group exclusion unchecks its group's siblings.
    void SetStatus(int n);
    /// 0 also releases the capture.
    void SetMoveMode(int n);
    /// Nonzero opens the control as a popup (shown, focused, capturing, modal); 0 closes it.
    void SetPopupMode(int n);
    /// The rectangle, in the parent's coordinates, that the WHOLE control is kept inside: the
    /// position is held so that the control's right and bottom edges stay within it too (set the
    /// screen's or the parent's size to keep a dragged window on it). Applied at once and at every
    /// drag step; width and height 0 unset it.
    void SetMoveRange(float x, float y, float w, float h);

    /// Gives this control the focus (SetFocusControl).
    void SetFocus() { SetFocusControl(this); }
    /// Drops the focus when this control has it.
    void KillFocus();
    /// Nonzero takes the mouse capture; 0 releases it when this control holds it.
    void CaptureMouse(int b);
    /// Tells the old focus control, stores p, tells p, and moves every ancestor of p, and p itself
    /// when it has children, to the tails of their parents' lists (drawn and updated last: on top).
    static void SetFocusControl(TQ2DGUIObject* p);
    /// Makes p the modal control, saving a different current one for later.
    static void SetModalControl(TQ2DGUIObject* p);
    /// Drops p from the saved modal controls, or (when p is the modal control, NULL, or no modal
    /// control is set) brings back the earliest saved one.
    static void ClearModalControl(TQ2DGUIObject* p);
    /// Clears the state of the control and its subtree: capture, modal, active ID, focus, input
    /// control and mouse state (without handlers).
    void ClearStatus();
    /// Keeps (x, y) inside the move range and moves the control when it corrected anything.
    /// Returns bit 1 when x changed, bit 2 when y changed.
    unsigned char AdjustPosRange(float& x, float& y);

    // ---- Per-frame passes ----
    /// Update pass over the subtree; (x, y) is the mouse in the parent's coordinates. Only the
    /// topmost enabled control under the mouse (the deepest of the last-drawn subtree there) and its
    /// ancestors under the mouse are entered: they alone take presses, clicks and the wheel. What
    /// lies under the mouse is tested while the left button is up and in the frame it goes down; a
    /// control pressed and dragged out stays entered until the release. A handler may remove (and
    /// so delete) controls, a dialog closing on a click for one: the pass then ends for this frame.
    void UpdateGUI(float fDelta, float x, float y);
    /// Render pass over the subtree; (x, y) is the parent's absolute origin.
    void RenderGUI(float x, float y);

    // ---- Mouse setters (each acts only on a change; the wheel on every nonzero value) ----
    /// 1: the mouse is over the control (OnMouseEnter / OnMouseLeave).
    void SetMouseEnter(int n);
    /// Mouse position relative to the control (OnMouseMove).
    void SetMousePos(float x, float y);
    /// Left button state; a press focuses the control and makes it the active control.
    void SetMouseLButton(int n);
    /// Right button state (OnMouseRButton).
    void SetMouseRButton(int n);
    /// Middle button state (OnMouseMButton).
    void SetMouseMButton(int n);
    /// Wheel value (OnMouseWheel when nonzero).
    void SetMouseWheel(int n);

    /// Order of the child index: the sign of the control IDs' comparison; against a key, a pointer
    /// to a control ID (-1 for NULL).
    int operator-(TQ2DGUIObject& other);
    /// Against a key: a pointer to a control ID (-1 for NULL).
    int operator-(void* pKey);

    TQ_DECLARE_MEMORY_POOL(TQ2DGUIObject)

protected:
    /// True once per update pass when this frame's key is key: one key press acts on one control
    /// (one Escape closes one popup).
    static bool TakeKey(int key);
    /// One child's update with the frame's input; (x, y) in this control's coordinates.
    void UpdateGUIControl(TQ2DGUIObject* pControl, float fDelta, float x, float y, int nLButton, int nRButton,
                          int nMButton, int nWheel);

private:
    // Whether another control blocks input to this one (a modal or capture control outside its
    // ancestry).
    bool IsBlockedBy(TQ2DGUIObject* holder);
    // Whether this control or an ancestor was shown while the left button is still down.
    bool AwaitsRelease() const;
    void UpdateSubtree(float fDelta, float x, float y);
    TQ2DGUIObject* FindMouseTarget(float x, float y);
    // Enabled, not blocked and hit at (x, y) in the parent's coordinates.
    bool TakesMouseAt(float x, float y);
    // The pass's mouse target or one of its ancestors, and hit at (x, y).
    bool IsUnderMouse(float x, float y);
    static bool HoldsActivePress(const TQ2DGUIObject* control, DWORD id);
    static void ClearActivePress();
    // The element holding exactly this control in the parent's list, NULL when none.
    ControlList::Element* ElementInParent();
    void DetachChildren();
    // The first child other than p that is checked and in p's group, NULL when none or p is
    // unchecked.
    TQ2DGUIObject* OtherCheckedInGroup(TQ2DGUIObject* p);
    static void ForgetControl(TQ2DGUIObject* p);
    // The button and wheel setters of pControl in order, each through the dispatch.
    static void DeliverMouseState(TQ2DGUIDispatch& dispatch, TQ2DGUIObject* pControl, int nLButton,
                                  int nRButton, int nMButton, int nWheel);

    int m_bShowMode = 1;
    int m_bEnableMode = 1;
    int m_bMoveMode = 0;
    int m_bPopupMode = 0;
    DWORD m_dwControlID = 0;
    TQString m_strControlKey;
    int m_nStatus = 0;
    DWORD m_dwGroup = 0;
    DWORD m_dwUserTypeID = 0;
    TQ2D_POINT_tag m_ptPos = {0.0f, 0.0f};
    TQ2D_POINT_tag m_ptSize = {0.0f, 0.0f};
    TQ2D_POINT_tag m_ptMousePos = {0.0f, 0.0f};
    TQ2D_POINT_tag m_ptMouseInParent = {0.0f, 0.0f};
    // On a root: the left button at its last update pass. A root that has run none counts it as
    // held: a button already down when it first looks is not a press.
    int m_nPassLButton = 1;
    // Shown while the left button was down: neither it nor its subtree takes that press.
    bool m_bAwaitRelease = false;
    int m_bMouseEnter = 0;
    int m_nMouseLButton = 0;
    int m_nMouseRButton = 0;
    int m_nMouseMButton = 0;
    int m_nMouseWheel = 0;
    TQ2D_RECT_tag m_rcMoveRange = {0.0f, 0.0f, 0.0f, 0.0f};
    TQ2DGUIObject* m_pParent = nullptr;
    ControlList m_ControlList;

    static int m_bActiveMouseLButtonMode;
    static DWORD m_dwActiveControlID;
    static TQ2DGUIObject* m_pFocusControl;
    static TQ2DGUIObject* m_pMouseCaptureControl;
    static TQ2DGUIObject* m_pModalControl;
    static TQ2DGUIObject* m_pInputControl;
    static TQ2DGUIObject* m_pActiveControl;
    // The control the mouse points at during an update pass.
    static TQ2DGUIObject* m_pMouseTarget;
    // Whether a control took this pass's key.
    static bool m_bKeyTaken;
    // Whether the left button went down since the root's last pass: the mouse may have moved onto
    // a control in the same frame, so what lies under it is tested then too.
    static bool m_bPressFrame;
    // Update passes running (a handler may start one on another tree).
    static int m_nPassDepth;
    static ControlList m_ModalControlList;
};
