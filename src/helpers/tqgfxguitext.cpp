#include "helpers/tqgfxguitext.h"

#include "helpers/tqgfxfont.h"

#include <cstdarg>
#include <cstdio>

TQGfxGUIText::TQGfxGUIText(int ctrlId, float x, float y, float w, float h, TQGfxFont* font)
    : m_pFont(font), m_fTextX(x), m_fTextY(y + (h - (font ? font->GetHeight() : 0)) / 2),
      m_nAlign(TQGFX_TEXT_LEFT), m_szText(), m_dwCol(0xFFFFFFFF) {
    id = ctrlId;
    bStatic = true;
    rect.Set(x, y, x + w, y + h);
}

void TQGfxGUIText::SetMode(int align) {
    m_nAlign = align;
    if (align == TQGFX_TEXT_RIGHT)
        m_fTextX = rect.x2;
    else if (align == TQGFX_TEXT_CENTER)
        m_fTextX = (rect.x1 + rect.x2) / 2;
    else
        m_fTextX = rect.x1;
}

void TQGfxGUIText::SetText(const char* text) {
    std::snprintf(m_szText, sizeof(m_szText), "%s", text ? text : "");
}

void TQGfxGUIText::printf(const char* format, ...) {
    m_szText[0] = 0;
    if (!format) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(m_szText, sizeof(m_szText), format, args);
    va_end(args);
}

void TQGfxGUIText::Render() {
    if (!m_pFont)
        return;
    m_pFont->SetColor(m_dwCol);
    m_pFont->Render(m_fTextX, m_fTextY, m_szText, m_nAlign);
}
