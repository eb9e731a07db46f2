#include "platform/d3d9/tqworkerpool.h"

#include <system_error>

namespace tqd3d9 {

WorkerPool::WorkerPool(int workers, const std::function<void(int)>& loop) {
    try {
        for (int i = 0; i < workers; ++i)
            m_threads.emplace_back(loop, i);
    } catch (const std::system_error&) {
        // The system has no more threads to give: the ones started do the work.
    }
}

WorkerPool::~WorkerPool() {
    for (std::thread& thread : m_threads)
        thread.join();
}

} // namespace tqd3d9
