// The engine in a real X window, driven as a player would: pointer and keys through XTest, what
// changed seen in grabs of the screen. The host (tq-window-host) reports what the game reads.
// TQ_WINDOW_TEST_WM=openbox runs the same cases under a window manager.
#include "realwindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <vector>

using realwindow::Desktop;
using realwindow::Program;
using realwindow::Rect;
using realwindow::WaitFor;
using realwindow::WindowId;

namespace {

const char kHostTitle[] = "tq-window-host";
const uint32_t kTargetGreen = 0x00FF00;
const int kHostWidth = 320;
const int kHostHeight = 240;

realwindow::XServer* g_server = nullptr;

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class WindowEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        g_server = &m_server;
        ASSERT_TRUE(m_server.Start()) << "no virtual X server";
    }
    void TearDown() override { m_server.Stop(); }

private:
    realwindow::XServer m_server;
};

const ::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WindowEnvironment);

std::string Folder() {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tq-window-" + std::to_string(getpid()) + "-" + name);
    std::filesystem::create_directories(folder);
    return folder.string();
}

class RealWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.Open());
        ASSERT_TRUE(g_server->KeepWindowManager());
        folder = Folder();
    }
    void TearDown() override {
        if (HasFailure()) {
            for (const std::string& line : host.Lines())
                printf("host: %s\n", line.c_str());
            printf("host stderr: %s\n", host.ErrorText().c_str());
        }
        std::filesystem::remove_all(folder);
    }

    // Starts the host and waits for its window and first drawn frame.
    void StartHost(std::vector<std::string> extra = {}) {
        std::vector<std::string> argv = {TQ_WINDOW_HOST};
        argv.insert(argv.end(), extra.begin(), extra.end());
        ASSERT_TRUE(host.Start(argv, g_server->Display(), folder));
        ASSERT_NE(host.WaitLine("ready"), "");
        window = screen.FindWindow(kHostTitle);
        ASSERT_NE(window, 0u);
        ASSERT_TRUE(WaitFor([&] { return Target().width > 0; })) << "the target is never drawn";
    }

    // The target square as drawn on the screen.
    Rect Target() { return screen.FindColor(screen.Geometry(window), kTargetGreen); }

    // Whether the target is drawn where the window's present size puts it (200, 40; 60 x 60 of
    // 320 x 240, stretched to the window).
    bool TargetDrawnToScale() {
        Rect client = screen.Geometry(window);
        Rect expected{client.x + 200 * client.width / kHostWidth, client.y + 40 * client.height / kHostHeight,
                      60 * client.width / kHostWidth, 60 * client.height / kHostHeight};
        Rect drawn = Target();
        return std::abs(drawn.x - expected.x) <= 1 && std::abs(drawn.y - expected.y) <= 1 &&
               std::abs(drawn.width - expected.width) <= 1 && std::abs(drawn.height - expected.height) <= 1;
    }

    // Waits until the game reads the mouse at a game point within [left, right) x [top, bottom).
    bool WaitMouseWithin(int left, int top, int right, int bottom) {
        for (std::string line; !(line = host.WaitLine("mouse ")).empty();) {
            int x = 0, y = 0;
            if (sscanf(line.c_str(), "mouse %d %d", &x, &y) == 2 && x >= left && x < right && y >= top &&
                y < bottom)
                return true;
        }
        return false;
    }

    // Moves the pointer to a client point of the (unstretched) window and waits until the game has
    // read it.
    void HoverClient(int x, int y) {
        Rect client = screen.Geometry(window);
        screen.MoveTo(client.x + x, client.y + y);
        ASSERT_TRUE(WaitMouseWithin(x, y, x + 1, y + 1));
    }

    // Hovers the centre of the drawn target, clicks with no hold; the game's report.
    std::string ClickTarget() {
        Rect target = Target();
        // A sixth of the square aside every other time, so that the game sees the pointer move.
        jiggle = !jiggle;
        screen.MoveTo(target.x + target.width / 2 + (jiggle ? target.width / 6 : 0),
                      target.y + target.height / 2);
        WaitMouseWithin(200, 40, 260, 100);
        screen.Click();
        std::string press = host.WaitLine("press ");
        host.WaitLine("release");
        return press;
    }

    // The moving bar's strip, grabbed.
    std::vector<uint32_t> Strip() {
        Rect client = screen.Geometry(window);
        return screen.Grab(
            Rect{client.x, client.y + client.height * 11 / 12, client.width, client.height / 12});
    }

    bool Drawing() {
        std::vector<uint32_t> before = Strip();
        return WaitFor([&] { return Strip() != before; });
    }

    // The first loop ended; the host's second start runs its loop, and a close request ends it.
    void ExpectSecondStartRunsAndCloses() {
        EXPECT_EQ(host.WaitLine("exit"), "exit");
        ASSERT_EQ(host.WaitLine("ready"), "ready");
        EXPECT_EQ(host.WaitLine("loop runs"), "loop runs");
        window = screen.FindWindow(kHostTitle);
        ASSERT_NE(window, 0u);
        screen.RequestClose(window);
        EXPECT_EQ(host.WaitLine("exit"), "exit");
        ExpectCleanExit();
    }

    void ExpectCleanExit() {
        EXPECT_EQ(host.WaitExit(), 0);
        std::string errors = host.ErrorText();
        EXPECT_EQ(errors.find("X Error"), std::string::npos) << errors;
        EXPECT_EQ(errors.find("reference count"), std::string::npos) << errors;
    }

    Desktop screen{g_server->Display()};
    Program host;
    WindowId window = 0;
    std::string folder;
    bool jiggle = false;
};

TEST_F(RealWindow, ClicksAndKeyTapsWithNoHoldAreEachSeenOnce) {
    StartHost();
    for (int i = 0; i < 5; ++i) {
        screen.TapKey("a");
        EXPECT_EQ(host.WaitLine("key "), "key A") << i;
        EXPECT_EQ(host.WaitLine("key "), "key A up") << i;
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(EndsWith(ClickTarget(), " hit")) << i;
    screen.RequestClose(window);
    ExpectCleanExit();
}

// A close request ends the game; started again in the same process, the engine's loop runs.
TEST_F(RealWindow, CloseRequestEndsTheGameAndAStartAfterRuns) {
    StartHost({"--restart"});
    ASSERT_EQ(host.WaitLine("loop runs"), "loop runs");
    screen.RequestClose(window);
    ExpectSecondStartRunsAndCloses();
}

// Another program destroys the window: the loop ends as on a close, without an X error, and the
// textures the game still holds are released once. The engine started again runs its loop.
TEST_F(RealWindow, WindowDestroyedFromOutsideEndsTheGameAsACloseWould) {
    StartHost({"--restart"});
    screen.Destroy(window);
    ExpectSecondStartRunsAndCloses();
}

// Left of and above the window, while the button holds the capture, positions are negative.
TEST_F(RealWindow, DragPastEachEdgeKeepsSignedPositions) {
    StartHost();
    HoverClient(100, 100);
    screen.Press();
    ASSERT_NE(host.WaitLine("press "), "");
    Rect client = screen.Geometry(window);
    const int outside[][2] = {{-22, 100}, {100, -5}, {kHostWidth + 30, 100}, {100, kHostHeight + 30}};
    for (const auto& point : outside) {
        screen.MoveTo(client.x + point[0], client.y + point[1]);
        EXPECT_EQ(host.WaitLine("mouse "),
                  "mouse " + std::to_string(point[0]) + " " + std::to_string(point[1]));
    }
    screen.Release();
    EXPECT_NE(host.WaitLine("release"), "");
}

// Inactive, the game runs on but draws nothing; with the focus back it draws in its next frame.
TEST_F(RealWindow, FocusOutAndIn) {
    StartHost();
    screen.FocusElsewhere();
    ASSERT_EQ(host.WaitLine("focus "), "focus lost");
    ASSERT_NE(host.WaitLine("inactive frames"), "");
    std::vector<uint32_t> still = Strip();
    ASSERT_NE(host.WaitLine("fps "), "") << "frames stopped";
    EXPECT_EQ(Strip(), still);
    screen.Focus(window);
    ASSERT_EQ(host.WaitLine("focus "), "focus gained");
    EXPECT_EQ(host.WaitLine("first frame after focus"), "first frame after focus drew");
    EXPECT_TRUE(Drawing());
    EXPECT_TRUE(EndsWith(ClickTarget(), " hit"));
}

TEST_F(RealWindow, UnmappedAndMappedAgainDrawsAndTakesClicks) {
    StartHost();
    screen.Unmap(window);
    screen.Map(window);
    ASSERT_EQ(screen.FindWindow(kHostTitle), window);
    // Shown again, the window gets the focus back (from a window manager, or the player).
    screen.Focus(window);
    EXPECT_TRUE(WaitFor([&] { return Target().width > 0; }));
    EXPECT_TRUE(Drawing());
    EXPECT_TRUE(EndsWith(ClickTarget(), " hit"));
}

// Resized by another program, the window stretches the picture and the mouse alike.
TEST_F(RealWindow, ResizedFromOutsideClicksLandOnWhatIsDrawn) {
    if (g_server->HasWindowManager())
        GTEST_SKIP() << "the window manager keeps the window's fixed size";
    StartHost();
    Rect before = Target();
    screen.Resize(window, 500, 400);
    ASSERT_TRUE(WaitFor([&] { return screen.Geometry(window).width == 500; }));
    ASSERT_TRUE(WaitFor([&] { return TargetDrawnToScale() && !(Target() == before); }));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(EndsWith(ClickTarget(), " hit")) << i;
    // A point just outside the drawn square misses.
    Rect target = Target();
    screen.MoveTo(target.x - 3, target.y + target.height / 2);
    WaitMouseWithin(190, 40, 200, 100);
    screen.Click();
    EXPECT_TRUE(EndsWith(host.WaitLine("press "), " miss"));
}

// Full screen covers the screen; back, the window is exactly where and as large as it was, and
// clicks land on the target in both states, however often it switches.
TEST_F(RealWindow, FullScreenOnAndOffManyTimes) {
    StartHost();
    Rect windowed = screen.Geometry(window);
    const Rect wholeScreen{0, 0, 1024, 768};
    for (int round = 0; round < 8; ++round) {
        screen.TapKey("f");
        ASSERT_EQ(host.WaitLine("windowed"), "windowed 0");
        ASSERT_TRUE(WaitFor([&] { return screen.Geometry(window) == wholeScreen; }))
            << "round " << round << ": " << screen.Geometry(window).x << "," << screen.Geometry(window).y
            << " " << screen.Geometry(window).width << "x" << screen.Geometry(window).height;
        ASSERT_TRUE(WaitFor([&] { return TargetDrawnToScale(); }));
        EXPECT_TRUE(EndsWith(ClickTarget(), " hit")) << round;
        screen.TapKey("f");
        ASSERT_EQ(host.WaitLine("windowed"), "windowed 1");
        ASSERT_TRUE(WaitFor([&] { return screen.Geometry(window) == windowed; }))
            << "round " << round << ": " << screen.Geometry(window).x << "," << screen.Geometry(window).y
            << " " << screen.Geometry(window).width << "x" << screen.Geometry(window).height;
        ASSERT_TRUE(WaitFor([&] { return TargetDrawnToScale(); }));
        EXPECT_TRUE(EndsWith(ClickTarget(), " hit")) << round;
    }
}

// A switch to full screen and back, by key and by a right click, leaves the pointer where it is on
// the screen; the game reads the mouse where the pointer now is in the window before any move, and
// a click with no move lands there. (The window system may show the pointer elsewhere for an
// instant: the backend's library moves it, and the backend puts it back in the next request.)
TEST_F(RealWindow, FullScreenSwitchLeavesThePointerWhereItIs) {
    StartHost();
    Rect client = screen.Geometry(window);
    const Rect pointer{client.x + 201, client.y + 170, 0, 0};
    HoverClient(201, 170);
    for (bool byClick : {false, true}) {
        for (const char* state : {"windowed 0", "windowed 1"}) {
            if (byClick)
                screen.Click(3);
            else
                screen.TapKey("f");
            ASSERT_EQ(host.WaitLine("windowed"), state);
            const Rect expected = state[9] == '0' ? Rect{0, 0, 1024, 768} : client;
            ASSERT_TRUE(WaitFor([&] { return screen.Geometry(window) == expected; })) << state;
            int x = (pointer.x - expected.x) * kHostWidth / expected.width;
            int y = (pointer.y - expected.y) * kHostHeight / expected.height;
            EXPECT_TRUE(WaitMouseWithin(x, y, x + 1, y + 1)) << state;
            // Once the game has read the mouse there (the switch has ended).
            EXPECT_EQ(screen.Pointer(), pointer) << state << (byClick ? " by click" : " by key");
            screen.Click();
            std::string press = host.WaitLine("press ");
            EXPECT_EQ(press.substr(0, press.rfind(' ')),
                      "press " + std::to_string(x) + " " + std::to_string(y))
                << state;
        }
    }
}

// The counter reports as many frames as ran in its one-second window. Windows in which the value
// does not change are told apart by the count (a line spanning several windows counts more). Full
// screen at frame rate 0 runs free, so that the value changes from one window to the next (a
// window keeps to the display's steady rate).
TEST_F(RealWindow, FrameCounterCountsEveryFrameOfItsSecond) {
    StartHost();
    screen.TapKey("f");
    ASSERT_EQ(host.WaitLine("windowed"), "windowed 0");
    int single = 0;
    for (int i = 0; i < 12 && single < 2; ++i) {
        std::string line = host.WaitLine("fps ");
        ASSERT_NE(line, "");
        int value = 0, frames = 0;
        ASSERT_EQ(sscanf(line.c_str(), "fps %d frames %d", &value, &frames), 2);
        if (value == 0 || frames * 2 > value * 3)
            continue;
        EXPECT_EQ(frames, value) << line;
        ++single;
    }
    EXPECT_EQ(single, 2);
}

// Under a German layout AltGr+Q types "@" and AltGr+E the euro sign (0x80 in GBK) into an edit;
// with AltGr let go, "a" is ordinary text again.
TEST_F(RealWindow, AltGrCharactersReachAnEdit) {
    // The right Alt key's code on the virtual server's keyboard.
    const unsigned rightAlt = 108;
    struct Layout {
        Desktop& screen;
        ~Layout() { screen.SetKeyboardLayout("us"); }
    } german{screen};
    ASSERT_TRUE(screen.SetKeyboardLayout("de")) << "setxkbmap";
    StartHost({"--edit"});
    screen.HoldKeyCode(rightAlt, true);
    screen.TapKey("q");
    screen.TapKey("e");
    screen.HoldKeyCode(rightAlt, false);
    screen.TapKey("a");
    EXPECT_EQ(host.WaitLine("edit 40 80 61"), "edit 40 80 61");
}

// A Chinese player's input method runs (ibus with pinyin). With no edit, letter keys are the game's
// hotkeys: the input method never sees them. With an edit focused, pinyin typed there becomes a
// composition and, chosen with Space, the character reaches the edit.
TEST_F(RealWindow, InputMethodServesTheEditAndLeavesHotkeysToTheGame) {
    realwindow::InputMethod inputMethod;
    realwindow::InputMethod::State state = inputMethod.Start(g_server->Display());
    if (state == realwindow::InputMethod::State::NotInstalled)
        GTEST_SKIP() << inputMethod.Why();
    ASSERT_EQ(state, realwindow::InputMethod::State::Running) << inputMethod.Why();
    StartHost();
    screen.TapKey("a");
    EXPECT_EQ(host.WaitLine("key A"), "key A");
    host.WaitExit(0); // ends it at once

    ASSERT_TRUE(WaitFor([&] { return screen.Geometry(window).width == 0; }));
    StartHost({"--edit"});
    for (const char* key : {"z", "h", "o", "n", "g", "space"})
        screen.TapKey(key);
    EXPECT_EQ(host.WaitLine("edit "), "edit D6 D0"); // the GBK bytes of the character for "zhong"
}

// The layout decides what a letter key is and what it types. German: the key labelled Z (where a
// US keyboard has Y) is the Z key and types "z", "Z" with Shift; the one labelled Y likewise; AltGr+Q
// types "@". Then French, switched to while the game runs: the key where a US keyboard has A is Q,
// the one where it has M types "," (the comma key), the one after L is M. The game reads it in
// its key events and as the frame's key character. British: AltGr+E types "e", as the layout's text
// does. Japanese: the keys a US keyboard lacks have the virtual keys of the platform's layout.
TEST_F(RealWindow, KeysFollowTheKeyboardLayout) {
    // Key codes of the virtual server's keyboard, named by the US key at their place.
    const unsigned usY = 29, usZ = 52, usQ = 24, usE = 26, usA = 38, usM = 58, usSemicolon = 47;
    const unsigned leftShift = 50, rightAlt = 108;
    const unsigned ro = 97, yen = 132, henkan = 100, muhenkan = 102, katakanaHiragana = 101;
    struct Layout {
        Desktop& screen;
        ~Layout() { screen.SetKeyboardLayout("us"); }
    } restore{screen};
    ASSERT_TRUE(screen.SetKeyboardLayout("de")) << "setxkbmap";
    StartHost({"--keys"});
    const struct {
        const char* layout;
        unsigned modifier, key;
        const char *virtualKey, *character;
    } cases[] = {{"de", 0, usY, "5A", "7A"},
                 {"de", leftShift, usY, "5A", "5A"},
                 {"de", 0, usZ, "59", "79"},
                 {"de", leftShift, usZ, "59", "59"},
                 {"de", rightAlt, usQ, "51", "40"},
                 {"fr", 0, usA, "51", "71"},
                 {"fr", 0, usM, "BC", "2C"},
                 {"fr", 0, usSemicolon, "4D", "6D"},
                 {"gb", rightAlt, usE, "45", "65"},
                 {"jp", 0, ro, "E2", "5C"},
                 {"jp", leftShift, ro, "E2", "5F"},
                 {"jp", 0, yen, "DC", "5C"},
                 {"jp", 0, henkan, "1C", "00"},
                 {"jp", 0, muhenkan, "1D", "00"},
                 {"jp", 0, katakanaHiragana, "F2", "00"}};
    std::string layout = "de";
    for (const auto& c : cases) {
        if (c.layout != layout) {
            layout = c.layout;
            ASSERT_TRUE(screen.SetKeyboardLayout(layout)) << "setxkbmap";
        }
        if (c.modifier != 0)
            screen.HoldKeyCode(c.modifier, true);
        screen.HoldKeyCode(c.key, true);
        screen.HoldKeyCode(c.key, false);
        if (c.modifier != 0)
            screen.HoldKeyCode(c.modifier, false);
        // The modifiers' own lines (Shift 10, Ctrl 11, Alt 12) come first.
        std::string line;
        do
            line = host.WaitLine("keydown ");
        while (line.rfind("keydown 10 ", 0) == 0 || line.rfind("keydown 11 ", 0) == 0 ||
               line.rfind("keydown 12 ", 0) == 0);
        EXPECT_EQ(line, "keydown " + std::string(c.virtualKey) + " " + c.character) << layout;
        EXPECT_EQ(host.WaitLine("keychar"), "keychar " + std::string(c.character)) << line;
    }
}

// In a window every frame waits for the display's refresh, whatever the frame rate the game asks
// for: two seconds show no more frames than the display can, and at 60 frames a second the usual
// frame takes one refresh, not two (the median, so that a loaded machine's late frames do not
// count). The virtual display reports no rate, which the backend takes as 60 Hz.
class FrameRate : public RealWindow, public ::testing::WithParamInterface<int> {
protected:
    // The next frame the host reports: its number and when it began (seconds, the host's clock).
    bool NextFrame(unsigned long* number, double* seconds) {
        long long microseconds = 0;
        if (sscanf(host.WaitLine("frame ").c_str(), "frame %lu %lld", number, &microseconds) != 2)
            return false;
        *seconds = microseconds / 1e6;
        return true;
    }
};

TEST_P(FrameRate, KeepsToTheDisplayInAWindow) {
    const double refresh = 60;
    StartHost({"--fps", std::to_string(GetParam()), "--report-frames"});
    unsigned long first = 0, previous = 0, last = 0;
    double start = 0, before = 0, now = 0;
    ASSERT_TRUE(NextFrame(&first, &start));
    previous = first;
    before = start;
    std::vector<double> periods;
    do {
        ASSERT_TRUE(NextFrame(&last, &now)) << "frames stopped";
        if (last == previous + 1)
            periods.push_back(now - before);
        previous = last;
        before = now;
    } while (now - start < 2);
    const double perSecond = (last - first) / (now - start);
    EXPECT_LE(perSecond, refresh + 1);
    if (GetParam() == refresh && !periods.empty()) {
        std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
        EXPECT_LT(periods[periods.size() / 2], 1.5 / refresh);
    }
}

INSTANTIATE_TEST_SUITE_P(RealWindow, FrameRate, ::testing::Values(-1, 0, 60));

// The demo's GUI scene (800 x 600), as a player clicks and drags it: points in game coordinates.
class DemoGui : public RealWindow {
protected:
    void SetUp() override {
        RealWindow::SetUp();
        StartDemo("gui");
        ASSERT_TRUE(WaitFor([&] { return At(kBlue) == kSelected; })) << "the scene is never drawn";
    }

    // Starts the demo and waits until its window, in place, shows a frame (the caption line).
    void StartDemo(const char* scene) {
        ASSERT_TRUE(host.Start({TQ_DEMO, "--scene", scene}, g_server->Display(), folder));
        window = screen.FindWindow("TQ2D demo");
        ASSERT_NE(window, 0u);
        const int caption[2] = {2, 2};
        ASSERT_TRUE(WaitFor([&] { return At(caption) == kCaptionLine; })) << "nothing is drawn";
    }

    uint32_t At(const int (&point)[2]) {
        Rect client = screen.Geometry(window);
        return screen.Pixel(client.x + point[0], client.y + point[1]);
    }

    void MoveTo(const int (&point)[2]) {
        Rect client = screen.Geometry(window);
        screen.MoveTo(client.x + point[0], client.y + point[1]);
    }

    // Points the mouse at `point` and waits until the GUI has drawn a frame that saw it there: the
    // Red button, first hovered (it lightens), is drawn plain again.
    void Hover(const int (&red)[2], const int (&point)[2]) {
        const int aside[2] = {700, 560};
        MoveTo(aside);
        ASSERT_TRUE(WaitFor([&] { return At(red) == kPlain; })) << "no hover";
        MoveTo(red);
        ASSERT_TRUE(WaitFor([&] { return At(red) != kPlain; })) << "no hover";
        MoveTo(point);
        ASSERT_TRUE(WaitFor([&] { return At(red) == kPlain; })) << "no hover";
    }

    // Presses at `from` and drags until the GUI window follows (its title reaches `moved`), then on
    // to `to`, holding the button until `arrived` holds.
    void Drag(const int (&from)[2], const int (&moved)[2], const int (&to)[2],
              const std::function<bool()>& arrived) {
        screen.Press();
        bool follows = false;
        for (int step = 1; step <= 10 && !follows; ++step) {
            const int point[2] = {from[0] + (to[0] - from[0]) * step / 40,
                                  from[1] + (to[1] - from[1]) * step / 40};
            MoveTo(point);
            follows = WaitFor([&] { return At(moved) == kTitle; }, 30);
        }
        EXPECT_TRUE(follows) << "the GUI window does not follow the mouse";
        MoveTo(to);
        EXPECT_TRUE(WaitFor(arrived));
        screen.Release();
    }

    const uint32_t kCaptionLine = 0x121B2D;
    const uint32_t kSelected = 0xC08A30;
    const uint32_t kPlain = 0x3C5A96;
    const uint32_t kTitle = 0x3050A0;
    const uint32_t kListSelected = 0x5078C0;
    const int kRed[2] = {112, 146};
    const int kBlue[2] = {265, 146};
};

TEST_F(DemoGui, ButtonTakesAClickWithNoHold) {
    const int aside[2] = {700, 560};
    MoveTo(aside);
    ASSERT_TRUE(WaitFor([&] { return At(kRed) == kPlain; })) << "no hover";
    MoveTo(kRed);
    ASSERT_TRUE(WaitFor([&] { return At(kRed) != kPlain; })) << "no hover";
    screen.Click();
    EXPECT_TRUE(WaitFor([&] { return At(kRed) == kSelected && At(kBlue) != kSelected; }));
    screen.RequestClose(window);
    EXPECT_EQ(host.WaitExit(), 0);
}

// Text drawn on the list's selection bar blends its edges with the bar: no pixel there is darker
// than the bar, and the letters are lighter.
TEST_F(DemoGui, TextOnTheSelectionBarHasNoDarkEdges) {
    const int aside[2] = {700, 560};
    MoveTo(aside);
    Rect client = screen.Geometry(window);
    // The bar of the first line, "1  Mercury", from its left end past the text.
    std::vector<uint32_t> bar = screen.Grab(Rect{client.x + 56, client.y + 228, 120, 14});
    int darker = 0, lighter = 0;
    for (uint32_t pixel : bar) {
        bool dark = false, light = false;
        for (int shift : {0, 8, 16}) {
            int channel = static_cast<int>((pixel >> shift) & 0xFF);
            int barChannel = static_cast<int>((kListSelected >> shift) & 0xFF);
            dark |= channel < barChannel - 2;
            light |= channel > barChannel + 2;
        }
        darker += dark;
        lighter += light;
    }
    EXPECT_EQ(darker, 0);
    EXPECT_GT(lighter, 20);
    screen.RequestClose(window);
    EXPECT_EQ(host.WaitExit(), 0);
}

// The popup closed by a click on its Close button, or by Escape with the pointer on it, opens again
// with the button plain: hiding a window clears the pressed and hover looks of its controls.
TEST_F(DemoGui, PopupReopensWithItsButtonPlain) {
    const int open[2] = {100, 121}, close[2] = {220, 280};
    Hover(kRed, open);
    const uint32_t closed = At(close);
    for (bool escape : {false, true}) {
        screen.Click();
        ASSERT_TRUE(WaitFor([&] { return At(close) != closed; })) << "no popup";
        const uint32_t plain = At(close);
        MoveTo(close);
        ASSERT_TRUE(WaitFor([&] { return At(close) != plain; })) << "no hover";
        if (escape)
            screen.TapKey("Escape");
        else
            screen.Click();
        ASSERT_TRUE(WaitFor([&] { return At(close) == closed; })) << "the popup stays";
        Hover(kRed, open);
        screen.Click();
        ASSERT_TRUE(WaitFor([&] { return At(close) != closed; })) << "no popup";
        EXPECT_TRUE(WaitFor([&] { return At(close) == plain; }, 120)) << (escape ? "Escape" : "click");
        screen.TapKey("Escape");
        ASSERT_TRUE(WaitFor([&] { return At(close) == closed; })) << "the popup stays";
        Hover(kRed, open);
    }
    screen.RequestClose(window);
    EXPECT_EQ(host.WaitExit(), 0);
}

// The pointer leaves a hovered line and comes back to the very same pixel: a click there chooses
// that line, in the planet list and in the combo box's open list.
TEST_F(DemoGui, LinesTakeAClickWhereThePointerCameBack) {
    const int earth[2] = {160, 268}, aside[2] = {700, 560};
    const uint32_t listBackground = 0x202C50;
    Hover(kRed, earth);
    ASSERT_TRUE(WaitFor([&] { return At(earth) != listBackground; })) << "no hover bar";
    MoveTo(aside);
    ASSERT_TRUE(WaitFor([&] { return At(earth) == listBackground; })) << "the hover bar stays";
    Hover(kRed, earth);
    screen.Click();
    EXPECT_TRUE(WaitFor([&] { return At(earth) == kListSelected; })) << std::hex << At(earth);

    // The combo box's list opens under it with "Medium" chosen; "Large" is the line below.
    const int dropButton[2] = {437, 185}, medium[2] = {402, 224}, large[2] = {402, 240};
    Hover(kRed, dropButton);
    screen.Click();
    ASSERT_TRUE(WaitFor([&] { return At(medium) == kListSelected; })) << "the list does not open";
    const uint32_t plain = At(large);
    MoveTo(large);
    ASSERT_TRUE(WaitFor([&] { return At(large) != plain; })) << "no hover bar";
    MoveTo(aside);
    ASSERT_TRUE(WaitFor([&] { return At(large) == plain; })) << "the hover bar stays";
    MoveTo(large);
    // Seen when the hover bar comes back; without it the click still comes after a while.
    WaitFor([&] { return At(large) != plain; }, 120);
    screen.Click();
    ASSERT_TRUE(WaitFor([&] { return At(medium) != kListSelected; })) << "the list stays open";
    MoveTo(dropButton);
    screen.Click();
    EXPECT_TRUE(WaitFor([&] { return At(large) == kListSelected; })) << "Large is not chosen";
    screen.RequestClose(window);
    EXPECT_EQ(host.WaitExit(), 0);
}

// A button pressed in another scene and held into the GUI scene is no press there: moved with it
// held, the GUI window stays; released over the list's header, the list keeps its order.
class DemoSceneSwitch : public DemoGui {
protected:
    void SetUp() override {
        RealWindow::SetUp();
        StartDemo("sprites");
    }
};

TEST_F(DemoSceneSwitch, ButtonHeldIntoTheGuiSceneIsNoPressThere) {
    const int title[2] = {420, 90}, header[2] = {141, 216}, mercury[2] = {160, 236}, aside[2] = {700, 560};
    MoveTo(title);
    screen.Press();
    screen.TapKey("F5");
    ASSERT_TRUE(WaitFor([&] { return At(kBlue) == kSelected; })) << "no GUI scene";
    MoveTo(header);
    screen.Release();
    // The red button lights only once the GUI has seen the button up.
    Hover(kRed, aside);
    EXPECT_EQ(At(title), kTitle) << "the window was dragged";
    EXPECT_EQ(At(mercury), kListSelected) << "the list was sorted";
    screen.RequestClose(window);
    EXPECT_EQ(host.WaitExit(), 0);
}

// Dragged by its title past the left or the top edge, the GUI window stops at that edge instead of
// jumping to the far side. Its title bar spans x 41 to 458 and y 81 to 100.
TEST_F(DemoGui, WindowDraggedPastTheLeftEdgeStopsThere) {
    const int title[2] = {300, 84}, leftOfTitle[2] = {38, 84}, left[2] = {-22, 84};
    const int leftEdge[2] = {2, 84}, farRight[2] = {700, 84};
    Hover(kRed, title);
    Drag(title, leftOfTitle, left, [&] { return At(leftEdge) == kTitle && At(farRight) != kTitle; });
    screen.RequestClose(window);
    EXPECT_EQ(host.WaitExit(), 0);
}

TEST_F(DemoGui, WindowDraggedPastTheTopEdgeStopsThere) {
    const int title[2] = {300, 95}, aboveTitle[2] = {300, 78}, above[2] = {300, -5};
    // The scene keeps its GUI window below the caption line (19 pixels high).
    const int topEdge[2] = {300, 22}, farBelow[2] = {300, 590};
    Hover(kRed, title);
    Drag(title, aboveTitle, above, [&] { return At(topEdge) == kTitle && At(farBelow) != kTitle; });
    screen.RequestClose(window);
    EXPECT_EQ(host.WaitExit(), 0);
}

// F12 writes a new numbered file each time and says where it is.
TEST_F(DemoGui, F12WritesNumberedScreenshotsAndSaysWhere) {
    for (int number = 1; number <= 2; ++number) {
        screen.TapKey("F12");
        std::string path = folder + "/tq2d-demo-shot-00" + std::to_string(number) + ".bmp";
        EXPECT_EQ(host.WaitLine("tq2d-demo: screenshot"), "tq2d-demo: screenshot written to " + path);
        EXPECT_TRUE(std::filesystem::exists(path));
    }
    screen.RequestClose(window);
    EXPECT_EQ(host.WaitExit(), 0);
}

} // namespace
