// Device contexts, DIB sections and handles: defaults, selection, colours, coverage and clipping.
#include "gdisurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

BITMAPINFO DibInfo(LONG width, LONG height, WORD bits = 32) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP MakeDib(LONG width, LONG height, void** bits, WORD bitCount = 32) {
    BITMAPINFO info = DibInfo(width, height, bitCount);
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

} // namespace

TEST(GdiDC, ScreenContextAndMemoryDefaults) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    POINT points[2] = {{3, 12}, {-4, 0}};
    EXPECT_TRUE(DPtoLP(screen, points, 2));
    EXPECT_EQ(points[0].y, 12);
    EXPECT_EQ(points[1].x, -4);
    EXPECT_TRUE(TextOutA(screen, 0, 0, "nothing to see", 14)); // the screen keeps no pixels
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 0);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x7777)), nullptr);

    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetTextColor(dc), 0x000000u);
    EXPECT_EQ(GetBkColor(dc), 0xFFFFFFu);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, 7), 0);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), 0u);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(SetBkColor(dc, RGB(4, 5, 6)), 0xFFFFFFu);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0); // not a window DC
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(GetTextColor(dc), CLR_INVALID);
}

TEST(GdiDC, DibSectionsAreTopDownAndRefuseBadSizes) {
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(MakeDib(0, -4, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
    EXPECT_EQ(MakeDib(4, 0, &bits), nullptr);
    EXPECT_EQ(MakeDib(-4, -4, &bits), nullptr);
    EXPECT_EQ(MakeDib(100000, -100000, &bits), nullptr);
    EXPECT_EQ(MakeDib(30000, -30000, &bits), nullptr); // 3.6 GB
    EXPECT_EQ(MakeDib(4, INT_MIN, &bits), nullptr);
    EXPECT_EQ(MakeDib(4, -4, &bits, 24), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);

    HBITMAP bitmap = MakeDib(5, -3, &bits);
    ASSERT_NE(bitmap, nullptr);
    const uint32_t* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(pixels[i], 0u);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ stock = SelectObject(dc, bitmap);
    ASSERT_NE(stock, nullptr);
    // Fill the second row through GDI: row 1 of a top-down DIB is words 5..9.
    SetBkColor(dc, RGB(0x12, 0x34, 0x56));
    RECT row = {0, 1, 5, 2};
    EXPECT_TRUE(ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &row, nullptr, 0, nullptr));
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(pixels[i], i >= 5 && i < 10 ? 0x00123456u : 0u) << i;

    // A bitmap lives in one DC at a time; selecting back returns it.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    EXPECT_EQ(SelectObject(dc, stock), bitmap);
    EXPECT_NE(SelectObject(other, bitmap), nullptr);
    DeleteDC(other);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));
}

// White over black leaves each pixel's red channel equal to how much the drawing covered it, for
// one glyph, glyphs laid over glyphs and fills alike: the recorded coverage must say the same, in
// the pixels' own order, for DIBs top-down and bottom-up.
TEST(GdiDC, DibSectionsRecordWhatTheDrawingCovered) {
    EXPECT_EQ(GetDIBSectionCoverage(nullptr), nullptr);
    HFONT font = MakeFont(-15, "Sans", FW_BOLD);
    for (LONG height : {-24, 24}) {
        void* bits = nullptr;
        HBITMAP bitmap = MakeDib(48, height, &bits);
        ASSERT_NE(bitmap, nullptr);
        const BYTE* coverage = GetDIBSectionCoverage(bitmap);
        ASSERT_NE(coverage, nullptr);
        EXPECT_EQ(*std::max_element(coverage, coverage + 48 * 24), 0);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ stock = SelectObject(dc, bitmap);
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutA(dc, 2, 2, "Wag", 3);
        TextOutA(dc, 3, 4, "Wag", 3);
        SetBkColor(dc, RGB(255, 255, 255));
        RECT bar = {40, 0, 44, 24};
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &bar, nullptr, 0, nullptr);
        const uint32_t* pixels = static_cast<uint32_t*>(bits);
        int partly = 0, wrong = 0;
        for (int i = 0; i < 48 * 24; ++i) {
            partly += coverage[i] != 0 && coverage[i] != 255;
            wrong += coverage[i] != (pixels[i] >> 16 & 0xFF);
        }
        EXPECT_GT(partly, 20) << height;
        EXPECT_EQ(wrong, 0) << height;
        SelectObject(dc, oldFont);
        SelectObject(dc, stock);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    DeleteObject(font);
}

TEST(GdiDC, HandlesAreCheckedAndDeletedObjectsStayUsableWhileSelected) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(0x1234)), nullptr);
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(0x5678), nullptr), nullptr);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(dc)); // a DC is not a GDI object to DeleteObject

    HFONT font = MakeFont(-12, "Times New Roman");
    HGDIOBJ stockFont = SelectObject(dc, font);
    ASSERT_NE(stockFont, nullptr);
    EXPECT_EQ(SelectObject(dc, font), font);
    void* bits = nullptr;
    HBITMAP bitmap = MakeDib(40, -20, &bits);
    HGDIOBJ stockBitmap = SelectObject(dc, bitmap);

    // Deleted while selected: the handle dies at once, the DC keeps drawing into the pixels.
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(dc, font), nullptr);
    EXPECT_TRUE(TextOutA(dc, 0, 0, "Hi", 2));
    TEXTMETRICA tm = {};
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 14);
    EXPECT_EQ(static_cast<uint32_t*>(bits)[0], 0xFFFFFFu); // OPAQUE background behind the text

    EXPECT_EQ(SelectObject(dc, stockFont), font); // the stale handle comes back, but resolves to nothing
    EXPECT_EQ(SelectObject(dc, stockBitmap), bitmap);
    EXPECT_TRUE(DeleteObject(stockFont)); // stock objects survive DeleteObject
    EXPECT_EQ(SelectObject(dc, stockFont), stockFont);
    DeleteDC(dc);
}

TEST(GdiDC, ColoursTurnFromColorrefIntoPixelOrder) {
    HFONT mono = MakeFont(-24, "Times New Roman", FW_BOLD, NONANTIALIASED_QUALITY);
    GdiSurface surface(60, 30, 0);
    SelectObject(surface.dc(), mono);
    SetTextColor(surface.dc(), RGB(0xAA, 0xBB, 0xCC));
    SetBkColor(surface.dc(), RGB(0x11, 0x22, 0x33));
    EXPECT_TRUE(TextOutA(surface.dc(), 0, 0, "I", 1));
    EXPECT_EQ(surface.at(0, 0), 0x00112233u); // the cell's background in OPAQUE mode
    int text = 0;
    for (int i = 0; i < 60 * 30; ++i) {
        uint32_t p = surface.pixels()[i];
        EXPECT_TRUE(p == 0 || p == 0x00112233u || p == 0x00AABBCCu) << std::hex << p;
        text += p == 0x00AABBCCu;
    }
    EXPECT_GT(text, 20);

    // Greyscale edges blend between the colours; the top byte stays 0.
    HFONT grey = MakeFont(-24, "Times New Roman");
    SelectObject(surface.dc(), grey);
    SetBkMode(surface.dc(), TRANSPARENT);
    surface.fill(0xFF0000FF);
    SetTextColor(surface.dc(), RGB(0xFF, 0, 0));
    TextOutA(surface.dc(), 0, 0, "O", 1);
    bool blended = false;
    for (int i = 0; i < 60 * 30; ++i) {
        uint32_t p = surface.pixels()[i];
        if (p == 0xFF0000FFu)
            continue;
        EXPECT_EQ(p >> 24, 0u);
        EXPECT_EQ((p >> 8) & 0xFF, 0u);
        EXPECT_EQ((p >> 16) + (p & 0xFF), 255u) << std::hex << p; // red over blue, rounded
        blended |= p != 0x00FF0000u;
    }
    EXPECT_TRUE(blended);
    DeleteObject(mono);
    DeleteObject(grey);
}

TEST(GdiDC, EveryWriteIsClippedToTheBitmap) {
    HFONT font = MakeFont(-30, "Times New Roman");
    GdiSurface surface(24, 16, 0x010101);
    SelectObject(surface.dc(), font);
    SetBkColor(surface.dc(), RGB(9, 9, 9));
    const char* text = "W\xD6\xD0gjQ";
    const int length = static_cast<int>(strlen(text));
    // Past every edge and corner, near and far; the sanitizers watch the pixel memory.
    const int xs[] = {INT_MIN, -1000, -20, -5, 0, 10, 20, 23, 24, 1000, INT_MAX};
    const int ys[] = {INT_MIN, -1000, -20, -5, 0, 8, 15, 16, 1000, INT_MAX};
    for (int x : xs)
        for (int y : ys)
            EXPECT_TRUE(TextOutA(surface.dc(), x, y, text, length));
    RECT huge = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_TRUE(ExtTextOutA(surface.dc(), 0, 0, ETO_OPAQUE, &huge, nullptr, 0, nullptr));
    EXPECT_EQ(surface.at(0, 0), 0x00090909u);
    EXPECT_EQ(surface.at(23, 15), 0x00090909u);
    SetTextCharacterExtra(surface.dc(), INT_MAX);
    EXPECT_TRUE(TextOutA(surface.dc(), 0, 0, text, length));
    SIZE size = {};
    EXPECT_TRUE(GetTextExtentPoint32A(surface.dc(), text, length, &size));
    EXPECT_EQ(size.cx, INT_MAX);
    SetTextCharacterExtra(surface.dc(), 0);
    RECT inverted = {20, 10, 2, 1};
    EXPECT_TRUE(ExtTextOutA(surface.dc(), 0, 0, ETO_OPAQUE | ETO_CLIPPED, &inverted, text, length, nullptr));

    // Text overlapping each edge leaves ink inside, up to that edge.
    SetBkMode(surface.dc(), TRANSPARENT);
    struct Case {
        int x, y;
        LONG RECT::*edge;
        LONG expected;
    } cases[] = {{-8, 0, &RECT::left, 0},
                 {0, -14, &RECT::top, 0},
                 {16, 0, &RECT::right, 24},
                 {0, 6, &RECT::bottom, 16}};
    for (const Case& c : cases) {
        surface.fill(0x010101);
        TextOutA(surface.dc(), c.x, c.y, "MM", 2);
        RECT ink = surface.ink();
        ASSERT_LT(ink.left, ink.right) << c.x << "," << c.y;
        EXPECT_EQ(ink.*c.edge, c.expected) << c.x << "," << c.y;
    }

    // ETO_CLIPPED keeps the text inside its rectangle.
    surface.fill(0x010101);
    RECT box = {4, 2, 12, 10};
    ExtTextOutA(surface.dc(), 0, 0, ETO_CLIPPED, &box, "WW", 2, nullptr);
    RECT ink = surface.ink();
    EXPECT_GE(ink.left, 4);
    EXPECT_GE(ink.top, 2);
    EXPECT_LE(ink.right, 12);
    EXPECT_LE(ink.bottom, 10);
    EXPECT_GT(surface.inkCount(), 0);
    DeleteObject(font);
}

TEST(GdiDC, BadTextArgumentsFail) {
    GdiSurface surface(20, 20, 0);
    EXPECT_FALSE(TextOutA(surface.dc(), 0, 0, nullptr, 3));
    EXPECT_FALSE(TextOutA(surface.dc(), 0, 0, "abc", -1));
    EXPECT_TRUE(TextOutA(surface.dc(), 0, 0, nullptr, 0));
    SIZE size;
    EXPECT_FALSE(GetTextExtentPoint32A(surface.dc(), "abc", 3, nullptr));
    EXPECT_FALSE(GetTextExtentPoint32A(surface.dc(), "abc", -1, &size));
    EXPECT_FALSE(GetTextMetricsA(surface.dc(), nullptr));
    INT widths[3] = {1, 2, 3};
    EXPECT_FALSE(ExtTextOutA(surface.dc(), 0, 0, 0, nullptr, "abc", 3, widths));
    EXPECT_EQ(SetTextCharacterExtra(nullptr, 2), static_cast<int>(0x80000000u));
    // A lone lead byte at the very end draws as "?" without reading past the count.
    char tail[2] = {'a', '\x81'};
    EXPECT_TRUE(TextOutA(surface.dc(), 0, 0, tail, 2));
}
