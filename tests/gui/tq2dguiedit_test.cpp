// The edit control: keys and characters through the engine's hooked window procedure, double-byte
// characters, Enter, the caret, the IME composition, and colours by their pixels.
#include "guitestsupport.h"

#include <algorithm>
#include <cstring>
#include <random>

#include "gui/tq2dguiedit.h"
#include "platform/codepage/tqcodepage.h"
#include "platform/gdi32/tqgdi32.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/video/tqvideo.h"

using Calls = std::vector<std::string>;

namespace {

// Counts its redraws.
class CountingEdit : public TQ2DGUIEdit {
public:
    void BuildTexture() override {
        ++builds;
        TQ2DGUIEdit::BuildTexture();
    }
    int builds = 0;
};

class EditTest : public GuiToolkitTest {
protected:
    void SetUp() override {
        GuiToolkitTest::SetUp();
        edit.SetControlID(3);
        edit.SetPos(10, 10);
        edit.SetSize(100, 20);
        panel.AddControl(&edit, 0);
        root.AddControl(&panel, 0);
        edit.SetFocus();
    }

    std::function<void()> Char(BYTE c) const {
        HWND target = window;
        return [target, c] { PostMessageA(target, WM_CHAR, c, 0); };
    }

    std::function<void()> Composition(const char* utf8) const {
        HWND target = window;
        return [target, utf8] { tqplat::VideoSetCompositionText(target, utf8); };
    }

    // Runs frames feeding each input; the messages reach the edit through the hook.
    void Feed(const std::vector<std::function<void()>>& inputs) {
        std::vector<GuiStep> steps;
        for (const auto& input : inputs)
            steps.push_back({input, 500, 500});
        steps.push_back({Nothing(), 500, 500});
        Run(root, steps);
    }

    int FontHeight() {
        TEXTMETRICA metrics{};
        GetTextMetricsA(edit.GetGDI().GetHDC(), &metrics);
        return metrics.tmHeight;
    }

    TQ2DGUIObject root;
    Probe panel{100, 0, 0, 300, 300};
    CountingEdit edit;
};

} // namespace

TEST_F(EditTest, FocusMakesItTheInputControlAndTypedCharactersAppend) {
    EXPECT_EQ(TQ2DGUIObject::GetInputControl(), &edit);
    edit.builds = 0;
    Feed({Char('a'), Char('\t'), Char(8), Char(13), Char('b')});
    EXPECT_STREQ(edit.GetText(), "ab");
    EXPECT_EQ(edit.builds, 2);
    // A double-byte character: no redraw after its lead byte, one after its trail byte.
    Feed({Char(0xD6)});
    EXPECT_EQ(edit.builds, 2);
    Feed({Char(0xD0)});
    EXPECT_EQ(edit.builds, 3);
    EXPECT_STREQ(edit.GetText(), "ab\xD6\xD0");
    Feed({KeyDown(VK_BACK)});
    EXPECT_STREQ(edit.GetText(), "ab");
    // The euro sign (0x80) is a character of its own: shown at once, taken back alone.
    Feed({Char(0x80)});
    EXPECT_EQ(edit.builds, 5);
    EXPECT_STREQ(edit.GetText(), "ab\x80");
    Feed({Char('c'), KeyDown(VK_BACK)});
    EXPECT_STREQ(edit.GetText(), "ab\x80");
    Feed({KeyDown(VK_BACK), KeyDown(VK_BACK), KeyDown(VK_BACK)});
    EXPECT_STREQ(edit.GetText(), "");
    // Losing the focus gives the input control up: typing goes nowhere.
    panel.SetFocus();
    EXPECT_EQ(TQ2DGUIObject::GetInputControl(), nullptr);
    Feed({Char('z')});
    EXPECT_STREQ(edit.GetText(), "");
}

TEST_F(EditTest, EnterTellsTheParentAndTheBufferLimitsTheText) {
    Feed({KeyDown(VK_RETURN)});
    EXPECT_EQ(Probe::Only("command"), (Calls{"100:command 3,1"}));
    EXPECT_EQ(edit.GetTextBuffer(), 4097u);
    edit.SetTextBuffer(4);
    edit.SetText("abcdef");
    EXPECT_STREQ(edit.GetText(), "abc");
    // A double-byte character is never cut in half, neither by SetText nor by typing.
    edit.SetText("ab\xD6\xD0");
    EXPECT_STREQ(edit.GetText(), "ab");
    Feed({Char('c'), Char('d'), Char(0xD6)});
    EXPECT_STREQ(edit.GetText(), "abc");
    // A double-byte character with room for one byte is refused whole, its trail byte too.
    edit.SetText("ab");
    Feed({Char(0xB0), Char('@'), Char('c')});
    EXPECT_STREQ(edit.GetText(), "abc");
    edit.SetText(nullptr);
    EXPECT_STREQ(edit.GetText(), "");
    // Without a parent Enter does nothing (detaching keeps the edit the input control).
    panel.DelControl(&edit);
    ASSERT_EQ(TQ2DGUIObject::GetInputControl(), &edit);
    Probe::Log().clear();
    Feed({KeyDown(VK_RETURN)});
    EXPECT_TRUE(Probe::Only("command").empty());
}

TEST_F(EditTest, CaretHeightFollowsControlAndFont) {
    const DWORD font = static_cast<DWORD>(FontHeight());
    EXPECT_FLOAT_EQ(edit.GetCarat().GetHeight(), static_cast<float>(std::min<DWORD>(16, font + 8) * 2 / 3));
    edit.SetSize(100, 2); // lower than 4 pixels: the font decides
    EXPECT_FLOAT_EQ(edit.GetCarat().GetHeight(), static_cast<float>((font + 8) * 2 / 3));
    edit.SetSize(100, 20);
    // The caret column is drawn in the caret colour; the second column is transparent.
    edit.SetCaratColor(RGB(255, 0, 0));
    TQ2DTexture& caret = edit.GetCarat().GetTQ2DTexture();
    EXPECT_EQ(Texel(caret, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Texel(caret, 1, 0) >> 24, 0u);
    // The caret follows the text.
    edit.SetText("abc");
    EXPECT_GT(edit.GetCarat().GetRenderPos().x, 5);
}

TEST_F(EditTest, TextScrollsToKeepTheCaretInViewAndShowsBeforeASize) {
    std::vector<std::function<void()>> typing(40, Char('W'));
    typing.push_back(Char('i'));
    Feed(typing);
    const float caret = edit.GetCarat().GetRenderPos().x;
    EXPECT_GT(caret, 80);
    EXPECT_LE(caret, 99);
    // The last character typed is drawn just left of the caret.
    TQ2DTexture& text = edit.GetTextSprite().GetTQ2DTexture();
    EXPECT_GT(CountInk(text, 0, static_cast<DWORD>(caret) - 4, 0, 4, 0), 0);
    // A composition at the end scrolls the text further, so that it is seen whole.
    Feed({Composition("\xE4\xB8\xAD\xE6\x96\x87")});
    TQ2DAnimation& composition = edit.GetCompositImage();
    EXPECT_LE(composition.GetRenderPos().x + composition.GetWidth(), 100);
    EXPECT_GT(composition.GetRenderPos().x, 50);
    Feed({Composition("")});
    // Back to a short text, it is drawn from its start again.
    edit.SetText("ab");
    EXPECT_LT(edit.GetCarat().GetRenderPos().x, 30);
    // A text set before the edit has a size shows once it has one.
    TQ2DGUIEdit early;
    early.SetText("Hello");
    early.SetSize(100, 20);
    EXPECT_GT(CountInk(early.GetTextSprite().GetTQ2DTexture(), 0), 0);
}

TEST_F(EditTest, CompositionReplacesTheCaretUntilItEnds) {
    Feed({Composition("\xE4\xB8\xAD")}); // one Chinese character, GBK D6 D0
    EXPECT_STREQ(edit.GetComposition(), "\xD6\xD0");
    EXPECT_NE(edit.GetCompositImage().GetObjectA(), nullptr);
    EXPECT_STREQ(edit.GetText(), ""); // shown, never inserted
    // The first half is in the caret text colour (white), the second in the text colour (black).
    TQ2DTexture& image = edit.GetCompositImage().GetTQ2DTexture();
    const DWORD half = image.GetWidth(false) / 2;
    EXPECT_GT(CountInk(image, 0xFFFFFF, 0, 0, half, 0), 0);
    EXPECT_EQ(CountInk(image, 0, 0, 0, half, 0), 0);
    EXPECT_GT(CountInk(image, 0, half, 0, half, 0), 0);
    Feed({Composition("")});
    EXPECT_STREQ(edit.GetComposition(), "");
    EXPECT_EQ(edit.GetCompositImage().GetObjectA(), nullptr);
}

// Compositions that grow, shrink and repeat at random, as an input method sends them while a word
// is typed and taken back: the edit always holds the latest one exactly.
TEST_F(EditTest, CompositionAlwaysEqualsTheLatestOne) {
    const char* const pieces[] = {"\xE4\xB8\xAD", "\xE5\x93\xA6", "n", "g", "zh", "\xE6\x96\x87"};
    std::mt19937 random(38);
    std::vector<std::string> compositions;
    for (int i = 0; i < 40; ++i) {
        std::string utf8;
        for (int length = static_cast<int>(random() % 5); length > 0; --length)
            utf8 += pieces[random() % 6];
        compositions.push_back(utf8);
    }
    for (const std::string& utf8 : compositions) {
        Feed({Composition(utf8.c_str())});
        ASSERT_EQ(std::string(edit.GetComposition()), tqplat::Utf8ToGbk(utf8)) << utf8;
    }
}

// The device window takes text input (so the input method runs) only while an edit has the focus:
// not after the focus moves on, the edit is hidden, deleted or a popup takes the focus. A
// composition goes with it. The candidate window is placed beside the caret.
TEST_F(EditTest, TextInputIsOnOnlyWhileAnEditHasTheFocus) {
    EXPECT_TRUE(tqplat::VideoTextInputOn(window));
    root.RenderGUI(0, 0);
    RECT area{};
    ASSERT_TRUE(tqplat::VideoTextInputArea(window, &area));
    EXPECT_EQ(area.left, 10);
    EXPECT_GT(area.top, 10);
    EXPECT_LT(area.bottom, 30);
    panel.SetFocus();
    EXPECT_FALSE(tqplat::VideoTextInputOn(window));

    edit.SetFocus();
    Feed({Composition("\xE4\xB8\xAD")});
    EXPECT_TRUE(tqplat::VideoTextInputOn(window));
    edit.SetShowMode(0, 0);
    EXPECT_FALSE(tqplat::VideoTextInputOn(window));
    EXPECT_STREQ(edit.GetComposition(), "");
    edit.SetShowMode(1, 0);

    auto* other = new TQ2DGUIEdit;
    other->SetControlID(4);
    other->SetSize(50, 20);
    panel.AddControl(other, 1);
    other->SetFocus();
    EXPECT_TRUE(tqplat::VideoTextInputOn(window));
    panel.DelControl(other);
    EXPECT_FALSE(tqplat::VideoTextInputOn(window));

    Probe popup(101, 0, 0, 50, 50);
    root.AddControl(&popup, 0);
    edit.SetFocus();
    popup.SetPopupMode(1);
    EXPECT_FALSE(tqplat::VideoTextInputOn(window));
    popup.SetPopupMode(0);
    root.DelControl(&popup);
}

TEST_F(EditTest, TextColourShowsOnlyAtTheNextTextChange) {
    edit.SetText("Hello");
    TQ2DTexture& text = edit.GetTextSprite().GetTQ2DTexture();
    EXPECT_GT(CountInk(text, 0), 0);
    edit.SetTextColor(RGB(255, 0, 0));
    EXPECT_EQ(CountInk(text, 0xFF0000), 0);
    Feed({Char('!')});
    EXPECT_GT(CountInk(edit.GetTextSprite().GetTQ2DTexture(), 0xFF0000), 0);
}
