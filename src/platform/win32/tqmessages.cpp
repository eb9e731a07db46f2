// The message pump: posting, retrieving, translating, sending and default handling.
#include "platform/win32/tqcursorstate.h"
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqkeyboardstate.h"
#include "platform/win32/tqmessagequeue.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/tqwindowregistry.h"
#include "platform/win32/tqwinmm.h"
#include "platform/win32/video/tqvideodriver.h"

using tqplat::MessageQueue;
using tqplat::QueuedMessage;
using tqplat::Window;
using tqplat::WindowRegistry;

namespace {

const DWORD kErrorInvalidWindowHandle = 1400;

// How long GetMessageA waits for a post before it looks at the backend's events again.
const int kWaitSliceMs = 10;

// The last message this thread retrieved, so TranslateMessage knows where a key message came from.
thread_local QueuedMessage t_lastRetrieved;

// Whether the characters of this key message arrive as text messages of their own.
bool TextFollows(const MSG& msg) {
    const MSG& last = t_lastRetrieved.msg;
    return t_lastRetrieved.change.textFollows && last.hwnd == msg.hwnd && last.message == msg.message &&
           last.wParam == msg.wParam && last.lParam == msg.lParam && last.time == msg.time;
}

bool IsControlCharacter(WORD character) {
    return character < 0x20 || character == 0x7F;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MSG{window, message, wParam, lParam, timeGetTime(), tqplat::CursorState::Instance().Position()};
}

bool Retrieve(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    tqplat::ActiveVideoDriver().pumpEvents();
    MessageQueue& queue = MessageQueue::Current();
    QueuedMessage queued;
    if (queue.Take(window, filterMin, filterMax, remove, &queued)) {
        if (remove && queued.change.key != 0)
            tqplat::KeyboardState::Instance().ChangeRetrieved(queued.change.key, queued.change.down);
        if (remove)
            t_lastRetrieved = queued;
        *msg = queued.msg;
        return true;
    }
    int exitCode = 0;
    if (queue.TakeQuit(filterMin, filterMax, remove, &exitCode)) {
        *msg = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
        return true;
    }
    return false;
}

LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window record;
    if (!WindowRegistry::Instance().Snapshot(window, &record) || record.proc == nullptr)
        return 0;
    return record.proc(window, message, wParam, lParam);
}

bool AltDown(LPARAM lParam) {
    return (lParam & (1 << 29)) != 0;
}

} // namespace

namespace tqplat {

bool PostWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const KeyChange& change) {
    Window record;
    if (window != nullptr && !WindowRegistry::Instance().Snapshot(window, &record))
        return false;
    std::thread::id thread = window == nullptr ? std::this_thread::get_id() : record.thread;
    QueuedMessage queued;
    queued.msg = MakeMessage(window, message, wParam, lParam);
    queued.change = change;
    MessageQueue::ForThread(thread)->Post(queued);
    return true;
}

} // namespace tqplat

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    if (msg == nullptr)
        return FALSE;
    return Retrieve(msg, window, filterMin, filterMax, (removeMessage & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr || (window != nullptr && !IsWindow(window))) {
        SetLastError(kErrorInvalidWindowHandle);
        return -1;
    }
    while (!Retrieve(msg, window, filterMin, filterMax, true))
        MessageQueue::Current().Wait(kWaitSliceMs);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    BYTE keys[256];
    GetKeyboardState(keys);
    WORD character = 0;
    UINT scanCode = static_cast<UINT>((msg->lParam >> 16) & 0xFF);
    bool translated = ToAscii(static_cast<UINT>(msg->wParam), scanCode, keys, &character, 0) == 1;
    if (translated && (IsControlCharacter(character) || !TextFollows(*msg))) {
        QueuedMessage queued;
        queued.msg = *msg;
        queued.msg.message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
        queued.msg.wParam = character & 0xFF;
        MessageQueue::Current().Post(queued, true);
    }
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    return CallProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window)) {
        SetLastError(kErrorInvalidWindowHandle);
        return 0;
    }
    return CallProcedure(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tqplat::PostWindowMessage(window, message, wParam, lParam)) {
        SetLastError(kErrorInvalidWindowHandle);
        return FALSE;
    }
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    MessageQueue::Current().PostQuit(exitCode);
}

LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc == nullptr ? 0 : proc(window, message, wParam, lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && AltDown(lParam))
            SendMessageA(WindowRegistry::Instance().TopLevelOf(window), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SETCURSOR: {
        Window record;
        if (LOWORD(lParam) != HTCLIENT || !WindowRegistry::Instance().Snapshot(window, &record))
            return FALSE;
        SetCursor(record.windowClass->cursor);
        return TRUE;
    }
    default:
        return 0;
    }
}
