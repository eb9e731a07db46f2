// A device context: its colours, background mode, character spacing and the font and bitmap
// selected into it. A memory DC draws into its bitmap; a window or screen DC has no pixels.
#pragma once

#include "platform/gdi32/tqgdibitmap.h"
#include "platform/gdi32/tqgdifont.h"
#include "platform/gdi32/tqgdiobject.h"

#include <memory>

namespace tqplat {

class GdiDC : public GdiObject {
public:
    enum class Type { Memory, Window };

    GdiDC(Type type, std::shared_ptr<GdiFont> font, std::shared_ptr<GdiBitmap> bitmap);
    ~GdiDC() override;

    Type DCType() const { return m_type; }

    COLORREF TextColor() const { return m_textColor; }
    void SetTextColor(COLORREF color) { m_textColor = color; }
    COLORREF BkColor() const { return m_bkColor; }
    void SetBkColor(COLORREF color) { m_bkColor = color; }
    int BkMode() const { return m_bkMode; }
    void SetBkMode(int mode) { m_bkMode = mode; }
    int CharacterExtra() const { return m_extra; }
    void SetCharacterExtra(int extra) { m_extra = extra; }

    // Select an object and return the one it replaces; the bitmap variant returns null when the
    // DC has no pixels or the bitmap is selected elsewhere.
    std::shared_ptr<GdiFont> SelectFont(std::shared_ptr<GdiFont> font);
    std::shared_ptr<GdiBitmap> SelectBitmap(std::shared_ptr<GdiBitmap> bitmap);

    GdiFont& Font() { return *m_font; }
    const TEXTMETRICA& Metrics() const { return m_font->Metrics(); }
    SIZE TextExtent(const char* text, size_t length);

    // Text output with the cell's top-left corner at (x, y); ETO_OPAQUE fills *rect first and
    // ETO_CLIPPED keeps the text inside it. clip (when given) bounds every write.
    void TextOut(int x, int y, UINT options, const RECT* rect, const char* text, size_t length,
                 const RECT* clip = nullptr);

private:
    RECT DrawingClip(const RECT* clip) const;

    Type m_type;
    COLORREF m_textColor = 0x000000;
    COLORREF m_bkColor = 0xFFFFFF;
    int m_bkMode = 2; // OPAQUE
    int m_extra = 0;
    std::shared_ptr<GdiFont> m_font;
    std::shared_ptr<GdiBitmap> m_bitmap;
};

} // namespace tqplat
