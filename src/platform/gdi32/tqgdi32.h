/// @file
/// GDI32 text drawing and the USER32 device-context calls that go with it.
///
/// Fonts are resolved by fontconfig and drawn by FreeType into 32-bit DIB sections. Text is GBK
/// (code page 936) bytes. Colours passed in are COLORREF values 0x00BBGGRR; the pixels of a DIB
/// section are 0x00RRGGBB. Every call is safe from any thread (one lock guards the whole layer);
/// handles that were never issued, or were deleted, are refused.
/// This reference leaves the declarations out: names, values and meanings are as on the platform.
#pragma once

#include "platform/win32/tqwintypes.h"

/// @cond PLATFORM_DECLARATIONS
// GetDeviceCaps indices.
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define LOGPIXELSX 88
#define LOGPIXELSY 90

// Background modes.
#define TRANSPARENT 1
#define OPAQUE 2

// ExtTextOutA options.
#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004

// DrawTextA formats. Vertical centring and bottom alignment apply to single-line text only.
#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_SINGLELINE 0x00000020
#define DT_NOCLIP 0x00000100

// Bitmaps.
#define BI_RGB 0
#define DIB_RGB_COLORS 0

// Font weights, character sets, precisions, qualities and pitches.
#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define GB2312_CHARSET 134
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FF_DONTCARE 0
#define LF_FACESIZE 32

// TEXTMETRICA::tmPitchAndFamily bits (TMPF_FIXED_PITCH set means variable pitch).
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04

#define CLR_INVALID 0xFFFFFFFF

struct LOGFONTA {
    LONG lfHeight; // < 0: em height in pixels; > 0: cell height; 0: default size
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE]; // GBK, NUL-terminated
};
typedef LOGFONTA* LPLOGFONTA;
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA layout");

struct TEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
typedef TEXTMETRICA* LPTEXTMETRICA;
static_assert(sizeof(TEXTMETRICA) == 56, "TEXTMETRICA layout");

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // negative: rows from the top
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER layout");

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

// Device contexts of windows and of the screen (USER32).

// A device context for the window's client area; NULL gives the screen; an invalid window fails. The screen
// has no pixels of its own: drawing on it succeeds and shows nothing.
HDC GetDC(HWND hWnd);
// Releases a context from GetDC: 1 on success, 0 for any other handle.
int ReleaseDC(HWND hWnd, HDC hDC);
// Draws text formatted inside a rectangle (DT_* flags); lines break at '\n' ("\r\n" counts as
// one break) unless DT_SINGLELINE. Returns the height of the text, or with DT_VCENTER/DT_BOTTOM
// the offset from the rectangle's top to the bottom of the text; 0 on failure. A count of -1
// means a NUL-terminated text.
int DrawTextA(HDC hDC, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format);

// Device capabilities and coordinates. The mapping mode is always the identity.
int GetDeviceCaps(HDC hdc, int index);
BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c);

// Fonts. Weights of FW_SEMIBOLD and above pick a bold face (emboldened when the face has none);
// lfItalic slants faces that have no italic; NONANTIALIASED_QUALITY draws monochrome glyphs, every
// other quality greyscale antialiased. Fails (NULL) for em or cell heights above 2048 pixels.
HFONT CreateFontIndirectA(const LOGFONTA* lplf);
HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision,
                  DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName);

// Memory device contexts: black text, white background, OPAQUE mode, text aligned at its top-left
// corner, no character spacing, a default font and a 1 x 1 bitmap selected.
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

// A DIB section: 32 bits a pixel, BI_RGB, one plane; rows from the top when biHeight is negative.
// Each row is width x 4 bytes; pixels start zeroed. *ppvBits receives the pixel memory. Fails for
// a zero or absurd size and for any other format. hdc, hSection and offset are not used.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection,
                         DWORD offset);

// Selects a font or bitmap into a memory DC (fonts only into other DCs) and returns the previously
// selected object of that kind, NULL on failure. A bitmap can be selected into one DC at a time.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
// Deletes a font or bitmap. An object still selected into a DC stays usable by that DC until it
// is replaced there or the DC is deleted; the handle is invalid at once. Stock objects (the
// default font and bitmap of new DCs) are left alone and the call succeeds.
BOOL DeleteObject(HGDIOBJ ho);

// DC state; the setters return the previous value (CLR_INVALID, 0 or 0x80000000 on failure).
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
// Extra pixels added after every character by text output and measurement.
int SetTextCharacterExtra(HDC hdc, int extra);

// Draws text with its cell's top-left corner at (x, y). ETO_OPAQUE fills *lprect with the
// background colour first; ETO_CLIPPED clips the text to *lprect. In OPAQUE mode the text's cell
// is filled with the background colour. lpDx is not supported and must be NULL.
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c,
                 const INT* lpDx);
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);
// Width (advances plus character spacing) and height (tmHeight) of the text.
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl);
BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm);
/// @endcond

/// How much of each pixel of a DIB section the drawing on it covered, one byte a pixel in the
/// order of its pixel memory: 0 where nothing was drawn, 255 under fills and solid glyph parts, a
/// glyph's edge its coverage laid over what was there. A new DIB section is uncovered. This is what
/// tells a glyph's edge from the pixel it was drawn on when the ink is close to that pixel's
/// colour. Writing the pixel memory directly leaves it alone; the caller may write it too. NULL for
/// a handle that is not a live DIB section.
BYTE* GetDIBSectionCoverage(HBITMAP hbm);
