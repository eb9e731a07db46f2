#include "platform/gdi32/tqgditextline.h"

#include "platform/codepage/tqcodepage.h"

#include <algorithm>
#include <cstdint>

namespace tqplat {
namespace {

// Decodes well-formed UTF-8 (as the converter produces) into code points.
std::vector<uint32_t> CodePoints(const std::string& utf8) {
    std::vector<uint32_t> points;
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        uint32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
        ++i;
        for (int k = 0; k < extra && i < utf8.size(); ++k, ++i)
            point = (point << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        points.push_back(point);
    }
    return points;
}

} // namespace

GdiTextLine::GdiTextLine(GdiFont& font, const char* gbk, size_t length, int extra)
    : m_ascent(font.Metrics().tmAscent) {
    std::vector<uint32_t> points = CodePoints(GbkToUtf8(gbk, length));
    m_glyphs.reserve(points.size());
    long long pen = 0;
    for (uint32_t point : points) {
        const GlyphImage& glyph = font.Glyph(point);
        m_glyphs.push_back(Placed{&glyph, pen});
        pen += static_cast<long long>(glyph.advance) + extra;
    }
    m_width = static_cast<int>(std::min<long long>(std::max<long long>(pen, INT32_MIN), INT32_MAX));
}

void GdiTextLine::Draw(GdiBitmap& bitmap, int x, int top, const RECT& clip, uint32_t pixel) const {
    long long baseline = static_cast<long long>(top) + m_ascent;
    for (const Placed& placed : m_glyphs) {
        const GlyphImage& glyph = *placed.glyph;
        long long left = static_cast<long long>(x) + placed.penX + glyph.left;
        long long row = baseline - glyph.top;
        if (glyph.coverage.empty() || left < INT32_MIN || left > INT32_MAX || row < INT32_MIN ||
            row > INT32_MAX)
            continue;
        bitmap.BlendMask(static_cast<int>(left), static_cast<int>(row), glyph, clip, pixel);
    }
}

} // namespace tqplat
