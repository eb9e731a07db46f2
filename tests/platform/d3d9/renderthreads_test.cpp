// The renderer's threads: as many as the affinity mask allows, named for the renderer.
#include "platform/d3d9/tqd3d9hooks.h"
#include "platform/d3d9/tqworkerpool.h"
#include "platform/system/tqcpubudget.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <set>
#include <string>
#include <thread>

namespace {

TEST(CpuBudget, ThreadsFollowTheAffinityMask) {
    const char* given = std::getenv("TQ_RENDER_THREADS");
    const std::string kept = given ? given : "";
    unsetenv("TQ_RENDER_THREADS");
    int counted = 0, threads = 0;
    std::thread pinned([&] {
        cpu_set_t mask;
        CPU_ZERO(&mask);
        ASSERT_EQ(0, sched_getaffinity(0, sizeof mask, &mask));
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &mask)) {
                CPU_SET(cpu, &one);
                break;
            }
        ASSERT_EQ(0, sched_setaffinity(0, sizeof one, &one));
        counted = tqplat::AffinityCpuCount();
        threads = tqplat::D3D9RenderThreads();
    });
    pinned.join();
    if (given)
        setenv("TQ_RENDER_THREADS", kept.c_str(), 1);
    EXPECT_EQ(1, counted);
    EXPECT_EQ(1, threads);
    EXPECT_GE(tqplat::UsableCpuCount(), 1);
    EXPECT_LE(tqplat::UsableCpuCount(), tqplat::AffinityCpuCount());
}

TEST(WorkerPool, WorkersAreNamedForTheRenderer) {
    std::mutex mutex;
    std::set<std::string> names;
    {
        tqd3d9::WorkerPool pool(3, [&](int) {
            char name[16] = {};
            pthread_getname_np(pthread_self(), name, sizeof name);
            std::lock_guard<std::mutex> lock(mutex);
            names.insert(name);
        });
    }
    EXPECT_EQ((std::set<std::string>{"tq-render-1", "tq-render-2", "tq-render-3"}), names);
}

} // namespace
