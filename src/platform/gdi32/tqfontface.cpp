#include "platform/gdi32/tqfontface.h"

#include "platform/win32/tqplatformlog.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>

namespace tqplat {
namespace {

// One FreeType library for the whole layer (calls are serialised by the GDI lock).
FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) {
            PlatformLog("FreeType could not be initialised");
            return static_cast<FT_Library>(nullptr);
        }
        return lib;
    }();
    return library;
}

// Slant of synthetic italics: about 12 degrees, as a 16.16 shear.
const FT_Fixed kSlantShear = 0x0366A;

// Synthetic bold widens strokes (and the advance) by whole pixels, one for every 24 of the em.
int EmboldenPixels(int ppem) {
    return std::max(1, ppem / 24);
}

void StyleOutline(FT_GlyphSlot slot, const GlyphStyle& style, int ppem) {
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return;
    if (style.embolden)
        FT_Outline_EmboldenXY(&slot->outline, EmboldenPixels(ppem) * 64, 0);
    if (style.slant) {
        FT_Matrix shear = {0x10000, kSlantShear, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
    }
}

void CopyMask(const FT_Bitmap& bitmap, GlyphImage* image) {
    image->width = static_cast<int>(bitmap.width);
    image->rows = static_cast<int>(bitmap.rows);
    image->coverage.assign(static_cast<size_t>(image->width) * image->rows, 0);
    for (int y = 0; y < image->rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        uint8_t* out = image->coverage.data() + static_cast<size_t>(y) * image->width;
        for (int x = 0; x < image->width; ++x) {
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else
                out[x] = row[x];
        }
    }
}

} // namespace

struct FontFace::Impl {
    FT_Face face = nullptr;
    int ppem = 0;
};

std::unique_ptr<FontFace> FontFace::Open(const FontFile& file) {
    FT_Library library = Library();
    FT_Face face = nullptr;
    if (library == nullptr || FT_New_Face(library, file.path.c_str(), file.index, &face) != 0) {
        PlatformLog("cannot open font file \"%s\" (face %d)", file.path.c_str(), file.index);
        return nullptr;
    }
    if (!FT_IS_SCALABLE(face)) {
        PlatformLog("font file \"%s\" is not scalable", file.path.c_str());
        FT_Done_Face(face);
        return nullptr;
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    auto impl = std::make_unique<Impl>();
    impl->face = face;
    std::unique_ptr<FontFace> result(new FontFace(file, std::move(impl)));
    result->ReadTables();
    return result;
}

FontFace::FontFace(const FontFile& file, std::unique_ptr<Impl> impl)
    : m_file(file), m_impl(std::move(impl)) {}

FontFace::~FontFace() {
    FT_Done_Face(m_impl->face);
}

void FontFace::ReadTables() {
    FT_Face face = m_impl->face;
    FaceTables& t = m_tables;
    t.unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    t.hheaAscender = face->ascender;
    t.hheaDescender = face->descender;
    t.winAscent = face->ascender;
    t.winDescent = -face->descender;
    t.maxWidth = static_cast<int>(face->bbox.xMax - face->bbox.xMin);
    t.averageWidth = t.maxWidth / 2;
    t.fixedPitch = FT_IS_FIXED_WIDTH(face);
    if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA)))
        t.lineGap = hhea->Line_Gap;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            t.winAscent = os2->usWinAscent;
            t.winDescent = os2->usWinDescent;
        }
        if (os2->xAvgCharWidth > 0)
            t.averageWidth = os2->xAvgCharWidth;
        t.weightClass = os2->usWeightClass;
        t.firstChar = os2->usFirstCharIndex;
        t.lastChar = os2->usLastCharIndex;
    }
    if (t.winAscent + t.winDescent <= 0) {
        t.winAscent = t.unitsPerEm * 4 / 5;
        t.winDescent = t.unitsPerEm / 5;
    }
}

bool FontFace::SetPixelSize(int ppem) {
    if (m_impl->ppem == ppem)
        return true;
    if (FT_Set_Pixel_Sizes(m_impl->face, 0, static_cast<FT_UInt>(ppem)) != 0) {
        PlatformLog("font \"%s\" cannot be sized to %d pixels", m_file.path.c_str(), ppem);
        return false;
    }
    m_impl->ppem = ppem;
    return true;
}

bool FontFace::HasChar(uint32_t codepoint) const {
    return FT_Get_Char_Index(m_impl->face, codepoint) != 0;
}

GlyphImage FontFace::Render(uint32_t codepoint, const GlyphStyle& style) const {
    GlyphImage image;
    FT_Face face = m_impl->face;
    FT_UInt index = FT_Get_Char_Index(face, codepoint);
    // Greyscale glyphs are unhinted, so their shapes depend on the font file alone.
    FT_Int32 flags = FT_LOAD_NO_BITMAP | (style.mono ? FT_LOAD_TARGET_MONO : FT_LOAD_NO_HINTING);
    if (FT_Load_Glyph(face, index, flags) != 0)
        return image;
    FT_GlyphSlot slot = face->glyph;
    StyleOutline(slot, style, m_impl->ppem);
    image.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (style.embolden)
        image.advance += EmboldenPixels(m_impl->ppem);
    if (FT_Render_Glyph(slot, style.mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return image;
    image.left = slot->bitmap_left;
    image.top = slot->bitmap_top;
    CopyMask(slot->bitmap, &image);
    return image;
}

} // namespace tqplat
