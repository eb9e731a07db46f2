// The bitmap font: glyph layout from the description, widths, alignment, line breaks, the "?"
// stand-in, scaling and tracking (read back from the pixels drawn), copies and malformed files.
#include "helpertestsupport.h"

#include "base/tqlog.h"
#include "device/tqgfxsprite.h"
#include "helpers/tqgfxfont.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

const uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00;

// Row 0 of the 64 × 16 glyph texture: "?" 5 wide, A 4, B 6, C 3, side by side.
uint32_t GlyphColour(int x, int y) {
    if (y >= 8)
        return 0x808080;
    if (x < 5)
        return kYellow;
    if (x < 9)
        return kRed;
    if (x < 15)
        return kGreen;
    if (x < 18)
        return kBlue;
    return 0x808080;
}

class FontTest : public HelperTest {
protected:
    void SetUp() override {
        HelperTest::SetUp();
        StartDevice();
        WriteFile("fonts/glyphs.bmp", MakeBmp(64, 16, GlyphColour));
        WriteFile("fonts/abc.fnt", "glyphs.bmp 8\n-63 5 -1 4 6 3\n");
    }

    std::unique_ptr<TQGfxFont> Font(const std::string& name = "fonts/abc.fnt") {
        return std::make_unique<TQGfxFont>(Path(name).c_str());
    }

    // The texel rectangle of a glyph as "x,y,w,h", or "none".
    static std::string GlyphRect(const TQGfxFont& font, int code) {
        const TQGfxSprite* glyph = font.GetGlyph(static_cast<unsigned char>(code));
        if (!glyph)
            return "none";
        float x, y, w, h;
        glyph->GetTextureRect(&x, &y, &w, &h);
        return std::to_string(int(x)) + "," + std::to_string(int(y)) + "," + std::to_string(int(w)) + "," +
               std::to_string(int(h));
    }

    // The colours of row y from x0 to x1 inclusive, one letter each: R G B Y, "." for black, "?"
    // for anything else.
    std::string Row(int y, int x0, int x1) {
        std::string row;
        for (int x = x0; x <= x1; ++x) {
            uint32_t pixel = PixelRgb(x, y);
            row += pixel == kRed      ? 'R'
                   : pixel == kGreen  ? 'G'
                   : pixel == kBlue   ? 'B'
                   : pixel == kYellow ? 'Y'
                   : pixel == 0       ? '.'
                                      : '?';
        }
        return row;
    }
};

} // namespace

TEST_F(FontTest, GlyphLayout) {
    WriteFile("fonts/skip.fnt", "glyphs.bmp 8 -32 8 8");
    std::unique_ptr<TQGfxFont> skip = Font("fonts/skip.fnt");
    EXPECT_EQ(GlyphRect(*skip, 31), "none");
    EXPECT_EQ(GlyphRect(*skip, 32), "0,0,8,8");
    EXPECT_EQ(GlyphRect(*skip, 33), "8,0,8,8");
    // Codes the file does not reach have no glyph.
    EXPECT_EQ(GlyphRect(*skip, 34), "none");
    EXPECT_EQ(skip->GetHeight(), 8.0f);

    // 30 + 30 + 10 passes the 64-pixel edge: the third glyph starts the next row.
    WriteFile("fonts/rows.fnt", "glyphs.bmp\r\n\t4\n30 30 10 -250 1 1 1 1 1 1 1");
    std::unique_ptr<TQGfxFont> rows = Font("fonts/rows.fnt");
    EXPECT_EQ(GlyphRect(*rows, 0), "0,0,30,4");
    EXPECT_EQ(GlyphRect(*rows, 1), "30,0,30,4");
    EXPECT_EQ(GlyphRect(*rows, 2), "0,4,10,4");
    // After the skip of 250 codes come codes 253 to 255; numbers past code 255 are not read.
    EXPECT_EQ(GlyphRect(*rows, 252), "none");
    EXPECT_EQ(GlyphRect(*rows, 253), "10,4,1,4");
    EXPECT_EQ(GlyphRect(*rows, 255), "12,4,1,4");
    EXPECT_EQ(LogCount("Font '"), 0);
}

TEST_F(FontTest, AlignmentAndLines) {
    std::unique_ptr<TQGfxFont> font = Font();
    EXPECT_EQ(font->GetStringWidth("AB"), 10.0f);
    EXPECT_EQ(font->GetStringWidth("AB\nCCCC"), 10.0f);
    DrawFrame([&] {
        font->Render(10, 2, "AB");
        font->Render(40, 12, "AB\nC", TQGFX_TEXT_RIGHT);
        font->Render(32, 30, "AB", TQGFX_TEXT_CENTER);
    });
    EXPECT_EQ(Row(2, 9, 20), ".RRRRGGGGGG.");
    EXPECT_EQ(Row(9, 9, 20), ".RRRRGGGGGG.");
    EXPECT_EQ(Row(10, 9, 20), "............");
    // Right-aligned lines end at x, each by its own width.
    EXPECT_EQ(Row(12, 29, 40), ".RRRRGGGGGG.");
    EXPECT_EQ(Row(20, 29, 40), "........BBB.");
    EXPECT_EQ(Row(27, 29, 40), "........BBB.");
    EXPECT_EQ(Row(28, 29, 40), "............");
    // Centred on 32: from 27 to 36.
    EXPECT_EQ(Row(30, 26, 37), ".RRRRGGGGGG.");
}

TEST_F(FontTest, MissingGlyphsScaleAndTracking) {
    std::unique_ptr<TQGfxFont> font = Font();
    WriteFile("fonts/noquery.fnt", "glyphs.bmp 8 -65 4 4");
    std::unique_ptr<TQGfxFont> noQuery = Font("fonts/noquery.fnt");
    // Z is drawn as "?"; without a "?" glyph it is skipped and the pen stays.
    EXPECT_EQ(font->GetStringWidth("AZ"), 9.0f);
    EXPECT_EQ(noQuery->GetStringWidth("AZB"), 8.0f);
    font->SetTracking(2);
    font->SetScale(2);
    EXPECT_EQ(font->GetStringWidth("A"), 12.0f);
    EXPECT_EQ(font->GetStringWidth("AAA"), 36.0f);
    DrawFrame([&] {
        font->Render(0, 0, "AA");
        noQuery->Render(0, 20, "AZB");
        noQuery->printf(0, 30, "A%dB", 7);
    });
    // Each glyph is 8 × 16 at scale 2; the pen moves (4 + 2) × 2 = 12.
    EXPECT_EQ(Row(0, 0, 20), "RRRRRRRR....RRRRRRRR.");
    EXPECT_EQ(Row(15, 0, 20), "RRRRRRRR....RRRRRRRR.");
    EXPECT_EQ(Row(16, 0, 20), ".....................");
    // The second glyph of the second font (code 66) shows the texture's next 4 pixels.
    EXPECT_EQ(Row(20, 0, 8), "YYYYYRRR.");
    EXPECT_EQ(Row(30, 0, 8), "YYYYYRRR.");
}

TEST_F(FontTest, LookAppliesToEveryGlyph) {
    std::unique_ptr<TQGfxFont> font = Font();
    font->SetColor(0x80FF00FF);
    font->SetZ(0.25f);
    font->SetBlendMode(TQ2D_BLEND_COLORADD);
    for (int code : {'?', 'A', 'B', 'C'}) {
        const TQGfxSprite* glyph = font->GetGlyph(static_cast<unsigned char>(code));
        ASSERT_NE(glyph, nullptr);
        for (int corner = 0; corner < 4; ++corner) {
            EXPECT_EQ(glyph->GetColor(corner), 0x80FF00FFu);
            EXPECT_EQ(glyph->GetZ(corner), 0.25f);
        }
        EXPECT_EQ(glyph->GetBlendMode(), TQ2D_BLEND_COLORADD);
    }
}

TEST_F(FontTest, CopiesShareTheTextureUntilTheLastGoes) {
    std::unique_ptr<TQGfxFont> original = Font();
    original->SetScale(2);
    DWORD texture = original->GetTexture();
    ASSERT_NE(texture, 0u);
    auto copy = std::make_unique<TQGfxFont>(*original);
    TQGfxFont assigned(Path("fonts/none.fnt").c_str());
    assigned = *copy;
    TQGfxFont& same = assigned;
    assigned = same;
    original.reset();
    EXPECT_EQ(dev->Texture_GetWidth(texture, false), 64);
    EXPECT_EQ(copy->GetStringWidth("AB"), 20.0f);
    copy.reset();
    DrawFrame([&] { assigned.Render(0, 0, "A"); });
    EXPECT_EQ(Row(0, 0, 8), "RRRRRRRR.");
    assigned = TQGfxFont(Path("fonts/none.fnt").c_str());
    EXPECT_EQ(dev->Texture_GetWidth(texture, false), 0);
}

TEST_F(FontTest, BadFilesGiveAnEmptyFontAndALogLine) {
    WriteFile("fonts/empty.fnt", "");
    WriteFile("fonts/notex.fnt", "nothere.bmp 8 4 4");
    WriteFile("fonts/height.fnt", "glyphs.bmp eight 4 4");
    WriteFile("fonts/zero.fnt", "glyphs.bmp 0 4 4");
    WriteFile("fonts/width.fnt", "glyphs.bmp 8 4 4x 4");
    WriteFile("fonts/huge.fnt", "glyphs.bmp 8 -2147483648 99999999999 4");
    const char* names[] = {"fonts/missing.fnt", "fonts/empty.fnt", "fonts/notex.fnt", "fonts/height.fnt",
                           "fonts/zero.fnt",    "fonts/width.fnt", "fonts/huge.fnt"};
    TQLogCapture errors(g_tqLogError);
    for (const char* name : names) {
        SCOPED_TRACE(name);
        size_t linesBefore = LogLines().size();
        std::unique_ptr<TQGfxFont> font = Font(name);
        EXPECT_EQ(font->GetTexture(), 0u);
        EXPECT_EQ(font->GetGlyph('?'), nullptr);
        EXPECT_EQ(font->GetStringWidth("?AB"), 0.0f);
        EXPECT_GT(LogLines().size(), linesBefore);
    }
    // A missing file or texture is also said on the error log, with the path tried.
    auto windows = [](std::string path) {
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    };
    EXPECT_TRUE(errors.Contains("Font '" + Path("fonts/missing.fnt") +
                                "': file not loaded. [path=" + windows(Path("fonts/missing.fnt")) + "]"));
    EXPECT_TRUE(errors.Contains("Font '" + Path("fonts/notex.fnt") +
                                "': texture not loaded. [path=" + windows(Path("fonts/nothere.bmp")) + "]"));
    TQGfxFont empty(nullptr);
    DrawFrame([&] {
        empty.Render(0, 0, "AB");
        empty.Render(0, 0, nullptr);
    });
    EXPECT_EQ(Row(0, 0, 4), ".....");
}

// Glyphs keep the places the layout gives them; those passing the texture's right or bottom edge
// are left out, one log line each.
TEST_F(FontTest, GlyphsThatDoNotFitAreLeftOutOneByOne) {
    WriteFile("fonts/glyphs32.bmp", MakeBmp(64, 32, GlyphColour));
    // 65 is wider than the texture and passes over row 1; 4 and 60 fill row 2; 6 starts row 3; the
    // last glyph would start row 4, below the texture.
    WriteFile("fonts/partial.fnt", "glyphs32.bmp 8 5 65 4 60 6 -1 64 3");
    WriteFile("fonts/tall.fnt", "glyphs.bmp 17 4 4");
    size_t linesBefore = LogLines().size();
    std::unique_ptr<TQGfxFont> partial = Font("fonts/partial.fnt");
    EXPECT_EQ(GlyphRect(*partial, 0), "0,0,5,8");
    EXPECT_EQ(GlyphRect(*partial, 1), "none");
    EXPECT_EQ(GlyphRect(*partial, 2), "0,16,4,8");
    EXPECT_EQ(GlyphRect(*partial, 3), "4,16,60,8");
    EXPECT_EQ(GlyphRect(*partial, 4), "0,24,6,8");
    EXPECT_EQ(GlyphRect(*partial, 6), "none");
    EXPECT_EQ(GlyphRect(*partial, 7), "none");
    EXPECT_EQ(LogLines().size(), linesBefore + 3);
    EXPECT_EQ(LogCount("glyph 1 of width 65 does not fit"), 1);
    EXPECT_EQ(LogCount("glyph 7 of width 3 does not fit"), 1);

    // Taller than the texture: no glyph fits, but the font and its texture stay.
    std::unique_ptr<TQGfxFont> tall = Font("fonts/tall.fnt");
    EXPECT_NE(tall->GetTexture(), 0u);
    EXPECT_EQ(GlyphRect(*tall, 0), "none");
    EXPECT_EQ(GlyphRect(*tall, 1), "none");
    EXPECT_EQ(LogLines().size(), linesBefore + 5);
}

TEST_F(FontTest, LongFormattedTextIsCut) {
    std::unique_ptr<TQGfxFont> font = Font();
    std::string longText(1000, 'A');
    DrawFrame([&] { font->printf(0, 0, "%s", longText.c_str()); });
    EXPECT_EQ(Row(0, 0, 4), "RRRRR");
}
