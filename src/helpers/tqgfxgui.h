/// @file
/// TQGfxGUI: a small GUI on top of the device. It keeps a list of controls (TQGfxGUIObject) in the
/// order added, reads the mouse and keyboard once per frame in Update, moves the keyboard focus
/// with the arrow keys, tracks the control under the mouse (the last added wins where controls
/// overlap), lets a control that took a button press keep the mouse until both buttons are up, and
/// renders the controls and a mouse cursor.
///
/// Enter and Leave start transitions of every control; while one runs, controls are updated but get
/// no input. After a leave, input stays off until Enter.
///
/// The manager draws no focus mark: a game that moves the focus with the keys draws one itself,
/// for instance a frame around GetCtrl(GetFocus())->rect after Render.
///
/// The manager owns its controls (deleted by DelCtrl and the destructor) but not the cursor sprite.
/// It holds one device reference for its life and cannot be copied.
#pragma once

#include "helpers/tqgfxguiobject.h"

class TQGfxSprite;

/// Navigation-mode bits.
#define TQGFX_GUI_NONAVKEYS 0
/// Left and right arrows move the focus.
#define TQGFX_GUI_LEFTRIGHT 1
/// Up and down arrows move the focus.
#define TQGFX_GUI_UPDOWN 2
/// The focus wraps around at the ends.
#define TQGFX_GUI_CYCLED 4

/// A small GUI manager; see tqgfxgui.h.
class TQGfxGUI {
public:
    TQGfxGUI();
    TQGfxGUI(const TQGfxGUI&) = delete;
    TQGfxGUI& operator=(const TQGfxGUI&) = delete;
    ~TQGfxGUI();

    /// Appends `ctrl` to the end of the list and takes ownership (NULL does nothing).
    void AddCtrl(TQGfxGUIObject* ctrl);
    /// Removes and deletes the first control with `id`; an unknown id does nothing.
    void DelCtrl(int id);
    /// The first control with `id`, or NULL.
    TQGfxGUIObject* GetCtrl(int id) const;

    /// Moves the control's top-left corner to (x, y), keeping its size.
    void MoveCtrl(int id, float x, float y);
    /// Shows or hides the control with `id`; an unknown id does nothing.
    void ShowCtrl(int id, bool visible);
    /// Enables or disables the control with `id`; an unknown id does nothing.
    void EnableCtrl(int id, bool enabled);

    /// TQGFX_GUI_* bits.
    void SetNavMode(int mode) { m_nNavMode = mode; }
    /// Drawn at the mouse with its hot spot; NULL for none. Not owned.
    void SetCursor(TQGfxSprite* sprite) { m_pCursor = sprite; }
    /// Gives the focus to the control with `id` when it can take it; an id of no control takes the
    /// focus away.
    void SetFocus(int id);
    /// The focused control's id, or 0.
    int GetFocus() const { return m_pCtrlFocus ? m_pCtrlFocus->id : 0; }

    /// Starts every control's entering transition and turns input on.
    void Enter();
    /// Starts every control's leaving transition; input stays off until Enter.
    void Leave();
    /// Visible controls in list order, then the cursor.
    void Render();
    /// One frame of input handling.
    void Update(float dt);

private:
    TQGfxGUIObject* LastCtrl() const;
    void ReadInput();
    // False while a transition keeps input off.
    bool TransitionDone();
    // Arrow-key navigation; returns false when `key` is no navigation key of the mode.
    bool Navigate(int key);
    // The next control that can take the focus, stepping forwards or backwards.
    TQGfxGUIObject* FindFocusable(bool forwards) const;
    void MoveFocus(TQGfxGUIObject* ctrl);
    void TrackMouse();
    void SetOver(TQGfxGUIObject* ctrl);
    // Offers this frame's button, wheel and move events to `ctrl`.
    void ProcessCtrl(TQGfxGUIObject* ctrl);

    TQGfxDevice* m_pDevice;
    TQGfxGUIObject* m_pCtrls;
    TQGfxGUIObject* m_pCtrlLock;
    TQGfxGUIObject* m_pCtrlFocus;
    TQGfxGUIObject* m_pCtrlOver;
    int m_nNavMode;
    int m_nEnterLeave;
    TQGfxSprite* m_pCursor;
    float m_fMouseX, m_fMouseY;
    int m_nWheel;
    bool m_bLPressed, m_bLLastPressed;
    bool m_bRPressed, m_bRLastPressed;
};
