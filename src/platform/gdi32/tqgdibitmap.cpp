#include "platform/gdi32/tqgdibitmap.h"

#include "platform/win32/tqplatformlog.h"

#include <algorithm>
#include <new>

namespace tqplat {
namespace {

bool IsEmpty(const RECT& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

// One channel of src over dst with coverage a (0..255), rounded.
uint32_t BlendChannel(uint32_t src, uint32_t dst, uint32_t a) {
    return (src * a + dst * (255 - a) + 127) / 255;
}

uint32_t BlendPixel(uint32_t src, uint32_t dst, uint32_t a) {
    uint32_t r = BlendChannel((src >> 16) & 0xFF, (dst >> 16) & 0xFF, a);
    uint32_t g = BlendChannel((src >> 8) & 0xFF, (dst >> 8) & 0xFF, a);
    uint32_t b = BlendChannel(src & 0xFF, dst & 0xFF, a);
    return (r << 16) | (g << 8) | b;
}

} // namespace

std::shared_ptr<GdiBitmap> GdiBitmap::CreateDib(const BITMAPINFOHEADER& header) {
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || header.biBitCount != 32 ||
        header.biCompression != BI_RGB) {
        PlatformLog("DIB section format not supported (size %u, planes %u, %u bits, compression %u)",
                    header.biSize, header.biPlanes, header.biBitCount, header.biCompression);
        return nullptr;
    }
    long width = header.biWidth;
    long height = header.biHeight < 0 ? -static_cast<long>(header.biHeight) : header.biHeight;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        static_cast<size_t>(width) * static_cast<size_t>(height) * 4 > kMaxBytes) {
        PlatformLog("DIB section size %ld x %ld refused", static_cast<long>(header.biWidth),
                    static_cast<long>(header.biHeight));
        return nullptr;
    }
    try {
        return std::shared_ptr<GdiBitmap>(
            new GdiBitmap(static_cast<int>(width), static_cast<int>(height), header.biHeight < 0));
    } catch (const std::bad_alloc&) {
        PlatformLog("out of memory for a %ld x %ld DIB section", width, height);
        return nullptr;
    }
}

std::shared_ptr<GdiBitmap> GdiBitmap::CreateStock() {
    return std::shared_ptr<GdiBitmap>(new GdiBitmap(1, 1, true));
}

GdiBitmap::GdiBitmap(int width, int height, bool topDown)
    : GdiObject(GdiKind::Bitmap), m_width(width), m_height(height), m_topDown(topDown),
      m_pixels(static_cast<size_t>(width) * height, 0), m_coverage(m_pixels.size(), 0) {}

uint32_t GdiBitmap::PixelFromColor(COLORREF color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

size_t GdiBitmap::RowStart(int y) const {
    int row = m_topDown ? y : m_height - 1 - y;
    return static_cast<size_t>(row) * m_width;
}

uint32_t* GdiBitmap::Row(int y) {
    return m_pixels.data() + RowStart(y);
}

RECT GdiBitmap::Clip(const RECT& rect, const RECT& clip) const {
    RECT r;
    r.left = std::max({rect.left, clip.left, 0});
    r.top = std::max({rect.top, clip.top, 0});
    r.right = std::min({rect.right, clip.right, static_cast<LONG>(m_width)});
    r.bottom = std::min({rect.bottom, clip.bottom, static_cast<LONG>(m_height)});
    return r;
}

void GdiBitmap::Fill(const RECT& rect, const RECT& clip, uint32_t pixel) {
    RECT r = Clip(rect, clip);
    if (IsEmpty(r))
        return;
    for (LONG y = r.top; y < r.bottom; ++y) {
        std::fill(Row(y) + r.left, Row(y) + r.right, pixel);
        uint8_t* covered = m_coverage.data() + RowStart(y);
        std::fill(covered + r.left, covered + r.right, 255);
    }
}

void GdiBitmap::BlendMask(int x, int y, const GlyphImage& mask, const RECT& clip, uint32_t pixel) {
    // 64-bit sums: a mask placed near the ends of the int range must not overflow.
    long long right = static_cast<long long>(x) + mask.width;
    long long bottom = static_cast<long long>(y) + mask.rows;
    RECT area = {x, y, static_cast<LONG>(std::min<long long>(right, m_width)),
                 static_cast<LONG>(std::min<long long>(bottom, m_height))};
    RECT r = Clip(area, clip);
    if (IsEmpty(r))
        return;
    for (LONG py = r.top; py < r.bottom; ++py) {
        const uint8_t* coverage = mask.coverage.data() + static_cast<size_t>(py - y) * mask.width;
        uint32_t* row = Row(py);
        uint8_t* covered = m_coverage.data() + RowStart(py);
        for (LONG px = r.left; px < r.right; ++px) {
            uint32_t a = coverage[px - x];
            if (a == 255) {
                row[px] = pixel;
                covered[px] = 255;
            } else if (a != 0) {
                row[px] = BlendPixel(pixel, row[px], a);
                covered[px] = static_cast<uint8_t>(a + (covered[px] * (255 - a) + 127) / 255);
            }
        }
    }
}

} // namespace tqplat
