// Push, group and toggle buttons driven by synthetic clicks, images and static texts.
#include "guitestsupport.h"

#include "gui/tq2dguibutton.h"
#include "gui/tq2dguiimage.h"
#include "gui/tq2dguistatic.h"

using Calls = std::vector<std::string>;

namespace {

const std::vector<unsigned> kFaces = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF};

class ButtonTest : public GuiToolkitTest {
protected:
    void SetUp() override {
        GuiToolkitTest::SetUp();
        face = assets.Animation("face.ani", 20, 10, kFaces);
        root.AddControl(&panel, 0);
    }

    // A button of the type under parent (the panel when NULL) at (x, 0), 20 x 10 from its face.
    TQ2DGUIButton* AddButton(DWORD id, T_TQ2DBUTTON type, float x, DWORD group = 0,
                             TQ2DGUIObject* parent = nullptr) {
        auto* button = new TQ2DGUIButton;
        button->SetControlID(id);
        button->SetButtonType(type);
        button->SetPos(x, 0);
        button->SetGroup(group);
        EXPECT_EQ(button->SetTexture(face.c_str()), 1);
        (parent ? parent : &panel)->AddControl(button, 1);
        return button;
    }

    // Leftmost column of the static's texture with black ink, -1 when none.
    static int FirstInkColumn(TQ2DGUIStatic& text) {
        TQ2DTexture& tex = text.GetSprite().GetTQ2DTexture();
        for (DWORD x = 0; x < tex.GetWidth(false); ++x)
            if (CountInk(tex, 0, x, 0, 1, 0) > 0)
                return static_cast<int>(x);
        return -1;
    }

    GuiAssets assets;
    std::string face;
    TQ2DGUIObject root;
    Probe panel{100, 0, 0, 300, 100};
};

} // namespace

TEST_F(ButtonTest, PushButtonReportsPressAndClickAndShowsItsFrames) {
    TQ2DGUIButton* button = AddButton(1, TQ2DBUTTON_PUSH, 10);
    EXPECT_FLOAT_EQ(button->GetSize().x, 20);
    EXPECT_FLOAT_EQ(button->GetSize().y, 10);
    std::vector<int> frames;
    Run(root, {{Nothing(), 15, 5}, {Press(15, 5), 15, 5}, {Release(15, 5), 15, 5}, {Nothing(), 15, 5}});
    EXPECT_EQ(Probe::Only("command"), (Calls{"100:command 1,0", "100:command 1,-1"}));
    EXPECT_EQ(button->GetTexture().GetFrame(), 1);
    Run(root, {{Nothing(), 200, 50}});
    EXPECT_EQ(button->GetTexture().GetFrame(), 0);
    button->SetEnableMode(0);
    EXPECT_EQ(button->GetTexture().GetFrame(), 3);
    // A failed face leaves the button as it was.
    EXPECT_EQ(button->SetTexture("no/such.ani"), 0);
    EXPECT_EQ(button->GetTexture().GetFrame(), 3);
}

TEST_F(ButtonTest, ACaptionOverAButtonLetsTheMouseThrough) {
    AddButton(1, TQ2DBUTTON_PUSH, 10);
    auto* caption = new TQ2DGUIStatic;
    caption->SetControlID(2);
    caption->SetPos(10, 0);
    caption->SetSize(20, 10);
    caption->SetText("OK");
    panel.AddControl(caption, 1);
    Run(root, Click(15, 5));
    EXPECT_EQ(Probe::Only("command"), (Calls{"100:command 1,0", "100:command 1,-1"}));
    // The caption is still drawn over the button.
    EXPECT_EQ(panel.GetControlList().GetHeadPosition()->GetNext()->GetData(), caption);
}

TEST_F(ButtonTest, GroupButtonsExcludeEachOtherAndTogglesFlipOnPress) {
    TQ2DGUIButton* a = AddButton(1, TQ2DBUTTON_GROUP, 0, 7);
    TQ2DGUIButton* b = AddButton(2, TQ2DBUTTON_GROUP, 30, 7);
    TQ2DGUIButton* other = AddButton(3, TQ2DBUTTON_GROUP, 60, 8);
    other->SetStatus(1);
    a->SetStatus(1);
    Probe::Log().clear();
    Run(root, Click(35, 5));
    EXPECT_EQ(a->GetStatus(), 0);
    EXPECT_EQ(b->GetStatus(), 1);
    EXPECT_EQ(other->GetStatus(), 1);
    EXPECT_EQ(Probe::Only("command"), (Calls{"100:command 1,0", "100:command 2,0", "100:command 2,-1"}));
    EXPECT_EQ(a->GetTexture().GetFrame(), 0);
    EXPECT_EQ(b->GetTexture().GetFrame(), 3);
    // Pressing the checked one again only clicks.
    Probe::Log().clear();
    Run(root, Click(35, 5));
    EXPECT_EQ(Probe::Only("command"), (Calls{"100:command 2,-1"}));
    // Disabled, a checked button still looks checked, an unchecked one normal.
    Run(root, {{Nothing(), 200, 50}});
    b->SetEnableMode(0);
    EXPECT_EQ(b->GetTexture().GetFrame(), 2);
    a->SetEnableMode(0);
    EXPECT_EQ(a->GetTexture().GetFrame(), 0);
    b->SetEnableMode(1);
    EXPECT_EQ(b->GetTexture().GetFrame(), 2);

    TQ2DGUIButton* toggle = AddButton(4, TQ2DBUTTON_TOGGLE, 100);
    Run(root, {{Nothing(), 105, 5}, {Press(105, 5), 105, 5}});
    EXPECT_EQ(toggle->GetStatus(), 1); // changed on the press, before any release
    Run(root, {{Release(105, 5), 105, 5}, {Nothing(), 105, 5}});
    Run(root, Click(105, 5));
    EXPECT_EQ(toggle->GetStatus(), 0);
    toggle->SetStatus(1);
    Run(root, {{Nothing(), 200, 50}});
    toggle->SetEnableMode(0);
    EXPECT_EQ(toggle->GetTexture().GetFrame(), 2);
}

// A choice in a dialog makes the host delete a control: another one, which leaves the choice
// whole, or the dialog itself with the group buttons whose exclusion is still running.
TEST_F(ButtonTest, HandlersMayDeleteControlsWhileAGroupChanges) {
    class DeletingDialog : public Probe {
    public:
        using Probe::Probe;
        void OnCommand(TQ2DGUIObject* sender, DWORD code) override {
            Probe::OnCommand(sender, code);
            if (TQ2DGUIObject* doomed = victim) {
                victim = nullptr;
                doomed->GetParent()->DelControl(doomed);
            }
        }
        TQ2DGUIObject* victim = nullptr;
    };
    auto* dialog = new DeletingDialog(50, 0, 0, 100, 10);
    panel.AddControl(dialog, 1);
    AddButton(1, TQ2DBUTTON_GROUP, 0, 7, dialog)->SetStatus(1);
    TQ2DGUIButton* second = AddButton(2, TQ2DBUTTON_GROUP, 30, 7, dialog);
    dialog->victim = new Probe(3, 60, 0, 10, 10);
    dialog->AddControl(dialog->victim, 1);
    Probe::Log().clear();
    Run(root, Click(35, 5));
    EXPECT_EQ(dialog->GetControl(3), nullptr);
    EXPECT_EQ(second->GetStatus(), 1);
    EXPECT_EQ(Probe::Only("50:command"), (Calls{"50:command 1,0", "50:command 2,0", "50:command 2,-1"}));

    dialog->victim = dialog;
    Probe::Log().clear();
    Run(root, Click(5, 5));
    EXPECT_EQ(panel.GetControl(50), nullptr);
    EXPECT_EQ(Probe::Only("50:command"), (Calls{"50:command 2,0"}));
}

TEST_F(ButtonTest, FacesKeepAPresetSizeAndImagesTakeTheirPositionAndNoInput) {
    TQ2DGUIButton sized;
    sized.SetSize(50, 0);
    EXPECT_EQ(sized.SetTexture(face.c_str()), 1);
    EXPECT_FLOAT_EQ(sized.GetSize().x, 50);
    EXPECT_FLOAT_EQ(sized.GetSize().y, 0);

    const std::string picture =
        assets.Animation("pic.ani", 6, 4, {0xFFFF0000, 0xFF00FF00}, "RENDER_X=5\nRENDER_Y=6\n");
    TQ2DGUIImage image;
    EXPECT_EQ(image.SetTexture(picture.c_str()), 1);
    EXPECT_FLOAT_EQ(image.GetPos().x, 5);
    EXPECT_FLOAT_EQ(image.GetPos().y, 6);
    EXPECT_FLOAT_EQ(image.GetSize().x, 6);
    EXPECT_EQ(image.GetEnableMode(), 0);
    EXPECT_TRUE(image.GetTexture().IsPlaying());
    TQ2DGUIImage placed;
    placed.SetPos(1, 0);
    placed.SetTexture(picture.c_str());
    EXPECT_FLOAT_EQ(placed.GetPos().x, 1);
    EXPECT_EQ(placed.SetTexture("missing.ani"), 0);
}

TEST_F(ButtonTest, StaticTextTurnsEscapesIntoCharactersAndRedrawsOnTextOrSize) {
    TQ2DGUIStatic text;
    text.SetText("\\na\\tb");
    EXPECT_STREQ(text.GetText(), "\na\tb");
    text.SetSize(80, 16);
    text.SetText("Hello");
    const int left = FirstInkColumn(text);
    ASSERT_GE(left, 0);
    EXPECT_LT(left, 4);
    // Every texel has the text colour, from transparent through the glyphs' edges to solid ink.
    int black = 0;
    for (DWORD alpha = 0; alpha < 256; ++alpha)
        black += CountTexels(text.GetSprite().GetTQ2DTexture(), 0, alpha);
    EXPECT_EQ(black, 80 * 16);
    text.SetAlign(DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(FirstInkColumn(text), left);
    text.BuildTexture();
    EXPECT_GT(FirstInkColumn(text), 40);
    // Impossible sizes draw nothing and do not crash.
    text.SetSize(-5, 1e9f);
    EXPECT_EQ(text.GetSprite().GetTexture(), 0u);
}
