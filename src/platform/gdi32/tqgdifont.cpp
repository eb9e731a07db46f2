#include "platform/gdi32/tqgdifont.h"

#include "platform/codepage/tqcodepage.h"
#include "platform/win32/tqplatformlog.h"

#include <algorithm>
#include <cstring>

namespace tqplat {
namespace {

// A zero height asks for the default size: a 16-pixel cell.
const int kDefaultCellHeight = 16;

long RoundedScale(long value, long numerator, long denominator) {
    long product = value * numerator;
    return product >= 0 ? (product + denominator / 2) / denominator
                        : -((-product + denominator / 2) / denominator);
}

struct Sizing {
    int ppem;
    int ascent;
    int descent;
};

// A negative height is the em size; a positive one the cell, split in the face's winAscent to
// winDescent proportion.
Sizing SizeFor(long height, const FaceTables& t) {
    if (height == 0)
        height = kDefaultCellHeight;
    Sizing s;
    if (height < 0) {
        s.ppem = static_cast<int>(-height);
        s.ascent = static_cast<int>(RoundedScale(t.winAscent, s.ppem, t.unitsPerEm));
        s.descent = static_cast<int>(RoundedScale(t.winDescent, s.ppem, t.unitsPerEm));
    } else {
        long cell = t.winAscent + t.winDescent;
        s.ppem = std::max(1, static_cast<int>(RoundedScale(height, t.unitsPerEm, cell)));
        s.ascent = static_cast<int>(RoundedScale(t.winAscent, height, cell));
        s.descent = static_cast<int>(height) - s.ascent;
    }
    return s;
}

std::string FaceNameUtf8(const LOGFONTA& logFont) {
    size_t length = strnlen(logFont.lfFaceName, LF_FACESIZE);
    return GbkToUtf8(logFont.lfFaceName, length);
}

bool HasNonAscii(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool WantsBold(const LOGFONTA& logFont) {
    return logFont.lfWeight >= FW_SEMIBOLD;
}

} // namespace

std::shared_ptr<GdiFont> GdiFont::Create(const LOGFONTA& logFont) {
    long height = logFont.lfHeight;
    if (height < -kMaxPixelHeight || height > kMaxPixelHeight) {
        PlatformLog("font height %ld is out of range", height);
        return nullptr;
    }
    std::string family = FaceNameUtf8(logFont);
    bool chinese = logFont.lfCharSet == GB2312_CHARSET || HasNonAscii(family);
    std::vector<FontFile> files =
        FontResolver::Instance().Resolve(family, logFont.lfWeight, logFont.lfItalic != 0, chinese);
    if (files.empty())
        return nullptr;
    std::unique_ptr<FontFace> face = FontFace::Open(files[0]);
    if (!face)
        return nullptr;
    std::shared_ptr<GdiFont> font(new GdiFont(logFont, std::move(files), std::move(face)));
    if (!font->m_faces[0]->SetPixelSize(font->m_ppem))
        return nullptr;
    return font;
}

GdiFont::GdiFont(const LOGFONTA& logFont, std::vector<FontFile> files, std::unique_ptr<FontFace> face)
    : GdiObject(GdiKind::Font), m_logFont(logFont), m_files(std::move(files)) {
    m_faces.resize(m_files.size());
    m_faces[0] = std::move(face);
    ComputeMetrics();
}

void GdiFont::ComputeMetrics() {
    const FaceTables& t = m_faces[0]->Tables();
    Sizing s = SizeFor(m_logFont.lfHeight, t);
    m_ppem = s.ppem;
    TEXTMETRICA& m = m_metrics;
    m.tmAscent = s.ascent;
    m.tmDescent = s.descent;
    m.tmHeight = s.ascent + s.descent;
    m.tmInternalLeading = std::max(0, m.tmHeight - s.ppem);
    // The hhea line gap, less what winAscent/winDescent already add over the hhea extent.
    long extraGap = t.lineGap - ((t.winAscent + t.winDescent) - (t.hheaAscender - t.hheaDescender));
    m.tmExternalLeading = static_cast<LONG>(std::max(0L, RoundedScale(extraGap, s.ppem, t.unitsPerEm)));
    m.tmAveCharWidth = static_cast<LONG>(std::max(1L, RoundedScale(t.averageWidth, s.ppem, t.unitsPerEm)));
    m.tmMaxCharWidth = static_cast<LONG>(std::max(1L, RoundedScale(t.maxWidth, s.ppem, t.unitsPerEm)));
    m.tmWeight = m_logFont.lfWeight > 0 ? m_logFont.lfWeight : FW_NORMAL;
    m.tmOverhang = 0;
    m.tmDigitizedAspectX = 96;
    m.tmDigitizedAspectY = 96;
    m.tmFirstChar = static_cast<BYTE>(std::min<uint32_t>(t.firstChar, 0xFF));
    m.tmLastChar = 0xFF;
    m.tmDefaultChar = '?';
    m.tmBreakChar = ' ';
    m.tmItalic = m_logFont.lfItalic ? 1 : 0;
    m.tmUnderlined = 0;
    m.tmStruckOut = 0;
    m.tmPitchAndFamily = static_cast<BYTE>((t.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR |
                                           TMPF_TRUETYPE | (m_logFont.lfPitchAndFamily & 0xF0));
    // The system code page is 936, so a font of the default set reports the Chinese set.
    m.tmCharSet = m_logFont.lfCharSet == DEFAULT_CHARSET ? GB2312_CHARSET : m_logFont.lfCharSet;
}

GlyphStyle GdiFont::StyleFor(const FontFace& face) const {
    GlyphStyle style;
    style.mono = m_logFont.lfQuality == NONANTIALIASED_QUALITY;
    style.slant = m_logFont.lfItalic != 0 && !face.File().italic;
    style.embolden = WantsBold(m_logFont) && !face.File().bold;
    return style;
}

FontFace* GdiFont::OpenFallback(size_t index) {
    if (!m_faces[index]) {
        std::unique_ptr<FontFace> face = FontFace::Open(m_files[index]);
        if (!face || !face->SetPixelSize(m_ppem)) {
            m_files[index].charset = nullptr; // never try this file again
            return nullptr;
        }
        m_faces[index] = std::move(face);
    }
    return m_faces[index].get();
}

FontFace& GdiFont::FaceFor(uint32_t codepoint) {
    if (m_faces[0]->HasChar(codepoint))
        return *m_faces[0];
    for (size_t i = 1; i < m_files.size(); ++i) {
        if (!m_files[i].HasChar(codepoint))
            continue;
        FontFace* face = OpenFallback(i);
        if (face != nullptr && face->HasChar(codepoint))
            return *face;
    }
    return *m_faces[0];
}

const GlyphImage& GdiFont::Glyph(uint32_t codepoint) {
    auto found = m_glyphs.find(codepoint);
    if (found != m_glyphs.end())
        return found->second;
    FontFace& face = FaceFor(codepoint);
    return m_glyphs.emplace(codepoint, face.Render(codepoint, StyleFor(face))).first->second;
}

} // namespace tqplat
