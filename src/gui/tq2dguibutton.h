/// @file
/// TQ2DGUIButton: a button whose face is a four-frame animation, working as a push, group (radio)
/// or toggle button.
///
/// Face frames: 0 normal, 1 under the mouse, 2 pressed or checked, 3 disabled (push button) or
/// checked and under the mouse. A push button sends its parent TQ2DGUI_COMMAND_CHANGED on the press
/// over it; group and toggle buttons send it on every change of their status (checked). Every
/// button sends the click on the release over it. Checking a group button unchecks the checked
/// buttons of its group under the same parent.
#pragma once

#include "engine/tq2danimation.h"
#include "gui/tq2dguiobject.h"

/// Button types. The type is int-sized so that any number a description file gives is a valid
/// value (an unknown type acts as none of these).
enum T_TQ2DBUTTON : int {
    TQ2DBUTTON_PUSH = 0,
    TQ2DBUTTON_GROUP = 1,
    TQ2DBUTTON_TOGGLE = 2,
};

/// A push, group or toggle button with an animated face; see tq2dguibutton.h.
class TQ2DGUIButton : public TQ2DGUIObject {
public:
    TQ2DGUIButton() = default;
    ~TQ2DGUIButton() override = default;

    /// Push, group (radio) or toggle button.
    void SetButtonType(T_TQ2DBUTTON type) { m_eButtonType = type; }
    /// The button type.
    T_TQ2DBUTTON GetButtonType() const { return m_eButtonType; }
    /// The face animation (four frames).
    TQ2DAnimation& GetTexture() { return m_Face; }
    /// Builds the face from an animation description file: 0 when that fails; else shows frame 0
    /// (stopped) and, when the button has no size yet, takes the face's size. 1.
    int SetTexture(const char* szFile);

    void OnRender(float x, float y) override;
    void OnUpdate(float fDelta, float x, float y) override;
    void OnSetStatus(int n) override;
    void OnSetShowMode(int n) override;
    void OnSetEnableMode(int n) override;
    int OnCheckGroup() override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnMouseLButton(int n) override;

    TQ_DECLARE_MEMORY_POOL(TQ2DGUIButton)

private:
    enum Frame { kNormal = 0, kHover = 1, kChecked = 2, kDisabledOrCheckedHover = 3 };
    void NotifyParent();

    T_TQ2DBUTTON m_eButtonType = TQ2DBUTTON_PUSH;
    TQ2DAnimation m_Face;
};
