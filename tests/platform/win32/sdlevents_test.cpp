#include "windowtestfixture.h"

#include "platform/win32/tqwindowregistry.h"

#include "platform/win32/video/tqvideo.h"

#include <string>
#include <vector>

namespace {

using SdlEvents = WindowTest;

DWORD Bits(LPARAM lParam) {
    return static_cast<DWORD>(lParam);
}

TEST_F(SdlEvents, KeysCarryVirtualKeysScanCodesAndStateBits) {
    window = Create(WS_POPUP | WS_VISIBLE);
    static SHORT s_shiftWhileA = 0;
    s_override = [](HWND, UINT message, WPARAM wParam, LPARAM, bool*) -> LRESULT {
        if (message == WM_KEYDOWN && wParam == 'A')
            s_shiftWhileA = GetKeyState(VK_SHIFT);
        return 0;
    };
    Key(SDL_SCANCODE_LSHIFT, true);
    Key(SDL_SCANCODE_A, true);
    Text("A");
    Key(SDL_SCANCODE_A, true, 0, true);
    Key(SDL_SCANCODE_A, false);
    Key(SDL_SCANCODE_LSHIFT, false);
    Key(SDL_SCANCODE_RIGHT, true);
    EXPECT_NE(0, GetAsyncKeyState(VK_RIGHT) & 0x8000);
    EXPECT_EQ(0, GetKeyState(VK_RIGHT) & 0x8000); // not retrieved yet
    Pump();
    EXPECT_LT(s_shiftWhileA, 0);
    EXPECT_EQ(0, GetAsyncKeyState(VK_SHIFT));

    std::vector<Recorded> keys = Only({WM_KEYDOWN, WM_KEYUP, WM_CHAR});
    ASSERT_EQ(7u, keys.size());
    EXPECT_EQ(static_cast<WPARAM>(VK_SHIFT), keys[0].wParam);
    EXPECT_EQ(0x002A0001u, Bits(keys[0].lParam));
    EXPECT_EQ('A', keys[1].wParam);
    EXPECT_EQ(0x001E0001u, Bits(keys[1].lParam));
    EXPECT_EQ(static_cast<UINT>(WM_CHAR), keys[2].message);
    EXPECT_EQ('A', keys[2].wParam);
    EXPECT_EQ(0x401E0001u, Bits(keys[3].lParam)); // repeat: previous state down, no text this time
    EXPECT_EQ(static_cast<UINT>(WM_KEYUP), keys[4].message);
    EXPECT_EQ(0xC01E0001u, Bits(keys[4].lParam));
    EXPECT_EQ(static_cast<WPARAM>(VK_SHIFT), keys[5].wParam);
    EXPECT_EQ(static_cast<WPARAM>(VK_RIGHT), keys[6].wParam);
    EXPECT_EQ(0x014D0001u, Bits(keys[6].lParam)); // extended
}

TEST_F(SdlEvents, TypedTextBecomesGbkCharacterBytesOnceAndControlKeysCharactersByTheKeyRules) {
    window = Create(WS_POPUP | WS_VISIBLE);
    Key(SDL_SCANCODE_B, true);
    Text("b"); // the press's character comes only from the text
    Key(SDL_SCANCODE_B, false);
    Text("\xe4\xb8\xad\xe6\x96\x87"); // 中文
    Key(SDL_SCANCODE_RETURN, true);
    PostMessageA(window, WM_KEYDOWN, 'C', 0x002E0001); // not from the backend: by the key rules
    Key(SDL_SCANCODE_LALT, true);
    Text("x"); // with Alt: a system character
    Pump();
    ASSERT_EQ(1u, Only({WM_SYSCHAR}).size());
    EXPECT_EQ('x', Only({WM_SYSCHAR})[0].wParam);
    std::vector<Recorded> chars = Only({WM_CHAR});
    std::vector<WPARAM> bytes;
    for (const Recorded& r : chars)
        bytes.push_back(r.wParam);
    EXPECT_EQ((std::vector<WPARAM>{'b', 0xD6, 0xD0, 0xCE, 0xC4, '\r', 'c'}), bytes);
}

TEST_F(SdlEvents, CompositionStartsUpdatesAndEndsWithTheTextKept) {
    window = Create(WS_POPUP | WS_VISIBLE);
    Editing("zh");
    EXPECT_EQ("zh", tqplat::VideoCompositionText());
    Editing("\xe4\xb8\xad"); // 中
    EXPECT_EQ("\xd6\xd0", tqplat::VideoCompositionText());
    Text("\xe4\xb8\xad");
    EXPECT_EQ("", tqplat::VideoCompositionText());
    Editing("");
    Pump();
    std::vector<UINT> ime = {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_CHAR};
    EXPECT_EQ((std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_COMPOSITION,
                                 WM_IME_ENDCOMPOSITION, WM_CHAR, WM_CHAR}),
              Ids(ime));
    std::vector<Recorded> updates = Only({WM_IME_COMPOSITION});
    EXPECT_EQ(static_cast<LPARAM>(GCS_COMPSTR), updates[0].lParam);
    EXPECT_EQ(0xD6D0u, updates[1].wParam);
}

TEST_F(SdlEvents, WheelGivesStepsOf120AtTheScreenPosition) {
    window = Create(WS_POPUP | WS_VISIBLE);
    Motion(30, 40);
    Wheel(1);
    Wheel(-2);
    Wheel(1000); // more than a message can carry: as many as fit, in the same direction
    Wheel(-1000);
    Pump();
    std::vector<Recorded> wheels = Only({WM_MOUSEWHEEL});
    ASSERT_EQ(4u, wheels.size());
    EXPECT_EQ(120, static_cast<SHORT>(HIWORD(wheels[0].wParam)));
    EXPECT_EQ(-240, static_cast<SHORT>(HIWORD(wheels[1].wParam)));
    EXPECT_EQ(273 * 120, static_cast<SHORT>(HIWORD(wheels[2].wParam)));
    EXPECT_EQ(-273 * 120, static_cast<SHORT>(HIWORD(wheels[3].wParam)));
    EXPECT_EQ(MAKELPARAM(40, 60), wheels[0].lParam); // window at (10, 20) without a frame
    std::vector<Recorded> moves = Only({WM_SETCURSOR, WM_MOUSEMOVE});
    ASSERT_EQ(2u, moves.size());
    EXPECT_EQ(HTCLIENT, LOWORD(moves[0].lParam));
    EXPECT_EQ(MAKELPARAM(30, 40), moves[1].lParam);
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(40, cursor.x);
    EXPECT_EQ(60, cursor.y);
}

TEST_F(SdlEvents, DoubleClicksNeedTheClassStyle) {
    window = Create(WS_POPUP | WS_VISIBLE);
    Button(SDL_BUTTON_LEFT, true, 1);
    EXPECT_NE(0, GetAsyncKeyState(VK_LBUTTON) & 0x8000);
    Button(SDL_BUTTON_LEFT, false, 1);
    Button(SDL_BUTTON_LEFT, true, 2);
    Button(SDL_BUTTON_LEFT, false, 2);
    Button(SDL_BUTTON_RIGHT, true, 3);
    Pump();
    EXPECT_EQ(
        (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_RBUTTONDOWN}),
        Ids({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK}));
    EXPECT_EQ(MAKELPARAM(5, 6), Only({WM_LBUTTONDBLCLK})[0].lParam);
    EXPECT_EQ(static_cast<WPARAM>(MK_RBUTTON), Only({WM_RBUTTONDOWN})[0].wParam);

    WNDCLASSA plain = {};
    plain.lpfnWndProc = RecordingProc;
    plain.lpszClassName = "PlainClass";
    RegisterClassA(&plain);
    DestroyWindow(window);
    window = CreateWindowExA(0, "PlainClass", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                             nullptr, nullptr);
    s_recorded.clear();
    Button(SDL_BUTTON_LEFT, true, 1);
    Button(SDL_BUTTON_LEFT, false, 1);
    Button(SDL_BUTTON_LEFT, true, 2);
    Pump();
    EXPECT_EQ((std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN}),
              Ids({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}));
    DestroyWindow(window);
    UnregisterClassA("PlainClass", nullptr);
}

TEST_F(SdlEvents, MouseMessagesGoToTheChildUnderTheCursor) {
    window = Create(WS_POPUP | WS_VISIBLE, 200, 100);
    HWND child = Create(WS_CHILD | WS_VISIBLE | WS_BORDER, 52, 42, window); // at (10, 20), client 50 x 40
    Motion(12, 23);
    Motion(100, 90);
    Pump();
    std::vector<Recorded> moves = Only({WM_MOUSEMOVE});
    ASSERT_EQ(2u, moves.size());
    EXPECT_EQ(child, moves[0].window);
    EXPECT_EQ(MAKELPARAM(1, 2), moves[0].lParam);
    EXPECT_EQ(window, moves[1].window);
}

TEST_F(SdlEvents, FocusAndSizeBecomeActivationAndSizeMessages) {
    window = Create(WS_POPUP | WS_CAPTION | WS_THICKFRAME, 206, 125);
    WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(window, GetForegroundWindow());
    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 300, 200);
    WindowEvent(SDL_WINDOWEVENT_MOVED, 50, 60);
    Pump();
    std::vector<Recorded> activations = Only({WM_ACTIVATEAPP});
    ASSERT_EQ(2u, activations.size());
    EXPECT_EQ(static_cast<WPARAM>(TRUE), activations[0].wParam);
    EXPECT_EQ(static_cast<WPARAM>(FALSE), activations[1].wParam);
    EXPECT_EQ(MAKELPARAM(300, 200), Only({WM_SIZE}).back().lParam);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(46, rect.left);
    EXPECT_EQ(37, rect.top);
    EXPECT_EQ(46 + 308, rect.right);
    EXPECT_EQ(37 + 227, rect.bottom);
}

// Resized from outside, a window without a sizing border keeps its client size (the backend
// stretches its frames and scales the mouse to the size it got).
TEST_F(SdlEvents, FixedSizeWindowKeepsItsClientSize) {
    window = Create(WS_POPUP | WS_CAPTION, 206, 125);
    SIZE before = tqplat::WindowRegistry::Instance().ClientSize(window);
    size_t sizeMessages = Only({WM_SIZE}).size();
    WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1000, 700);
    Pump();
    EXPECT_EQ(sizeMessages, Only({WM_SIZE}).size());
    SIZE after = tqplat::WindowRegistry::Instance().ClientSize(window);
    EXPECT_EQ(before.cx, after.cx);
    EXPECT_EQ(before.cy, after.cy);
}

} // namespace
