// The GDI32 and USER32 entry points: argument checks, handle look-ups and the layer's lock.
#include "platform/gdi32/tqgdi32.h"

#include "platform/gdi32/tqgdidc.h"
#include "platform/gdi32/tqgdidrawtext.h"
#include "platform/gdi32/tqgdihandles.h"
#include "platform/win32/tqplatformlog.h"
#include "platform/win32/tquser32.h"

#include <cstring>
#include <mutex>

using namespace tqplat;

namespace {

const int kScreenDpi = 96;
const int kScreenBitsPerPixel = 32;
const int kInvalidExtra = static_cast<int>(0x80000000u);

// Never destroyed, like the handle table, so that calls made during exit still work.
std::mutex& GdiLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

// The font new DCs start with: the default face at the default size. Null when no face exists.
std::shared_ptr<GdiFont> CreateStockFont() {
    LOGFONTA logFont = {};
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    std::shared_ptr<GdiFont> font = GdiFont::Create(logFont);
    if (font) {
        font->MarkStock();
        GdiHandles::Instance().Add(font);
    }
    return font;
}

// The 1 x 1 bitmap new memory DCs start with.
std::shared_ptr<GdiBitmap> CreateStockBitmap() {
    std::shared_ptr<GdiBitmap> bitmap = GdiBitmap::CreateStock();
    bitmap->MarkStock();
    GdiHandles::Instance().Add(bitmap);
    return bitmap;
}

// Stock objects, like the handle table, are never destroyed.
std::shared_ptr<GdiFont> StockFont() {
    static auto* font = new std::shared_ptr<GdiFont>(CreateStockFont());
    return *font;
}

std::shared_ptr<GdiBitmap> StockBitmap() {
    static auto* bitmap = new std::shared_ptr<GdiBitmap>(CreateStockBitmap());
    return *bitmap;
}

std::shared_ptr<GdiDC> FindDC(HDC hdc) {
    std::shared_ptr<GdiDC> dc = FindGdi<GdiDC>(hdc, GdiKind::DC);
    if (!dc)
        PlatformLog("invalid device context %p", static_cast<void*>(hdc));
    return dc;
}

// Runs `use` on the DC under the GDI lock; `fallback` for a handle that names no DC.
template <class R, class Use> R WithDC(HDC hdc, R fallback, Use use) {
    std::lock_guard<std::mutex> guard(GdiLock());
    std::shared_ptr<GdiDC> dc = FindDC(hdc);
    return dc ? use(*dc) : fallback;
}

HDC NewDC(GdiDC::Type type) {
    std::shared_ptr<GdiFont> font = StockFont();
    if (!font)
        return nullptr;
    std::shared_ptr<GdiBitmap> bitmap = type == GdiDC::Type::Memory ? StockBitmap() : nullptr;
    return static_cast<HDC>(GdiHandles::Instance().Add(std::make_shared<GdiDC>(type, font, bitmap)));
}

// Text length from a count, -1 meaning NUL-terminated; false for a bad count or a NULL text.
bool TextLength(LPCSTR text, long long count, size_t* length) {
    if (count < -1 || (text == nullptr && count != 0)) {
        PlatformLog("invalid text (count %lld)", count);
        return false;
    }
    *length = count == -1 ? std::strlen(text) : static_cast<size_t>(count);
    return true;
}

HFONT AddFont(const LOGFONTA& logFont) {
    std::shared_ptr<GdiFont> font = GdiFont::Create(logFont);
    return font ? static_cast<HFONT>(GdiHandles::Instance().Add(font)) : nullptr;
}

} // namespace

HDC GetDC(HWND hWnd) {
    if (hWnd != nullptr && !IsWindow(hWnd)) {
        PlatformLog("GetDC: invalid window %p", static_cast<void*>(hWnd));
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(GdiLock());
    return NewDC(GdiDC::Type::Window);
}

int ReleaseDC(HWND, HDC hDC) {
    std::lock_guard<std::mutex> guard(GdiLock());
    std::shared_ptr<GdiDC> dc = FindGdi<GdiDC>(hDC, GdiKind::DC);
    if (!dc || dc->DCType() != GdiDC::Type::Window)
        return 0;
    return GdiHandles::Instance().Remove(hDC) ? 1 : 0;
}

int DrawTextA(HDC hDC, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    std::lock_guard<std::mutex> guard(GdiLock());
    std::shared_ptr<GdiDC> dc = FindDC(hDC);
    size_t length = 0;
    if (!dc || lprc == nullptr || !TextLength(lpchText, cchText, &length))
        return 0;
    return DrawTextInRect(*dc, lpchText, length, *lprc, format);
}

int GetDeviceCaps(HDC hdc, int index) {
    std::lock_guard<std::mutex> guard(GdiLock());
    if (!FindDC(hdc))
        return 0;
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return kScreenDpi;
    case BITSPIXEL:
        return kScreenBitsPerPixel;
    case PLANES:
        return 1;
    default:
        return 0;
    }
}

BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c) {
    std::lock_guard<std::mutex> guard(GdiLock());
    // The mapping mode is MM_TEXT: device and logical coordinates are the same.
    return FindDC(hdc) && (lppt != nullptr || c == 0) && c >= 0 ? TRUE : FALSE;
}

HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
    std::lock_guard<std::mutex> guard(GdiLock());
    if (lplf == nullptr) {
        PlatformLog("CreateFontIndirectA without a LOGFONTA");
        return nullptr;
    }
    return AddFont(*lplf);
}

HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision,
                  DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName) {
    LOGFONTA logFont = {cHeight,
                        cWidth,
                        cEscapement,
                        cOrientation,
                        cWeight,
                        static_cast<BYTE>(bItalic),
                        static_cast<BYTE>(bUnderline),
                        static_cast<BYTE>(bStrikeOut),
                        static_cast<BYTE>(iCharSet),
                        static_cast<BYTE>(iOutPrecision),
                        static_cast<BYTE>(iClipPrecision),
                        static_cast<BYTE>(iQuality),
                        static_cast<BYTE>(iPitchAndFamily),
                        {}};
    if (pszFaceName != nullptr)
        std::strncpy(logFont.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&logFont);
}

HDC CreateCompatibleDC(HDC) {
    std::lock_guard<std::mutex> guard(GdiLock());
    return NewDC(GdiDC::Type::Memory);
}

BOOL DeleteDC(HDC hdc) {
    std::lock_guard<std::mutex> guard(GdiLock());
    return FindDC(hdc) && GdiHandles::Instance().Remove(hdc) ? TRUE : FALSE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE, DWORD) {
    std::lock_guard<std::mutex> guard(GdiLock());
    if (ppvBits != nullptr)
        *ppvBits = nullptr;
    if (pbmi == nullptr || usage != DIB_RGB_COLORS) {
        PlatformLog("CreateDIBSection needs a BITMAPINFO with DIB_RGB_COLORS");
        return nullptr;
    }
    std::shared_ptr<GdiBitmap> bitmap = GdiBitmap::CreateDib(pbmi->bmiHeader);
    if (!bitmap)
        return nullptr;
    if (ppvBits != nullptr)
        *ppvBits = bitmap->Bits();
    return static_cast<HBITMAP>(GdiHandles::Instance().Add(bitmap));
}

BYTE* GetDIBSectionCoverage(HBITMAP hbm) {
    std::lock_guard<std::mutex> guard(GdiLock());
    std::shared_ptr<GdiBitmap> bitmap = FindGdi<GdiBitmap>(hbm, GdiKind::Bitmap);
    return bitmap ? bitmap->Coverage() : nullptr;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    std::lock_guard<std::mutex> guard(GdiLock());
    std::shared_ptr<GdiDC> dc = FindDC(hdc);
    std::shared_ptr<GdiObject> object = GdiHandles::Instance().Find(h);
    if (!dc || !object) {
        PlatformLog("SelectObject: invalid object %p", h);
        return nullptr;
    }
    std::shared_ptr<GdiObject> previous;
    if (object->Kind() == GdiKind::Font)
        previous = dc->SelectFont(std::static_pointer_cast<GdiFont>(object));
    else if (object->Kind() == GdiKind::Bitmap)
        previous = dc->SelectBitmap(std::static_pointer_cast<GdiBitmap>(object));
    if (!previous) {
        PlatformLog("SelectObject: object %p cannot be selected into this DC", h);
        return nullptr;
    }
    return previous->Handle();
}

BOOL DeleteObject(HGDIOBJ ho) {
    std::lock_guard<std::mutex> guard(GdiLock());
    std::shared_ptr<GdiObject> object = GdiHandles::Instance().Find(ho);
    if (!object || object->Kind() == GdiKind::DC) {
        PlatformLog("DeleteObject: invalid object %p", ho);
        return FALSE;
    }
    // A DC that still holds the object keeps it alive until it lets go of it.
    if (!object->IsStock())
        GdiHandles::Instance().Remove(ho);
    return TRUE;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    return WithDC(hdc, CLR_INVALID, [color](GdiDC& dc) {
        COLORREF previous = dc.TextColor();
        dc.SetTextColor(color);
        return previous;
    });
}

COLORREF GetTextColor(HDC hdc) {
    return WithDC(hdc, CLR_INVALID, [](GdiDC& dc) { return dc.TextColor(); });
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    return WithDC(hdc, CLR_INVALID, [color](GdiDC& dc) {
        COLORREF previous = dc.BkColor();
        dc.SetBkColor(color);
        return previous;
    });
}

COLORREF GetBkColor(HDC hdc) {
    return WithDC(hdc, CLR_INVALID, [](GdiDC& dc) { return dc.BkColor(); });
}

int SetBkMode(HDC hdc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
        PlatformLog("SetBkMode: invalid call (mode %d)", mode);
        return 0;
    }
    return WithDC(hdc, 0, [mode](GdiDC& dc) {
        int previous = dc.BkMode();
        dc.SetBkMode(mode);
        return previous;
    });
}

int GetBkMode(HDC hdc) {
    return WithDC(hdc, 0, [](GdiDC& dc) { return dc.BkMode(); });
}

int SetTextCharacterExtra(HDC hdc, int extra) {
    return WithDC(hdc, kInvalidExtra, [extra](GdiDC& dc) {
        int previous = dc.CharacterExtra();
        dc.SetCharacterExtra(extra);
        return previous;
    });
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c,
                 const INT* lpDx) {
    std::lock_guard<std::mutex> guard(GdiLock());
    std::shared_ptr<GdiDC> dc = FindDC(hdc);
    size_t length = 0;
    if (lpDx != nullptr) {
        PlatformLog("ExtTextOutA: character widths are not supported");
        return FALSE;
    }
    if (!dc || !TextLength(lpString, c, &length))
        return FALSE;
    dc->TextOut(x, y, options, lprect, lpString, length);
    return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    if (c < 0) {
        PlatformLog("TextOutA: negative count %d", c);
        return FALSE;
    }
    return ExtTextOutA(hdc, x, y, 0, nullptr, lpString, static_cast<UINT>(c), nullptr);
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
    std::lock_guard<std::mutex> guard(GdiLock());
    std::shared_ptr<GdiDC> dc = FindDC(hdc);
    size_t length = 0;
    if (!dc || psizl == nullptr || c < 0 || !TextLength(lpString, c, &length))
        return FALSE;
    *psizl = dc->TextExtent(lpString, length);
    return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
    std::lock_guard<std::mutex> guard(GdiLock());
    std::shared_ptr<GdiDC> dc = FindDC(hdc);
    if (!dc || lptm == nullptr)
        return FALSE;
    *lptm = dc->Metrics();
    return TRUE;
}
