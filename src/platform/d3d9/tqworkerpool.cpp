#include "platform/d3d9/tqworkerpool.h"

#include "platform/system/tqthreadname.h"
#include "platform/win32/tqplatformlog.h"

#include <string>
#include <system_error>

namespace tqd3d9 {

namespace {

// Names the calling thread "tq-render-N", N counting from 1 (the owner's thread draws too), so
// that the threads can be told apart in top -H, ps and debuggers.
void NameRenderThread(int worker) {
    tqplat::NameCurrentThread(("tq-render-" + std::to_string(worker + 1)).c_str());
}

} // namespace

WorkerPool::WorkerPool(int workers, const std::function<void(int)>& loop) {
    try {
        for (int i = 0; i < workers; ++i)
            m_threads.emplace_back([loop, i] {
                NameRenderThread(i);
                loop(i);
            });
    } catch (const std::system_error& error) {
        // The system has no more threads to give: the ones started do the work.
        tqplat::PlatformLog("render threads: %zu of %d started (%s)", m_threads.size(), workers,
                            error.what());
    }
}

WorkerPool::~WorkerPool() {
    for (std::thread& thread : m_threads)
        thread.join();
}

} // namespace tqd3d9
