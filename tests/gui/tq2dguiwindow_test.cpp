// Windows: their description files, dragging inside the move range, Escape while modal, and the
// commands they pass on.
#include "guitestsupport.h"

#include "base/tqlog.h"
#include "gui/tq2dguibutton.h"
#include "gui/tq2dguicombobox.h"
#include "gui/tq2dguidescriptionchain.h"
#include "gui/tq2dguiedit.h"
#include "gui/tq2dguiimage.h"
#include "gui/tq2dguiscrollbar.h"
#include "gui/tq2dguistatic.h"
#include "gui/tq2dguiwindow.h"
#include "platform/win32/tquser32.h"

using Calls = std::vector<std::string>;

namespace {

// Maps the name "OK" to 42 and records the hooks of the reader.
class HostWindow : public TQ2DGUIWindow {
public:
    DWORD OnGetControlID(const char* name) override {
        names.push_back(name);
        return std::string(name) == "OK" ? 42 : 0;
    }
    void OnInitFromConfig(TQString& key, TQString& value) override {
        hooks.push_back(std::string(key.GetString()) + "=" + value.GetString());
    }
    void OnInitComplete() override { hooks.push_back("complete"); }

    std::vector<std::string> names;
    std::vector<std::string> hooks;
};

class WindowTest : public GuiToolkitTest {
protected:
    void SetUp() override {
        GuiToolkitTest::SetUp();
        face = assets.Animation("face.ani", 20, 10, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF000000});
        root.AddControl(&parent, 0);
    }

    // A window with ID 1 at (10, 10), draggable within the parent's area; the caller adds it.
    static TQ2DGUIWindow* DraggableWindow(float height) {
        auto* window = new TQ2DGUIWindow;
        window->SetControlID(1);
        window->SetPos(10, 10);
        window->SetSize(100, height);
        window->SetMoveMode(1);
        window->SetMoveRange(0, 0, 320, 240);
        return window;
    }

    GuiAssets assets;
    std::string face;
    TQ2DGUIObject root;
    Probe parent{100, 0, 0, 320, 240};
};

} // namespace

TEST_F(WindowTest, DescriptionBuildsOwnedChildren) {
    const std::string combo = assets.Text("combo.txt", "ADD_DATA=0,Zero\n");
    const std::string file = assets.Text("win.txt", "# a comment line\n"
                                                    "\n"
                                                    "=5\n"
                                                    "  size = 320,240 # the window\n"
                                                    "SIZE=1,2,3\n"
                                                    "ADD_BUTTON= ok ,0,10,20," +
                                                        face +
                                                        ",0,0,0,0\n"
                                                        "ADD_BUTTON=2,0,40,20," +
                                                        face +
                                                        ",50,0,0,0\n"
                                                        "ADD_BUTTON=3,1,70,20," +
                                                        face +
                                                        ",0,0,9,1\n"
                                                        "ADD_BUTTON=4,1,100,20," +
                                                        face +
                                                        ",0,0,9,1\n"
                                                        "ADD_BUTTON=4,0,130,20," +
                                                        face +
                                                        ",0,0,0,0\n"
                                                        "ADD_STATIC=5,0,50,100,20,2,Hello, world\n"
                                                        "ADD_STATIC=6,0,80,100,20,5, Hi \n"
                                                        "ADD_EDIT=7,0,110,100,20\n"
                                                        "ADD_SCROLL_BAR=8,0,300,0,10,200, " +
                                                        face + " , " + face + " , " + face +
                                                        "\n"
                                                        "ADD_COMBOBOX=9,0,0,140,100,20, " +
                                                        combo +
                                                        "\n"
                                                        "ADD_IMAGE=10,0,0," +
                                                        face +
                                                        "\n"
                                                        "Custom_Key = a=b\n");
    HostWindow window;
    parent.AddControl(&window, 0);
    EXPECT_EQ(window.InitFromConfig(file.c_str()), 1);
    EXPECT_EQ(window.hooks, (Calls{"CUSTOM_KEY=a", "complete"}));
    EXPECT_FLOAT_EQ(window.GetSize().x, 320);
    EXPECT_FLOAT_EQ(window.GetSize().y, 240);
    EXPECT_EQ(window.names.front(), "OK");
    auto* ok = dynamic_cast<TQ2DGUIButton*>(window.GetControl(42));
    ASSERT_NE(ok, nullptr);
    EXPECT_FLOAT_EQ(ok->GetSize().x, 20);
    auto* wide = dynamic_cast<TQ2DGUIButton*>(window.GetControl(2));
    ASSERT_NE(wide, nullptr);
    EXPECT_FLOAT_EQ(wide->GetSize().x, 50);
    EXPECT_FLOAT_EQ(wide->GetSize().y, 0);
    // Group buttons get their status before they are attached: both stay checked, no commands.
    EXPECT_EQ(window.GetControl(3)->GetStatus(), 1);
    EXPECT_EQ(window.GetControl(4)->GetStatus(), 1);
    EXPECT_EQ(dynamic_cast<TQ2DGUIButton*>(window.GetControl(4))->GetButtonType(), TQ2DBUTTON_GROUP);
    auto* hello = dynamic_cast<TQ2DGUIStatic*>(window.GetControl(5));
    ASSERT_NE(hello, nullptr);
    EXPECT_STREQ(hello->GetText(), "Hello");
    EXPECT_EQ(hello->GetAlign(), 0x26u);
    EXPECT_EQ(dynamic_cast<TQ2DGUIStatic*>(window.GetControl(6))->GetAlign(), 0x24u);
    EXPECT_STREQ(dynamic_cast<TQ2DGUIStatic*>(window.GetControl(6))->GetText(), "Hi");
    EXPECT_NE(dynamic_cast<TQ2DGUIEdit*>(window.GetControl(7)), nullptr);
    auto* bar = dynamic_cast<TQ2DGUIScrollBar*>(window.GetControl(8));
    ASSERT_NE(bar, nullptr);
    EXPECT_FLOAT_EQ(bar->GetTrackLength(), 200 - 30);
    auto* box = dynamic_cast<TQ2DGUIComboBox*>(window.GetControl(9));
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->GetDataList().GetString(0), "Zero");
    EXPECT_EQ(window.GetControl(10)->GetEnableMode(), 0);
    EXPECT_EQ(window.GetControlList().GetCount(), 10u);
    parent.DelControl(&window);
}

TEST_F(WindowTest, UnknownControlTypesInADescriptionAreKeptAsNumbers) {
    const std::string file =
        assets.Text("types.txt", "ADD_SCROLL_BAR=1,7,0,0,10,200, " + face + " , " + face + " , " + face +
                                     "\n"
                                     "ADD_BUTTON=2,9,0,0," +
                                     face +
                                     ",0,0,0,0\n"
                                     "ADD_COMBOBOX=3,5,0,100,100,20,\n");
    TQ2DGUIWindow window;
    EXPECT_EQ(window.InitFromConfig(file.c_str()), 1);
    // A scroll bar of another type lays out only its first arrow and has no track.
    auto* bar = dynamic_cast<TQ2DGUIScrollBar*>(window.GetControl(1));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(static_cast<int>(bar->GetScrollType()), 7);
    bar->CalculatePos();
    EXPECT_FLOAT_EQ(bar->GetTrackLength(), 0);
    // A button of another type neither checks itself nor takes part in a group.
    auto* button = dynamic_cast<TQ2DGUIButton*>(window.GetControl(2));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(static_cast<int>(button->GetButtonType()), 9);
    EXPECT_EQ(button->OnCheckGroup(), 0);
    auto* combo = dynamic_cast<TQ2DGUIComboBox*>(window.GetControl(3));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(static_cast<int>(combo->GetComboBoxType()), 5);
}

TEST_F(WindowTest, BadNamesAndMissingFilesBuildNothing) {
    HostWindow window;
    EXPECT_EQ(window.InitFromConfig(nullptr), 0);
    EXPECT_TRUE(window.hooks.empty());
    EXPECT_EQ(window.InitFromConfig("no/such/window.txt"), 1);
    EXPECT_EQ(window.hooks, (Calls{"complete"}));
}

// The controls of a tree, its root included.
size_t CountControls(TQ2DGUIObject& root) {
    size_t count = 1;
    for (auto* e = root.GetControlList().GetHeadPosition(); e; e = e->GetNext())
        count += CountControls(*e->GetData());
    return count;
}

TEST_F(WindowTest, FilesNamingThemselvesEndBounded) {
    TQLogCapture errors(g_tqLogError);
    // Named twice by itself, through another spelling of its name and through a combo box: every
    // child refuses the file before building anything of it.
    const std::string loop = assets.Text("loop.txt", "");
    const std::string upper = loop.substr(0, loop.size() - 8) + "LOOP.TXT";
    assets.Text("loop.txt", "ADD_WINDOW=1,1,1," + loop + "\nADD_WINDOW=2,1,1," + upper +
                                "\nADD_COMBOBOX=3,0,0,0,9,9," + loop + "\n");
    TQ2DGUIWindow outer;
    EXPECT_EQ(outer.InitFromConfig(loop.c_str()), 1);
    EXPECT_TRUE(errors.Contains("Description file already being read."));
    EXPECT_EQ(CountControls(outer), 4u + 3u); // the combo box's three parts are counted too
    EXPECT_EQ(outer.GetControl(1)->GetControlList().GetCount(), 0u);
    // Spellings that are different names (here through "." folders) each read the file once
    // more; the nesting bound and the bound on controls per tree end the growth.
    std::string lines;
    std::string spelling = loop;
    const size_t slash = loop.rfind('/');
    for (int id = 1; id <= 8; ++id) {
        lines += "ADD_WINDOW=" + std::to_string(id) + ",0,0," + spelling + "\n";
        spelling.insert(slash, "/.");
    }
    assets.Text("loop.txt", lines);
    TQ2DGUIWindow tree;
    EXPECT_EQ(tree.InitFromConfig(loop.c_str()), 1);
    EXPECT_TRUE(errors.Contains("Too many controls in one description tree."));
    EXPECT_EQ(CountControls(tree), 1u + TQ2DGUIDescriptionChain::kMaxControls);
    // A tree read afterwards starts a new count.
    TQ2DGUIWindow next;
    assets.Text("loop.txt", "ADD_EDIT=1,0,0,5,5\n");
    EXPECT_EQ(next.InitFromConfig(loop.c_str()), 1);
    EXPECT_EQ(CountControls(next), 2u);
}

TEST_F(WindowTest, DragsFromItsBackgroundInsideTheMoveRange) {
    auto* window = DraggableWindow(50);
    auto* child = new Probe(2, 60, 0, 40, 50);
    window->AddControl(child, 1);
    parent.AddControl(window, 1);
    Run(root, {{Nothing(), 20, 20}, {Press(20, 20), 20, 20}, {Nothing(), 50, 40}, {Nothing(), 50, 40}});
    EXPECT_FLOAT_EQ(window->GetPos().x, 40);
    EXPECT_FLOAT_EQ(window->GetPos().y, 30);
    EXPECT_EQ(TQ2DGUIObject::GetMouseCapture(), window);
    // Clamped at the range's edge, where it stays while the mouse stays; it follows the mouse
    // back at once.
    Run(root, {{Nothing(), -100, 40}, {Nothing(), -100, 40}, {Nothing(), -100, 40}});
    EXPECT_FLOAT_EQ(window->GetPos().x, 0);
    Run(root, {{Nothing(), -90, 40}, {Nothing(), -90, 40}});
    EXPECT_FLOAT_EQ(window->GetPos().x, 10);
    Run(root, {{Release(0, 0), -90, 40}, {Nothing(), -90, 40}});
    EXPECT_EQ(window->GetDragging(), 0);
    EXPECT_EQ(TQ2DGUIObject::GetMouseCapture(), nullptr);
    // A press on an enabled child does not drag; a draggable window sends no click.
    const float cx = window->GetPos().x + 70, cy = window->GetPos().y + 10;
    const float before = window->GetPos().x;
    Probe::Log().clear();
    Run(root, {{Nothing(), cx, cy},
               {Press(static_cast<int>(cx), static_cast<int>(cy)), cx, cy},
               {Nothing(), cx + 30, cy},
               {Release(static_cast<int>(cx + 30), static_cast<int>(cy)), cx + 30, cy},
               {Nothing(), cx + 30, cy}});
    EXPECT_FLOAT_EQ(window->GetPos().x, before);
    EXPECT_TRUE(Probe::Only("100:command 1,-1").empty());
}

TEST_F(WindowTest, EscapeClosesTheModalPopupAndChildCommandsArePassedOn) {
    Probe earlier(5);
    root.AddControl(&earlier, 0);
    TQ2DGUIObject::SetModalControl(&earlier);
    auto* window = new TQ2DGUIWindow;
    window->SetControlID(1);
    window->SetSize(100, 50);
    auto* child = new Probe(2, 0, 0, 10, 10);
    window->AddControl(child, 1);
    parent.AddControl(window, 1);
    // Escape while it is not modal does nothing.
    Run(root, {{KeyDown(VK_ESCAPE), 300, 300}});
    EXPECT_TRUE(Probe::Only("100:command").empty());
    window->SetPopupMode(1); // earlier waits in the saved list
    ASSERT_EQ(TQ2DGUIObject::GetModalControl(), window);
    Run(root, {{KeyDown(VK_ESCAPE), 300, 300}});
    EXPECT_EQ(window->GetShowMode(), 0);
    EXPECT_EQ(window->GetPopupMode(), 0);
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), &earlier);
    EXPECT_EQ(Probe::Only("100:command"), (Calls{"100:command 1,0"}));
    // Any command of a child reaches the window's parent as (window, 0).
    Probe::Log().clear();
    window->OnCommand(child, TQ2DGUI_COMMAND_CLICK);
    EXPECT_EQ(Probe::Only("100:command"), (Calls{"100:command 1,0"}));
}

TEST_F(WindowTest, ASteadyDragFollowsTheMouseEveryFrame) {
    auto* window = DraggableWindow(50);
    parent.AddControl(window, 1);
    Run(root, {{Nothing(), 20, 20},
               {Press(20, 20), 20, 20},
               {Nothing(), 25, 20},
               {Nothing(), 30, 20},
               {Nothing(), 35, 20},
               {Nothing(), 40, 20},
               {Release(45, 20), 45, 20},
               {Nothing(), 45, 20}});
    EXPECT_FLOAT_EQ(window->GetPos().x, 35);
}

TEST_F(WindowTest, HoldingAnArrowWhoseIdIsTheWindowsDoesNotDragIt) {
    const std::string arrow =
        assets.Animation("arrow.ani", 10, 10, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF000000});
    auto* window = DraggableWindow(100); // ID 1: the up arrow's ID too
    auto* bar = new TQ2DGUIScrollBar;
    bar->SetControlID(5);
    bar->SetPos(80, 10);
    bar->SetSize(10, 60);
    bar->SetTexture(arrow.c_str(), arrow.c_str(), arrow.c_str());
    window->AddControl(bar, 1);
    parent.AddControl(window, 1);
    Run(root, {{Nothing(), 95, 25},
               {Press(95, 25), 95, 25},
               {Nothing(), 150, 100},
               {Release(150, 100), 150, 100},
               {Nothing(), 200, 150},
               {Nothing(), 220, 160}});
    EXPECT_FLOAT_EQ(window->GetPos().x, 10);
    EXPECT_FLOAT_EQ(window->GetPos().y, 10);
    EXPECT_EQ(window->GetDragging(), 0);
    EXPECT_EQ(TQ2DGUIObject::GetMouseCapture(), nullptr);
}

TEST_F(WindowTest, OneEscapeClosesOnePopup) {
    auto* outer = new TQ2DGUIWindow;
    outer->SetControlID(1);
    outer->SetSize(200, 200);
    auto* inner = new TQ2DGUIWindow;
    inner->SetControlID(2);
    inner->SetSize(50, 50);
    outer->AddControl(inner, 1);
    parent.AddControl(outer, 1);
    outer->SetPopupMode(1);
    inner->SetPopupMode(1);
    Run(root, {{KeyDown(VK_ESCAPE), 300, 300}});
    EXPECT_EQ(inner->GetPopupMode(), 0);
    EXPECT_EQ(outer->GetPopupMode(), 1);
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), outer);
    Run(root, {{KeyDown(VK_ESCAPE), 300, 300}});
    EXPECT_EQ(outer->GetPopupMode(), 0);
    EXPECT_EQ(TQ2DGUIObject::GetModalControl(), nullptr);
}
