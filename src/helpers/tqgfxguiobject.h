/// @class TQGfxGUIObject
/// TQGfxGUIObject: the base of the controls of TQGfxGUI. A control has an id, flags, a screen
/// rectangle and links in its manager's list; the manager calls the virtual hooks below as input
/// arrives. The defaults do nothing; input hooks return true when they handled the event, which
/// keeps the manager from offering the rest of the frame's events.
///
/// Every control holds one device reference for its life. Controls live in one manager's list and
/// cannot be copied.
#pragma once

#include "device/tqgfxdevice.h"
#include "device/tqgfxrect.h"

class TQGfxGUI;

class TQGfxGUIObject {
public:
    TQGfxGUIObject();
    TQGfxGUIObject(const TQGfxGUIObject&) = delete;
    TQGfxGUIObject& operator=(const TQGfxGUIObject&) = delete;
    virtual ~TQGfxGUIObject();

    /// Draws the control.
    virtual void Render() = 0;
    /// Once per frame, before any input.
    virtual void Update(float dt) { (void)dt; }
    /// Start of an entering or leaving transition.
    virtual void Enter() {}
    /// Start of a leaving transition.
    virtual void Leave() {}
    /// False while a transition is still running.
    virtual bool IsDone() { return true; }
    /// The control gained (true) or lost the keyboard focus.
    virtual void Focus(bool focused) { (void)focused; }
    /// The mouse came over (true) or left the control.
    virtual void MouseOver(bool over) { (void)over; }
    /// Position relative to the control's top-left corner.
    virtual bool MouseMove(float x, float y) {
        (void)x;
        (void)y;
        return false;
    }
    /// The left button went down or up; true when handled.
    virtual bool MouseLButton(bool down) {
        (void)down;
        return false;
    }
    /// The right button went down or up; true when handled.
    virtual bool MouseRButton(bool down) {
        (void)down;
        return false;
    }
    /// The wheel turned; true when handled.
    virtual bool MouseWheel(int notches) {
        (void)notches;
        return false;
    }
    /// A key was pressed (virtual key and character); true when handled.
    virtual bool KeyClick(int key, int chr) {
        (void)key;
        (void)chr;
        return false;
    }

    /// True when the control can take the keyboard focus and the mouse: not static, visible and
    /// enabled. Hidden controls and static captions let the mouse through to what lies beneath.
    bool CanFocus() const { return !bStatic && bVisible && bEnabled; }

    /// The id the manager finds the control by.
    int id;
    /// True: never takes the focus or input.
    bool bStatic;
    /// True: drawn and given input.
    bool bVisible;
    /// True: given input.
    bool bEnabled;
    /// Screen rectangle.
    TQGfxRect rect;
    /// The manager, set by AddCtrl.
    TQGfxGUI* gui;
    /// Next control in the manager's list.
    TQGfxGUIObject* next;
    /// Previous control in the manager's list.
    TQGfxGUIObject* prev;

protected:
    /// The device reference.
    TQGfxDevice* m_pDevice;
};
