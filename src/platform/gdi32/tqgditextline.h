// One line of GBK text laid out in a font: each character's glyph and pen position, with the
// DC's extra character spacing after every character.
#pragma once

#include "platform/gdi32/tqgdibitmap.h"
#include "platform/gdi32/tqgdifont.h"

#include <vector>

namespace tqplat {

class GdiTextLine {
public:
    // Invalid GBK sequences become "?"; a lead byte at the end is never read past.
    GdiTextLine(GdiFont& font, const char* gbk, size_t length, int extra);

    // Sum of the advances and spacing, in pixels (held to the int range).
    int Width() const { return m_width; }
    // Draws the glyphs with the cell's top-left corner at (x, top), within clip.
    void Draw(GdiBitmap& bitmap, int x, int top, const RECT& clip, uint32_t pixel) const;

private:
    struct Placed {
        const GlyphImage* glyph;
        long long penX;
    };
    std::vector<Placed> m_glyphs;
    int m_width = 0;
    int m_ascent;
};

} // namespace tqplat
