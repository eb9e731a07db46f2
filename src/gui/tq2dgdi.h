/// @file
/// TQ2DGDI: an off-screen GDI surface on which the GUI draws text and simple shapes, and from which
/// it copies pixels into engine textures.
///
/// It owns a memory device context, a top-down 32-bit DIB section selected into it, and a font (the
/// engine's default font unless set). Pixels are 0x00RRGGBB. Pixels that were never drawn keep the
/// key colour 0x010101, which the copy into a texture treats as no ink. A glyph's edge is told from
/// them by the coverage the platform records beside the pixels, whatever the text colour (black ink
/// over the key colour changes the pixel by one step at most). Colours passed to the drawing calls
/// are GDI colour values 0x00BBGGRR.
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

/// Whether a bitmap pixel (0x00RRGGBB) carries ink, given how much the drawing on the bitmap
/// covered it (0-255, as the platform records it beside the pixels): whatever was drawn on does,
/// whatever its colour (the surface's own fills with the key colour erase, uncovering); a pixel
/// nothing was drawn on does unless it has the key colour.
inline bool TQ2DGUIHasInk(DWORD pixel, BYTE coverage) {
    return coverage != 0 || (pixel & 0xFFFFFF) != TQ2DGUI_KEY_COLOR;
}

/// The texel of a pixel that ink (a GDI colour 0x00BBGGRR) alone covered by coverage: the ink with
/// the coverage as alpha.
DWORD TQ2DGUIGlyphTexel(BYTE coverage, COLORREF ink);

/// The texel of a pixel that carries ink: a glyph's edge (partly covered, drawn over the key
/// colour) becomes its ink with its coverage as alpha, so that it blends with whatever the texture
/// is drawn over; any other pixel becomes opaque. The edge's ink is the given text colour when the
/// pixel agrees with it, else the colour the pixel shows with the key colour taken out.
DWORD TQ2DGUIInkTexel(DWORD pixel, BYTE coverage, COLORREF ink);

/// A control's extent as a bitmap size in whole pixels: below 1, NaN and absurd extents read as 0.
DWORD TQ2DGUIPixelExtent(float extent);

/// A top-down 32-bit DIB section of w x h on dc with its pixel memory in *bits and what its drawing
/// covered in *coverage (a byte a pixel); NULL for an empty or absurd size or when it cannot be made.
HBITMAP TQ2DGUICreateDIB(HDC dc, DWORD w, DWORD h, DWORD** bits, BYTE** coverage);

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

    /// Every pixel becomes dwColor & 0xFFFFFF (a pixel value 0x00RRGGBB); the key colour erases.
    void ClearBitmap(DWORD dwColor);
    /// Fills the rectangle with clr, which stays the context's background colour; the key colour
    /// erases.
    void FillSolidRect(int x, int y, int w, int h, DWORD clr);
    /// A one-pixel frame: top and left in clrTopLeft, right and bottom in clrBottomRight.
    void Draw3dRect(int x, int y, int w, int h, DWORD clrTopLeft, DWORD clrBottomRight);

    /// Every texel of the texture's surface becomes alpha << 24 | (dwColor & 0xFFFFFF).
    void ClearTexture(TQ2DTexture& tex, BYTE alpha, DWORD dwColor);
    /// Copies the bitmap rectangle (sx, sy, w, h) to (dx, dy) of the texture: pixels without ink
    /// leave their texels alone, glyph edges become their ink with their coverage as alpha
    /// (TQ2DGUIInkTexel, the ink being the context's text colour), the others become opaque. w or h
    /// 0 (or too large) take the bitmap's size; everything is clipped to both surfaces.
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
    BYTE* m_pCoverage = nullptr;      // what the drawing covered, a byte a pixel
    HGDIOBJ m_hFirstBitmap = nullptr; // the context's own bitmap, selected back before a delete

    void SetCoverage(int x, int y, int w, int h, BYTE coverage);
};
