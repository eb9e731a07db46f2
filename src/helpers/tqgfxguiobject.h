// TQGfxGUIObject: the base of the controls of TQGfxGUI. A control has an id, flags, a screen
// rectangle and links in its manager's list; the manager calls the virtual hooks below as input
// arrives. The defaults do nothing; input hooks return true when they handled the event, which
// keeps the manager from offering the rest of the frame's events.
//
// Every control holds one device reference for its life. Controls live in one manager's list and
// cannot be copied.
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

    virtual void Render() = 0;
    // Once per frame, before any input.
    virtual void Update(float dt) { (void)dt; }
    // Start of an entering or leaving transition.
    virtual void Enter() {}
    virtual void Leave() {}
    // False while a transition is still running.
    virtual bool IsDone() { return true; }
    virtual void Focus(bool focused) { (void)focused; }
    virtual void MouseOver(bool over) { (void)over; }
    // Position relative to the control's top-left corner.
    virtual bool MouseMove(float x, float y) {
        (void)x;
        (void)y;
        return false;
    }
    virtual bool MouseLButton(bool down) {
        (void)down;
        return false;
    }
    virtual bool MouseRButton(bool down) {
        (void)down;
        return false;
    }
    virtual bool MouseWheel(int notches) {
        (void)notches;
        return false;
    }
    virtual bool KeyClick(int key, int chr) {
        (void)key;
        (void)chr;
        return false;
    }

    // True when the control can take the keyboard focus and the mouse: not static, visible and
    // enabled. Hidden controls and static captions let the mouse through to what lies beneath.
    bool CanFocus() const { return !bStatic && bVisible && bEnabled; }

    int id;
    bool bStatic;
    bool bVisible;
    bool bEnabled;
    TQGfxRect rect;
    TQGfxGUI* gui;
    TQGfxGUIObject* next;
    TQGfxGUIObject* prev;

protected:
    TQGfxDevice* m_pDevice;
};
