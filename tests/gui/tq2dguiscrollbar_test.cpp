// The scroll bar: clamping, arrow clicks and auto-repeat on the test clock, thumb dragging, track
// presses and the wheel over it.
#include "guitestsupport.h"

#include "gui/tq2dguiscrollbar.h"
#include "platform/win32/tqplatformtest.h"

using Calls = std::vector<std::string>;

namespace {

class ScrollBarTest : public GuiToolkitTest {
protected:
    void SetUp() override {
        GuiToolkitTest::SetUp();
        const std::string arrow =
            assets.Animation("arrow.ani", 10, 10, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF000000});
        const std::string thumb =
            assets.Animation("thumb.ani", 8, 10, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF000000});
        bar = new TQ2DGUIScrollBar;
        bar->SetControlID(5);
        bar->SetSize(10, 230); // track 230 - 30 = 200
        bar->SetTexture(arrow.c_str(), arrow.c_str(), thumb.c_str());
        panel.AddControl(bar, 1);
        root.AddControl(&panel, 0);
        UseTestClock(10000);
    }

    // Notes the position, then lets ms pass.
    std::function<void()> NoteThenWait(std::vector<DWORD>* seen, DWORD ms) const {
        TQ2DGUIScrollBar* target = bar;
        return [seen, target, ms] {
            seen->push_back(target->GetScrollPos());
            tqplat::TestClockAdvance(ms);
        };
    }

    GuiAssets assets;
    TQ2DGUIObject root;
    Probe panel{100, 0, 0, 300, 300};
    TQ2DGUIScrollBar* bar = nullptr;
};

} // namespace

TEST_F(ScrollBarTest, PositionIsClampedAndReportedOnChangesOnly) {
    TQ2DGUIScrollBar fresh;
    EXPECT_EQ(fresh.GetMaxScrollRange(), 100u);
    EXPECT_EQ(fresh.GetScrollPos(), 0u);
    EXPECT_EQ(fresh.GetUpButton().GetEnableMode(), 1);
    EXPECT_FLOAT_EQ(bar->GetTrackLength(), 200);
    bar->SetScrollPos(-5);
    EXPECT_EQ(bar->GetScrollPos(), 0u);
    EXPECT_TRUE(Probe::Only("command").empty());
    bar->SetScrollPos(250);
    bar->SetScrollPos(100);
    EXPECT_EQ(bar->GetScrollPos(), 100u);
    EXPECT_EQ(Probe::Only("command"), (Calls{"100:command 5,0"}));
    EXPECT_FLOAT_EQ(bar->GetBarButton().GetPos().y, 210);
    // Lowering the range below the position brings it to the new end, thumb and all, and tells
    // the parent; range 0 disables everything.
    Probe::Log().clear();
    bar->SetMaxScrollRange(20);
    EXPECT_EQ(bar->GetScrollPos(), 20u);
    EXPECT_FLOAT_EQ(bar->GetBarButton().GetPos().y, 210);
    EXPECT_EQ(Probe::Only("command"), (Calls{"100:command 5,0"}));
    bar->SetMaxScrollRange(0);
    EXPECT_EQ(bar->GetDownButton().GetEnableMode(), 0);
    bar->SetScrollPos(3);
    EXPECT_EQ(bar->GetScrollPos(), 0u);
}

TEST_F(ScrollBarTest, RangesBeyondTheIntRangeNeitherWrapNorOverflow) {
    bar->SetMaxScrollRange(0xFFFFFFFFu);
    // The thumb at the end of the track is the end of the range, halfway is half of it.
    bar->SetBarPos(200);
    EXPECT_EQ(bar->GetScrollPos(), 0xFFFFFFFFu);
    bar->SetBarPos(100);
    EXPECT_EQ(bar->GetScrollPos(), 0x7FFFFFFFu);
    // Arrow steps from above the int range go one step, in both directions.
    bar->OnCommand(&bar->GetDownButton(), TQ2DGUI_COMMAND_CHANGED);
    bar->OnCommand(&bar->GetDownButton(), TQ2DGUI_COMMAND_CHANGED);
    EXPECT_EQ(bar->GetScrollPos(), 0x80000001u);
    bar->OnCommand(&bar->GetUpButton(), TQ2DGUI_COMMAND_CHANGED);
    EXPECT_EQ(bar->GetScrollPos(), 0x80000000u);
}

TEST_F(ScrollBarTest, ArrowClickStepsOnceAndHoldingRepeats) {
    // Down arrow at (0, 220)-(10, 230).
    Run(root, {{Nothing(), 5, 225}, {Press(5, 225), 5, 225}});
    EXPECT_EQ(bar->GetScrollPos(), 1u); // the press
    // Every frame takes 1 ms: the repeat comes once more than 300 ms have passed, then after 50.
    std::vector<DWORD> seen;
    Run(root, {{NoteThenWait(&seen, 297), 5, 225},
               {NoteThenWait(&seen, 0), 5, 225},
               {NoteThenWait(&seen, 0), 5, 225},
               {NoteThenWait(&seen, 48), 5, 225},
               {NoteThenWait(&seen, 0), 5, 225},
               {NoteThenWait(&seen, 0), 5, 225},
               {Nothing(), 5, 225}});
    EXPECT_EQ(seen, (std::vector<DWORD>{1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(bar->GetScrollPos(), 3u);
    Run(root, {{Release(5, 225), 5, 225}, {Nothing(), 5, 225}});
    EXPECT_EQ(bar->GetScrollPos(), 3u); // the release is no step of its own
    Run(root, Click(5, 5));
    EXPECT_EQ(bar->GetScrollPos(), 2u);
}

TEST_F(ScrollBarTest, DraggingTheThumbAndPressingTheTrack) {
    // Thumb at (1, 10)-(9, 20); grabbed 5 pixels below its top.
    Run(root, {{Nothing(), 5, 15}, {Press(5, 15), 5, 15}, {Nothing(), 5, 116}, {Nothing(), 5, 116}});
    EXPECT_EQ(bar->GetScrollPos(), 50u); // 100 x 101 / 200 = 50.5
    EXPECT_EQ(TQ2DGUIObject::GetMouseCapture(), bar);
    Run(root, {{Nothing(), 5, 400}});
    EXPECT_EQ(bar->GetScrollPos(), 100u);
    Run(root, {{Release(5, 400), 5, 400}, {Nothing(), 5, 400}});
    EXPECT_EQ(TQ2DGUIObject::GetMouseCapture(), nullptr);
    // A press on the track centres the thumb on the mouse: 70 - 10 - 5 = 55 -> 27.
    Run(root, {{Nothing(), 5, 70}, {Press(5, 70), 5, 70}, {Release(5, 70), 5, 70}, {Nothing(), 5, 70}});
    EXPECT_EQ(bar->GetScrollPos(), 27u);
}

TEST_F(ScrollBarTest, AfterArrowStepsTheThumbAndTheTrackStillAct) {
    Run(root, Click(5, 225));
    Run(root, Click(5, 225));
    ASSERT_EQ(bar->GetScrollPos(), 2u);
    const float thumb = bar->GetBarButton().GetPos().y + 5;
    Run(root, {{Nothing(), 5, thumb},
               {Press(5, static_cast<int>(thumb)), 5, thumb},
               {Nothing(), 5, 0},
               {Release(5, 0), 5, 0},
               {Nothing(), 5, 0}});
    EXPECT_EQ(bar->GetScrollPos(), 0u);
    // The track pressed twice at one place, with arrow steps between.
    const auto trackPress = std::vector<GuiStep>{
        {Nothing(), 5, 70}, {Press(5, 70), 5, 70}, {Release(5, 70), 5, 70}, {Nothing(), 5, 70}};
    Run(root, trackPress);
    for (int step = 0; step < 6; ++step)
        Run(root, Click(5, 5));
    ASSERT_EQ(bar->GetScrollPos(), 21u);
    Run(root, trackPress);
    EXPECT_EQ(bar->GetScrollPos(), 27u);
}

TEST_F(ScrollBarTest, WheelScrollsTheBarUnderTheMouseOncePerNotch) {
    bar->SetScrollPos(5);
    Probe outsider(7);
    root.AddControl(&outsider, 0);
    outsider.SetFocus(); // the focus does not matter, the mouse does
    Run(root, {{Wheel(1), 100, 100}, {Nothing(), 100, 100}});
    EXPECT_EQ(bar->GetScrollPos(), 5u);
    Run(root, {{Wheel(-1), 5, 100}, {Wheel(-1), 5, 100}, {Wheel(-1), 5, 100}, {Nothing(), 5, 100}});
    EXPECT_EQ(bar->GetScrollPos(), 8u);
    Run(root, {{Wheel(2), 5, 15}, {Nothing(), 5, 15}}); // over the thumb
    EXPECT_EQ(bar->GetScrollPos(), 6u);
}
