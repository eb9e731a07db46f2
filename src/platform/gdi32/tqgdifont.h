// A logical font: the face fontconfig picked for a LOGFONTA, its fallbacks for characters the
// face lacks, the metrics GDI reports for it and a cache of its rendered glyphs.
#pragma once

#include "platform/gdi32/tqfontface.h"
#include "platform/gdi32/tqgdi32.h"
#include "platform/gdi32/tqgdiobject.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace tqplat {

class GdiFont : public GdiObject {
public:
    // Largest em or cell height accepted, in pixels.
    static const int kMaxPixelHeight = 2048;

    // Null (and a log line) for an absurd height or when no usable face exists.
    static std::shared_ptr<GdiFont> Create(const LOGFONTA& logFont);

    const LOGFONTA& LogFont() const { return m_logFont; }
    const TEXTMETRICA& Metrics() const { return m_metrics; }
    // The glyph of a character from the face, else from the first fallback that has it, else the
    // face's missing-glyph shape. References stay valid for the font's life.
    const GlyphImage& Glyph(uint32_t codepoint);

private:
    GdiFont(const LOGFONTA& logFont, std::vector<FontFile> files, std::unique_ptr<FontFace> face);
    void ComputeMetrics();
    FontFace& FaceFor(uint32_t codepoint);
    FontFace* OpenFallback(size_t index);
    GlyphStyle StyleFor(const FontFace& face) const;

    LOGFONTA m_logFont;
    TEXTMETRICA m_metrics = {};
    int m_ppem = 0;
    std::vector<FontFile> m_files;                  // [0] is the face, the rest its fallbacks
    std::vector<std::unique_ptr<FontFace>> m_faces; // parallel to m_files, opened when first needed
    std::unordered_map<uint32_t, GlyphImage> m_glyphs;
};

} // namespace tqplat
