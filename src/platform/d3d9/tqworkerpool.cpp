#include "platform/d3d9/tqworkerpool.h"

#include <system_error>

namespace tqd3d9 {

WorkerPool::WorkerPool(int workers) {
    m_threads.reserve(workers);
    try {
        for (int i = 0; i < workers; ++i)
            m_threads.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // The system has no more threads to give: the ones started do the work.
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void WorkerPool::Run(int count, const std::function<void(int)>& task) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_task = &task;
        m_count = count;
        m_next.store(0, std::memory_order_relaxed);
        m_busy = static_cast<int>(m_threads.size());
        ++m_generation;
    }
    m_wake.notify_all();
    TakeTasks();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [this] { return m_busy == 0; });
    m_task = nullptr;
}

void WorkerPool::TakeTasks() {
    for (int i = m_next.fetch_add(1, std::memory_order_relaxed); i < m_count;
         i = m_next.fetch_add(1, std::memory_order_relaxed))
        (*m_task)(i);
}

void WorkerPool::Work() {
    uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stopping || m_generation != seen; });
        if (m_stopping)
            return;
        seen = m_generation;
        lock.unlock();
        TakeTasks();
        lock.lock();
        if (--m_busy == 0)
            m_done.notify_one();
    }
}

} // namespace tqd3d9
