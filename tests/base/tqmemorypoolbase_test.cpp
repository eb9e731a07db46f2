#include "base/tqmemorypoolbase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "base/tqlog.h"

namespace {

class TestPool : public TQMemoryPoolBase {
public:
    TestPool(DWORD blocks, DWORD size) { SetChunkSize(blocks, size); }
    using TQMemoryPoolBase::SetChunkSize;
};

bool IsAligned(const void* p) {
    return reinterpret_cast<uintptr_t>(p) % alignof(std::max_align_t) == 0;
}

} // namespace

TEST(TQMemoryPoolBase, BlocksAreDistinctAlignedAndReused) {
    TestPool pool(4, 20);
    EXPECT_GE(pool.GetBlockSize(), 20u);
    std::vector<void*> blocks;
    std::set<uintptr_t> addresses;
    for (int i = 0; i < 10; ++i) { // spans three chunks
        void* p = pool.AllocateMemory(20);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(IsAligned(p));
        EXPECT_TRUE(pool.Owns(p));
        blocks.push_back(p);
        addresses.insert(reinterpret_cast<uintptr_t>(p));
    }
    EXPECT_EQ(addresses.size(), 10u);
    for (uintptr_t a : addresses) // no two blocks overlap
        EXPECT_TRUE(addresses.lower_bound(a + 1) == addresses.end() ||
                    *addresses.lower_bound(a + 1) >= a + 20);
    EXPECT_EQ(pool.GetLiveCount(), 10u);
    pool.FreeMemory(blocks[3]);
    EXPECT_EQ(pool.GetLiveCount(), 9u);
    EXPECT_EQ(pool.AllocateMemory(8), blocks[3]);
    for (void* p : blocks)
        pool.FreeMemory(p);
    EXPECT_EQ(pool.GetLiveCount(), 0u);
}

TEST(TQMemoryPoolBase, BigRequestsComeFromTheHeap) {
    TestPool pool(8192, 24);
    void* big = pool.AllocateMemory(1000);
    ASSERT_NE(big, nullptr);
    EXPECT_FALSE(pool.Owns(big));
    EXPECT_TRUE(IsAligned(big));
    std::memset(big, 0xAB, 1000);
    EXPECT_EQ(pool.GetLiveCount(), 1u);
    pool.FreeMemory(big);
    EXPECT_EQ(pool.GetLiveCount(), 0u);
    EXPECT_EQ(pool.AllocateMemory(SIZE_MAX), nullptr);
    EXPECT_EQ(pool.GetLiveCount(), 0u);
}

TEST(TQMemoryPoolBase, BadFreesAreRefusedAndLogged) {
    TestPool pool(16, 32);
    TQLogCapture capture(g_tqLogError);
    pool.FreeMemory(nullptr);
    EXPECT_TRUE(capture.Lines().empty());
    char* p = static_cast<char*>(pool.AllocateMemory(32));
    void* q = pool.AllocateMemory(32);
    pool.FreeMemory(p);
    pool.FreeMemory(p);     // twice
    pool.FreeMemory(p + 4); // inside a block
    int local = 0;
    pool.FreeMemory(&local); // foreign
    EXPECT_EQ(capture.Lines().size(), 3u);
    EXPECT_EQ(pool.GetLiveCount(), 1u);
    // The free list was not corrupted: the two next blocks are distinct.
    void* a = pool.AllocateMemory(32);
    void* b = pool.AllocateMemory(32);
    EXPECT_EQ(a, p);
    EXPECT_NE(b, a);
    EXPECT_NE(b, q);
    pool.SetChunkSize(4, 64); // after use: ignored
    EXPECT_EQ(pool.GetBlockSize(), 32u);
}

TEST(TQMemoryPoolBase, SeveralThreadsShareOnePool) {
    TestPool pool(64, 16);
    auto worker = [&pool] {
        std::vector<void*> mine;
        for (int round = 0; round < 50; ++round) {
            for (int i = 0; i < 40; ++i)
                mine.push_back(pool.AllocateMemory(16));
            for (void* p : mine)
                pool.FreeMemory(p);
            mine.clear();
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back(worker);
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(pool.GetLiveCount(), 0u);
}
