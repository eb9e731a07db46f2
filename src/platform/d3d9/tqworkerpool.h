// Threads that each run one loop until it returns. The loop takes its work from the owner of the
// pool and sleeps on the owner's condition when there is none; the owner tells it when to return.
// Worker i is named "tq-render-<i + 1>".
#pragma once

#include <functional>
#include <thread>
#include <vector>

namespace tqd3d9 {

class WorkerPool {
public:
    // Starts `workers` threads (fewer when the system gives no more), each running loop(worker).
    WorkerPool(int workers, const std::function<void(int)>& loop);
    // Joins every thread: their loops must have been told to return.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

private:
    std::vector<std::thread> m_threads;
};

} // namespace tqd3d9
