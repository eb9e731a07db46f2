#include "platform/win32/tqmessagequeue.h"

#include <map>

namespace tqplat {

bool PassesFilter(UINT message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0)
        return true;
    return message >= filterMin && message <= filterMax;
}

namespace {

// The queues of the threads, never destroyed: threads may still post while the program exits.
struct QueueTable {
    std::mutex mutex;
    std::map<std::thread::id, std::shared_ptr<MessageQueue>> queues;
};

QueueTable& Queues() {
    static QueueTable* table = new QueueTable;
    return *table;
}

// The calling thread's queue, dropped from the table when the thread ends: a later thread that is
// given the same id starts with an empty queue instead of the messages left behind.
struct ThreadQueue {
    std::shared_ptr<MessageQueue> queue = MessageQueue::ForThread(std::this_thread::get_id());
    ~ThreadQueue() {
        std::lock_guard<std::mutex> lock(Queues().mutex);
        Queues().queues.erase(std::this_thread::get_id());
    }
};

} // namespace

std::shared_ptr<MessageQueue> MessageQueue::ForThread(std::thread::id thread) {
    QueueTable& table = Queues();
    std::lock_guard<std::mutex> lock(table.mutex);
    std::shared_ptr<MessageQueue>& queue = table.queues[thread];
    if (!queue)
        queue = std::make_shared<MessageQueue>();
    return queue;
}

MessageQueue& MessageQueue::Current() {
    thread_local ThreadQueue current;
    return *current.queue;
}

void MessageQueue::Post(const QueuedMessage& message, bool atFront) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (atFront)
            m_messages.push_front(message);
        else
            m_messages.push_back(message);
    }
    m_posted.notify_all();
}

bool MessageQueue::Take(HWND window, UINT filterMin, UINT filterMax, bool remove, QueuedMessage* message) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_messages.begin(); it != m_messages.end(); ++it) {
        if ((window == nullptr || it->msg.hwnd == window) &&
            PassesFilter(it->msg.message, filterMin, filterMax)) {
            *message = *it;
            if (remove)
                m_messages.erase(it);
            return true;
        }
    }
    return false;
}

void MessageQueue::PostQuit(int exitCode) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
        m_exitCode = exitCode;
    }
    m_posted.notify_all();
}

bool MessageQueue::TakeQuit(UINT filterMin, UINT filterMax, bool remove, int* exitCode) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_quit || !PassesFilter(WM_QUIT, filterMin, filterMax))
        return false;
    *exitCode = m_exitCode;
    if (remove)
        m_quit = false;
    return true;
}

void MessageQueue::Wait(int milliseconds) {
    WaitUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds));
}

bool MessageQueue::Pending() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_messages.empty() || m_quit;
}

bool MessageQueue::WaitUntil(std::chrono::steady_clock::time_point until) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_posted.wait_until(lock, until, [this] { return !m_messages.empty() || m_quit; });
}

} // namespace tqplat
