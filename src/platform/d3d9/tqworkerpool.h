// Threads that run numbered tasks together with the calling thread. Idle workers sleep on a
// condition variable; Run returns once every task has run and no worker touches the job any more.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tqd3d9 {

class WorkerPool {
public:
    // Starts `workers` threads (the calling thread of Run is one more).
    explicit WorkerPool(int workers);
    // Stops and joins every thread.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Runs task(0) .. task(count - 1), each once, spread over the workers and the calling thread.
    void Run(int count, const std::function<void(int)>& task);

private:
    void Work();
    void TakeTasks();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::vector<std::thread> m_threads;
    // The job: guarded by m_mutex, except that tasks are claimed through m_next.
    const std::function<void(int)>* m_task = nullptr;
    int m_count = 0;
    std::atomic<int> m_next{0};
    uint64_t m_generation = 0;
    int m_busy = 0;
    bool m_stopping = false;
};

} // namespace tqd3d9
