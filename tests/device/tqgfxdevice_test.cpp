// Factory, lifecycle and its log lines, states, errors, random numbers, the ini file and the log.
#include "devicetestsupport.h"

#include "platform/win32/tquser32.h"
#include "platform/win32/video/tqvideo.h"

#include <cstring>

TEST(TQGfxCreateTest, VersionAndReferenceCount) {
    EXPECT_EQ(TQGfxCreate(15), nullptr);
    TQGfxDevice* first = TQGfxCreate(16);
    TQGfxDevice* second = TQGfxCreate(16);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    first->System_SetState(TQGFX_TITLE, "kept");
    first->Release();
    // One reference remains: the object and its state live on.
    EXPECT_STREQ(second->System_GetState(TQGFX_TITLE).szValue, "kept");
    second->Release();
    TQGfxDevice* fresh = TQGfxCreate(16);
    EXPECT_STREQ(fresh->System_GetState(TQGFX_TITLE).szValue, "TQGfx");
    fresh->Release();
}

TEST_F(DeviceTest, LifecycleLogLines) {
    dev->System_SetState(TQGFX_TITLE, "Demo");
    ASSERT_TRUE(Initiate());
    EXPECT_NE(dev->System_GetState(TQGFX_HWND).nValue, 0);
    dev->System_Shutdown();
    EXPECT_EQ(dev->System_GetState(TQGFX_HWND).nValue, 0);
    std::vector<std::string> lines = LogLines();
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "TQGfxDevice Started..");
    EXPECT_EQ(lines[2], "TQGfxDevice version: 0.10");
    EXPECT_EQ(lines[3].rfind("Date: ", 0), 0u);
    EXPECT_EQ(lines[5], "Application: Demo");
    EXPECT_EQ(lines[6].rfind("OS: Windows ", 0), 0u);
    EXPECT_EQ(lines[7].rfind("Memory: ", 0), 0u);
    EXPECT_TRUE(LogContains("D3D Driver: "));
    EXPECT_TRUE(LogContains("Mode: 64 x 48 x "));
    EXPECT_TRUE(LogContains("Init done.\n"));
    EXPECT_EQ(lines[lines.size() - 2], "Finishing..");
    EXPECT_EQ(lines.back(), "The End.");
}

TEST_F(DeviceTest, LastReleaseShutsDownAndDetachesPacks) {
    ASSERT_TRUE(Initiate());
    dev->Release();
    dev = nullptr;
    EXPECT_EQ(LogLines().back(), "The End.");
}

TEST_F(DeviceTest, StartWithoutWindowOrFrameFunctionFails) {
    EXPECT_FALSE(dev->System_Start());
    EXPECT_STREQ(dev->System_GetErrorMessage(), "System_Start: System_Initiate wasn't called");
    ASSERT_TRUE(Initiate());
    dev->System_SetState(TQGFX_FRAMEFUNC, static_cast<TQGfxCallback>(nullptr));
    EXPECT_FALSE(dev->System_Start());
    EXPECT_STREQ(dev->System_GetErrorMessage(), "System_Start: No frame function defined");
}

TEST_F(DeviceTest, QuitEndsEveryStartUntilInitiatedAgain) {
    ASSERT_TRUE(Initiate());
    int frames = 0;
    EXPECT_TRUE(Run([&] {
        ++frames;
        dev->System_Quit();
        return false;
    }));
    EXPECT_EQ(frames, 1);
    EXPECT_TRUE(Run([&] { return ++frames > 0; }));
    EXPECT_EQ(frames, 1);
    EXPECT_FALSE(dev->IsActive());

    // Initiated anew, the device runs frames again.
    dev->System_Shutdown();
    ASSERT_TRUE(Initiate());
    EXPECT_TRUE(Run([&] { return ++frames > 0; }));
    EXPECT_EQ(frames, 2);
}

TEST_F(DeviceTest, ShutdownLeavesNoQuitMessageForTheNextStart) {
    ASSERT_TRUE(Initiate());
    dev->System_Shutdown();
    ASSERT_TRUE(Initiate());
    int frames = 0;
    EXPECT_TRUE(Run([&] { return ++frames == 3; }));
    EXPECT_EQ(frames, 3);
}

TEST_F(DeviceTest, WindowDestroyedByTheUserEndsTheLoop) {
    ASSERT_TRUE(Initiate());
    HWND window = reinterpret_cast<HWND>(dev->System_GetState(TQGFX_HWND).nValue);
    int frames = 0;
    EXPECT_TRUE(Run([&] {
        if (++frames == 2)
            DestroyWindow(window);
        return frames > 5;
    }));
    EXPECT_EQ(frames, 2);
    // The quit message the window's end posted is gone with it: a new start runs its frames.
    dev->System_Shutdown();
    ASSERT_TRUE(Initiate());
    EXPECT_TRUE(Run([&] { return ++frames == 4; }));
    EXPECT_EQ(frames, 4);
}

TEST_F(DeviceTest, ParentWindowMakesAWindowedChild) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "TQDEVICETEST_PARENT";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, "TQDEVICETEST_PARENT", "parent", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    dev->System_SetState(TQGFX_HWNDPARENT, parent);
    dev->System_SetState(TQGFX_WINDOWED, false);
    dev->System_SetState(TQGFX_SCREENWIDTH, 40);
    dev->System_SetState(TQGFX_SCREENHEIGHT, 30);
    dev->System_SetState(TQGFX_USESOUND, false);
    dev->System_SetState(TQGFX_FRAMEFUNC, DeviceTestFrame);
    ASSERT_TRUE(dev->System_Initiate());
    HWND window = reinterpret_cast<HWND>(dev->System_GetState(TQGFX_HWND).nValue);
    EXPECT_TRUE(dev->System_GetState(TQGFX_WINDOWED).bValue);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 40);
    EXPECT_EQ(client.bottom, 30);

    // With a parent each start runs one frame; the windowed state cannot change.
    int frames = 0;
    EXPECT_TRUE(Run([&] { return ++frames < 0; }));
    EXPECT_TRUE(Run([&] { return ++frames < 0; }));
    EXPECT_EQ(frames, 2);
    dev->System_SetState(TQGFX_WINDOWED, false);
    EXPECT_TRUE(dev->System_GetState(TQGFX_WINDOWED).bValue);
    dev->System_Shutdown();
    DestroyWindow(parent);
}

TEST_F(DeviceTest, DefaultWindowHasACaptionAndIsCentredByItsOuterSize) {
    ASSERT_TRUE(Initiate(100, 80));
    HWND window = reinterpret_cast<HWND>(dev->System_GetState(TQGFX_HWND).nValue);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & WS_CAPTION,
              static_cast<DWORD>(WS_CAPTION));
    RECT outer;
    GetWindowRect(window, &outer);
    int outerWidth = 100 + 2 * GetSystemMetrics(SM_CXFIXEDFRAME);
    int outerHeight = 80 + 2 * GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2);
    EXPECT_EQ(outer.right - outer.left, outerWidth);
}

// A window larger than the screen keeps its title bar on the screen.
TEST_F(DeviceTest, WindowLargerThanTheScreenStartsAtItsCorner) {
    ASSERT_TRUE(Initiate(GetSystemMetrics(SM_CXSCREEN) + 256, GetSystemMetrics(SM_CYSCREEN) + 186));
    RECT outer;
    GetWindowRect(reinterpret_cast<HWND>(dev->System_GetState(TQGFX_HWND).nValue), &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
}

// In a window every present waits for the display's refresh, whatever the frame rate; full screen
// waits only when synchronised.
TEST_F(DeviceTest, PresentsWaitForTheDisplayInAWindowAndWhenSynchronised) {
    ASSERT_TRUE(Initiate());
    HWND window = reinterpret_cast<HWND>(dev->System_GetState(TQGFX_HWND).nValue);
    for (bool windowed : {true, false, true}) {
        dev->System_SetState(TQGFX_WINDOWED, windowed);
        for (int rate : {0, 60, TQGFX_FPS_VSYNC, 0}) {
            dev->System_SetState(TQGFX_FPS, rate);
            ASSERT_TRUE(dev->Gfx_BeginScene(0));
            dev->Gfx_EndScene();
            EXPECT_EQ(tqplat::VideoLastPresentWaited(window), windowed || rate == TQGFX_FPS_VSYNC)
                << windowed << " " << rate;
        }
    }
}

TEST_F(DeviceTest, StatesRefusedAtTheWrongMoment) {
    EXPECT_EQ(dev->System_GetState(TQGFX_INIFILE).nValue, 0);
    EXPECT_EQ(dev->System_GetState(5).nValue, 0);
    EXPECT_EQ(dev->System_GetState(99).nValue, 0);
    ASSERT_TRUE(Initiate());
    dev->System_SetState(TQGFX_SCREENWIDTH, 320);
    dev->System_SetState(TQGFX_ZBUFFER, true);
    EXPECT_EQ(dev->System_GetState(TQGFX_SCREENWIDTH).AsInt(), 64);
    EXPECT_FALSE(dev->System_GetState(TQGFX_ZBUFFER).bValue);

    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->System_SetState(TQGFX_WINDOWED, false);
    dev->System_SetState(TQGFX_FPS, 30);
    EXPECT_TRUE(dev->System_GetState(TQGFX_WINDOWED).bValue);
    EXPECT_EQ(dev->System_GetState(TQGFX_FPS).AsInt(), 0);
    dev->Gfx_EndScene();
    dev->System_SetState(TQGFX_FPS, 30);
    EXPECT_EQ(dev->System_GetState(TQGFX_FPS).AsInt(), 30);
}

TEST_F(DeviceTest, TitleIsCutToItsField) {
    std::string longTitle(400, 'x');
    dev->System_SetState(TQGFX_TITLE, longTitle.c_str());
    EXPECT_EQ(strlen(dev->System_GetState(TQGFX_TITLE).szValue), 255u);
    dev->System_SetState(TQGFX_TITLE, dev->System_GetState(TQGFX_TITLE).szValue);
    EXPECT_EQ(dev->System_GetState(TQGFX_TITLE).szValue, std::string(255, 'x'));
}

TEST_F(DeviceTest, LogFileIsEmptiedOnceThenAppended) {
    WriteFile("other.log", "old text\n");
    dev->System_SetState(TQGFX_LOGFILE, Path("other.log").c_str());
    EXPECT_EQ(ReadFile("other.log"), "");
    dev->System_Log("one %d", 1);
    dev->System_Log("two");
    EXPECT_EQ(ReadFile("other.log"), "one 1\ntwo\n");
    std::string resolved = dev->System_GetState(TQGFX_LOGFILE).szValue;
    EXPECT_NE(resolved.find("other.log"), std::string::npos);
    // Setting the path read back from the state keeps it, and empties the file again.
    dev->System_SetState(TQGFX_LOGFILE, dev->System_GetState(TQGFX_LOGFILE).szValue);
    EXPECT_EQ(dev->System_GetState(TQGFX_LOGFILE).szValue, resolved);
    EXPECT_EQ(ReadFile("other.log"), "");
    dev->System_Log("one %d", 1);
    dev->System_Log("two");

    dev->System_SetState(TQGFX_LOGFILE, static_cast<const char*>(nullptr));
    dev->System_Log("not written");
    EXPECT_EQ(dev->System_GetState(TQGFX_LOGFILE).nValue, 0);
    EXPECT_EQ(ReadFile("other.log"), "one 1\ntwo\n");
}

TEST_F(DeviceTest, LongLinesAndErrorsAreCutAndPercentSignsKept) {
    std::string longText(600, 'y');
    dev->System_Log("%s", longText.c_str());
    dev->PostError("100%s done %n");
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(255, 'y'));
    EXPECT_EQ(lines[1], "100%s done %n");
    EXPECT_STREQ(dev->System_GetErrorMessage(), "100%s done %n");
    dev->PostError(longText.c_str());
    EXPECT_EQ(strlen(dev->System_GetErrorMessage()), 255u);
    dev->PostError(dev->System_GetErrorMessage());
    EXPECT_EQ(dev->System_GetErrorMessage(), std::string(255, 'y'));
}

TEST_F(DeviceTest, RandomSequence) {
    dev->Random_Seed(1);
    EXPECT_EQ(dev->Random_Int(0, 9), 9);
    dev->Random_Seed(1);
    EXPECT_EQ(dev->Random_Int(100, 109), 109);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(dev->Random_Int(5, 5), 5);
        EXPECT_EQ(dev->Random_Float(2.0f, 2.0f), 2.0f);
        int value = dev->Random_Int(-3, 3);
        EXPECT_TRUE(value >= -3 && value <= 3);
        float f = dev->Random_Float(-1.0f, 1.0f);
        EXPECT_TRUE(f >= -1.0f && f <= 1.0f);
    }
    // The full 32-bit range gives values instead of dividing by zero.
    dev->Random_Seed(7);
    int a = dev->Random_Int(INT32_MIN, INT32_MAX);
    int b = dev->Random_Int(INT32_MIN, INT32_MAX);
    EXPECT_NE(a, b);
}

TEST_F(DeviceTest, IniRoundTrips) {
    EXPECT_EQ(dev->Ini_GetInt("s", "n", 7), 7);
    EXPECT_STREQ(dev->Ini_GetString("s", "t", "fallback"), "fallback");
    // An earlier result given back as the default stays intact.
    EXPECT_STREQ(dev->Ini_GetString("s", "u", dev->Ini_GetString("s", "t", "again")), "again");
    dev->Ini_SetInt("s", "n", 3);

    dev->System_SetState(TQGFX_INIFILE, Path("game.ini").c_str());
    dev->Ini_SetInt("Video", "Width", -640);
    dev->Ini_SetFloat("Video", "Gamma", 1.25f);
    dev->Ini_SetString("Player", "Name", "Ann");
    dev->Ini_SetString("Player", "Odd", "12abc");
    EXPECT_EQ(dev->Ini_GetInt("Video", "Width", 0), -640);
    EXPECT_FLOAT_EQ(dev->Ini_GetFloat("Video", "Gamma", 0.0f), 1.25f);
    EXPECT_STREQ(dev->Ini_GetString("Player", "Name", ""), "Ann");
    EXPECT_EQ(dev->Ini_GetInt("Player", "Odd", 0), 12);
    EXPECT_EQ(dev->Ini_GetInt("Player", "Missing", 42), 42);
    EXPECT_FLOAT_EQ(dev->Ini_GetFloat("Player", "Missing", 0.5f), 0.5f);
    EXPECT_NE(ReadFile("game.ini").find("Gamma=1.250000"), std::string::npos);

    // One result buffer: a second call overwrites the first result.
    const char* first = dev->Ini_GetString("Player", "Name", "");
    dev->Ini_GetString("Player", "None", "other");
    EXPECT_STREQ(first, "other");
    EXPECT_STREQ(dev->Ini_GetString("Player", "None", dev->Ini_GetString("Player", "Name", "")), "Ann");
}

TEST_F(DeviceTest, KeyNames) {
    EXPECT_STREQ(dev->Input_GetKeyName(0x41), "A");
    EXPECT_STREQ(dev->Input_GetKeyName(0x07), "?");
    EXPECT_STREQ(dev->Input_GetKeyName(0x70), "F1");
    EXPECT_STREQ(dev->Input_GetKeyName(0x69), "NumPad 9");
    EXPECT_STREQ(dev->Input_GetKeyName(0xDE), "Apostrophe");
    EXPECT_STREQ(dev->Input_GetKeyName(-1), "?");
    EXPECT_STREQ(dev->Input_GetKeyName(256), "?");
    int named = 0;
    for (int key = 0; key < 256; ++key)
        named += strcmp(dev->Input_GetKeyName(key), "?") != 0;
    EXPECT_EQ(named, 102);
}

namespace {
int g_focusLost = 0;
int g_focusGained = 0;
bool CountFocusLost() {
    return ++g_focusLost > 0;
}
bool CountFocusGained() {
    return ++g_focusGained > 0;
}
} // namespace

TEST_F(DeviceTest, FrameRateCrossingVsyncResetsTheDevice) {
    ASSERT_TRUE(Initiate());
    dev->System_SetState(TQGFX_FOCUSLOSTFUNC, CountFocusLost);
    dev->System_SetState(TQGFX_FOCUSGAINFUNC, CountFocusGained);
    g_focusLost = g_focusGained = 0;
    dev->System_SetState(TQGFX_FPS, 30);
    dev->System_SetState(TQGFX_FPS, 60);
    EXPECT_EQ(g_focusLost, 0);
    dev->System_SetState(TQGFX_FPS, TQGFX_FPS_VSYNC);
    EXPECT_EQ(g_focusLost, 1);
    EXPECT_EQ(g_focusGained, 1);
    dev->System_SetState(TQGFX_FPS, 0);
    EXPECT_EQ(g_focusLost, 2);
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_EndScene();
}
