// A 32-bit bitmap (a DIB section): pixels 0x00RRGGBB, width x 4 bytes a row, rows from the top
// or from the bottom as the header asked. Every write is clipped to the bitmap.
//
// Beside the pixels it keeps how much of each pixel the drawing covered, one byte a pixel in the
// same order: 0 where nothing was drawn, 255 where a fill or a glyph's solid part lies, a glyph
// edge its coverage laid over what was there. A pixel's colour alone cannot tell that (ink one step
// from the pixel it is drawn over leaves the pixel as it was).
#pragma once

#include "platform/gdi32/tqfontface.h"
#include "platform/gdi32/tqgdi32.h"
#include "platform/gdi32/tqgdiobject.h"

#include <memory>
#include <vector>

namespace tqplat {

class GdiBitmap : public GdiObject {
public:
    // Largest width or height, and largest pixel memory, accepted.
    static const LONG kMaxSide = 32767;
    static const size_t kMaxBytes = size_t(256) << 20;

    // Null (and a log line) for a format other than 32-bit BI_RGB or a zero or absurd size.
    static std::shared_ptr<GdiBitmap> CreateDib(const BITMAPINFOHEADER& header);
    // A 1 x 1 bitmap, the stock bitmap of new memory DCs.
    static std::shared_ptr<GdiBitmap> CreateStock();

    // COLORREF 0x00BBGGRR to the pixel 0x00RRGGBB.
    static uint32_t PixelFromColor(COLORREF color);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    RECT Bounds() const { return RECT{0, 0, m_width, m_height}; }
    void* Bits() { return m_pixels.data(); }
    uint8_t* Coverage() { return m_coverage.data(); }
    uint32_t* Row(int y);

    // Fills the part of the rectangle that lies within clip and within the bitmap.
    void Fill(const RECT& rect, const RECT& clip, uint32_t pixel);
    // Blends a coverage mask in the given colour with its top-left corner at (x, y), within clip.
    void BlendMask(int x, int y, const GlyphImage& mask, const RECT& clip, uint32_t pixel);

    // The DC the bitmap is selected into, if any (one at a time).
    bool IsSelected() const { return m_selected; }
    void SetSelected(bool selected) { m_selected = selected; }

private:
    GdiBitmap(int width, int height, bool topDown);
    RECT Clip(const RECT& rect, const RECT& clip) const;
    size_t RowStart(int y) const;

    int m_width;
    int m_height;
    bool m_topDown;
    bool m_selected = false;
    std::vector<uint32_t> m_pixels;
    std::vector<uint8_t> m_coverage;
};

} // namespace tqplat
