/// @class TQGfxGUIText
/// TQGfxGUIText: a static line of text drawn with a bitmap font, vertically centred in its
/// rectangle and aligned left, right or centre. The font is not owned.
#pragma once

#include "helpers/tqgfxguiobject.h"

class TQGfxFont;

class TQGfxGUIText : public TQGfxGUIObject {
public:
    /// Covers (x, y) to (x + w, y + h); empty white text, left-aligned.
    TQGfxGUIText(int id, float x, float y, float w, float h, TQGfxFont* font);

    /// TQGFX_TEXT_LEFT, TQGFX_TEXT_RIGHT or TQGFX_TEXT_CENTER: the text starts at, ends at or is
    /// centred on the matching point of the rectangle.
    void SetMode(int align);
    /// Copies the text, cut to 255 bytes.
    void SetText(const char* text);
    /// Formats into the text (cut to 255 bytes).
    void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    /// Colour of the text (ARGB).
    void SetColor(DWORD color) { m_dwCol = color; }

    /// The text.
    const char* GetText() const { return m_szText; }

    /// Sets the font's colour and draws the text.
    void Render() override;

private:
    TQGfxFont* m_pFont;
    float m_fTextX, m_fTextY;
    int m_nAlign;
    char m_szText[256];
    DWORD m_dwCol;
};
