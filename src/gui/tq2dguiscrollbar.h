/// @file
/// TQ2DGUIScrollBar: a vertical or horizontal scroll bar of three push buttons, two arrows and a
/// thumb sliding on the track between them.
///
/// The scroll position runs from 0 to the maximum range. It moves by arrow clicks (one step each),
/// by holding an arrow (one step on the press, the next after 300 ms, then every 50 ms, tested
/// every frame), by dragging the thumb, by pressing the track (the thumb centres on the mouse) and
/// by the wheel turned over the bar (one step a notch). Every change is reported to the parent as
/// TQ2DGUI_COMMAND_CHANGED. A range of 0 disables the parts and ignores all input.
///
/// The parts are members and children of the bar (not owned through the list).
#pragma once

#include "gui/tq2dguibutton.h"

/// Scroll-bar types. The type is int-sized so that any number a description file gives is a valid
/// value (an unknown type lays out only the first arrow).
enum T_TQ2DSCROLLBAR : int {
    TQ2DSCROLLBAR_VERTICAL = 0,
    TQ2DSCROLLBAR_HORIZONTAL = 1,
};

/// A scroll bar of two arrows and a thumb; see tq2dguiscrollbar.h.
class TQ2DGUIScrollBar : public TQ2DGUIObject {
public:
    /// Parts with control IDs 1 (up or left arrow), 2 (down or right arrow), 3 (thumb); range 100.
    TQ2DGUIScrollBar();
    ~TQ2DGUIScrollBar() override = default;

    /// The layout follows at the next CalculatePos.
    void SetScrollType(T_TQ2DSCROLLBAR type) { m_eScrollType = type; }
    /// The scroll-bar type.
    T_TQ2DSCROLLBAR GetScrollType() const { return m_eScrollType; }
    /// Faces of the arrows and the thumb from animation description files. A bar without a size
    /// takes one from its parts; otherwise it is laid out again. 1.
    int SetTexture(const char* szUp, const char* szDown, const char* szBar);
    /// Stores the range, brings the position into it and enables the parts for a nonzero one.
    void SetMaxScrollRange(DWORD n);
    /// The maximum scroll position.
    DWORD GetMaxScrollRange() const { return m_dwMaxScrollRange; }
    /// The scroll position, 0..range.
    DWORD GetScrollPos() const { return m_dwScrollPos; }
    /// Clamps n into 0..range and, on a change, moves the thumb and tells the parent.
    void SetScrollPos(int n);
    /// Thumb offset along the track (clamped to it), turned into a scroll position.
    void SetBarPos(float p);
    /// Length of the track the thumb slides on, in pixels.
    float GetTrackLength() const { return m_fTrackLength; }
    /// Lays the parts out along the axis.
    void CalculatePos();

    /// The up or left arrow (child 1).
    TQ2DGUIButton& GetUpButton() { return m_Up; }
    /// The down or right arrow (child 2).
    TQ2DGUIButton& GetDownButton() { return m_Down; }
    /// The thumb (child 3).
    TQ2DGUIButton& GetBarButton() { return m_Bar; }

    void OnIdle() override;
    void OnCommand(TQ2DGUIObject* pSender, DWORD dwCommand) override;
    void OnSetSize(float w, float h) override;
    void OnSetEnableMode(int n) override;
    void OnMouseMove(float x, float y) override;
    void OnMouseLButton(int n) override;
    void OnMouseWheel(int n) override;

    TQ_DECLARE_MEMORY_POOL(TQ2DGUIScrollBar)

private:
    bool IsVertical() const { return m_eScrollType == TQ2DSCROLLBAR_VERTICAL; }
    // Along the axis: a point's coordinate, a face's extent.
    float Along(const TQ2D_POINT_tag& point) const { return IsVertical() ? point.y : point.x; }
    float FaceExtent(TQ2DGUIButton& part) const;
    void NotifyParent();
    // Clamps n into 0..range and, on a change, moves the thumb and tells the parent.
    void ScrollTo(LONGLONG n);
    void StartRepeatOrTrackPress(int n);

    T_TQ2DSCROLLBAR m_eScrollType = TQ2DSCROLLBAR_VERTICAL;
    TQ2DGUIButton m_Up;
    TQ2DGUIButton m_Down;
    TQ2DGUIButton m_Bar;
    DWORD m_dwScrollPos = 0;
    DWORD m_dwMaxScrollRange = 100;
    float m_fTrackLength = 0.0f;
    int m_bDragging = 0;
    float m_fDragOffset = 0.0f;
    DWORD m_dwRepeatTime = 0;
    DWORD m_dwRepeatDelay = 0;
};
