// The GDI text surface and marked-up text output, checked by their pixels.
#include "guitestsupport.h"

#include "gui/tq2dgdi.h"
#include "gui/tq2dguicombobox.h"
#include "gui/tq2dguidatalist.h"
#include "gui/tq2dguiedit.h"
#include "gui/tq2dguistatic.h"
#include "gui/tq2dtextout.h"
#include "engine/tq2dsprite.h"
#include "platform/win32/video/tqvideo.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <utility>

namespace {

const DWORD kWhite = 0xFFFFFF;

// A texture of w x h filled with fill.
void MakeTexture(TQ2DTexture& tex, DWORD w, DWORD h, DWORD fill) {
    ASSERT_NE(tex.Create(w, h), 0);
    tex.Clear(fill);
}

// Columns of the rectangle that hold a texel of colour rgb (opaque).
std::vector<DWORD> InkedColumns(TQ2DTexture& tex, DWORD rgb, DWORD y0, DWORD h) {
    std::vector<DWORD> columns;
    for (DWORD x = 0; x < tex.GetWidth(false); ++x)
        if (CountInk(tex, rgb, x, y0, 1, h) > 0)
            columns.push_back(x);
    return columns;
}

} // namespace

TEST_F(GuiToolkitTest, SurfaceStartsWithKeyColourAndCopiesOnlyInk) {
    TQ2DGDI gdi;
    ASSERT_EQ(gdi.CreateBitmap(4, 2), 1);
    for (DWORD i = 0; i < 8; ++i)
        EXPECT_EQ(gdi.GetBits()[i], 0x01010101u);
    TQ2DTexture tex;
    MakeTexture(tex, 8, 8, 0);
    gdi.ClearTexture(tex, 0, 0);
    gdi.UpdateTexture(tex, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(CountTexels(tex, 0, 0), 64);
    gdi.FillSolidRect(1, 0, 2, 1, RGB(255, 0, 0));
    EXPECT_EQ(GetBkColor(gdi.GetHDC()), RGB(255, 0, 0));
    // Whole bitmap (w, h 0) at (6, 7): clipped to the texture.
    gdi.UpdateTexture(tex, 6, 7, 0, 0, 0, 0);
    EXPECT_EQ(Texel(tex, 7, 7), 0xFFFF0000u);
    EXPECT_EQ(Texel(tex, 6, 7), 0u);
    EXPECT_EQ(CountTexels(tex, 0xFF0000, 0xFF), 1);
    // A bitmap that cannot exist leaves no pixels, and pixel calls do nothing.
    EXPECT_EQ(gdi.CreateBitmap(0, 5), 0);
    EXPECT_EQ(gdi.GetBits(), nullptr);
    gdi.UpdateTexture(tex, 0, 0, 0, 0, 0, 0);
    gdi.ClearBitmap(0);
}

// Text copied into a texture and drawn over a background looks as the same text drawn straight
// onto that background: glyph edges carry the text colour with their coverage, not the key colour,
// also for black and near-black ink, one step from the key colour.
TEST_F(GuiToolkitTest, TextEdgesBlendWithWhatLiesBeneath) {
    const COLORREF colours[] = {RGB(255, 255, 255), RGB(255, 0, 0), RGB(30, 200, 90),
                                RGB(90, 60, 20),    RGB(0, 0, 0),   RGB(2, 1, 0)};
    const DWORD backgrounds[] = {0x5078C0, 0xF0F0E0, 0x202C50};
    const int w = 48, h = 20;
    TQ2DGDI onKey, onBackground;
    ASSERT_EQ(onKey.CreateBitmap(w, h), 1);
    ASSERT_EQ(onBackground.CreateBitmap(w, h), 1);
    TQ2DTexture tex;
    MakeTexture(tex, w, h, 0);
    for (COLORREF colour : colours) {
        for (DWORD background : backgrounds) {
            onKey.ClearBitmap(TQ2DGUI_KEY_COLOR);
            onBackground.ClearBitmap(background);
            for (TQ2DGDI* gdi : {&onKey, &onBackground}) {
                SetBkMode(gdi->GetHDC(), TRANSPARENT);
                SetTextColor(gdi->GetHDC(), colour);
                TextOutA(gdi->GetHDC(), 1, 1, "Wag&", 4);
            }
            onKey.ClearTexture(tex, 0, 0);
            onKey.UpdateTexture(tex, 0, 0, 0, 0, 0, 0);
            // The texture drawn over the background, as alpha blending does.
            onKey.ClearBitmap(background);
            onKey.DrawTexture(tex, 0, 0, 0, 0, 0, 0);
            int worst = 0;
            for (int i = 0; i < w * h; ++i)
                for (int shift : {0, 8, 16})
                    worst = std::max(worst,
                                     std::abs(static_cast<int>((onKey.GetBits()[i] >> shift) & 0xFF) -
                                              static_cast<int>((onBackground.GetBits()[i] >> shift) & 0xFF)));
            EXPECT_LE(worst, 2) << std::hex << colour << " over " << background;
        }
    }
}

// Text in any colour covers the same pixels by the same amounts as white text, in its own colour,
// through every control that draws text and through marked-up text.
TEST_F(GuiToolkitTest, TextInEveryColourCoversWhatWhiteTextCovers) {
    const COLORREF ramp[] = {RGB(0, 0, 0),       RGB(1, 1, 1),     RGB(2, 0, 1),       RGB(20, 12, 40),
                             RGB(128, 128, 128), RGB(60, 200, 90), RGB(250, 250, 250), RGB(255, 255, 255)};
    const char* text = "H150 ftg";
    TQ2DGUIStatic label, large;
    label.SetSize(80, 20);
    // A large bold font has solid pixels as well as edges.
    HFONT bold =
        CreateFontA(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, "Sans");
    ASSERT_NE(bold, nullptr);
    large.GetGDI().SetFont(bold);
    large.SetSize(160, 40);
    TQ2DGUIEdit edit;
    edit.SetSize(80, 20);
    edit.SetText(text);
    TQ2DGUIDataList list;
    list.AddString(0, "%s", text);
    TQ2DGUIComboBox combo;
    combo.SetSize(80, 20);
    combo.GetDataList().AddString(0, "%s", text);
    combo.GetEdit().SetText(text);
    TQ2DTexture marked;
    MakeTexture(marked, 80, 20, 0);
    // Each road draws the text in a colour into its texture.
    auto throughStatic = [&](TQ2DGUIStatic& control) {
        return [&control, text](COLORREF ink) -> TQ2DTexture& {
            SetTextColor(control.GetGDI().GetHDC(), ink);
            control.SetText(text);
            control.BuildTexture();
            return control.GetSprite().GetTQ2DTexture();
        };
    };
    const std::vector<std::pair<const char*, std::function<TQ2DTexture&(COLORREF)>>> roads = {
        {"static", throughStatic(label)},
        {"static, large bold font", throughStatic(large)},
        {"edit",
         [&](COLORREF ink) -> TQ2DTexture& {
             edit.SetTextColor(ink);
             edit.BuildTexture();
             return edit.GetTextSprite().GetTQ2DTexture();
         }},
        {"data list",
         [&](COLORREF ink) -> TQ2DTexture& {
             list.SetTextColor(ink);
             list.SetSize(80, 0);
             return list.GetTextSprite().GetTQ2DTexture();
         }},
        {"combo box list",
         [&](COLORREF ink) -> TQ2DTexture& {
             combo.GetDataList().SetTextColor(ink);
             combo.GetDataList().BuildTexture();
             return combo.GetDataList().GetTextSprite().GetTQ2DTexture();
         }},
        {"combo box edit",
         [&](COLORREF ink) -> TQ2DTexture& {
             combo.GetEdit().SetTextColor(ink);
             combo.GetEdit().BuildTexture();
             return combo.GetEdit().GetTextSprite().GetTQ2DTexture();
         }},
        {"marked-up text",
         [&](COLORREF ink) -> TQ2DTexture& {
             TQ2DTextOut(marked, nullptr, 0, 0, 80, 20, "$C#%02X%02X%02X%s", ink & 0xFF, ink >> 8 & 0xFF,
                         ink >> 16 & 0xFF, text);
             return marked;
         }},
    };
    auto texels = [](TQ2DTexture& tex) {
        const DWORD* locked = tex.Lock(true);
        std::vector<DWORD> copy;
        if (locked)
            copy.assign(locked, locked + static_cast<size_t>(tex.GetWidth(false)) * tex.GetHeight(false));
        tex.UnLock();
        return copy;
    };
    for (const auto& road : roads) {
        const std::vector<DWORD> white = texels(road.second(RGB(255, 255, 255)));
        const size_t edges = std::count_if(
            white.begin(), white.end(), [](DWORD texel) { return texel >> 24 != 0 && texel >> 24 != 255; });
        ASSERT_GT(edges, 20u) << road.first;
        for (COLORREF ink : ramp) {
            const std::vector<DWORD> drawn = texels(road.second(ink));
            ASSERT_EQ(drawn.size(), white.size()) << road.first;
            const DWORD rgb = (ink & 0xFF) << 16 | (ink & 0xFF00) | (ink >> 16 & 0xFF);
            int otherAmount = 0, otherColour = 0;
            for (size_t i = 0; i < drawn.size(); ++i) {
                otherAmount += drawn[i] >> 24 != white[i] >> 24;
                otherColour += drawn[i] >> 24 != 0 && (drawn[i] & 0xFFFFFF) != rgb;
            }
            EXPECT_EQ(otherAmount, 0) << road.first << " in " << std::hex << rgb;
            EXPECT_EQ(otherColour, 0) << road.first << " in " << std::hex << rgb;
        }
    }
    large.GetGDI().SetFont(nullptr);
    DeleteObject(bold);
}

TEST_F(GuiToolkitTest, SurfaceFramesAndBlendsTextures) {
    TQ2DGDI gdi;
    ASSERT_EQ(gdi.CreateBitmap(3, 3), 1);
    const DWORD a = RGB(255, 0, 0), b = RGB(0, 0, 255);
    gdi.Draw3dRect(0, 0, 3, 3, a, b);
    const DWORD* px = gdi.GetBits();
    for (int i : {0, 1, 3})
        EXPECT_EQ(px[i] & 0xFFFFFF, 0xFF0000u) << i;
    for (int i : {2, 5, 8, 6, 7})
        EXPECT_EQ(px[i] & 0xFFFFFF, 0x0000FFu) << i;
    EXPECT_EQ(px[4], 0x01010101u);
    // Blending: half red over black, an opaque texel whole, a clear one not at all.
    gdi.ClearBitmap(0);
    TQ2DTexture tex;
    MakeTexture(tex, 3, 1, 0);
    DWORD* texels = tex.Lock(false);
    texels[0] = 0x80FF0000;
    texels[1] = 0xFF123456;
    texels[2] = 0x00FFFFFF;
    tex.UnLock();
    gdi.DrawTexture(tex, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(px[0], 0x00800000u);
    EXPECT_EQ(px[1], 0xFF123456u);
    EXPECT_EQ(px[2], 0u);
}

TEST_F(GuiToolkitTest, TextOutColoursRunsAndMakesTheRestTransparent) {
    TQ2DTexture tex;
    MakeTexture(tex, 128, 32, 0xFF00FF00);
    TQ2DTextOut(tex, nullptr, 0, 0, 128, 32, "AB$C4CD");
    const DWORD index4 = TQ2DGetIndexColor(4);
    const DWORD colour4 = (index4 & 0xFF) << 16 | (index4 & 0xFF00) | (index4 >> 16 & 0xFF);
    const std::vector<DWORD> white = InkedColumns(tex, kWhite, 0, 32);
    const std::vector<DWORD> coloured = InkedColumns(tex, colour4, 0, 32);
    ASSERT_FALSE(white.empty());
    ASSERT_FALSE(coloured.empty());
    EXPECT_LT(white.back(), coloured.front());
    EXPECT_LT(coloured.front() - white.back(), 6u);
    // Every pixel without ink lost the old green texels.
    EXPECT_EQ(CountTexels(tex, 0x00FF00, 0xFF), 0);
    EXPECT_GT(CountTexels(tex, 0x010101, 0), 128 * 32 / 2);
}

TEST_F(GuiToolkitTest, TextOutShadowsOutlinesAndEscapes) {
    TQ2DTexture shadow, outline, plain;
    MakeTexture(shadow, 64, 32, 0);
    MakeTexture(outline, 64, 32, 0);
    MakeTexture(plain, 64, 32, 0);
    TQ2DTextOut(plain, nullptr, 0, 0, 64, 32, "I");
    TQ2DTextOut(shadow, nullptr, 0, 0, 64, 32, "$T1I");
    TQ2DTextOut(outline, nullptr, 0, 0, 64, 32, "$t2I");
    const int ink = CountInk(plain, kWhite);
    ASSERT_GT(ink, 0);
    // The shadow shows black right and below the white text; the outline surrounds it.
    EXPECT_GT(CountInk(shadow, 0), 0);
    EXPECT_GT(CountInk(outline, 0), CountInk(shadow, 0));
    std::vector<DWORD> p = InkedColumns(plain, kWhite, 0, 32);
    std::vector<DWORD> o = InkedColumns(outline, kWhite, 0, 32);
    ASSERT_FALSE(o.empty());
    EXPECT_EQ(o.front(), p.front() + 1);
    // "$$" draws one '$'; a '$' at the very end draws nothing; "$X" drops the '$'.
    TQ2DTexture a, b;
    MakeTexture(a, 64, 16, 0);
    MakeTexture(b, 64, 16, 0);
    TQ2DTextOut(a, nullptr, 0, 0, 64, 16, "50$");
    TQ2DTextOut(b, nullptr, 0, 0, 64, 16, "50");
    EXPECT_EQ(CountInk(a, kWhite), CountInk(b, kWhite));
    TQ2DTextOut(a, nullptr, 0, 0, 64, 16, "50$$");
    EXPECT_GT(CountInk(a, kWhite), CountInk(b, kWhite) + 5);
    TQ2DTextOut(a, nullptr, 0, 0, 64, 16, "$Xyz");
    TQ2DTextOut(b, nullptr, 0, 0, 64, 16, "Xyz");
    EXPECT_EQ(CountInk(a, kWhite), CountInk(b, kWhite));
}

// Marked-up text drawn over white by the renderer has no dark fringe: no pixel is darker, in any
// channel, than every colour the text uses and the background. Plain runs of several colours, and an
// outline in a light colour around dark text.
TEST_F(GuiToolkitTest, TextOutEdgesBlendOverALightBackground) {
    struct Case {
        const char* text;
        std::vector<DWORD> colours;
    };
    const Case cases[] = {
        {"$C#2050D0Wag $C#E03020Red $C#30A040ok", {0x2050D0, 0xE03020, 0x30A040}},
        {"$C#808080grey $C#101010dark", {0x808080, 0x101010}},
        {"$B#FFE040$T2$C#2050D0Outlined", {0x2050D0, 0xFFE040}},
    };
    const int w = 200, h = 24;
    for (const Case& c : cases) {
        TQ2DTexture tex;
        MakeTexture(tex, w, h, 0);
        TQ2DTextOut(tex, nullptr, 0, 0, w, h, "%s", c.text);
        TQ2DSprite sprite(tex, 0, 0, w, h);
        ASSERT_EQ(TQ2DGfx_BeginScene(0), 1);
        TQ2DGfx_Clear(0xFFFFFFFF);
        sprite.Render(0, 0);
        TQ2DGfx_EndScene();
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        ASSERT_TRUE(tqplat::VideoLastFrame(TQ2DGetMsgWnd(), &pixels, &width, &height));
        int darker = 0, textColoured = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
                for (int shift : {0, 8, 16}) {
                    int lowest = 0xFF;
                    for (DWORD colour : c.colours)
                        lowest = std::min(lowest, static_cast<int>((colour >> shift) & 0xFF));
                    darker += static_cast<int>((pixel >> shift) & 0xFF) < lowest - 2;
                }
                int off = 0;
                for (int shift : {0, 8, 16})
                    off = std::max(off, std::abs(static_cast<int>((pixel >> shift) & 0xFF) -
                                                 static_cast<int>((c.colours[0] >> shift) & 0xFF)));
                textColoured += off <= 40;
            }
        EXPECT_EQ(darker, 0) << c.text;
        EXPECT_GT(textColoured, 10) << c.text;
    }
}

TEST_F(GuiToolkitTest, TextOutHexColoursCutCodesAndHighIndexes) {
    TQ2DTexture tex;
    MakeTexture(tex, 64, 16, 0);
    TQ2DTextOut(tex, nullptr, 0, 0, 64, 16, "$C#FF0000red");
    EXPECT_GT(CountInk(tex, 0xFF0000), 0);
    EXPECT_EQ(CountInk(tex, kWhite), 0);
    TQ2DTextOut(tex, nullptr, 0, 0, 64, 16, "$C#FF00");
    EXPECT_EQ(CountTexels(tex, 0x010101, 0), 64 * 16);
    TQ2DTextOut(tex, nullptr, 0, 0, 64, 16, "$CHx");
    EXPECT_GT(CountInk(tex, 0), 0);
    EXPECT_EQ(CountInk(tex, kWhite), 0);
    // A percent sign through the format, and a NULL-safe empty text.
    TQ2DTextOut(tex, nullptr, 0, 0, 64, 16, "%s", "");
    EXPECT_EQ(CountTexels(tex, 0x010101, 0), 64 * 16);
}

TEST_F(GuiToolkitTest, TextOutWrapsWholeCharactersAndStopsAtTheBottom) {
    TQ2DTexture tex;
    MakeTexture(tex, 40, 200, 0);
    // Many short words on one line: they wrap into several lines.
    TQ2DTextOut(tex, nullptr, 0, 0, 40, 200, "iiii iiii iiii iiii iiii iiii iiii iiii");
    int lines = 0;
    bool inLine = false;
    for (DWORD y = 0; y < 200; ++y) {
        const bool ink = CountInk(tex, kWhite, 0, y, 40, 1) > 0;
        lines += ink && !inLine;
        inLine = ink;
    }
    EXPECT_GE(lines, 2);
    // A rectangle one line high keeps only the first line.
    TQ2DTexture low;
    MakeTexture(low, 40, 12, 0);
    TQ2DTextOut(low, nullptr, 0, 0, 40, 12, "iiii\nWWWW\nWWWW");
    TQ2DTexture first;
    MakeTexture(first, 40, 12, 0);
    TQ2DTextOut(first, nullptr, 0, 0, 40, 12, "iiii");
    EXPECT_EQ(CountInk(low, kWhite), CountInk(first, kWhite));
    // Double-byte characters (GBK) never split across lines: a 2-byte character wider than what
    // is left moves whole to the next line.
    TQ2DTexture wide;
    MakeTexture(wide, 24, 64, 0);
    TQ2DTextOut(wide, nullptr, 0, 0, 24, 64, "\xD6\xD0\xCE\xC4\xD6\xD0\xCE\xC4");
    EXPECT_GT(CountInk(wide, kWhite, 0, 16, 24, 48), 0);
    // Nothing at all for a texture without a device texture.
    TQ2DTexture none;
    TQ2DTextOut(none, nullptr, 0, 0, 8, 8, "x");
}
