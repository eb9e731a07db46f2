#include "gui/tq2dtextout.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <new>

#include "base/tqstring.h"
#include "engine/tq2dapi.h"
#include "engine/tq2dtexture.h"
#include "gui/tq2dgdi.h"
#include "platform/win32/tqkernel32.h"

namespace {

const COLORREF kInitialTextColor = 0xFFFFFF;
const COLORREF kInitialShadowColor = 0x000000;
const int kLineSpacing = 4;
const BYTE kFirstNonIndexColor = 17;
const DWORD kTransparent = TQ2DGUI_KEY_COLOR; // alpha 0

enum Effect { kPlain = 0, kShadow = 1, kOutline = 2 };

// A mark-up character read as a number: digits 0-9, letters 10-35, others their code minus '0'.
int MarkupNumber(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    return static_cast<unsigned char>(c) - '0';
}

COLORREF IndexColor(int number) {
    const bool inRange = number >= 0 && number < kFirstNonIndexColor;
    return TQ2DGetIndexColor(static_cast<unsigned char>(inRange ? number : kFirstNonIndexColor));
}

// The longest length up to n that does not end on a lead byte whose trail byte is cut off.
DWORD WholeCharacters(const char* run, DWORD n) {
    DWORD j = 0;
    while (j < n) {
        if (IsDBCSLeadByte(static_cast<BYTE>(run[j]))) {
            if (j + 1 >= n)
                return j;
            j += 2;
        } else {
            ++j;
        }
    }
    return n;
}

int Channel(DWORD color, int shift) {
    return static_cast<int>((color >> shift) & 0xFF);
}

// The texel top (0xAARRGGBB) laid over the texel below as alpha blending lays it over a picture.
DWORD Over(DWORD top, DWORD below) {
    const DWORD a = top >> 24, b = below >> 24;
    if (a == 255 || b == 0)
        return top;
    const DWORD lower = b * (255 - a);
    const DWORD total = a * 255 + lower; // the alpha of the result times 255
    DWORD result = (total + 127) / 255 << 24;
    for (int shift : {0, 8, 16}) {
        const DWORD mixed = (static_cast<DWORD>(Channel(top, shift)) * a * 255 +
                             static_cast<DWORD>(Channel(below, shift)) * lower + total / 2) /
                            total;
        result |= mixed << shift;
    }
    return result;
}

// The memory context and bitmap of one call, with the walk over the text. Each run of one colour
// is drawn alone on the bitmap, and its ink laid over the texels of the runs before it, so that
// glyph edges keep their coverage as alpha whatever they overlap.
class MarkupWriter {
public:
    // texels: width x height of them, all kTransparent; coverage: what the drawing on the context's
    // bitmap (of the same size) covered.
    MarkupWriter(HDC dc, BYTE* coverage, DWORD* texels, DWORD width, DWORD height, const TQString& text)
        : m_dc(dc), m_coverage(coverage), m_width(static_cast<int>(width)),
          m_height(static_cast<int>(height)), m_text(text), m_length(text.GetLength()), m_texels(texels) {
        GetTextMetricsA(m_dc, &m_metrics);
        m_lineHeight = m_metrics.tmHeight + kLineSpacing;
    }

    void Write() {
        DWORD i = 0;
        while (i <= m_length && m_y < m_height) {
            const char c = m_text.GetAt(i);
            if (c != '$' && c != '\n' && c != 0) {
                ++i;
                continue;
            }
            if (i > m_runStart) {
                const RunResult result = DrawRun(i);
                if (result == kStop)
                    return;
                if (result == kWrapped)
                    continue;
            }
            if (!Terminator(c, i))
                return;
        }
    }

private:
    enum RunResult { kDrawn, kWrapped, kStop };

    // Draws the run up to end, or the part that fits before the right edge.
    RunResult DrawRun(DWORD end) {
        const char* run = m_text.GetString() + m_runStart;
        const DWORD runLength = end - m_runStart;
        SIZE size;
        if (!GetTextExtentPoint32A(m_dc, run, static_cast<int>(runLength), &size))
            return kStop;
        if (m_x + size.cx <= m_width) {
            DrawText(run, runLength);
            m_x += size.cx;
            return kDrawn;
        }
        const DWORD fits = FittingPrefix(run, runLength, m_x + size.cx - m_width);
        if (fits == 0) {
            if (m_x == 0)
                return kStop;
            NewLine(); // nothing fits behind earlier text on this line: the run starts the next one
            return kWrapped;
        }
        DrawText(run, fits);
        m_runStart += fits;
        NewLine();
        return kWrapped;
    }

    // Longest whole-character prefix of the run that fits in the rest of the line.
    DWORD FittingPrefix(const char* run, DWORD runLength, LONG overflow) {
        const LONG maxCharWidth = std::max<LONG>(m_metrics.tmMaxCharWidth, 1);
        const LONG estimate = static_cast<LONG>(runLength) - overflow / maxCharWidth;
        DWORD n = static_cast<DWORD>(std::clamp<LONG>(estimate, 0, static_cast<LONG>(runLength)));
        SIZE size;
        while (n > 0) {
            if (!GetTextExtentPoint32A(m_dc, run, static_cast<int>(n), &size))
                return 0;
            if (m_x + size.cx <= m_width)
                break;
            --n;
        }
        return WholeCharacters(run, n);
    }

    void DrawText(const char* run, DWORD length) {
        const int n = static_cast<int>(length);
        SIZE size{};
        GetTextExtentPoint32A(m_dc, run, n, &size);
        const int spread = m_effect == kShadow ? 1 : m_effect == kOutline ? 2 : -1;
        for (int dx = 0; dx <= spread; ++dx)
            for (int dy = 0; dy <= spread; ++dy)
                Ink(run, n, m_x + dx, m_y + dy, size.cx, m_shadowColor);
        const int offset = m_effect == kOutline ? 1 : 0;
        Ink(run, n, m_x + offset, m_y + offset, size.cx, m_textColor);
    }

    // Draws the run at (x, y) in one ink on a box of the bitmap with its coverage erased, then lays
    // what it inked over the texels. The box holds the run's cell with room for overhanging glyphs
    // on every side. Alone on the box, the ink covers each pixel by the amount the platform
    // records, which with the ink makes the texel (the pixels' colours are not needed).
    void Ink(const char* run, int n, int x, int y, LONG width, COLORREF ink) {
        const int room = m_metrics.tmHeight / 2 + 1;
        const int left = std::clamp(x - room, 0, m_width);
        const int right = static_cast<int>(std::clamp<LONG>(x + width + room, left, m_width));
        const int top = std::clamp(y - room, 0, m_height);
        const int bottom = std::clamp(y + m_metrics.tmHeight + room, top, m_height);
        for (int row = top; row < bottom; ++row)
            std::fill(m_coverage + Index(left, row), m_coverage + Index(right, row), 0);
        SetTextColor(m_dc, ink);
        TextOutA(m_dc, x, y, run, n);
        for (int row = top; row < bottom; ++row)
            for (size_t i = Index(left, row); i < Index(right, row); ++i)
                if (m_coverage[i])
                    m_texels[i] = Over(TQ2DGUIGlyphTexel(m_coverage[i], ink), m_texels[i]);
    }

    size_t Index(int x, int y) const { return static_cast<size_t>(y) * m_width + x; }

    void NewLine() {
        m_x = 0;
        m_y += m_lineHeight;
    }

    // Handles the terminator at i and moves past it; false ends the walk.
    bool Terminator(char c, DWORD& i) {
        if (c == 0)
            return false;
        if (c == '\n') {
            NewLine();
            i += 1;
            m_runStart = i;
            return true;
        }
        return Markup(i);
    }

    bool Markup(DWORD& i) {
        const char code = m_text.GetAt(i + 1);
        const char upper = (code >= 'a' && code <= 'z') ? static_cast<char>(code - 'a' + 'A') : code;
        DWORD next = i + 2; // any other code: the '$' is dropped, the code is text
        DWORD runStart = i + 1;
        if (upper == 'B' || upper == 'C') {
            COLORREF& target = (upper == 'C') ? m_textColor : m_shadowColor;
            if (m_text.GetAt(i + 2) == '#') {
                if (i + 9 > m_length)
                    return false;
                target = HexColor(i + 3);
                next = runStart = i + 9;
            } else {
                target = IndexColor(MarkupNumber(m_text.GetAt(i + 2)));
                next = runStart = i + 3;
            }
            SetBkColor(m_dc, m_shadowColor);
        } else if (upper == 'T') {
            m_effect = MarkupNumber(m_text.GetAt(i + 2));
            next = runStart = i + 3;
        }
        i = next;
        m_runStart = runStart;
        return true;
    }

    // Six hex digits RRGGBB at offset as the GDI colour 0x00BBGGRR.
    COLORREF HexColor(DWORD offset) const {
        char digits[7];
        std::memcpy(digits, m_text.GetString() + offset, 6);
        digits[6] = 0;
        const DWORD rgb = static_cast<DWORD>(TQString(digits).GetHexValue(nullptr));
        return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }

    HDC m_dc;
    BYTE* m_coverage;
    int m_width;
    int m_height;
    const TQString& m_text;
    DWORD m_length;
    TEXTMETRICA m_metrics;
    int m_lineHeight = 0;
    int m_x = 0;
    int m_y = 0;
    COLORREF m_textColor = kInitialTextColor;
    COLORREF m_shadowColor = kInitialShadowColor;
    int m_effect = kPlain;
    DWORD m_runStart = 0;
    DWORD* m_texels; // rows of width, 0xAARRGGBB
};

// Replaces the texture rectangle by the texels (rows of w).
void CopyToTexture(TQ2DTexture& tex, const DWORD* source, DWORD x, DWORD y, DWORD w, DWORD h) {
    DWORD* texels = tex.Lock(false);
    if (!texels)
        return;
    const DWORD tw = tex.GetWidth(false);
    const DWORD th = tex.GetHeight(false);
    const DWORD left = std::min(x, tw);
    const DWORD top = std::min(y, th);
    const DWORD right = static_cast<DWORD>(std::min<ULONGLONG>(static_cast<ULONGLONG>(x) + w, tw));
    const DWORD bottom = static_cast<DWORD>(std::min<ULONGLONG>(static_cast<ULONGLONG>(y) + h, th));
    for (DWORD row = top; row < bottom; ++row) {
        const DWORD* src = source + static_cast<size_t>(row - top) * w;
        std::copy(src, src + (right - left), texels + static_cast<size_t>(row) * tw + left);
    }
    tex.UnLock();
}

} // namespace

void TQ2DTextOut(TQ2DTexture& tex, HFONT hFont, DWORD x, DWORD y, DWORD w, DWORD h, const char* szFormat,
                 ...) {
    if (!tex.GetTexture())
        return;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return;
    DWORD* bits = nullptr;
    BYTE* coverage = nullptr;
    HBITMAP bitmap = TQ2DGUICreateDIB(dc, w, h, &bits, &coverage);
    const size_t count = static_cast<size_t>(w) * h;
    std::unique_ptr<DWORD[]> texels(bitmap ? new (std::nothrow) DWORD[count] : nullptr);
    if (!texels) {
        if (bitmap)
            DeleteObject(bitmap);
        DeleteDC(dc);
        return;
    }
    std::fill(texels.get(), texels.get() + count, kTransparent);
    HFONT font = hFont ? hFont : TQ2DGetDefaultFont();
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kInitialTextColor);
    SetBkColor(dc, kInitialShadowColor);
    TQString text;
    va_list args;
    va_start(args, szFormat);
    text.FormatV(szFormat, args);
    va_end(args);
    MarkupWriter(dc, coverage, texels.get(), w, h, text).Write();
    CopyToTexture(tex, texels.get(), x, y, w, h);
    if (oldFont)
        SelectObject(dc, oldFont);
    if (oldBitmap)
        SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
