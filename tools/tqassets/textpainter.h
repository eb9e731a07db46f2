// TextPainter: draws text into an Image with a font the system's font configuration finds
// (FreeType rasterises the glyphs; the same packages give the same pixels).
#pragma once

#include <cstdint>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "image.h"

class TextPainter {
public:
    // Frees what the font configuration keeps once no more fonts are looked up.
    static void ReleaseFontConfiguration();

    // `pattern` is a fontconfig pattern such as "Liberation Sans:bold"; `pixels` the em size.
    TextPainter(const char* pattern, int pixels);
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    bool IsLoaded() const { return m_face != nullptr; }
    // The advance width of the text in pixels.
    int Width(const std::string& text);
    // The distance from the top of a line to its baseline.
    int Ascent() const;
    // Draws the text with its line top at y; returns the pen's x after it.
    int Draw(Image& image, int x, int y, const std::string& text, uint32_t rgb);

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
};
