// Image: an RGBA picture that the asset generator paints into and saves as PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Image {
public:
    Image(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Replaces the pixel; coordinates outside the image are ignored.
    void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    // Draws colour (r, g, b) over the pixel with the given coverage 0..1 (source-over).
    void Blend(int x, int y, uint8_t r, uint8_t g, uint8_t b, double coverage);
    void FillRect(int x, int y, int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    // A one-pixel frame: light on the top and left edges, dark on the bottom and right.
    void Bevel(int x, int y, int w, int h, uint32_t light, uint32_t dark);
    bool Save(const std::string& path) const;

private:
    uint8_t* Pixel(int x, int y) { return &m_pixels[(size_t(y) * m_width + x) * 4]; }

    int m_width;
    int m_height;
    std::vector<uint8_t> m_pixels;
};

// A value clamped to 0..255 and rounded.
uint8_t Byte(double value);
