#include "gdisurface.h"

#include <algorithm>

GdiSurface::GdiSurface(int width, int height, uint32_t background)
    : m_width(width), m_height(height), m_fill(background) {
    m_dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_pixels = static_cast<uint32_t*>(bits);
    m_previous = SelectObject(m_dc, m_bitmap);
    fill(background);
}

GdiSurface::~GdiSurface() {
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

void GdiSurface::fill(uint32_t pixel) {
    m_fill = pixel;
    std::fill(m_pixels, m_pixels + m_width * m_height, pixel);
}

RECT GdiSurface::ink() const {
    RECT box = {m_width, m_height, 0, 0};
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (at(x, y) != m_fill) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

int GdiSurface::inkCount() const {
    return static_cast<int>(
        std::count_if(m_pixels, m_pixels + m_width * m_height, [this](uint32_t p) { return p != m_fill; }));
}

HFONT MakeFont(int height, const char* face, int weight, DWORD quality, DWORD italic) {
    return CreateFontA(height, 0, 0, 0, weight, italic, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE, face);
}
