// The data list: its height from the visible lines, selection and view, sorting, the highlight
// under the mouse, clicks, the wheel, and its textures by their pixels.
#include "guitestsupport.h"

#include "gui/tq2dguidatalist.h"

using Calls = std::vector<std::string>;

namespace {

class DataListTest : public GuiToolkitTest {
protected:
    void SetUp() override {
        GuiToolkitTest::SetUp();
        list = new TQ2DGUIDataList;
        list->SetControlID(4);
        list->SetPos(10, 10);
        panel.AddControl(list, 1);
        root.AddControl(&panel, 0);
    }

    void Fill(int count) {
        const char* texts[] = {"i", "WWWWWWWW", "ii", "WW"};
        for (int key = 0; key < count; ++key)
            list->AddString(key, "%s", texts[key % 4]);
    }

    // Ink of the text texture in display row `row`.
    int RowInk(int row) {
        const int h = list->GetRowHeight();
        return CountInk(list->GetTextSprite().GetTQ2DTexture(), 0, 0, row * h, 0, h);
    }

    TQ2DGUIObject root;
    Probe panel{100, 0, 0, 300, 300};
    TQ2DGUIDataList* list = nullptr;
};

} // namespace

TEST_F(DataListTest, HeightFollowsTheVisibleLines) {
    Fill(3);
    list->SetMaxDataViewLine(5);
    list->SetSize(80, 999);
    const int row = list->GetRowHeight();
    ASSERT_GT(row, 2);
    EXPECT_FLOAT_EQ(list->GetSize().y, row * 5 + 2);
    list->SetMaxDataViewLine(0);
    list->SetSize(80, 0);
    EXPECT_FLOAT_EQ(list->GetSize().y, row * 3 + 2);
    // An empty list: a frame 2 pixels high, no highlight, no text.
    TQ2DGUIDataList empty;
    empty.SetSize(50, 50);
    EXPECT_FLOAT_EQ(empty.GetSize().y, 2);
    EXPECT_EQ(empty.GetSelectRow(), -1);
    EXPECT_EQ(empty.GetCurSelect(), -1);
    EXPECT_STREQ(empty.GetCurSelectData(), "");
    EXPECT_STREQ(empty.GetString(9), "");
}

TEST_F(DataListTest, SelectionIsKeptInAFullViewAndTellsTheParent) {
    Fill(10);
    list->SetMaxDataViewLine(5);
    list->SetSize(80, 0);
    const int row = list->GetRowHeight();
    Probe::Log().clear();
    list->SetCurSelect(8);
    EXPECT_EQ(Probe::Only("command"), (Calls{"100:command 4,0"}));
    EXPECT_EQ(list->GetCurSelect(), 8);
    EXPECT_STREQ(list->GetCurSelectData(), "i");
    // The view scrolls the least that shows the selection, and stays full: items 4 to 8.
    EXPECT_EQ(list->GetTopLine(), 4);
    float x, y, w, h;
    list->GetTextSprite().GetTextureRect(&x, &y, &w, &h);
    EXPECT_FLOAT_EQ(y, 4.0f * row);
    EXPECT_FLOAT_EQ(h, 5.0f * row);
    list->SetCurSelect(9);
    EXPECT_EQ(list->GetTopLine(), 5);
    list->SetCurSelect(6);
    EXPECT_EQ(list->GetTopLine(), 5);
    list->SetCurSelect(1);
    EXPECT_EQ(list->GetTopLine(), 1);
    // An unknown key selects the first line; a rebuild keeps the selection and the view.
    list->SetCurSelect(77);
    EXPECT_EQ(list->GetCurSelect(), 0);
    EXPECT_EQ(list->GetTopLine(), 0);
    list->SetCurSelect(3);
    list->BuildTexture();
    EXPECT_EQ(list->GetCurSelect(), 3);
}

TEST_F(DataListTest, ReversedOrderDrawsTheLastKeyOnTopAndKeepsTheSelectedItem) {
    Fill(2);
    list->SetSize(80, 0);
    EXPECT_LT(RowInk(0), RowInk(1));
    list->SetDataOrderBy(1);
    list->BuildTexture();
    EXPECT_GT(RowInk(0), RowInk(1));
    list->AddString(2, "x");
    for (int key = 3; key < 10; ++key)
        list->AddString(key, "y");
    list->SetMaxDataViewLine(5);
    list->SetDataOrderBy(0);
    list->SetSize(80, 0);
    list->SetCurSelect(3);
    list->SetDataOrderBy(1);
    list->BuildTexture();
    EXPECT_EQ(list->GetCurSelect(), 3);
    EXPECT_EQ(list->GetTopLine(), 2); // item 3 is display row 6
}

TEST_F(DataListTest, HoverHighlightsClicksChooseAndTheWheelScrolls) {
    Fill(6);
    list->SetMaxDataViewLine(3);
    list->SetSize(80, 0);
    const int row = list->GetRowHeight();
    const float x = 20;
    auto rowY = [row](int r) { return 10 + r * row + row / 2.0f; };
    Run(root, Click(x, rowY(1)));
    EXPECT_EQ(list->GetCurSelect(), 1);
    // Moving over another line only highlights it.
    Run(root, {{Nothing(), x, rowY(2)}});
    EXPECT_EQ(list->GetSelectRow(), 2);
    EXPECT_EQ(list->GetCurSelect(), 1);
    Run(root, {{Nothing(), 200, 200}});
    EXPECT_EQ(list->GetSelectRow(), -1);
    EXPECT_EQ(list->GetCurSelect(), 1);
    // One line a notch, also the same notch on frames in a row, never past the end; nothing when
    // the wheel turns elsewhere.
    Run(root, {{Wheel(-1), x, rowY(0)}, {Wheel(-1), x, rowY(0)}, {Nothing(), x, rowY(0)}});
    EXPECT_EQ(list->GetTopLine(), 2);
    Run(root, {{Wheel(-5), x, rowY(0)}, {Nothing(), x, rowY(0)}});
    EXPECT_EQ(list->GetTopLine(), 3);
    Run(root, {{Wheel(2), 200, 200}, {Nothing(), 200, 200}});
    EXPECT_EQ(list->GetTopLine(), 3);
    EXPECT_EQ(list->GetCurSelect(), 1);
    // A click picks the line shown there; a release outside picks nothing.
    Probe::Log().clear();
    Run(root, Click(x, rowY(2)));
    EXPECT_EQ(Probe::Only("command 4,0"), (Calls{"100:command 4,0"}));
    EXPECT_EQ(list->GetCurSelect(), 5);
    Probe::Log().clear();
    Run(root, {{Nothing(), x, rowY(1)},
               {Press(20, static_cast<int>(rowY(1))), x, rowY(1)},
               {Nothing(), 200, 200},
               {Release(200, 200), 200, 200},
               {Nothing(), 200, 200}});
    EXPECT_TRUE(Probe::Only("command 4,0").empty());
    EXPECT_EQ(list->GetCurSelect(), 5);
}

TEST_F(DataListTest, EmptyRowsBelowTheItemsCannotBeChosen) {
    Fill(3);
    list->SetMaxDataViewLine(5);
    list->SetSize(80, 0);
    const float y = 10 + 4.5f * list->GetRowHeight();
    Probe::Log().clear();
    Run(root, Click(20, y));
    EXPECT_EQ(list->GetSelectRow(), -1);
    EXPECT_TRUE(Probe::Only("command 4,0").empty());
    EXPECT_EQ(list->GetCurSelect(), 0);
    Run(root, {{Wheel(-1), 20, y}, {Nothing(), 20, y}});
    EXPECT_EQ(list->GetTopLine(), 0);
}

TEST_F(DataListTest, TexturesCarryFrameFillBarAndColoursAfterARebuild) {
    Fill(2);
    list->SetTextureColor(0x00FF00);
    list->SetTextureAlpha(0x80);
    list->SetSize(60, 0);
    TQ2DTexture& bg = list->GetBGSprite().GetTQ2DTexture();
    EXPECT_EQ(Texel(bg, 0, 0), 0xFF6887ABu); // GDI 0xAB8768 as a texel
    EXPECT_EQ(Texel(bg, 59, 5), 0xFF6887ABu);
    EXPECT_EQ(Texel(bg, 5, 5), 0x8000FF00u);
    EXPECT_EQ(Texel(list->GetSelectSprite().GetTQ2DTexture(), 0, 0), 0xFFD9E8F4u);
    EXPECT_GT(CountInk(list->GetTextSprite().GetTQ2DTexture(), 0), 0);
    // A new colour shows only after the next rebuild.
    list->SetTextureColor(0x0000FF);
    EXPECT_EQ(Texel(list->GetBGSprite().GetTQ2DTexture(), 5, 5), 0x8000FF00u);
    list->SetSize(60, 0);
    EXPECT_EQ(Texel(list->GetBGSprite().GetTQ2DTexture(), 5, 5), 0x800000FFu);
}

TEST_F(DataListTest, KeysKeepTheirLow32BitsAndEveryKeyHasItsText) {
    list->AddString(1, "one");
    list->AddString(0x100000005ul, "five");
    list->AddString(static_cast<unsigned long>(-3), "minus three");
    list->AddString(0xFFFFFFFFul, "last");
    EXPECT_STREQ(list->GetString(5), "five");
    EXPECT_STREQ(list->GetString(0xFFFFFFFDul), "minus three");
    list->SetSize(80, 0);
    // An int key reaches the item stored under the same 32 bits.
    list->SetCurSelect(-1);
    EXPECT_STREQ(list->GetCurSelectData(), "last");
    list->SetCurSelect(-3);
    EXPECT_EQ(list->GetCurSelect(), -3);
    EXPECT_STREQ(list->GetCurSelectData(), "minus three");
    list->DelString(0x100000005ul);
    EXPECT_EQ(list->GetItems().GetCount(), 3u);
}
