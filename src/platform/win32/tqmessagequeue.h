// The message queue of one thread. Posted messages wait here until the thread retrieves them; a key
// or button message may carry the change of key state it stands for, applied to the state that
// GetKeyState reads when the message is retrieved.
#pragma once

#include "platform/win32/tquser32.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace tqplat {

// What a key or button message changes: the key's state, and for a key press whether the
// characters it types come as text of their own (so TranslateMessage adds only control characters).
struct KeyChange {
    BYTE key = 0; // virtual key (0: none)
    bool down = false;
    bool textFollows = false;
};

struct QueuedMessage {
    MSG msg = {};
    KeyChange change;
};

class MessageQueue {
public:
    // The queue of a thread, created on first use and dropped when the thread ends.
    static std::shared_ptr<MessageQueue> ForThread(std::thread::id thread);
    static MessageQueue& Current();

    // Adds a message at the end (or at the front, as TranslateMessage does with characters).
    void Post(const QueuedMessage& message, bool atFront = false);
    // The first message for `window` (NULL: any) within [filterMin, filterMax] (0, 0: all).
    bool Take(HWND window, UINT filterMin, UINT filterMax, bool remove, QueuedMessage* message);
    void PostQuit(int exitCode);
    // The pending quit request, when WM_QUIT passes the filter; removed when `remove`.
    bool TakeQuit(UINT filterMin, UINT filterMax, bool remove, int* exitCode);
    // Waits until a message is posted or the timeout passes.
    void Wait(int milliseconds);
    // Whether a message or quit request is pending.
    bool Pending();
    // Waits until a message or quit request is pending or the moment passes; true when one is.
    bool WaitUntil(std::chrono::steady_clock::time_point until);

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<QueuedMessage> m_messages;
    bool m_quit = false;
    int m_exitCode = 0;
};

// Whether `message` lies in the filter range (0, 0 passes everything).
bool PassesFilter(UINT message, UINT filterMin, UINT filterMax);

} // namespace tqplat

namespace tqplat {

// Posts to the queue of the window's thread (NULL: the calling thread's, with no window), with the
// key-state change the message stands for. False when the window does not exist.
bool PostWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       const KeyChange& change = KeyChange());

} // namespace tqplat
