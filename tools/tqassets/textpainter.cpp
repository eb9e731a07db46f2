#include "textpainter.h"

#include <fontconfig/fontconfig.h>

namespace {

// The file of the best match of the pattern, or an empty text.
std::string FontFile(const char* pattern) {
    std::string file;
    FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!wanted)
        return file;
    FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, wanted, &result);
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
        file = reinterpret_cast<const char*>(path);
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(wanted);
    return file;
}

} // namespace

void TextPainter::ReleaseFontConfiguration() {
    FcFini();
}

TextPainter::TextPainter(const char* pattern, int pixels) {
    const std::string file = FontFile(pattern);
    if (file.empty() || FT_Init_FreeType(&m_library) != 0)
        return;
    if (FT_New_Face(m_library, file.c_str(), 0, &m_face) != 0 || FT_Set_Pixel_Sizes(m_face, 0, pixels) != 0) {
        if (m_face)
            FT_Done_Face(m_face);
        m_face = nullptr;
    }
}

TextPainter::~TextPainter() {
    if (m_face)
        FT_Done_Face(m_face);
    if (m_library)
        FT_Done_FreeType(m_library);
}

int TextPainter::Ascent() const {
    return m_face ? static_cast<int>(m_face->size->metrics.ascender >> 6) : 0;
}

int TextPainter::Width(const std::string& text) {
    int width = 0;
    for (unsigned char c : text)
        if (m_face && FT_Load_Char(m_face, c, FT_LOAD_DEFAULT) == 0)
            width += static_cast<int>(m_face->glyph->advance.x >> 6);
    return width;
}

int TextPainter::Draw(Image& image, int x, int y, const std::string& text, uint32_t rgb) {
    if (!m_face)
        return x;
    const int baseline = y + Ascent();
    for (unsigned char c : text) {
        if (FT_Load_Char(m_face, c, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot glyph = m_face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned column = 0; column < bitmap.width; ++column)
                image.Blend(x + glyph->bitmap_left + static_cast<int>(column),
                            baseline - glyph->bitmap_top + static_cast<int>(row), rgb >> 16,
                            (rgb >> 8) & 0xFF, rgb & 0xFF,
                            bitmap.buffer[row * bitmap.pitch + column] / 255.0);
        x += static_cast<int>(glyph->advance.x >> 6);
    }
    return x;
}
