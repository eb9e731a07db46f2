#include "windowtestfixture.h"

#include <thread>
#include <vector>

namespace {

using Messages = WindowTest;

TEST_F(Messages, CreationSendsCreateThenSizeAndDestructionReachesChildren) {
    window = Create(WS_POPUP | WS_CAPTION | WS_SYSMENU, 806, 625);
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(2u, s_recorded.size());
    EXPECT_EQ(static_cast<UINT>(WM_CREATE), s_recorded[0].message);
    const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(s_recorded[0].lParam);
    EXPECT_EQ(10, create->x);
    EXPECT_EQ(806, create->cx);
    EXPECT_EQ(static_cast<UINT>(WM_SIZE), s_recorded[1].message);
    EXPECT_EQ(static_cast<WPARAM>(SIZE_RESTORED), s_recorded[1].wParam);
    EXPECT_EQ(MAKELPARAM(800, 600), s_recorded[1].lParam);
    EXPECT_FALSE(IsWindowVisible(window));

    HWND child = Create(WS_CHILD | WS_VISIBLE, 50, 40, window);
    ASSERT_NE(nullptr, child);
    s_recorded.clear();
    EXPECT_TRUE(DestroyWindow(window));
    ASSERT_EQ(2u, s_recorded.size());
    EXPECT_EQ(window, s_recorded[0].window);
    EXPECT_EQ(static_cast<UINT>(WM_DESTROY), s_recorded[0].message);
    EXPECT_EQ(child, s_recorded[1].window);
    EXPECT_EQ(static_cast<UINT>(WM_DESTROY), s_recorded[1].message);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    EXPECT_EQ(0, SendMessageA(window, WM_USER, 0, 0));
    EXPECT_EQ(nullptr, Create(WS_CHILD, 10, 10, nullptr));
}

TEST_F(Messages, ACreateHandlerCanRefuseTheWindow) {
    s_override = [](HWND, UINT message, WPARAM, LPARAM, bool* handled) -> LRESULT {
        *handled = message == WM_CREATE;
        return -1;
    };
    EXPECT_EQ(nullptr, Create(WS_POPUP));
    EXPECT_EQ((std::vector<UINT>{WM_CREATE, WM_DESTROY}), Ids({WM_CREATE, WM_SIZE, WM_DESTROY}));
}

TEST_F(Messages, QuitComesOnlyWhenTheQueueIsEmpty) {
    window = Create(WS_POPUP);
    PostQuitMessage(3);
    PostMessageA(window, WM_USER, 1, 0);
    PostMessageA(window, WM_USER + 1, 2, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_USER), msg.message);
    EXPECT_EQ(TRUE, GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(static_cast<UINT>(WM_USER), msg.message);
    EXPECT_EQ(TRUE, GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(static_cast<UINT>(WM_USER + 1), msg.message);
    EXPECT_EQ(FALSE, GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), msg.message);
    EXPECT_EQ(3u, msg.wParam);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, AThreadStartsWithAnEmptyQueueWhateverAnEndedThreadLeft) {
    std::thread([] {
        PostQuitMessage(1);
        PostMessageA(nullptr, WM_USER, 0, 0);
    }).join();
    // The system may give the next thread the ended one's id.
    bool pending = true;
    std::thread([&pending] {
        MSG msg;
        pending = PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
    }).join();
    EXPECT_FALSE(pending);
}

TEST_F(Messages, FiltersLeaveOtherMessagesWaiting) {
    window = Create(WS_POPUP);
    PostMessageA(window, WM_USER + 5, 0, 0);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), msg.message);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_USER + 5), msg.message);
}

TEST_F(Messages, AProcedureMayPumpWhileItRuns) {
    window = Create(WS_POPUP);
    s_override = [](HWND, UINT message, WPARAM, LPARAM, bool* handled) -> LRESULT {
        if (message == WM_USER) {
            MSG inner;
            while (PeekMessageA(&inner, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&inner);
        }
        *handled = true;
        return 0;
    };
    for (UINT i = 0; i < 4; ++i)
        PostMessageA(window, WM_USER + i, i, 0);
    s_recorded.clear();
    Pump();
    EXPECT_EQ((std::vector<UINT>{WM_USER, WM_USER + 1, WM_USER + 2, WM_USER + 3}),
              Ids({WM_USER, WM_USER + 1, WM_USER + 2, WM_USER + 3}));
}

TEST_F(Messages, SubclassingChainsThroughCallWindowProc) {
    window = Create(WS_POPUP);
    static WNDPROC s_saved = nullptr;
    static int s_hooked = 0;
    WNDPROC hook = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        ++s_hooked;
        return CallWindowProcA(s_saved, w, m, wp, lp);
    };
    s_saved =
        reinterpret_cast<WNDPROC>(SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(hook)));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(RecordingProc), s_saved);
    s_recorded.clear();
    SendMessageA(window, WM_USER, 0, 0);
    EXPECT_EQ(1, s_hooked);
    EXPECT_EQ(1u, s_recorded.size());
    SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(s_saved));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(RecordingProc), GetWindowLongA(window, GWL_WNDPROC));
}

TEST_F(Messages, CloseCommandClosesUnlessTheProcedureKeepsTheWindow) {
    window = Create(WS_POPUP | WS_CAPTION | WS_VISIBLE);
    s_override = [](HWND, UINT message, WPARAM, LPARAM, bool* handled) -> LRESULT {
        *handled = message == WM_CLOSE;
        return 0;
    };
    WindowEvent(SDL_WINDOWEVENT_CLOSE);
    Pump();
    EXPECT_TRUE(IsWindow(window));
    s_override = nullptr;
    s_recorded.clear();
    WindowEvent(SDL_WINDOWEVENT_CLOSE);
    Pump();
    EXPECT_FALSE(IsWindow(window));
    ASSERT_EQ((std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
              Ids({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
    EXPECT_EQ(static_cast<WPARAM>(SC_CLOSE), Only({WM_SYSCOMMAND})[0].wParam);
}

TEST_F(Messages, AltF4RunsTheWholeCloseChain) {
    window = Create(WS_POPUP | WS_CAPTION | WS_VISIBLE);
    Key(SDL_SCANCODE_LALT, true);
    Key(SDL_SCANCODE_F4, true);
    Pump();
    std::vector<Recorded> keys = Only({WM_SYSKEYDOWN});
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ(static_cast<WPARAM>(VK_MENU), keys[0].wParam);
    EXPECT_EQ(static_cast<WPARAM>(VK_F4), keys[1].wParam);
    EXPECT_NE(0, keys[1].lParam & (1 << 29));
    EXPECT_EQ((std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
              Ids({WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Messages, F4WithoutAltDoesNotClose) {
    window = Create(WS_POPUP | WS_VISIBLE);
    Key(SDL_SCANCODE_F4, true);
    Key(SDL_SCANCODE_F4, false);
    Pump();
    EXPECT_EQ((std::vector<UINT>{WM_KEYDOWN, WM_KEYUP}),
              Ids({WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_CLOSE}));
    EXPECT_TRUE(IsWindow(window));
}

} // namespace
