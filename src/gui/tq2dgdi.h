/// @file
/// TQ2DGDI: an off-screen GDI surface on which the GUI draws text and simple shapes, and from which
/// it copies pixels into engine textures.
///
/// It owns a memory device context, a top-down 32-bit DIB section selected into it, and a font (the
/// engine's default font unless set). Pixels are 0x00RRGGBB. Pixels that were never drawn keep the
/// key colour 0x010101, which the copy into a texture treats as no ink. Colours passed to the
/// drawing calls are GDI colour values 0x00BBGGRR.
///
/// The text colour, background mode and font of text drawn on it are the device context's: there
/// is no setter here; call the platform's SetTextColor, SetBkMode or SelectObject on GetHDC().
///
/// Not copyable: the surface owns its device context and bitmap.
#pragma once

#include "containers/tqmemorypooltmpl.h"
#include "platform/gdi32/tqgdi32.h"
#include "platform/win32/tqwintypes.h"

class TQ2DTexture;

/// The no-ink pixel of every bitmap the GUI draws text into.
const DWORD TQ2DGUI_KEY_COLOR = 0x010101;

/// A pixel (0x00RRGGBB) that ink (a GDI colour 0x00BBGGRR) left on a bitmap of the colour
/// background, as a texel: a glyph's edge, the ink blended over the background, becomes the ink with
/// its coverage as alpha, so that it blends with whatever the texture is drawn over; any other pixel
/// becomes opaque.
DWORD TQ2DGUIInkTexel(DWORD pixel, COLORREF ink, DWORD background);

/// A control's extent as a bitmap size in whole pixels: below 1, NaN and absurd extents read as 0.
DWORD TQ2DGUIPixelExtent(float extent);

/// A top-down 32-bit DIB section of w x h on dc with its pixel memory in *bits; NULL for an empty
/// or absurd size or when it cannot be made.
HBITMAP TQ2DGUICreateDIB(HDC dc, DWORD w, DWORD h, DWORD** bits);

/// An off-screen GDI surface for the GUI's text; see tq2dgdi.h.
class TQ2DGDI {
public:
    /// A memory device context with the default font and a 1 x 1 bitmap.
    TQ2DGDI();
    TQ2DGDI(const TQ2DGDI&) = delete;
    TQ2DGDI& operator=(const TQ2DGDI&) = delete;
    virtual ~TQ2DGDI();

    /// Replaces the bitmap by a w x h one filled with the key colour, keeping the font, the colours
    /// and the background mode: 1, or 0 (no pixels then) without a context or when it cannot be made.
    int CreateBitmap(DWORD w, DWORD h);
    /// Frees the bitmap (no pixels after).
    void DeleteBitmap();
    /// NULL selects the engine's default font. Character spacing is reset to 0.
    void SetFont(HFONT hFont);
    /// The selected font.
    HFONT GetFont() const { return m_hFont; }
    /// The memory device context.
    HDC GetHDC() const { return m_hDC; }
    /// Bitmap width in pixels, 0 without a bitmap.
    DWORD GetBitmapWidth() const { return m_dwWidth; }
    /// Bitmap height in pixels, 0 without a bitmap.
    DWORD GetBitmapHeight() const { return m_dwHeight; }
    /// The pixel memory (rows from the top, width pixels each); NULL without a bitmap.
    DWORD* GetBits() const { return m_pBits; }

    /// Every pixel becomes dwColor & 0xFFFFFF (a pixel value 0x00RRGGBB).
    void ClearBitmap(DWORD dwColor);
    /// Fills the rectangle with clr, which stays the context's background colour.
    void FillSolidRect(int x, int y, int w, int h, DWORD clr);
    /// A one-pixel frame: top and left in clrTopLeft, right and bottom in clrBottomRight.
    void Draw3dRect(int x, int y, int w, int h, DWORD clrTopLeft, DWORD clrBottomRight);

    /// Every texel of the texture's surface becomes alpha << 24 | (dwColor & 0xFFFFFF).
    void ClearTexture(TQ2DTexture& tex, BYTE alpha, DWORD dwColor);
    /// Copies the bitmap rectangle (sx, sy, w, h) to (dx, dy) of the texture; key-coloured pixels
    /// leave their texels alone, the others become opaque. w or h 0 (or too large) take the
    /// bitmap's size; everything is clipped to both surfaces.
    void UpdateTexture(TQ2DTexture& tex, DWORD dx, DWORD dy, DWORD sx, DWORD sy, DWORD w, DWORD h);
    /// Blends the texture rectangle (sx, sy, w, h) into the bitmap at (dx, dy) by the texels' alpha.
    void DrawTexture(TQ2DTexture& tex, DWORD dx, DWORD dy, DWORD sx, DWORD sy, DWORD w, DWORD h);

    TQ_DECLARE_MEMORY_POOL(TQ2DGDI)

private:
    HDC m_hDC = nullptr;
    HFONT m_hFont = nullptr;
    HBITMAP m_hBitmap = nullptr;
    DWORD* m_pBits = nullptr;
    DWORD m_dwWidth = 0;
    DWORD m_dwHeight = 0;
    HGDIOBJ m_hFirstBitmap = nullptr; // the context's own bitmap, selected back before a delete
};
