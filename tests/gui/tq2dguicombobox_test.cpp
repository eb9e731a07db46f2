// The combo box: its description file, opening and closing the list by clicks, picking a line,
// closing by a press elsewhere or Escape, and an edit that only shows the choice.
#include "guitestsupport.h"

#include "gui/tq2dguicombobox.h"
#include "platform/win32/tquser32.h"

using Calls = std::vector<std::string>;

namespace {

class ComboBoxTest : public GuiToolkitTest {
protected:
    void SetUp() override {
        GuiToolkitTest::SetUp();
        button = assets.Animation("drop.ani", 12, 12, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF000000});
        combo = new TQ2DGUIComboBox;
        combo->SetControlID(6);
        combo->SetPos(10, 10);
        combo->SetSize(100, 20);
        panel.AddControl(combo, 1);
        root.AddControl(&panel, 0);
    }

    std::string Description(const std::string& body) {
        return assets.Text("combo.txt", "DROP_DOWN_BTN=" + button + "\n" + body);
    }

    GuiAssets assets;
    std::string button;
    TQ2DGUIObject root;
    Probe panel{100, 0, 0, 300, 300};
    TQ2DGUIComboBox* combo = nullptr;
};

} // namespace

TEST_F(ComboBoxTest, DescriptionSetsLooksItemsAndSelection) {
    const std::string file = Description("bg_alpha = 128\n"
                                         "BG_COLOR=0xFF0000\n"
                                         "TEXT_COLOR=0xFF0000 # red, as a GDI colour blue and red swap\n"
                                         "BG_LINE_COLOR=0x123456\n"
                                         "SELECT_COLOR=0x0000FF\n"
                                         "DATA_SORT=1\n"
                                         "DATA_MAX_LINE=2\n"
                                         "DATA_SELECT=0\n"
                                         "ADD_DATA=0, Zero\n"
                                         "ADD_DATA=5, Five # comment\n"
                                         "ADD_DATA=7,100%,more\n"
                                         "UNKNOWN=1\n"
                                         "no equals sign\n"
                                         "DATA_SELECT=5\r\n");
    EXPECT_EQ(combo->InitFromConfig(file.c_str()), 1);
    TQ2DGUIDataList& list = combo->GetDataList();
    EXPECT_EQ(list.GetTextureAlpha(), 128);
    EXPECT_EQ(list.GetTextureColor(), 0xFF0000u);
    EXPECT_EQ(list.GetTextColor(), 0x0000FFu);
    EXPECT_EQ(list.GetBGLineColor(), 0x563412u);
    EXPECT_EQ(list.GetSelectColor(), 0xFF0000u);
    EXPECT_EQ(list.GetDataOrderBy(), 1);
    EXPECT_EQ(list.GetMaxDataViewLine(), 2u);
    EXPECT_STREQ(list.GetString(5), "Five");
    EXPECT_STREQ(list.GetString(7), "100%");
    // The last DATA_SELECT counts, after every item was added; the pick reached the edit.
    EXPECT_STREQ(combo->GetEdit().GetText(), "Five");
    EXPECT_EQ(Probe::Only("command 6").back(), "100:command 6,0");
    // The edit only shows the choice: it never becomes the input control.
    EXPECT_EQ(TQ2DGUIObject::GetInputControl(), nullptr);
    // Parts placed by the button's face.
    EXPECT_FLOAT_EQ(combo->GetDropDownButton().GetPos().x, 88);
    EXPECT_FLOAT_EQ(combo->GetEdit().GetSize().x, 88);
    EXPECT_FLOAT_EQ(list.GetPos().y, 21);
}

TEST_F(ComboBoxTest, MissingOrNullDescriptionsAndSizeFromTheFace) {
    EXPECT_EQ(combo->InitFromConfig(nullptr), 0);
    EXPECT_EQ(combo->InitFromConfig("no/such/file.txt"), 1);
    EXPECT_EQ(combo->GetDataList().GetItems().GetCount(), 0u);
    EXPECT_EQ(combo->InitFromConfig("//"), 1);
    TQ2DGUIComboBox sized;
    EXPECT_EQ(sized.SetTexture(button.c_str()), 1);
    EXPECT_FLOAT_EQ(sized.GetSize().x, 12);
    EXPECT_FLOAT_EQ(sized.GetSize().y, 12);
    // Loaded before it has a size, a combo box shows its choice once it has one.
    TQ2DGUIComboBox early;
    early.InitFromConfig(Description("ADD_DATA=0,Apple\n").c_str());
    early.SetSize(100, 20);
    EXPECT_GT(CountInk(early.GetEdit().GetTextSprite().GetTQ2DTexture(), 0), 0);
}

TEST_F(ComboBoxTest, ClicksOpenCloseAndPick) {
    combo->InitFromConfig(Description("ADD_DATA=0,Apple\nADD_DATA=1,Pear\nADD_DATA=2,Plum\n").c_str());
    TQ2DGUIDataList& list = combo->GetDataList();
    const float bx = 10 + 88 + 6, by = 20;
    Run(root, Click(bx, by));
    EXPECT_EQ(list.GetShowMode(), 1);
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), combo);
    EXPECT_EQ(TQ2DGUIObject::GetMouseCapture(), combo);
    Run(root, Click(bx, by));
    EXPECT_EQ(list.GetShowMode(), 0);
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), nullptr);
    // Open, then pick the second line.
    Run(root, Click(bx, by));
    ASSERT_EQ(list.GetShowMode(), 1);
    Probe::Log().clear();
    const float ly = 10 + 21 + 1.5f * list.GetRowHeight();
    Run(root, Click(30, ly));
    EXPECT_STREQ(combo->GetEdit().GetText(), "Pear");
    EXPECT_EQ(list.GetShowMode(), 0);
    EXPECT_EQ(Probe::Only("command 6"), (Calls{"100:command 6,0"}));
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), nullptr);
    // A press outside an open list closes it.
    Run(root, Click(bx, by));
    ASSERT_EQ(list.GetShowMode(), 1);
    Run(root, Click(250, 250));
    EXPECT_EQ(list.GetShowMode(), 0);
    EXPECT_EQ(TQ2DGUIObject::GetMouseCapture(), nullptr);
    // Showing or hiding the combo box closes its list.
    Run(root, Click(bx, by));
    combo->SetShowMode(0, 0);
    EXPECT_EQ(list.GetShowMode(), 0);
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), nullptr);
}

TEST_F(ComboBoxTest, OnlyAClickChoosesAndTheOpenListShowsEveryChoice) {
    combo->InitFromConfig(Description("DATA_MAX_LINE=3\nADD_DATA=0,Small\nADD_DATA=1,Medium\n"
                                      "ADD_DATA=2,Large\nADD_DATA=3,Huge\nDATA_SELECT=1\n")
                              .c_str());
    TQ2DGUIDataList& list = combo->GetDataList();
    const float bx = 10 + 88 + 6, by = 20;
    auto lineY = [&list](int r) { return 10 + 21 + (r + 0.5f) * list.GetRowHeight(); };
    Run(root, Click(bx, by));
    ASSERT_EQ(list.GetShowMode(), 1);
    EXPECT_EQ(list.GetTopLine(), 0);
    // Hovering and the wheel choose nothing; closed by a press elsewhere, the choice stays.
    Probe::Log().clear();
    Run(root, {{Nothing(), 30, lineY(2)}, {Wheel(-1), 30, lineY(2)}, {Nothing(), 30, lineY(2)}});
    Run(root, Click(250, 250));
    EXPECT_EQ(list.GetShowMode(), 0);
    EXPECT_EQ(list.GetCurSelect(), 1);
    EXPECT_STREQ(combo->GetEdit().GetText(), "Medium");
    EXPECT_TRUE(Probe::Only("command 6").empty());
    // The first line can be chosen.
    Run(root, Click(bx, by));
    Run(root, {{Wheel(1), 30, lineY(0)}, {Nothing(), 30, lineY(0)}});
    Run(root, Click(30, lineY(0)));
    EXPECT_STREQ(combo->GetEdit().GetText(), "Small");
    // Typing does not change the choice.
    Run(root, {{[this] { PostMessageA(window, WM_CHAR, 'x', 0); }, 300, 300}, {Nothing(), 300, 300}});
    EXPECT_STREQ(combo->GetEdit().GetText(), "Small");
    // Escape closes the open list, scrolled away from the choice here.
    Run(root, Click(bx, by));
    ASSERT_EQ(list.GetShowMode(), 1);
    Run(root, {{Wheel(-1), 30, lineY(0)}, {KeyDown(VK_ESCAPE), 300, 300}, {Nothing(), 300, 300}});
    EXPECT_EQ(list.GetShowMode(), 0);
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), nullptr);
    // A combo box of type 1 opens from a press on its box, with the choice in view.
    combo->SetComboBoxType(TQ2DCOMBOBOX_CLICK_TOGGLES);
    Run(root, Click(30, by));
    EXPECT_EQ(list.GetShowMode(), 1);
    EXPECT_EQ(list.GetTopLine(), 0);
}

TEST_F(ComboBoxTest, AParentMayRemoveTheComboBoxWhenALineIsPicked) {
    // A dialog that closes as soon as a choice is made.
    class ClosingPanel : public Probe {
    public:
        using Probe::Probe;
        void OnCommand(TQ2DGUIObject* sender, DWORD code) override {
            Probe::OnCommand(sender, code);
            if (armed)
                DelControl(sender);
        }
        bool armed = false;
    };
    ClosingPanel closing(200, 0, 0, 300, 300);
    root.DelControl(&panel);
    root.AddControl(&closing, 0);
    auto* box = new TQ2DGUIComboBox;
    box->SetControlID(6);
    box->SetPos(10, 10);
    box->SetSize(100, 20);
    closing.AddControl(box, 1);
    box->InitFromConfig(Description("ADD_DATA=0,Apple\nADD_DATA=1,Pear\n").c_str());
    const float bx = 10 + 88 + 6, by = 20;
    Run(root, Click(bx, by));
    ASSERT_EQ(box->GetDataList().GetShowMode(), 1);
    const float ly = 10 + 21 + 1.5f * box->GetDataList().GetRowHeight();
    closing.armed = true;
    Probe::Log().clear();
    Run(root, Click(30, ly));
    EXPECT_EQ(Probe::Only("200:command"), (Calls{"200:command 6,0"}));
    EXPECT_EQ(closing.GetControl(6), nullptr);
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), nullptr);
    EXPECT_EQ(TQ2DGUIObject::GetMouseCapture(), nullptr);
    EXPECT_EQ(TQ2DGUIObject::GetFocusControl(), nullptr);
}
