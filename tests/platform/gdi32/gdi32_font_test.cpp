// Fonts: metrics from the face's tables, extents glyph by glyph, fallback and rendering styles.
#include "gdisurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The engine's default font: 9 points at the screen's resolution, as its start-up builds it.
HFONT DefaultEngineFont() {
    HDC screen = GetDC(nullptr);
    int y = GetDeviceCaps(screen, LOGPIXELSY) * 90 / 720;
    POINT points[2] = {{0, y}, {0, 0}};
    DPtoLP(screen, points, 2);
    ReleaseDC(nullptr, screen);
    LOGFONTA logFont = {};
    logFont.lfHeight = -std::abs(points[0].y - points[1].y);
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfQuality = ANTIALIASED_QUALITY;
    strcpy(logFont.lfFaceName, "Times New Roman");
    return CreateFontIndirectA(&logFont);
}

TEXTMETRICA MetricsOf(HFONT font) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA tm = {};
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
    SelectObject(dc, previous);
    DeleteDC(dc);
    return tm;
}

int ExtentOf(HDC dc, const std::string& text) {
    SIZE size = {-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size));
    return size.cx;
}

// Draws text in black on white with the given font and returns the surface's ink box.
RECT InkOf(HFONT font, const char* text, int* count = nullptr) {
    GdiSurface surface(200, 40, 0xFFFFFF);
    SelectObject(surface.dc(), font);
    SetBkMode(surface.dc(), TRANSPARENT);
    TextOutA(surface.dc(), 4, 4, text, static_cast<int>(strlen(text)));
    if (count != nullptr)
        *count = surface.inkCount();
    return surface.ink();
}

} // namespace

TEST(GdiFont, DefaultEngineFontHasTheMetricsOfItsTables) {
    HFONT font = DefaultEngineFont();
    ASSERT_NE(font, nullptr);
    TEXTMETRICA tm = MetricsOf(font);
    // A 12-pixel em of the metric-compatible serif face: winAscent 1825, winDescent 443 of 2048.
    EXPECT_EQ(tm.tmAscent, 11);
    EXPECT_EQ(tm.tmDescent, 3);
    EXPECT_EQ(tm.tmHeight, 14);
    EXPECT_EQ(tm.tmInternalLeading, 2);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    EXPECT_GT(tm.tmAveCharWidth, 3);
    EXPECT_GT(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_TRUE(DeleteObject(font));
}

TEST(GdiFont, PositiveHeightIsTheCellAndAbsurdHeightsFail) {
    for (int cell : {10, 14, 16, 31}) {
        HFONT font = MakeFont(cell, "Times New Roman");
        ASSERT_NE(font, nullptr);
        TEXTMETRICA tm = MetricsOf(font);
        EXPECT_EQ(tm.tmHeight, cell);
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, cell);
        DeleteObject(font);
    }
    EXPECT_EQ(MakeFont(-100000, "Times New Roman"), nullptr);
    EXPECT_EQ(MakeFont(100000, "Times New Roman"), nullptr);
    EXPECT_EQ(MakeFont(INT32_MIN, "Times New Roman"), nullptr);
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
    HFONT byDefault = MakeFont(0, "");
    ASSERT_NE(byDefault, nullptr);
    EXPECT_EQ(MetricsOf(byDefault).tmHeight, 16);
    DeleteObject(byDefault);
}

TEST(GdiFont, ExtentsAddUpCharacterByCharacterWithSpacing) {
    HFONT font = DefaultEngineFont();
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    const std::string text = "Wave AV, 7.5%\xD6\xD0\xCE\xC4"; // ends with two GBK characters
    int sum = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        size_t length = static_cast<unsigned char>(text[i]) >= 0x81 ? 2 : 1;
        sum += ExtentOf(dc, text.substr(i, length));
        i += length - 1;
    }
    EXPECT_EQ(ExtentOf(dc, text), sum);
    SIZE size = {};
    GetTextExtentPoint32A(dc, "A", 1, &size);
    EXPECT_EQ(size.cy, 14);

    // Spacing comes after every character; a double-byte character counts once.
    EXPECT_EQ(SetTextCharacterExtra(dc, 3), 0);
    EXPECT_EQ(ExtentOf(dc, "AB"), ExtentOf(dc, "A") + ExtentOf(dc, "B"));
    EXPECT_EQ(ExtentOf(dc, text), sum + 3 * 15);
    EXPECT_EQ(SetTextCharacterExtra(dc, 0), 3);

    // Invalid GBK counts as "?" and a lone lead byte at the end is not read past.
    EXPECT_EQ(ExtentOf(dc, "\x81"), ExtentOf(dc, "?"));
    EXPECT_EQ(ExtentOf(dc, "a\x81 "), ExtentOf(dc, "a? "));
    EXPECT_EQ(ExtentOf(dc, ""), 0);
    DeleteDC(dc);
    DeleteObject(font);
}

TEST(GdiFont, ChineseTextDrawsThroughTheFallbackFace) {
    HFONT font = DefaultEngineFont();
    int ink = 0;
    RECT box = InkOf(font, "\xD6\xD0\xCE\xC4", &ink); // two CJK characters
    EXPECT_GT(ink, 40);
    EXPECT_GE(box.right - box.left, 18); // two full-width glyphs of a 12-pixel em
    // The fallback glyphs are not the missing-glyph boxes of the serif face.
    int boxInk = 0;
    InkOf(font, "\xA1\xA1", &boxInk); // the ideographic space: no ink in any face
    EXPECT_EQ(boxInk, 0);
    DeleteObject(font);
}

TEST(GdiFont, WeightSlantAndQualityChangeTheGlyphs) {
    HFONT regular = MakeFont(-20, "Times New Roman");
    HFONT bold = MakeFont(-20, "Times New Roman", FW_BOLD);
    HFONT italic = MakeFont(-20, "Times New Roman", FW_NORMAL, ANTIALIASED_QUALITY, 1);
    HFONT mono = MakeFont(-20, "Times New Roman", FW_NORMAL, NONANTIALIASED_QUALITY);
    int regularInk = 0, boldInk = 0;
    InkOf(regular, "Hello", &regularInk);
    InkOf(bold, "Hello", &boldInk);
    EXPECT_GT(boldInk, regularInk);
    EXPECT_EQ(MetricsOf(bold).tmWeight, FW_BOLD);
    EXPECT_EQ(MetricsOf(italic).tmItalic, 1);

    // Bold CJK has no bold face here: it is emboldened and its advance grows.
    int chineseInk = 0, boldChineseInk = 0;
    InkOf(regular, "\xD6\xD0", &chineseInk);
    InkOf(bold, "\xD6\xD0", &boldChineseInk);
    EXPECT_GT(boldChineseInk, chineseInk);

    // Monochrome glyphs use only the text colour; greyscale ones blend.
    for (HFONT font : {mono, regular}) {
        GdiSurface surface(120, 30, 0xFFFFFF);
        SelectObject(surface.dc(), font);
        TextOutA(surface.dc(), 2, 2, "Hello", 5);
        bool blended = false;
        for (int i = 0; i < surface.width() * surface.height(); ++i)
            blended |= surface.pixels()[i] != 0 && surface.pixels()[i] != 0xFFFFFF;
        EXPECT_EQ(blended, font == regular);
    }
    for (HFONT font : {regular, bold, italic, mono})
        DeleteObject(font);
}

TEST(GdiFont, RenderingIsDeterministic) {
    HFONT font = DefaultEngineFont();
    GdiSurface a(100, 20, 0x010101), b(100, 20, 0x010101);
    for (GdiSurface* s : {&a, &b}) {
        SelectObject(s->dc(), font);
        SetBkMode(s->dc(), TRANSPARENT);
        SetTextColor(s->dc(), RGB(200, 100, 50));
        TextOutA(s->dc(), 1, 1, "Abc \xD6\xD0", 6);
    }
    EXPECT_TRUE(std::equal(a.pixels(), a.pixels() + 2000, b.pixels()));
    EXPECT_GT(a.inkCount(), 0);
    DeleteObject(font);
}
