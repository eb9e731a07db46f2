// Threads that run numbered tasks. Idle workers sleep on a condition variable. A job is started
// and later waited for, the calling thread taking its share of the tasks while it waits; one job
// runs at a time. Waiting needs every task done, not every worker awake.
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
    // Starts `workers` threads (fewer when the system gives no more).
    explicit WorkerPool(int workers);
    // Waits for the job under way, then stops and joins every thread.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Has the workers run task(0) .. task(count - 1), each once, after the job before has ended.
    void Start(int count, std::function<void(int)> task);
    // Runs the tasks not yet taken on the calling thread and returns once the job has ended and no
    // worker touches it any more.
    void Wait();
    void Run(int count, std::function<void(int)> task) {
        Start(count, std::move(task));
        Wait();
    }

private:
    void Work();
    void TakeTasks();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::vector<std::thread> m_threads;
    // The job: set under m_mutex while no worker is active; tasks are claimed through m_next.
    std::function<void(int)> m_task;
    int m_count = 0;
    std::atomic<int> m_next{0};
    uint64_t m_generation = 0;
    // Workers that took up the current job and may still run its tasks. A worker that wakes late
    // takes up whichever job is current then.
    int m_active = 0;
    bool m_stopping = false;
};

} // namespace tqd3d9
