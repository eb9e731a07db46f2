// A memory DC with a top-down DIB section selected, for drawing tests.
#pragma once

#include "platform/gdi32/tqgdi32.h"

#include <cstdint>

class GdiSurface {
public:
    GdiSurface(int width, int height, uint32_t background);
    ~GdiSurface();
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    uint32_t* pixels() const { return m_pixels; }
    uint32_t at(int x, int y) const { return m_pixels[y * m_width + x]; }
    void fill(uint32_t pixel);
    // Bounding box of the pixels that differ from the fill; empty (left >= right) without ink.
    RECT ink() const;
    // Number of pixels that differ from the fill.
    int inkCount() const;

private:
    int m_width;
    int m_height;
    uint32_t m_fill;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
    uint32_t* m_pixels;
};

// A font through CreateFontA with the usual defaults.
HFONT MakeFont(int height, const char* face, int weight = FW_NORMAL, DWORD quality = ANTIALIASED_QUALITY,
               DWORD italic = 0);
