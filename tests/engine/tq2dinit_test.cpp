// Start-up, loop and shut-down, the window-procedure hook and the forwarders without an engine.
#include "enginetestutil.h"

#include <cstring>

#include "engine/tq2dsceneobject.h"
#include "gui/tq2dguiobject.h"
#include "gui/tq2dimm.h"
#include "platform/win32/tqwindows.h"

namespace {

// The shared device's state (a reference of the test's own, given back at once).
TQGfxStateValue DeviceState(int id) {
    TQGfxDevice* device = TQGfxCreate(16);
    const TQGfxStateValue value = device->System_GetState(id);
    device->Release();
    return value;
}

// An input control that swallows one message and rewrites the key of WM_KEYDOWN.
class RecordingControl : public TQ2DGUIObject {
public:
    LRESULT OnWndProc(HWND, DWORD msg, WPARAM& wParam, LPARAM&) override {
        ++seen;
        if (msg == swallow)
            return 77;
        if (msg == WM_KEYDOWN)
            wParam = 'B';
        return 0;
    }
    UINT swallow = 0;
    int seen = 0;
};

class InputControlScope {
public:
    explicit InputControlScope(TQ2DGUIObject* control) { TQ2DGUIObject::SetInputControl(control); }
    ~InputControlScope() { TQ2DGUIObject::SetInputControl(nullptr); }
};

} // namespace

using EngineStartTest = EngineTest;

TEST_F(EngineStartTest, RefusesMissingBlockOrFrameFunction) {
    EXPECT_EQ(TQ2DInit(nullptr, nullptr), nullptr);
    TQ2D_INIT_INFO_tag info = SmallEngineInfo();
    info.pfnFrame = nullptr;
    EXPECT_EQ(TQ2DInit(&info, nullptr), nullptr);
    EXPECT_EQ(TQ2DGetMsgWnd(), nullptr);
}

TEST_F(EngineStartTest, DefaultsAndForcedStates) {
    TQ2D_INIT_INFO_tag info{};
    info.pfnFrame = CountingFrame;
    info.bShowCursor = TRUE;
    HWND window = TQ2DInit(&info, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window, TQ2DGetMsgWnd());
    EXPECT_EQ(TQ2DGetMainWnd(), nullptr);
    EXPECT_EQ(DeviceState(TQGFX_SCREENWIDTH).AsInt(), 1024);
    EXPECT_EQ(DeviceState(TQGFX_SCREENHEIGHT).AsInt(), 768);
    EXPECT_EQ(DeviceState(TQGFX_SCREENBPP).AsInt(), 32);
    EXPECT_TRUE(DeviceState(TQGFX_WINDOWED).bValue);
    EXPECT_TRUE(DeviceState(TQGFX_HIDEMOUSE).bValue);
    EXPECT_TRUE(DeviceState(TQGFX_USESOUND).bValue);
    EXPECT_TRUE(DeviceState(TQGFX_TEXTUREFILTER).bValue);
    EXPECT_STREQ(DeviceState(TQGFX_TITLE).szValue, "TQ2D Engine");
    EXPECT_NE(TQ2DGetDefaultFont(), nullptr);
    EXPECT_TRUE(TQ2DIsActive());
}

TEST_F(EngineStartTest, BlockFieldsBecomeStates) {
    TQ2D_INIT_INFO_tag info = SmallEngineInfo();
    info.szTitle = "Hello";
    info.bNoFilter = TRUE;
    info.nFPS = 30;
    HWND window = TQ2DInit(&info, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(DeviceState(TQGFX_SCREENWIDTH).AsInt(), 64);
    EXPECT_FALSE(DeviceState(TQGFX_TEXTUREFILTER).bValue);
    EXPECT_EQ(DeviceState(TQGFX_FPS).AsInt(), 30);
    EXPECT_STREQ(DeviceState(TQGFX_TITLE).szValue, "Hello");
}

TEST_F(EngineStartTest, CloseFreesTheDeviceAndSecondInitClosesTheFirst) {
    StartEngine();
    HWND first = TQ2DGetMsgWnd();
    StartEngine();
    HWND second = TQ2DGetMsgWnd();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(second));
    TQ2DClose();
    EXPECT_EQ(TQ2DGetMsgWnd(), nullptr);
    EXPECT_EQ(TQ2DGetDefaultFont(), nullptr);
    EXPECT_FALSE(IsWindow(second));
    // The device was freed: the factory makes a new one with the device's own defaults.
    EXPECT_EQ(DeviceState(TQGFX_SCREENWIDTH).AsInt(), 800);
    TQ2DClose();
}

TEST_F(EngineStartTest, LoopRunsFramesUntilTheFrameFunctionEndsIt) {
    StartEngine();
    g_nTestStopAfter = 3;
    TQ2DLoop();
    EXPECT_EQ(g_nTestFrames, 3);
}

TEST_F(EngineStartTest, HookPassesRewritesOrSwallowsMessages) {
    StartEngine();
    HWND window = TQ2DGetMsgWnd();
    RecordingControl control;
    InputControlScope scope(&control);
    TQ2D_INPUT_EVENT_tag event{};
    while (TQ2DGetKeyEvent(&event)) {
    }

    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    ASSERT_EQ(TQ2DGetKeyEvent(&event), 1);
    EXPECT_EQ(event.key, 'B');

    control.swallow = WM_KEYDOWN;
    EXPECT_EQ(SendMessageA(window, WM_KEYDOWN, 'A', 0), 77);
    EXPECT_EQ(TQ2DGetKeyEvent(&event), 0);

    TQ2DClose();
    const int seen = control.seen;
    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(control.seen, seen);
}

TEST_F(EngineStartTest, ForwardersWithoutEngineDoNothing) {
    TQ2DClose();
    float x = 5.0f, y = 6.0f;
    TQ2DGetMousePos(&x, &y);
    TQ2DSetMousePos(1.0f, 2.0f);
    EXPECT_EQ(x, 5.0f);
    EXPECT_EQ(TQ2DGetMouseWheel(), 0);
    EXPECT_EQ(TQ2DGetKeyState(65), 0);
    EXPECT_EQ(TQ2DGetKeyName(65), nullptr);
    EXPECT_EQ(TQ2DGetKey(), 0);
    EXPECT_EQ(TQ2DGetKeyChar(), 0);
    TQ2D_INPUT_EVENT_tag event{};
    EXPECT_EQ(TQ2DGetKeyEvent(&event), 0);
    EXPECT_EQ(TQ2DGetTime(), 0.0f);
    EXPECT_EQ(TQ2DGetDeltaTime(), 0.0f);
    EXPECT_EQ(TQ2DGetFPS(), 0);
    EXPECT_EQ(TQ2DGfx_BeginScene(0), 0);
    TQ2DGfx_EndScene();
    TQ2DGfx_Clear(0);
    TQ2DGfx_RenderLine(0, 0, 1, 1, 0, 0);
    TQ2D_QUAD_tag quad{};
    TQ2DGfx_RenderQuad(&quad);
    TQ2D_TRIPLE_tag triple{};
    TQ2DGfx_RenderTriple(&triple);
    int max = 0;
    EXPECT_EQ(TQ2DGfx_StartBatch(4, 0, 2, &max), nullptr);
    TQ2DGfx_FinishBatch(0);
    TQ2DGfx_SetClipping(0, 0, 1, 1);
    TQ2DGfx_SetTransform(0, 0, 0, 0, 0, 1, 1);
    TQ2DSoundStopAll();
    TQ2DSoundVolume(50);
    TQ2DMusicVolume(50);
    TQ2DQuit();
    TQ2DLoop();
    EXPECT_FALSE(TQ2DIsActive());
    EXPECT_EQ(TQ2DGetMsgWnd(), nullptr);
    EXPECT_EQ(TQ2DMakeScreenShot(D3DXIFF_BMP, "x.bmp"), 0);
}

TEST_F(EngineStartTest, ScreenShotOfTheBackBuffer) {
    StartEngine();
    EXPECT_EQ(TQ2DMakeScreenShot(D3DXIFF_BMP, nullptr), 0);
    AssetFolder folder;
    ASSERT_EQ(TQ2DGfx_BeginScene(0), 1);
    TQ2DGfx_Clear(0xFF336699);
    TQ2DGfx_EndScene();
    const std::string path = folder.Path("shot.bmp");
    ASSERT_EQ(TQ2DMakeScreenShot(D3DXIFF_BMP, path.c_str()), 1);
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
}

TEST(EngineApiTest, RandomRangeInEitherOrder) {
    for (int i = 0; i < 200; ++i) {
        const unsigned long a = TQ2DGetRandomRange(10, 5);
        const unsigned long b = TQ2DGetRandomRange(5, 10);
        EXPECT_TRUE(a >= 5 && a <= 10);
        EXPECT_TRUE(b >= 5 && b <= 10);
    }
    EXPECT_EQ(TQ2DGetRandomRange(7, 7), 7u);
    unsigned long seenBits = 0;
    for (int i = 0; i < 32; ++i)
        seenBits |= TQ2DGetRandomRange(0, 0xFFFFFFFF);
    EXPECT_GT(seenBits, 0xFFFFu);
    EXPECT_LE(seenBits, 0xFFFFFFFFu);
}

TEST(EngineApiTest, IndexColorsAndSceneObjectOrder) {
    EXPECT_EQ(TQ2DGetIndexColor(15), 0x00FFFFFFu);
    EXPECT_EQ(TQ2DGetIndexColor(4), TQ2DGetIndexColor(14));
    EXPECT_EQ(TQ2DGetIndexColor(17), 0u);
    EXPECT_EQ(TQ2DGetIndexColor(255), 0u);
    TQ2DSceneObject* objects = new TQ2DSceneObject[2];
    ASSERT_NE(objects, nullptr);
    EXPECT_EQ(objects[0] - nullptr, -1);
    EXPECT_EQ(objects[0] - objects[1], -1);
    EXPECT_EQ(objects[1] - objects[0], 1);
    EXPECT_EQ(objects[0].Init(), 0);
    EXPECT_FALSE(objects[0].Render(0));
    delete[] objects;
}

TEST(EngineApiTest, DefaultImeObjectIsBound) {
    TQ2DImm& imm = TQ2DGetDefaultImm();
    EXPECT_TRUE(imm.IsLoaded());
    EXPECT_EQ(&imm, &TQ2DGetDefaultImm());
    TQ2DImm copy(imm);
    EXPECT_TRUE(copy.IsLoaded());
}
