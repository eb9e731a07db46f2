/// @class TQ2DGUIEdit
/// TQ2DGUIEdit: a single-line text input.
///
/// While it has the focus it is the GUI's input control, the device window takes text input (the
/// input method runs only then; otherwise keys are the game's, see TQ2DInit), the input method's
/// candidate window opens beside its caret, and it receives the device window's messages
/// through the engine's window-procedure hook: typed characters (WM_CHAR, 32 and above) are
/// appended, Backspace removes the last character (both bytes of a double-byte GBK character),
/// Enter sends the parent TQ2DGUI_COMMAND_ENTER, and the input method's composition string is shown
/// in place of the blinking caret (it is never inserted: the input method delivers the result as
/// characters). Text is drawn with GDI into a texture and shown as a sprite. The text changes only
/// at its end, where the caret stands: there is no cursor movement, selection or clipboard. Text
/// wider than the edit scrolls so that its end and the caret (or the composition) stay in view. A double-byte
/// character that does not fit the buffer whole is refused whole.
///
/// An edit draws only its text and caret: no frame and no background. Put an image behind it (a
/// control with a lower ID, drawn first, such as an ADD_IMAGE line before the ADD_EDIT line of a
/// window file) to give it a box.
#pragma once

#include "base/tqstring.h"
#include "engine/tq2danimation.h"
#include "engine/tq2dsprite.h"
#include "gui/tq2dgdi.h"
#include "gui/tq2dguiobject.h"

class TQ2DGUIEdit : public TQ2DGUIObject {
public:
    /// A text buffer of 4097 bytes: at most 4096 bytes of text.
    TQ2DGUIEdit();
    /// Gives up text input when it has it.
    ~TQ2DGUIEdit() override;

    /// Copies the text (NULL: empty), cut to the buffer at a character boundary, and redraws.
    void SetText(const char* sz);
    /// The text.
    TQString& GetText() { return m_strText; }
    /// The buffer's size in bytes, the terminating zero included.
    void SetTextBuffer(unsigned long length);
    /// The buffer's size in bytes, the terminating zero included.
    unsigned long GetTextBuffer() const { return m_strText.GetBufferLength(); }
    /// GDI colours (0x00BBGGRR). The text colour shows at the next text change.
    void SetTextColor(DWORD color) { m_dwTextColor = color; }
    /// The text colour.
    DWORD GetTextColor() const { return m_dwTextColor; }
    /// Colour of the caret (0x00BBGGRR).
    void SetCaratColor(DWORD color);
    /// The caret colour.
    DWORD GetCaratColor() const { return m_dwCaratColor; }
    /// First colour of the blinking composition; shows at the next composition change.
    void SetCaratTextColor(DWORD color);
    /// The first composition colour.
    DWORD GetCaratTextColor() const { return m_dwCaratTextColor; }
    /// The IME composition being typed.
    TQString& GetComposition() { return m_strComposit; }
    /// The surface the text is drawn on.
    TQ2DGDI& GetGDI() { return m_GDI; }
    /// The text's sprite.
    TQ2DSprite& GetTextSprite() { return m_TextSprite; }
    /// The caret animation.
    TQ2DAnimation& GetCarat() { return m_Carat; }
    /// The composition's animation.
    TQ2DAnimation& GetCompositImage() { return m_Composit; }

    /// Redraws the text into a texture of the control's width and the font's height, scrolled so
    /// that the caret after the last character stays in view. Every size change redraws it too.
    virtual void BuildTexture();

    void OnRender(float x, float y) override;
    void OnUpdate(float fDelta, float x, float y) override;
    void OnSetSize(float w, float h) override;
    void OnSetFocusControl(int bFocus) override;
    /// Keys, characters and composition; always 0, so the device sees every message too.
    LRESULT OnWndProc(HWND hWnd, DWORD dwMsg, WPARAM& wParam, LPARAM& lParam) override;

    TQ_DECLARE_MEMORY_POOL(TQ2DGUIEdit)

protected:
    /// The caret: a one-pixel column, shown one frame and hidden the next.
    void BuildCarat();
    /// The composition string alternating between the caret text colour and the text colour;
    /// nothing when there is no composition.
    void BuildComposit();

private:
    int FontHeight();
    // Height of the caret and composition boxes: the smaller of the control's height less 4 and
    // the font's height plus 8, compared unsigned.
    DWORD BoxHeight();
    void StartBlinking(TQ2DAnimation& animation, float frameWidth, float frameHeight);
    void OnKeyDown(WPARAM key);
    void OnChar(BYTE c);
    void OnComposition(HWND hWnd, LPARAM flags);
    void TakeTextInput();
    void GiveUpTextInput();
    void PlaceCandidateWindow(float x, float y, TQ2DAnimation& marker);
    // True when the text ends with the lead byte of a double-byte character.
    bool EndsWithLeadByte() const;
    DWORD MaxTextLength() const;
    DWORD FirstCharShowingCaret(HDC dc, DWORD width);

    TQ2DGDI m_GDI;
    TQ2DSprite m_TextSprite;
    TQ2DAnimation m_Carat;
    TQ2DAnimation m_Composit;
    TQString m_strText;
    DWORD m_dwTextColor = 0x000000;
    DWORD m_dwCaratColor = 0x000000;
    DWORD m_dwCaratTextColor = 0xFFFFFF;
    bool m_bDropTrailByte = false;
    TQString m_strComposit;
    // The window whose text input this edit holds while it has the focus.
    HWND m_hTextInputWindow = nullptr;
};
