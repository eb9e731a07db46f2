// The engine in a real X window, driven as a player would: pointer and keys through XTest, what
// changed seen in grabs of the screen. The host (tq-window-host) reports what the game reads.
// TQ_WINDOW_TEST_WM=openbox runs the same cases under a window manager.
#include "realwindow.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

using realwindow::Desktop;
using realwindow::Program;
using realwindow::Rect;
using realwindow::WaitUntil;
using realwindow::WindowId;

namespace {

const char kHostTitle[] = "tq-window-host";
const uint32_t kTargetGreen = 0x00FF00;
const uint32_t kBackground = 0x202040;
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
        ASSERT_TRUE(WaitUntil([&] { return Target().width > 0; })) << "the target is never drawn";
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

    // Moves the pointer to a client point of the window and waits until the game has read it.
    void HoverClient(int x, int y) {
        Rect client = screen.Geometry(window);
        screen.MoveTo(client.x + x, client.y + y);
        ASSERT_NE(host.WaitLine("mouse "), "");
    }

    // Hovers the centre of the drawn target, clicks with no hold; the game's report.
    std::string ClickTarget() {
        Rect target = Target();
        // A sixth of the square aside every other time, so that the game sees the pointer move.
        jiggle = !jiggle;
        screen.MoveTo(target.x + target.width / 2 + (jiggle ? target.width / 6 : 0),
                      target.y + target.height / 2);
        host.WaitLine("mouse ");
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
        return WaitUntil([&] { return Strip() != before; }, 5000);
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

TEST_F(RealWindow, CloseRequestEndsTheGame) {
    StartHost();
    screen.RequestClose(window);
    EXPECT_EQ(host.WaitLine("exit"), "exit");
    ExpectCleanExit();
}

// Another program destroys the window: the loop ends as on a close, without an X error, and the
// textures the game still holds are released once.
TEST_F(RealWindow, WindowDestroyedFromOutsideEndsTheGameAsACloseWould) {
    StartHost();
    screen.Destroy(window);
    EXPECT_EQ(host.WaitLine("exit"), "exit");
    ExpectCleanExit();
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
    EXPECT_TRUE(WaitUntil([&] { return Target().width > 0; }));
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
    ASSERT_TRUE(WaitUntil([&] { return screen.Geometry(window).width == 500; }));
    ASSERT_TRUE(WaitUntil([&] { return TargetDrawnToScale() && !(Target() == before); }));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(EndsWith(ClickTarget(), " hit")) << i;
    // A point just outside the drawn square misses.
    Rect target = Target();
    screen.MoveTo(target.x - 3, target.y + target.height / 2);
    host.WaitLine("mouse ");
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
        ASSERT_TRUE(WaitUntil([&] { return screen.Geometry(window) == wholeScreen; }))
            << "round " << round << ": " << screen.Geometry(window).x << "," << screen.Geometry(window).y
            << " " << screen.Geometry(window).width << "x" << screen.Geometry(window).height;
        ASSERT_TRUE(WaitUntil([&] { return TargetDrawnToScale(); }));
        EXPECT_TRUE(EndsWith(ClickTarget(), " hit")) << round;
        screen.TapKey("f");
        ASSERT_EQ(host.WaitLine("windowed"), "windowed 1");
        ASSERT_TRUE(WaitUntil([&] { return screen.Geometry(window) == windowed; }))
            << "round " << round << ": " << screen.Geometry(window).x << "," << screen.Geometry(window).y
            << " " << screen.Geometry(window).width << "x" << screen.Geometry(window).height;
        ASSERT_TRUE(WaitUntil([&] { return TargetDrawnToScale(); }));
        EXPECT_TRUE(EndsWith(ClickTarget(), " hit")) << round;
    }
}

// The counter reports as many frames as ran in its one-second window. Windows in which the value
// does not change are told apart by the count (a line spanning several windows counts more).
TEST_F(RealWindow, FrameCounterCountsEveryFrameOfItsSecond) {
    StartHost();
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

} // namespace
