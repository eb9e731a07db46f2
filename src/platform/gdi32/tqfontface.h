// One FreeType face at one pixel size: its metric tables and its glyphs as coverage masks.
#pragma once

#include "platform/gdi32/tqfontresolver.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tqplat {

// A rendered glyph: an 8-bit coverage mask (0 none, 255 full) placed relative to the pen on
// the baseline, and the pen advance in whole pixels.
struct GlyphImage {
    int advance = 0;
    int left = 0; // mask column 0 lies this many pixels right of the pen
    int top = 0;  // mask row 0 lies this many pixels above the baseline
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> coverage; // width x rows, row after row
};

// How a glyph is drawn: monochrome or greyscale, and synthetic slant and weight.
struct GlyphStyle {
    bool mono = false;
    bool slant = false;
    bool embolden = false;
};

// The face's own design metrics in font units.
struct FaceTables {
    int unitsPerEm = 0;
    int winAscent = 0;  // OS/2 usWinAscent (the face's ascender without one)
    int winDescent = 0; // OS/2 usWinDescent, positive (the face's descender without one)
    int hheaAscender = 0;
    int hheaDescender = 0; // negative below the baseline
    int lineGap = 0;
    int averageWidth = 0; // OS/2 xAvgCharWidth
    int maxWidth = 0;     // width of the face's bounding box
    int weightClass = 400;
    uint32_t firstChar = 0;
    uint32_t lastChar = 0;
    bool fixedPitch = false;
};

class FontFace {
public:
    // Opens the face; null (and a log line) when FreeType cannot read it.
    static std::unique_ptr<FontFace> Open(const FontFile& file);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const FontFile& File() const { return m_file; }
    const FaceTables& Tables() const { return m_tables; }
    // Sets the em size in pixels for the glyphs that follow.
    bool SetPixelSize(int ppem);
    bool HasChar(uint32_t codepoint) const;
    // Renders the glyph of a character (the face's missing-glyph shape when it has none). A glyph
    // FreeType cannot render comes back empty, with no advance.
    GlyphImage Render(uint32_t codepoint, const GlyphStyle& style) const;

private:
    struct Impl;
    FontFace(const FontFile& file, std::unique_ptr<Impl> impl);
    void ReadTables();

    FontFile m_file;
    std::unique_ptr<Impl> m_impl;
    FaceTables m_tables;
};

} // namespace tqplat
