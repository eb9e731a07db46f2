#include "platform/gdi32/tqgdidc.h"

#include "platform/gdi32/tqgditextline.h"

#include <algorithm>
#include <climits>

namespace tqplat {
namespace {

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

LONG ClampToLong(long long value) {
    return static_cast<LONG>(std::min<long long>(std::max<long long>(value, INT32_MIN), INT32_MAX));
}

} // namespace

GdiDC::GdiDC(Type type, std::shared_ptr<GdiFont> font, std::shared_ptr<GdiBitmap> bitmap)
    : GdiObject(GdiKind::DC), m_type(type), m_font(std::move(font)), m_bitmap(std::move(bitmap)) {
    if (m_bitmap)
        m_bitmap->SetSelected(true);
}

GdiDC::~GdiDC() {
    if (m_bitmap)
        m_bitmap->SetSelected(false);
}

std::shared_ptr<GdiFont> GdiDC::SelectFont(std::shared_ptr<GdiFont> font) {
    std::swap(font, m_font);
    return font;
}

std::shared_ptr<GdiBitmap> GdiDC::SelectBitmap(std::shared_ptr<GdiBitmap> bitmap) {
    if (m_type != Type::Memory)
        return nullptr;
    if (bitmap == m_bitmap)
        return bitmap;
    // The stock bitmap starts out in every memory DC; any other bitmap lives in one DC at a time.
    if (bitmap->IsSelected() && !bitmap->IsStock())
        return nullptr;
    m_bitmap->SetSelected(false);
    bitmap->SetSelected(true);
    std::swap(bitmap, m_bitmap);
    return bitmap;
}

SIZE GdiDC::TextExtent(const char* text, size_t length) {
    GdiTextLine line(*m_font, text, length, m_extra);
    return SIZE{line.Width(), Metrics().tmHeight};
}

RECT GdiDC::DrawingClip(const RECT* clip) const {
    RECT bounds = m_bitmap->Bounds();
    return clip != nullptr ? Intersect(bounds, *clip) : bounds;
}

void GdiDC::TextOut(int x, int y, UINT options, const RECT* rect, const char* text, size_t length,
                    const RECT* clip) {
    if (!m_bitmap)
        return;
    RECT area = DrawingClip(clip);
    if (rect != nullptr && (options & ETO_OPAQUE))
        m_bitmap->Fill(*rect, area, GdiBitmap::PixelFromColor(m_bkColor));
    if (rect != nullptr && (options & ETO_CLIPPED))
        area = Intersect(area, *rect);
    if (length == 0)
        return;
    GdiTextLine line(*m_font, text, length, m_extra);
    if (m_bkMode == OPAQUE) {
        RECT cell = {x, y, ClampToLong(static_cast<long long>(x) + line.Width()),
                     ClampToLong(static_cast<long long>(y) + Metrics().tmHeight)};
        m_bitmap->Fill(cell, area, GdiBitmap::PixelFromColor(m_bkColor));
    }
    line.Draw(*m_bitmap, x, y, area, GdiBitmap::PixelFromColor(m_textColor));
}

} // namespace tqplat
