/// @class TQ2DGUIStatic
/// TQ2DGUIStatic: a text drawn with GDI into a sprite's texture, redrawn whenever the text or the
/// size changes. Only inked pixels show. The text is drawn in the surface's font and text colour,
/// black unless the game changes it on the surface's device context, where the next redraw
/// (BuildTexture, SetText, SetSize) shows it:
/// @code
///   SetTextColor(text->GetGDI().GetHDC(), RGB(0xE0, 0xE8, 0xFF));   // platform/gdi32/tqgdi32.h
///   text->BuildTexture();
/// @endcode
/// It takes no mouse input: a caption over a button leaves the clicks to the button.
#pragma once

#include "base/tqstring.h"
#include "engine/tq2dsprite.h"
#include "gui/tq2dgdi.h"
#include "gui/tq2dguiobject.h"

class TQ2DGUIStatic : public TQ2DGUIObject {
public:
    /// Transparent text background; alignment 0x24 (left, vertically centred, single line).
    TQ2DGUIStatic();
    ~TQ2DGUIStatic() override = default;

    /// Stores the text with the escapes `\r`, `\n` and `\t` turned into their characters, and redraws.
    void SetText(const char* sz);
    /// The text.
    TQString& GetText() { return m_strText; }
    /// DrawTextA format flags; the new alignment shows at the next redraw.
    void SetAlign(DWORD align) { m_dwAlign = align; }
    /// The DrawTextA format flags.
    DWORD GetAlign() const { return m_dwAlign; }
    /// The surface the text is drawn on.
    TQ2DGDI& GetGDI() { return m_GDI; }
    /// The sprite showing the text.
    TQ2DSprite& GetSprite() { return m_Sprite; }

    /// Redraws the text into a new texture of the control's size (nothing is drawn for an empty or
    /// impossible size).
    virtual void BuildTexture();

    void OnRender(float x, float y) override;
    void OnSetSize(float w, float h) override;
    /// 0: a caption lets the mouse through to what lies beneath it (the button it labels, the
    /// window it titles).
    int OnHitTest(float x, float y) override;

    TQ_DECLARE_MEMORY_POOL(TQ2DGUIStatic)

private:
    TQ2DGDI m_GDI;
    TQ2DSprite m_Sprite;
    TQString m_strText;
    DWORD m_dwAlign = DT_VCENTER | DT_SINGLELINE;
};
