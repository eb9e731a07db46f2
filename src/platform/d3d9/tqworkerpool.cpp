#include "platform/d3d9/tqworkerpool.h"

#include <system_error>

namespace tqd3d9 {

WorkerPool::WorkerPool(int workers) {
    try {
        for (int i = 0; i < workers; ++i)
            m_threads.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // The system has no more threads to give: the ones started do the work.
    }
}

WorkerPool::~WorkerPool() {
    Wait();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void WorkerPool::Start(int count, std::function<void(int)> task) {
    TakeTasks();
    {
        // Set under the same lock that sees no worker on the job before, so none reads a job
        // while it changes.
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [this] { return m_active == 0; });
        m_task = std::move(task);
        m_count = count;
        m_next.store(0, std::memory_order_relaxed);
        ++m_generation;
    }
    m_wake.notify_all();
}

void WorkerPool::Wait() {
    TakeTasks();
    // Every task is taken; those still running belong to active workers.
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [this] { return m_active == 0; });
}

void WorkerPool::TakeTasks() {
    // The counter passes the count by at most one per thread, however often this is called.
    while (m_next.load(std::memory_order_relaxed) < m_count) {
        int task = m_next.fetch_add(1, std::memory_order_relaxed);
        if (task < m_count)
            m_task(task);
    }
}

void WorkerPool::Work() {
    uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stopping || m_generation != seen; });
        if (m_stopping)
            return;
        seen = m_generation;
        ++m_active;
        lock.unlock();
        TakeTasks();
        lock.lock();
        if (--m_active == 0)
            m_done.notify_one();
    }
}

} // namespace tqd3d9
