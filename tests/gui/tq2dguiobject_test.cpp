// The control tree and its class-wide state, and the update and render passes driven by
// synthetic mouse input.
#include "guitestsupport.h"

#include "base/tqlog.h"

using Calls = std::vector<std::string>;

namespace {

// A control that records where it was drawn.
class Painter : public TQ2DGUIObject {
public:
    explicit Painter(DWORD id, std::vector<std::string>* log) : m_log(log) { SetControlID(id); }
    void OnRender(float x, float y) override {
        m_log->push_back(std::to_string(GetControlID()) + "@" + std::to_string(int(x)) + "," +
                         std::to_string(int(y)));
    }

private:
    std::vector<std::string>* m_log;
};

// Children in list order, by ID.
std::vector<DWORD> Order(TQ2DGUIObject& parent) {
    std::vector<DWORD> ids;
    for (auto* e = parent.GetControlList().GetHeadPosition(); e; e = e->GetNext())
        ids.push_back(e->GetData()->GetControlID());
    return ids;
}

// A host that closes (removes, and so deletes) the child that sent it a click.
class ClosingHost : public Probe {
public:
    using Probe::Probe;
    void OnCommand(TQ2DGUIObject* sender, DWORD code) override {
        Probe::OnCommand(sender, code);
        if (code == TQ2DGUI_COMMAND_CLICK)
            DelControl(sender);
    }
};

// A control that has its parent remove it as soon as it is pressed.
class SelfRemoving : public Probe {
public:
    using Probe::Probe;
    void OnMouseLButton(int n) override {
        Probe::OnMouseLButton(n);
        if (n)
            GetParent()->DelControl(this);
    }
};

} // namespace

TEST_F(GuiToolkitTest, TreeKeepsIdsUniqueAndOrdersByThreeWayComparison) {
    TQ2DGUIObject root;
    TQLogCapture errors(g_tqLogError);
    auto* a = new Probe(7);
    auto* b = new Probe(7);
    EXPECT_EQ(root.AddControl(a, 1), 1);
    EXPECT_EQ(root.AddControl(b, 1), 0);
    ASSERT_EQ(errors.Lines().size(), 1u);
    EXPECT_TRUE(errors.Contains("Control ID 7 not added: a sibling has it.")) << errors.Lines()[0];
    EXPECT_EQ(b->GetParent(), nullptr);
    delete b;
    EXPECT_EQ(root.AddControl(nullptr, 1), 0);
    // IDs far apart would give the wrong sign as a truncated difference.
    auto* high = new Probe(0xF0000000u);
    auto* low = new Probe(1);
    EXPECT_EQ(root.AddControl(high, 1), 1);
    EXPECT_EQ(root.AddControl(low, 1), 1);
    EXPECT_LT(*low - *high, 0);
    EXPECT_GT(*high - *low, 0);
    EXPECT_EQ(*a - static_cast<void*>(nullptr), -1);
    EXPECT_EQ(root.GetControl(0xF0000000u), high);
    EXPECT_EQ(root.GetControl(1), low);
    EXPECT_EQ(root.GetControl(99), nullptr);
    EXPECT_EQ(Order(root), (std::vector<DWORD>{7, 0xF0000000u, 1}));
    EXPECT_TRUE(root.CheckChild(a));
    EXPECT_TRUE(a->CheckParent(&root));
    EXPECT_FALSE(root.CheckChild(nullptr));
}

TEST_F(GuiToolkitTest, OwnedChildrenAreDeletedOnceAndOthersDetached) {
    auto* root = new TQ2DGUIObject;
    auto* owned = new Probe(1);
    Probe kept(2);
    auto* grandchild = new Probe(3);
    root->AddControl(owned, 1);
    root->AddControl(&kept, 0);
    owned->AddControl(grandchild, 1);
    // Deleting an owned child directly takes it out of its parent's list first.
    delete grandchild;
    EXPECT_EQ(owned->GetControlList().GetCount(), 0u);
    // Removing a foreign control with a taken ID leaves the real child alone.
    Probe stranger(1);
    root->DelControl(&stranger);
    EXPECT_EQ(root->GetControl(1), owned);
    owned->SetFocus();
    delete root;
    EXPECT_EQ(kept.GetParent(), nullptr);
    EXPECT_EQ(TQ2DGUIObject::GetFocusControl(), nullptr);
}

TEST_F(GuiToolkitTest, StateSettersCallHandlersOnlyOnChangesAndGroupsExclude) {
    TQ2DGUIObject root;
    Probe a(1), b(2), c(3), d(4);
    for (Probe* p : {&a, &b, &c, &d})
        root.AddControl(p, 0);
    a.groupExclusion = b.groupExclusion = c.groupExclusion = 1;
    a.SetGroup(5);
    b.SetGroup(5);
    c.SetGroup(6);
    d.SetGroup(5); // takes no part in exclusion
    b.SetStatus(1);
    c.SetStatus(1);
    d.SetStatus(1);
    Probe::Log().clear();
    a.SetStatus(1);
    a.SetStatus(1);
    EXPECT_EQ(Probe::Log(), (Calls{"2:status 0", "4:status 0", "1:status 1"}));
    EXPECT_EQ(c.GetStatus(), 1);
    // d never unchecks the others.
    Probe::Log().clear();
    d.SetStatus(1);
    EXPECT_EQ(Probe::Log(), (Calls{"4:status 1"}));
    EXPECT_EQ(a.GetStatus(), 1);
}

TEST_F(GuiToolkitTest, FocusRaisesTheControlsAroundItAndHidingClearsTheSubtree) {
    TQ2DGUIObject root;
    Probe a(1), b(2), inner(3), leaf(4);
    root.AddControl(&a, 0);
    root.AddControl(&b, 0);
    a.AddControl(&inner, 0);
    a.AddControl(&leaf, 0);
    inner.SetShowMode(0, 1);
    inner.SetShowMode(1, 0);
    EXPECT_EQ(TQ2DGUIObject::GetFocusControl(), &inner);
    EXPECT_EQ(Order(a), (std::vector<DWORD>{3, 4})); // a control without children keeps its place
    EXPECT_EQ(Order(root), (std::vector<DWORD>{2, 1}));
    TQ2DGUIObject::SetInputControl(&inner);
    inner.CaptureMouse(1);
    TQ2DGUIObject::SetActiveControlID(3);
    Probe::Log().clear();
    a.SetEnableMode(0);
    EXPECT_EQ(Probe::Log(), (Calls{"3:blur"}));
    EXPECT_EQ(TQ2DGUIObject::GetFocusControl(), nullptr);
    EXPECT_EQ(TQ2DGUIObject::GetMouseCapture(), nullptr);
    EXPECT_EQ(TQ2DGUIObject::GetInputControl(), nullptr);
    EXPECT_EQ(TQ2DGUIObject::GetActiveControlID(), 0u);
    a.SetEnableMode(0);
    EXPECT_EQ(Probe::Log().size(), 1u);
}

TEST_F(GuiToolkitTest, PopupsRestoreTheEarliestSavedModalControl) {
    TQ2DGUIObject root;
    Probe a(1), b(2), c(3);
    for (Probe* p : {&a, &b, &c}) {
        p->SetShowMode(0, 1);
        root.AddControl(p, 0);
    }
    a.SetPopupMode(1);
    b.SetPopupMode(1);
    c.SetPopupMode(1);
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), &c);
    EXPECT_EQ(TQ2DGUIObject::GetMouseCapture(), &c);
    c.SetPopupMode(0);
    EXPECT_EQ(c.GetShowMode(), 0);
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), &a);
    EXPECT_EQ(TQ2DGUIObject::GetModalControlList().GetCount(), 1u);
    EXPECT_FALSE(TQ2DGUIObject::GetActiveMouseLButtonMode());
    // Clearing the status of any control while none is modal brings back the saved one.
    TQ2DGUIObject::SetModalControl(nullptr);
    c.ClearStatus();
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), &b);
}

TEST_F(GuiToolkitTest, DestroyedControlsLeaveNoModalPointerBehind) {
    TQ2DGUIObject root;
    Probe keeper(1);
    root.AddControl(&keeper, 0);
    {
        Probe popup(2);
        root.AddControl(&popup, 0);
        TQ2DGUIObject::SetModalControl(&popup);
        TQ2DGUIObject::SetModalControl(&keeper);
        TQ2DGUIObject::SetModalControl(&root); // saved: popup, then keeper
        TQ2DGUIObject::SetModalControl(nullptr);
    }
    // Destroying popup first brings popup itself back from the saved list; keeper must win.
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), &keeper);
    EXPECT_EQ(TQ2DGUIObject::GetModalControlList().GetCount(), 0u);
}

TEST_F(GuiToolkitTest, MoveRangeClampsThePosition) {
    Probe p(1, 750, 590, 100, 50);
    p.SetMoveRange(0, 0, 800, 600);
    EXPECT_FLOAT_EQ(p.GetPos().x, 699);
    EXPECT_FLOAT_EQ(p.GetPos().y, 549);
    float x = -5, y = 10;
    EXPECT_EQ(p.AdjustPosRange(x, y), 1);
    EXPECT_FLOAT_EQ(x, 0);
    p.SetMoveRange(0, 0, 0, 0);
    x = -5;
    EXPECT_EQ(p.AdjustPosRange(x, y), 0);
}

TEST_F(GuiToolkitTest, ClickOverAControlSendsItsParentTheClick) {
    TQ2DGUIObject root;
    root.SetPos(10, 10);
    Probe parent(1, 0, 0, 200, 200);
    Probe child(2, 20, 20, 30, 30);
    root.AddControl(&parent, 0);
    parent.AddControl(&child, 0);
    Run(root, Click(40, 40)); // (40, 40) on screen is (10, 10) inside the parent
    EXPECT_EQ(Probe::Only(":command"), (Calls{"1:command 2,-1"}));
    EXPECT_EQ(Probe::Only("2:lbutton"), (Calls{"2:lbutton 1", "2:lbutton 0"}));
    EXPECT_EQ(TQ2DGUIObject::GetFocusControl(), &child);
    EXPECT_EQ(TQ2DGUIObject::GetActiveControlID(), 0u);
    EXPECT_TRUE(TQ2DGUIObject::GetActiveMouseLButtonMode());
    // The mouse arriving in the frame of the press: the press lands where the mouse is.
    Probe::Log().clear();
    Run(root,
        {{Nothing(), 150, 150}, {Press(40, 40), 40, 40}, {Release(40, 40), 40, 40}, {Nothing(), 40, 40}});
    EXPECT_EQ(Probe::Only(":command"), (Calls{"1:command 2,-1"}));
}

TEST_F(GuiToolkitTest, DragOutReleasePressOutsideAndDraggableControlsSendNoClick) {
    TQ2DGUIObject root;
    Probe parent(1, 0, 0, 200, 200);
    Probe child(2, 10, 10, 20, 20);
    root.AddControl(&parent, 0);
    parent.AddControl(&child, 0);
    Run(root, {{Nothing(), 15, 15},
               {Press(15, 15), 15, 15},
               {Nothing(), 100, 100},
               {Release(100, 100), 100, 100},
               {Nothing(), 100, 100}});
    EXPECT_TRUE(Probe::Only("command 2").empty());
    EXPECT_EQ(Probe::Only("2:lbutton"), (Calls{"2:lbutton 1", "2:lbutton 0"}));
    EXPECT_EQ(TQ2DGUIObject::GetActiveControlID(), 0u);
    // Pressed outside, released over it: nothing reaches it.
    Probe::Log().clear();
    Run(root,
        {{Press(100, 100), 100, 100}, {Nothing(), 15, 15}, {Release(15, 15), 15, 15}, {Nothing(), 15, 15}});
    EXPECT_TRUE(Probe::Only("2:lbutton").empty());
    // A draggable control never clicks.
    child.SetMoveMode(1);
    Probe::Log().clear();
    Run(root, Click(15, 15));
    EXPECT_TRUE(Probe::Only("command 2").empty());
}

TEST_F(GuiToolkitTest, ModalAndCaptureDecideWhoGetsTheMouse) {
    TQ2DGUIObject root;
    Probe a(1, 0, 0, 50, 50);
    Probe b(2, 100, 0, 50, 50);
    root.AddControl(&a, 0);
    root.AddControl(&b, 0);
    TQ2DGUIObject::SetModalControl(&b);
    Run(root, Click(10, 10));
    EXPECT_FALSE(Probe::Only("1:update").empty());
    EXPECT_TRUE(Probe::Only("1:lbutton").empty());
    EXPECT_TRUE(Probe::Only("1:enter").empty());
    TQ2DGUIObject::SetModalControl(nullptr);
    // The capture control gets the mouse state though the mouse is elsewhere.
    b.CaptureMouse(1);
    Probe::Log().clear();
    Run(root, Click(10, 10));
    EXPECT_EQ(Probe::Only(":lbutton"), (Calls{"2:lbutton 1", "2:lbutton 0"}));
}

TEST_F(GuiToolkitTest, WheelReachesWhatIsUnderTheMouseOncePerNotch) {
    TQ2DGUIObject root;
    Probe a(1, 0, 0, 50, 50);
    root.AddControl(&a, 0);
    Run(root, {{Wheel(1), 200, 200}, {Nothing(), 200, 200}});
    EXPECT_TRUE(Probe::Only("wheel").empty());
    Run(root, {{Wheel(1), 10, 10},
               {Wheel(1), 10, 10},
               {Wheel(1), 10, 10},
               {Wheel(-1), 10, 10},
               {Nothing(), 10, 10}});
    EXPECT_EQ(Probe::Only("wheel"), (Calls{"1:wheel 1", "1:wheel 1", "1:wheel 1", "1:wheel -1"}));
}

TEST_F(GuiToolkitTest, OnlyTheTopmostControlUnderTheMouseTakesIt) {
    TQ2DGUIObject root;
    Probe lower(1, 0, 0, 100, 100), button(2, 10, 10, 30, 30), upper(3, 0, 0, 100, 100);
    root.AddControl(&lower, 0);
    lower.AddControl(&button, 0);
    root.AddControl(&upper, 0);
    Run(root, Click(20, 20));
    EXPECT_TRUE(Probe::Only("2:enter").empty());
    EXPECT_TRUE(Probe::Only("2:lbutton").empty());
    EXPECT_TRUE(Probe::Only("1:command").empty());
    EXPECT_EQ(Probe::Only("3:lbutton"), (Calls{"3:lbutton 1", "3:lbutton 0"}));
    // A disabled control on top (an image, a caption) lets the mouse through.
    upper.SetEnableMode(0);
    Probe::Log().clear();
    Run(root, Click(20, 20));
    EXPECT_EQ(Probe::Only("1:command"), (Calls{"1:command 2,-1"}));
}

TEST_F(GuiToolkitTest, AClickAnywhereInAWindowRaisesIt) {
    TQ2DGUIObject root;
    Probe first(1, 0, 0, 100, 100), second(2, 50, 50, 100, 100), sub(3, 10, 10, 80, 80),
        button(4, 0, 0, 20, 20);
    root.AddControl(&first, 0);
    root.AddControl(&second, 0);
    first.AddControl(&sub, 0);
    sub.AddControl(&button, 0);
    Run(root, Click(15, 15));
    EXPECT_EQ(TQ2DGUIObject::GetFocusControl(), &button);
    EXPECT_EQ(Order(root), (std::vector<DWORD>{2, 1}));
}

TEST_F(GuiToolkitTest, RenderDrawsChildrenFirstAtAbsoluteOrigins) {
    std::vector<std::string> log;
    Painter root(0, &log), child(1, &log), grandchild(2, &log), hidden(3, &log);
    root.SetPos(5, 5);
    root.SetShowMode(0, 1); // the root is drawn whatever its own show mode
    child.SetPos(10, 20);
    grandchild.SetPos(1, 2);
    hidden.SetShowMode(0, 1);
    root.AddControl(&child, 0);
    root.AddControl(&hidden, 0);
    child.AddControl(&grandchild, 0);
    root.RenderGUI(0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"2@16,27", "1@15,25", "0@5,5"}));
}

TEST_F(GuiToolkitTest, HandlersMayRemoveControlsDuringTheUpdatePass) {
    TQ2DGUIObject root;
    ClosingHost host(1, 0, 0, 300, 300);
    root.AddControl(&host, 0);
    // A dialog whose "close" child forwards its click; the host deletes the whole dialog.
    class Dialog : public Probe {
    public:
        using Probe::Probe;
        void OnCommand(TQ2DGUIObject*, DWORD code) override { GetParent()->OnCommand(this, code); }
    };
    auto* dialog = new Dialog(2, 0, 0, 100, 100);
    host.AddControl(dialog, 1);
    dialog->AddControl(new Probe(3, 10, 10, 20, 20), 1);
    dialog->AddControl(new Probe(4, 50, 50, 20, 20), 1);
    Run(root, Click(15, 15));
    EXPECT_EQ(host.GetControl(2), nullptr);
    EXPECT_EQ(TQ2DGUIObject::GetFocusControl(), nullptr);
    EXPECT_EQ(TQ2DGUIObject::GetActiveControlID(), 0u);
    // A control removed by its own press handler; the next frames carry on with the others.
    host.AddControl(new SelfRemoving(5, 10, 10, 20, 20), 1);
    Probe* other = new Probe(6, 200, 200, 20, 20);
    host.AddControl(other, 1);
    Run(root, Click(15, 15));
    EXPECT_EQ(host.GetControl(5), nullptr);
    Probe::Log().clear();
    Run(root, Click(205, 205));
    EXPECT_EQ(Probe::Only("1:command"), (Calls{"1:command 6,-1"}));
    EXPECT_EQ(host.GetControl(6), nullptr);
}
