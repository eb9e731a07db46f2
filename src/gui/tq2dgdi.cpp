#include "gui/tq2dgdi.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/tq2dapi.h"
#include "engine/tq2dtexture.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGDI)

namespace {

// A clipped copy between two pixel grids: destination start, source start, extent.
struct CopySpan {
    DWORD dx, dy, sx, sy, w, h;
};

// Clamps the starts into both grids and the extent to what both can hold.
CopySpan ClipSpan(DWORD dx, DWORD dy, DWORD sx, DWORD sy, DWORD w, DWORD h, DWORD dstW, DWORD dstH,
                  DWORD srcW, DWORD srcH) {
    CopySpan span;
    span.dx = std::min(dx, dstW);
    span.dy = std::min(dy, dstH);
    span.sx = std::min(sx, srcW);
    span.sy = std::min(sy, srcH);
    span.w = std::min({w, dstW - span.dx, srcW - span.sx});
    span.h = std::min({h, dstH - span.dy, srcH - span.sy});
    return span;
}

// One channel (at shift) of a texel blended over a pixel with weight p percent.
DWORD BlendChannel(DWORD s, DWORD d, int shift, float p) {
    const double q = 100.0 - p;
    const DWORD sc = (s >> shift) & 0xFF;
    const DWORD dc = (d >> shift) & 0xFF;
    return static_cast<DWORD>(sc * static_cast<double>(p) / 100.0 + dc * q / 100.0) << shift;
}

DWORD BlendPixel(DWORD s, DWORD d) {
    const DWORD alpha = s >> 24;
    if (alpha == 255)
        return s;
    const float p = static_cast<float>(alpha * 100.0 / 255.0);
    return BlendChannel(s, d, 16, p) | BlendChannel(s, d, 8, p) | BlendChannel(s, d, 0, p);
}

int Channel(DWORD color, int shift) {
    return static_cast<int>((color >> shift) & 0xFF);
}

DWORD RgbOf(COLORREF color) {
    return (color & 0xFF) << 16 | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// One channel of ink laid over the key colour with coverage, rounded as glyphs are drawn.
int OverKey(int ink, int coverage) {
    return (ink * coverage + Channel(TQ2DGUI_KEY_COLOR, 0) * (255 - coverage) + 127) / 255;
}

// Whether the pixel is the ink (0xRRGGBB) laid over the key colour with coverage, within rounding.
bool AgreesWith(DWORD pixel, DWORD ink, int coverage) {
    for (int shift : {0, 8, 16})
        if (std::abs(OverKey(Channel(ink, shift), coverage) - Channel(pixel, shift)) > 1)
            return false;
    return true;
}

// The colour that, laid over the key colour with coverage (1 to 254), gives the pixel.
DWORD WithoutKey(DWORD pixel, int coverage) {
    DWORD rgb = 0;
    for (int shift : {0, 8, 16}) {
        const int under = Channel(TQ2DGUI_KEY_COLOR, shift) * (255 - coverage);
        const int ink = (Channel(pixel, shift) * 255 - under + coverage / 2) / coverage;
        rgb |= static_cast<DWORD>(std::clamp(ink, 0, 255)) << shift;
    }
    return rgb;
}

// Larger sides cannot be named in a bitmap header.
const DWORD kMaxBitmapSide = 0x7FFF;
const float kMaxExtent = 65536.0f;

} // namespace

DWORD TQ2DGUIGlyphTexel(BYTE coverage, COLORREF ink) {
    return static_cast<DWORD>(coverage) << 24 | RgbOf(ink);
}

DWORD TQ2DGUIInkTexel(DWORD pixel, BYTE coverage, COLORREF ink) {
    pixel &= 0xFFFFFF;
    if (coverage == 0 || coverage == 255)
        return 0xFF000000 | pixel;
    if (AgreesWith(pixel, RgbOf(ink), coverage))
        return TQ2DGUIGlyphTexel(coverage, ink);
    return static_cast<DWORD>(coverage) << 24 | WithoutKey(pixel, coverage);
}

DWORD TQ2DGUIPixelExtent(float extent) {
    return extent >= 1.0f && extent < kMaxExtent ? static_cast<DWORD>(extent) : 0;
}

HBITMAP TQ2DGUICreateDIB(HDC dc, DWORD w, DWORD h, DWORD** bits, BYTE** coverage) {
    *bits = nullptr;
    *coverage = nullptr;
    if (w == 0 || h == 0 || w > kMaxBitmapSide || h > kMaxBitmapSide)
        return nullptr;
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -static_cast<LONG>(h);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    BYTE* covered = bitmap ? GetDIBSectionCoverage(bitmap) : nullptr;
    if (bitmap && (!pixels || !covered)) {
        DeleteObject(bitmap);
        return nullptr;
    }
    *bits = static_cast<DWORD*>(pixels);
    *coverage = covered;
    return bitmap;
}

TQ2DGDI::TQ2DGDI() : m_hFont(TQ2DGetDefaultFont()) {
    m_hDC = CreateCompatibleDC(nullptr);
    CreateBitmap(1, 1);
}

TQ2DGDI::~TQ2DGDI() {
    DeleteBitmap();
    if (m_hDC)
        DeleteDC(m_hDC);
}

int TQ2DGDI::CreateBitmap(DWORD w, DWORD h) {
    if (!m_hDC)
        return 0;
    const COLORREF textColor = GetTextColor(m_hDC);
    const COLORREF bkColor = GetBkColor(m_hDC);
    const int bkMode = GetBkMode(m_hDC);
    DeleteBitmap();
    DWORD* bits = nullptr;
    BYTE* coverage = nullptr;
    HBITMAP bitmap = TQ2DGUICreateDIB(m_hDC, w, h, &bits, &coverage);
    if (!bitmap)
        return 0;
    m_dwWidth = w;
    m_dwHeight = h;
    m_hBitmap = bitmap;
    m_pBits = bits;
    m_pCoverage = coverage;
    std::memset(m_pBits, 1, static_cast<size_t>(w) * h * 4);
    HGDIOBJ previous = SelectObject(m_hDC, m_hBitmap);
    if (!m_hFirstBitmap)
        m_hFirstBitmap = previous;
    SetFont(m_hFont);
    SetTextColor(m_hDC, textColor);
    SetBkColor(m_hDC, bkColor);
    SetBkMode(m_hDC, bkMode);
    return 1;
}

void TQ2DGDI::DeleteBitmap() {
    if (m_hBitmap) {
        if (m_hDC && m_hFirstBitmap)
            SelectObject(m_hDC, m_hFirstBitmap);
        DeleteObject(m_hBitmap);
    }
    m_hBitmap = nullptr;
    m_pBits = nullptr;
    m_pCoverage = nullptr;
    m_dwWidth = 0;
    m_dwHeight = 0;
}

void TQ2DGDI::SetFont(HFONT hFont) {
    m_hFont = hFont ? hFont : TQ2DGetDefaultFont();
    if (!m_hDC)
        return;
    if (m_hFont)
        SelectObject(m_hDC, m_hFont);
    SetTextCharacterExtra(m_hDC, 0);
}

void TQ2DGDI::ClearBitmap(DWORD dwColor) {
    if (!m_pBits)
        return;
    std::fill(m_pBits, m_pBits + static_cast<size_t>(m_dwWidth) * m_dwHeight, dwColor & 0xFFFFFF);
    SetCoverage(0, 0, static_cast<int>(m_dwWidth), static_cast<int>(m_dwHeight),
                (dwColor & 0xFFFFFF) == TQ2DGUI_KEY_COLOR ? 0 : 255);
}

void TQ2DGDI::FillSolidRect(int x, int y, int w, int h, DWORD clr) {
    if (!m_hDC)
        return;
    SetBkColor(m_hDC, clr);
    RECT rect = {x, y, x + w, y + h};
    ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    if ((clr & 0xFFFFFF) == TQ2DGUI_KEY_COLOR) // the key colour is the same in both orders
        SetCoverage(x, y, w, h, 0);
}

void TQ2DGDI::SetCoverage(int x, int y, int w, int h, BYTE coverage) {
    if (!m_pCoverage)
        return;
    const long long width = m_dwWidth, height = m_dwHeight;
    const long long left = std::clamp<long long>(x, 0, width);
    const long long right = std::clamp<long long>(static_cast<long long>(x) + w, left, width);
    const long long top = std::clamp<long long>(y, 0, height);
    const long long bottom = std::clamp<long long>(static_cast<long long>(y) + h, top, height);
    for (long long row = top; row < bottom; ++row)
        std::fill(m_pCoverage + row * width + left, m_pCoverage + row * width + right, coverage);
}

void TQ2DGDI::Draw3dRect(int x, int y, int w, int h, DWORD clrTopLeft, DWORD clrBottomRight) {
    FillSolidRect(x, y, w - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, h - 1, clrTopLeft);
    FillSolidRect(x + w - 1, y, 1, h, clrBottomRight);
    FillSolidRect(x, y + h - 1, w, 1, clrBottomRight);
}

void TQ2DGDI::ClearTexture(TQ2DTexture& tex, BYTE alpha, DWORD dwColor) {
    DWORD* texels = tex.Lock(false);
    if (!texels)
        return;
    const size_t count = static_cast<size_t>(tex.GetWidth(false)) * tex.GetHeight(false);
    std::fill(texels, texels + count, static_cast<DWORD>(alpha) << 24 | (dwColor & 0xFFFFFF));
    tex.UnLock();
}

void TQ2DGDI::UpdateTexture(TQ2DTexture& tex, DWORD dx, DWORD dy, DWORD sx, DWORD sy, DWORD w, DWORD h) {
    if (!m_pBits)
        return;
    const DWORD tw = tex.GetWidth(false);
    const DWORD th = tex.GetHeight(false);
    if (w == 0 || w > m_dwWidth)
        w = m_dwWidth;
    if (h == 0 || h > m_dwHeight)
        h = m_dwHeight;
    const CopySpan span = ClipSpan(dx, dy, sx, sy, w, h, tw, th, m_dwWidth, m_dwHeight);
    DWORD* texels = tex.Lock(false);
    if (!texels)
        return;
    const COLORREF ink = GetTextColor(m_hDC);
    for (DWORD row = 0; row < span.h; ++row) {
        const size_t first = static_cast<size_t>(span.sy + row) * m_dwWidth + span.sx;
        const DWORD* src = m_pBits + first;
        const BYTE* covered = m_pCoverage + first;
        DWORD* dst = texels + static_cast<size_t>(span.dy + row) * tw + span.dx;
        for (DWORD col = 0; col < span.w; ++col)
            if (TQ2DGUIHasInk(src[col], covered[col]))
                dst[col] = TQ2DGUIInkTexel(src[col], covered[col], ink);
    }
    tex.UnLock();
}

void TQ2DGDI::DrawTexture(TQ2DTexture& tex, DWORD dx, DWORD dy, DWORD sx, DWORD sy, DWORD w, DWORD h) {
    if (!m_pBits)
        return;
    const DWORD tw = tex.GetWidth(false);
    const DWORD th = tex.GetHeight(false);
    if (w == 0 || w > tw)
        w = tw;
    if (h == 0 || h > th)
        h = th;
    const CopySpan span = ClipSpan(dx, dy, sx, sy, w, h, m_dwWidth, m_dwHeight, tw, th);
    const DWORD* texels = tex.Lock(true);
    if (!texels)
        return;
    for (DWORD row = 0; row < span.h; ++row) {
        const DWORD* src = texels + static_cast<size_t>(span.sy + row) * tw + span.sx;
        const size_t first = static_cast<size_t>(span.dy + row) * m_dwWidth + span.dx;
        DWORD* dst = m_pBits + first;
        BYTE* covered = m_pCoverage + first;
        for (DWORD col = 0; col < span.w; ++col)
            if (src[col] >> 24) { // what a texel paints is solid on the bitmap
                dst[col] = BlendPixel(src[col], dst[col]);
                covered[col] = 255;
            }
    }
    tex.UnLock();
}
