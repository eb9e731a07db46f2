#include "image.h"

#include <cmath>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

Image::Image(int width, int height)
    : m_width(width), m_height(height), m_pixels(size_t(width) * height * 4, 0) {}

void Image::Set(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    uint8_t* p = Pixel(x, y);
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

void Image::Blend(int x, int y, uint8_t r, uint8_t g, uint8_t b, double coverage) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || coverage <= 0.0)
        return;
    uint8_t* p = Pixel(x, y);
    const double a = p[3] / 255.0;
    const double outA = coverage + a * (1.0 - coverage);
    const uint8_t source[3] = {r, g, b};
    for (int i = 0; i < 3; ++i)
        p[i] = Byte((source[i] * coverage + p[i] * a * (1.0 - coverage)) / outA);
    p[3] = Byte(outA * 255.0);
}

void Image::FillRect(int x, int y, int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    for (int row = y; row < y + h; ++row)
        for (int column = x; column < x + w; ++column)
            Set(column, row, r, g, b, a);
}

void Image::Bevel(int x, int y, int w, int h, uint32_t light, uint32_t dark) {
    auto put = [this](int px, int py, uint32_t c) { Set(px, py, c >> 16, (c >> 8) & 0xFF, c & 0xFF, 255); };
    for (int i = 0; i < w; ++i) {
        put(x + i, y, light);
        put(x + i, y + h - 1, dark);
    }
    for (int i = 0; i < h; ++i) {
        put(x, y + i, light);
        put(x + w - 1, y + i, dark);
    }
}

bool Image::Save(const std::string& path) const {
    return stbi_write_png(path.c_str(), m_width, m_height, 4, m_pixels.data(), m_width * 4) != 0;
}

uint8_t Byte(double value) {
    return static_cast<uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, value))));
}
