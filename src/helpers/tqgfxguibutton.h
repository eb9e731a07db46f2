/// @class TQGfxGUIButton
/// TQGfxGUIButton: a two-state image button. Its up and down images sit side by side in a texture:
/// the up image at (tx, ty) and the down image right of it, both the button's size. A normal button
/// is down while held; a trigger button toggles on each release over it (a release elsewhere
/// cancels the press). A release reports true to the manager.
#pragma once

#include "helpers/tqgfxguiobject.h"

class TQGfxSprite;

class TQGfxGUIButton : public TQGfxGUIObject {
public:
    /// Covers (x, y) to (x + w, y + h); a normal button, up.
    TQGfxGUIButton(int id, float x, float y, float w, float h, DWORD texture, float tx, float ty);
    ~TQGfxGUIButton() override;

    /// True makes a trigger (toggle) button.
    void SetMode(bool trigger) { m_bTrigger = trigger; }
    /// Sets the pressed state.
    void SetState(bool pressed) { m_bPressed = pressed; }
    /// True while pressed (a normal button while held; a trigger button while toggled on).
    bool GetState() const { return m_bPressed; }

    /// The down image while pressed, else the up image, at the top-left corner.
    void Render() override;
    /// Presses on down; on release a normal button comes up, a trigger button toggles; true on release.
    bool MouseLButton(bool down) override;

private:
    bool m_bTrigger;
    bool m_bPressed;
    bool m_bOldState;
    TQGfxSprite* m_pSprUp;
    TQGfxSprite* m_pSprDown;
};
