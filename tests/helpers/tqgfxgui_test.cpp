// The GUI manager and its controls, driven by real input through the headless window: keyboard
// navigation, focus rules, the control under the mouse, enter and leave, mouse capture, transitions,
// and the button, slider and text controls by their states and pixels.
#include "helpertestsupport.h"

#include "device/tqgfxsprite.h"
#include "helpers/tqgfxfont.h"
#include "helpers/tqgfxgui.h"
#include "helpers/tqgfxguibutton.h"
#include "helpers/tqgfxguislider.h"
#include "helpers/tqgfxguitext.h"
#include "platform/win32/tqplatformtest.h"
#include "platform/win32/tquser32.h"

#include <SDL.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

// A control that records every hook it gets as "<id>:<hook>".
class Probe : public TQGfxGUIObject {
public:
    Probe(int ctrlId, float x, float y, float w, float h) {
        id = ctrlId;
        rect.Set(x, y, x + w, y + h);
    }
    void Render() override { Record("render"); }
    void Update(float) override { ++updates; }
    void Enter() override { Record("enter"); }
    void Leave() override { Record("leave"); }
    bool IsDone() override { return done; }
    void Focus(bool focused) override { Record(focused ? "focus" : "blur"); }
    void MouseOver(bool over) override { Record(over ? "over" : "out"); }
    bool MouseMove(float x, float y) override {
        Record("move " + std::to_string(int(x)) + "," + std::to_string(int(y)));
        return false;
    }
    bool MouseLButton(bool down) override {
        Record(down ? "ldown" : "lup");
        return handleButtons;
    }
    bool MouseRButton(bool down) override {
        Record(down ? "rdown" : "rup");
        return handleButtons;
    }
    bool MouseWheel(int notches) override {
        Record("wheel " + std::to_string(notches));
        return false;
    }
    bool KeyClick(int key, int chr) override {
        Record("key " + std::to_string(key) + "," + std::to_string(chr));
        return handleKeys;
    }

    bool done = true;
    bool handleButtons = false;
    bool handleKeys = false;
    int updates = 0;

private:
    void Record(const std::string& what) { g_calls.push_back(std::to_string(id) + ":" + what); }
};

class GuiTest : public HelperTest {
protected:
    void SetUp() override {
        HelperTest::SetUp();
        StartDevice();
        window = reinterpret_cast<HWND>(dev->System_GetState(TQGFX_HWND).nValue);
        gui = new TQGfxGUI;
        g_calls.clear();
    }

    void TearDown() override {
        delete gui;
        HelperTest::TearDown();
    }

    Probe* Add(int id, float x, float y, float w = 10, float h = 10) {
        Probe* probe = new Probe(id, x, y, w, h);
        gui->AddCtrl(probe);
        return probe;
    }

    // Feeds each step's input and then runs one gui frame on it; returns the hooks called.
    std::vector<std::string> Steps(const std::vector<std::function<void()>>& steps) {
        g_calls.clear();
        size_t frame = 0;
        Run([&] {
            if (frame > 0)
                gui->Update(0.01f);
            if (frame < steps.size())
                steps[frame]();
            return ++frame > steps.size();
        });
        return g_calls;
    }

    void Feed(SDL_Event event) { tqplat::TestFeedSdlEvent(window, event); }

    std::function<void()> Move(int x, int y) {
        return [this, x, y] {
            SDL_Event event = {};
            event.type = SDL_MOUSEMOTION;
            event.motion.x = x;
            event.motion.y = y;
            Feed(event);
        };
    }

    std::function<void()> Button(int button, bool down, int x, int y) {
        return [this, button, down, x, y] {
            SDL_Event event = {};
            event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
            event.button.button = static_cast<Uint8>(button);
            event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
            event.button.clicks = 1;
            event.button.x = x;
            event.button.y = y;
            Feed(event);
        };
    }

    std::function<void()> Wheel(int notches) {
        return [this, notches] {
            SDL_Event event = {};
            event.type = SDL_MOUSEWHEEL;
            event.wheel.y = notches;
            Feed(event);
        };
    }

    std::function<void()> Key(int key) {
        return [this, key] { PostMessageA(window, WM_KEYDOWN, static_cast<WPARAM>(key), 0); };
    }

    static std::function<void()> Nothing() {
        return [] {};
    }

    // Only the calls that contain `what`.
    static std::vector<std::string> Only(const std::vector<std::string>& calls, const std::string& what) {
        std::vector<std::string> found;
        for (const std::string& call : calls)
            if (call.find(what) != std::string::npos)
                found.push_back(call);
        return found;
    }

    HWND window = nullptr;
    TQGfxGUI* gui = nullptr;
};

using Calls = std::vector<std::string>;

} // namespace

TEST_F(GuiTest, ArrowKeysMoveTheFocusOverFocusableControls) {
    Add(1, 0, 40);
    Add(2, 10, 40)->bStatic = true;
    Add(3, 20, 40);
    Add(4, 30, 40)->bEnabled = false;
    Add(5, 40, 40)->bVisible = false;
    gui->SetNavMode(TQGFX_GUI_LEFTRIGHT);
    // Without a focus the search wraps to the first control; at the end without wrapping it stays.
    EXPECT_EQ(Only(Steps({Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_RIGHT)}), "focus"),
              (Calls{"1:focus", "3:focus"}));
    EXPECT_EQ(gui->GetFocus(), 3);
    // Up and down are no navigation keys in this mode: they go to the focus.
    EXPECT_EQ(Steps({Key(VK_DOWN)}), (Calls{"3:key 40,0"}));
    gui->SetNavMode(TQGFX_GUI_LEFTRIGHT | TQGFX_GUI_CYCLED);
    EXPECT_EQ(Steps({Key(VK_RIGHT)}), (Calls{"3:blur", "1:focus"}));
    EXPECT_EQ(Steps({Key(VK_LEFT)}), (Calls{"1:blur", "3:focus"}));
    gui->SetNavMode(TQGFX_GUI_UPDOWN);
    EXPECT_EQ(Steps({Key(VK_UP), Key(VK_UP)}), (Calls{"3:blur", "1:focus"}));
    EXPECT_EQ(gui->GetFocus(), 1);
}

TEST_F(GuiTest, OnlyFocusableControlsTakeTheFocus) {
    Add(1, 0, 40)->bStatic = true;
    Add(2, 10, 40)->bEnabled = false;
    Add(3, 20, 40);
    // Without a focus, the last control is a candidate too.
    gui->SetNavMode(TQGFX_GUI_LEFTRIGHT);
    Steps({Key(VK_RIGHT)});
    EXPECT_EQ(gui->GetFocus(), 3);
    gui->SetFocus(1);
    gui->SetFocus(2);
    EXPECT_EQ(gui->GetFocus(), 3);
    // An id of no control takes the focus away.
    g_calls.clear();
    gui->SetFocus(99);
    EXPECT_EQ(gui->GetFocus(), 0);
    EXPECT_EQ(g_calls, (Calls{"3:blur"}));
    gui->SetFocus(3);
    gui->SetFocus(3);
    EXPECT_EQ(g_calls, (Calls{"3:blur", "3:focus"}));
    // A list with nothing focusable leaves the keys without effect.
    gui->DelCtrl(3);
    EXPECT_EQ(gui->GetFocus(), 0);
    EXPECT_TRUE(Steps({Key(VK_RIGHT), Key(VK_LEFT)}).empty());
}

TEST_F(GuiTest, KeysGoToTheFocusAndAHandledKeyEndsTheFrame) {
    Probe* probe = Add(1, 0, 0, 30, 30);
    gui->SetFocus(1);
    probe->handleKeys = true;
    Steps({Move(5, 5)});
    EXPECT_EQ(Steps({[this] {
                  PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
                  Move(6, 7)();
              }}),
              (Calls{"1:key 65,97"}));
    probe->handleKeys = false;
    EXPECT_EQ(Steps({Key('B')}), (Calls{"1:key 66,98", "1:move 6,7"}));
}

TEST_F(GuiTest, HiddenDisabledAndStaticControlsTakeNoInput) {
    Add(1, 0, 0, 20, 20);
    Add(2, 0, 0, 20, 20);
    Add(3, 0, 0, 20, 20)->bStatic = true; // a caption over the others
    gui->SetFocus(2);
    gui->ShowCtrl(2, false);
    EXPECT_TRUE(Only(Steps({Key('A')}), "key").empty());
    EXPECT_EQ(
        Only(Steps({Move(5, 5), Button(SDL_BUTTON_LEFT, true, 5, 5), Button(SDL_BUTTON_LEFT, false, 5, 5)}),
             "down"),
        (Calls{"1:ldown"}));
    EXPECT_EQ(gui->GetFocus(), 1);
    gui->EnableCtrl(1, false);
    EXPECT_TRUE(Only(Steps({Key('B')}), "key").empty());
}

TEST_F(GuiTest, TheLastAddedControlUnderTheMouseGetsIt) {
    Add(1, 0, 0, 20, 20);
    Add(2, 10, 10, 20, 20);
    Add(3, 15, 15, 5, 5)->bEnabled = false;
    Add(4, 40, 0, 10, 10)->bVisible = false;
    EXPECT_EQ(Steps({Move(5, 5), Move(17, 17), Move(8, 9), Move(42, 3), Move(60, 40)}),
              (Calls{"1:over", "1:move 5,5", "1:out", "2:over", "2:move 7,7", "2:out", "1:over", "1:move 8,9",
                     "1:out"}));
}

TEST_F(GuiTest, AButtonPressCapturesTheMouseUntilBothButtonsAreUp) {
    Add(1, 0, 0, 10, 10);
    Add(2, 20, 0, 10, 10);
    Calls calls = Steps({Move(5, 5), Button(SDL_BUTTON_LEFT, true, 5, 5), Move(25, 5),
                         Button(SDL_BUTTON_RIGHT, true, 25, 5), Button(SDL_BUTTON_LEFT, false, 25, 5),
                         Button(SDL_BUTTON_RIGHT, false, 25, 5), Move(26, 5)});
    EXPECT_EQ(calls, (Calls{"1:over", "1:move 5,5", "1:focus", "1:ldown", "1:move 5,5", "1:move 25,5",
                            "1:rdown", "1:move 25,5", "1:lup", "1:move 25,5", "1:rup", "1:move 25,5", "1:out",
                            "2:over", "2:move 6,5"}));
    EXPECT_EQ(gui->GetFocus(), 1);
}

TEST_F(GuiTest, AHandledButtonEndsTheControlsEventsAndWheelNotchesArrive) {
    Probe* probe = Add(1, 0, 0, 10, 10);
    probe->handleButtons = true;
    EXPECT_EQ(Steps({Move(2, 2), Button(SDL_BUTTON_LEFT, true, 2, 2), Button(SDL_BUTTON_LEFT, false, 2, 2)}),
              (Calls{"1:over", "1:move 2,2", "1:focus", "1:ldown", "1:lup"}));
    probe->handleButtons = false;
    EXPECT_EQ(Steps({Wheel(-2)}), (Calls{"1:wheel -2", "1:move 2,2"}));
}

TEST_F(GuiTest, TransitionsHoldInputBack) {
    Probe* a = Add(1, 0, 0, 10, 10);
    Probe* b = Add(2, 20, 0, 10, 10);
    gui->SetFocus(2);
    g_calls.clear();
    b->done = false;
    gui->Enter();
    EXPECT_EQ(g_calls, (Calls{"1:enter", "2:enter"}));
    EXPECT_TRUE(Steps({Move(5, 5), Key('A')}).empty());
    EXPECT_EQ(a->updates, 2);
    b->done = true;
    EXPECT_EQ(Steps({Key('A')}), (Calls{"2:key 65,97", "1:over", "1:move 5,5"}));
    // Leaving forgets focus, capture and hover without telling the controls, and input stays off
    // after the controls are done until the next Enter.
    g_calls.clear();
    gui->Leave();
    EXPECT_EQ(g_calls, (Calls{"1:leave", "2:leave"}));
    EXPECT_EQ(gui->GetFocus(), 0);
    EXPECT_TRUE(Steps({Move(6, 6), Key('A')}).empty());
    EXPECT_EQ(b->updates, 5);
    gui->Enter();
    EXPECT_EQ(Only(Steps({Move(7, 7)}), "move"), (Calls{"1:move 7,7"}));
}

TEST_F(GuiTest, DeletedControlsLeaveNothingBehind) {
    Add(1, 0, 0, 10, 10);
    Add(2, 0, 0, 10, 10);
    Add(3, 30, 0, 10, 10);
    gui->SetFocus(2);
    Steps({Move(5, 5), Button(SDL_BUTTON_LEFT, true, 5, 5)});
    // Control 2 is focused, under the mouse and holding the capture.
    gui->DelCtrl(2);
    gui->DelCtrl(42);
    EXPECT_EQ(gui->GetCtrl(2), nullptr);
    EXPECT_EQ(gui->GetFocus(), 0);
    EXPECT_EQ(Steps({Button(SDL_BUTTON_LEFT, false, 5, 5)}), (Calls{"1:over", "1:lup", "1:move 5,5"}));
    gui->MoveCtrl(3, 0, 20);
    gui->ShowCtrl(1, false);
    gui->EnableCtrl(1, false);
    EXPECT_EQ(gui->GetCtrl(3)->rect.x2, 10.0f);
    EXPECT_EQ(gui->GetCtrl(3)->rect.y2, 30.0f);
    EXPECT_EQ(Steps({Move(5, 25)}), (Calls{"1:out", "3:over", "3:move 5,5"}));
    g_calls.clear();
    DrawFrame([&] { gui->Render(); });
    EXPECT_EQ(g_calls, (Calls{"3:render"}));
}

TEST_F(GuiTest, ButtonsNormalAndTrigger) {
    // Up image red at (0, 0), down image green right of it, both 8 × 8.
    WriteFile("button.bmp", MakeBmp(16, 8, [](int x, int) { return x < 8 ? 0xFF0000u : 0x00FF00u; }));
    DWORD texture = dev->Texture_Load(Path("button.bmp").c_str(), 0);
    ASSERT_NE(texture, 0u);
    auto* normal = new TQGfxGUIButton(1, 0, 0, 8, 8, texture, 0, 0);
    auto* trigger = new TQGfxGUIButton(2, 20, 0, 8, 8, texture, 0, 0);
    trigger->SetMode(true);
    gui->AddCtrl(normal);
    gui->AddCtrl(trigger);
    EXPECT_FALSE(normal->bStatic);
    std::vector<bool> states;
    auto record = [&] { states.push_back(normal->GetState()); };
    Steps({Button(SDL_BUTTON_LEFT, true, 2, 2), [&] {
               record();
               Button(SDL_BUTTON_LEFT, false, 2, 2)();
           }});
    record();
    EXPECT_EQ(states, (std::vector<bool>{true, false}));
    // Button messages do not move the mouse: it is moved first.
    Steps({Move(22, 2), Button(SDL_BUTTON_LEFT, true, 22, 2), Button(SDL_BUTTON_LEFT, false, 22, 2)});
    EXPECT_TRUE(trigger->GetState());
    DrawFrame([&] { gui->Render(); });
    EXPECT_EQ(PixelRgb(4, 4), 0xFF0000u);
    EXPECT_EQ(PixelRgb(24, 4), 0x00FF00u);
    Steps({Button(SDL_BUTTON_LEFT, true, 22, 2), [&] {
               EXPECT_TRUE(trigger->GetState());
               Button(SDL_BUTTON_LEFT, false, 22, 2)();
           }});
    EXPECT_FALSE(trigger->GetState());
    // Dragged off before the release, the press is cancelled: the trigger keeps its state.
    Steps({Move(22, 2), Button(SDL_BUTTON_LEFT, true, 22, 2), Move(60, 2),
           Button(SDL_BUTTON_LEFT, false, 60, 2)});
    EXPECT_FALSE(trigger->GetState());
    dev->Texture_Free(texture);
}

TEST_F(GuiTest, SliderDragsClampAndDraw) {
    WriteFile("white.bmp", MakeBmp(4, 4, [](int, int) { return 0xFFFFFFu; }));
    DWORD texture = dev->Texture_Load(Path("white.bmp").c_str(), 0);
    auto* slider = new TQGfxGUISlider(1, 10, 10, 40, 10, texture, 0, 0, 4, 4);
    gui->AddCtrl(slider);
    EXPECT_EQ(slider->GetValue(), 50.0f);
    // Moving without a press changes nothing.
    Steps({Move(20, 15)});
    EXPECT_EQ(slider->GetValue(), 50.0f);
    std::vector<float> values;
    auto record = [&] { values.push_back(slider->GetValue()); };
    Steps({Button(SDL_BUTTON_LEFT, true, 20, 15),
           [&] {
               record();
               Move(60, 15)();
           },
           [&] {
               record();
               Move(0, 15)();
           },
           [&] {
               record();
               Button(SDL_BUTTON_LEFT, false, 0, 15)();
           },
           [&] {
               record();
               Move(30, 15)();
           }});
    record();
    EXPECT_EQ(values, (std::vector<float>{25, 100, 0, 0, 0}));
    slider->SetValue(150);
    EXPECT_EQ(slider->GetValue(), 100.0f);
    slider->SetValue(-5);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    slider->SetMode(-1, 1, TQGFX_SLIDER_BAR);
    slider->SetValue(0);
    DrawFrame([&] { gui->Render(); });
    // A bar from the left edge to the middle, 4 pixels high around the control's middle line.
    EXPECT_EQ(PixelRgb(10, 13), 0xFFFFFFu);
    EXPECT_EQ(PixelRgb(29, 16), 0xFFFFFFu);
    EXPECT_EQ(PixelRgb(30, 15), 0u);
    EXPECT_EQ(PixelRgb(20, 12), 0u);
    slider->SetMode(0, 10, TQGFX_SLIDER_SLIDER);
    slider->SetValue(10);
    DrawFrame([&] { gui->Render(); });
    EXPECT_EQ(PixelRgb(48, 15), 0xFFFFFFu);
    EXPECT_EQ(PixelRgb(51, 15), 0xFFFFFFu);
    EXPECT_EQ(PixelRgb(47, 15), 0u);
    // An empty range draws at the left edge instead of dividing by zero.
    slider->SetMode(5, 5, TQGFX_SLIDER_SLIDER);
    DrawFrame([&] { gui->Render(); });
    EXPECT_EQ(PixelRgb(8, 15), 0xFFFFFFu);
    dev->Texture_Free(texture);
}

TEST_F(GuiTest, TextAlignsInItsRectangleAndTheCursorFollowsTheMouse) {
    WriteFile("glyphs.bmp", MakeBmp(8, 4, [](int, int) { return 0xFFFFFFu; }));
    WriteFile("font.fnt", "glyphs.bmp 4 -65 4");
    TQGfxFont font(Path("font.fnt").c_str());
    auto* text = new TQGfxGUIText(1, 10, 20, 30, 10, &font);
    text->SetText("AA");
    text->SetColor(0xFFFF0000);
    EXPECT_TRUE(text->bStatic);
    gui->AddCtrl(text);
    WriteFile("cursor.bmp", MakeBmp(2, 2, [](int, int) { return 0x00FF00u; }));
    DWORD cursorTexture = dev->Texture_Load(Path("cursor.bmp").c_str(), 0);
    TQGfxSprite cursor(cursorTexture, 0, 0, 2, 2);
    gui->SetCursor(&cursor);
    Steps({Move(50, 40)});
    // Glyphs 4 high in a 10-high box: the text's top is at 23.
    text->SetMode(TQGFX_TEXT_RIGHT);
    DrawFrame([&] { gui->Render(); });
    EXPECT_EQ(PixelRgb(32, 23), 0xFF0000u);
    EXPECT_EQ(PixelRgb(39, 26), 0xFF0000u);
    EXPECT_EQ(PixelRgb(40, 26), 0u);
    EXPECT_EQ(PixelRgb(31, 23), 0u);
    EXPECT_EQ(PixelRgb(39, 22), 0u);
    EXPECT_EQ(PixelRgb(50, 40), 0x00FF00u);
    EXPECT_EQ(PixelRgb(51, 41), 0x00FF00u);
    text->SetMode(TQGFX_TEXT_CENTER);
    text->printf("%s", "AAAA");
    EXPECT_STREQ(text->GetText(), "AAAA");
    DrawFrame([&] { gui->Render(); });
    // 16 wide, centred on 25.
    EXPECT_EQ(PixelRgb(16, 23), 0u);
    EXPECT_EQ(PixelRgb(17, 23), 0xFF0000u);
    EXPECT_EQ(PixelRgb(32, 23), 0xFF0000u);
    EXPECT_EQ(PixelRgb(33, 23), 0u);
    gui->SetCursor(nullptr);
    dev->Texture_Free(cursorTexture);
}
