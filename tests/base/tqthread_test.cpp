#include "base/tqlockfast.h"
#include "base/tqlockt.h"
#include "base/tqrandom.h"
#include "base/tqthread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace {

// Counts its calls; ends by itself after a given number of calls when asked.
class CountingThread : public TQThread {
public:
    explicit CountingThread(int result, int endAfter = -1) : m_result(result), m_endAfter(endAfter) {}
    ~CountingThread() override { ThreadStop(); }
    int Calls() const { return m_calls.load(); }

protected:
    int ThreadProc() override {
        int calls = ++m_calls;
        return calls == m_endAfter ? TQTHREAD_END : m_result;
    }

private:
    int m_result;
    int m_endAfter;
    std::atomic<int> m_calls{0};
};

// False when `done` is still false after ten seconds, so a thread that never gets there fails the
// test instead of hanging it.
[[nodiscard]] bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace

TEST(TQThread, RunsBodyUntilStopped) {
    CountingThread thread(TQTHREAD_IDLE);
    EXPECT_FALSE(thread.IsRunning());
    ASSERT_TRUE(thread.ThreadRun(nullptr, 0, 1));
    EXPECT_FALSE(thread.ThreadRun(nullptr, 0, 1)); // already running
    ASSERT_TRUE(WaitUntil([&] { return thread.Calls() >= 3; }));
    thread.ThreadStop();
    EXPECT_FALSE(thread.IsRunning());
    int calls = thread.Calls();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(thread.Calls(), calls);
    thread.ThreadStop(); // twice is harmless

    // It can be started again.
    ASSERT_TRUE(thread.ThreadRun("again", 1, 1));
    ASSERT_TRUE(WaitUntil([&] { return thread.Calls() > calls; }));
}

TEST(TQThread, StopCutsALongPauseShort) {
    CountingThread thread(TQTHREAD_IDLE);
    ASSERT_TRUE(thread.ThreadRun("tqlong", 60000, 1));
    ASSERT_TRUE(WaitUntil([&] { return thread.Calls() >= 1; }));
    auto before = std::chrono::steady_clock::now();
    thread.ThreadStop();
    // Far less than the minute's pause: the stop woke the thread.
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(30));
    EXPECT_EQ(thread.Calls(), 1);
}

TEST(TQThread, BodyEndsItselfOrRunsOnce) {
    CountingThread ending(TQTHREAD_CONTINUE, 5);
    ASSERT_TRUE(ending.ThreadRun(nullptr, 0, 1));
    ASSERT_TRUE(WaitUntil([&] { return !ending.IsRunning(); }));
    EXPECT_EQ(ending.Calls(), 5);

    CountingThread once(TQTHREAD_CONTINUE);
    ASSERT_TRUE(once.ThreadRun(nullptr, 0, 0));
    ASSERT_TRUE(WaitUntil([&] { return !once.IsRunning(); }));
    EXPECT_EQ(once.Calls(), 1);
    ASSERT_TRUE(once.ThreadRun(nullptr, 0, 0)); // restart after ending by itself
    ASSERT_TRUE(WaitUntil([&] { return once.Calls() == 2 && !once.IsRunning(); }));
}

TEST(TQThread, DestructorStopsRunningThread) {
    auto thread = std::make_unique<CountingThread>(TQTHREAD_CONTINUE);
    ASSERT_TRUE(thread->ThreadRun(nullptr, 0, 1));
    ASSERT_TRUE(WaitUntil([&] { return thread->Calls() > 0; }));
    thread.reset();
}

TEST(TQLockFast, ExcludesUnderContention) {
    TQLockFast lock(10);
    long long counter = 0; // deliberately not atomic
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                TQLockT<TQLockFast> hold(lock);
                counter = counter + 1;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(counter, 6 * 20000);

    EXPECT_TRUE(lock.TryLock());
    EXPECT_FALSE(lock.TryLock());
    lock.UnLock();
    lock.SetSpinCount(0);
    EXPECT_EQ(lock.GetSpinCount(), 0u);
    {
        TQLockT<> hold(lock); // through the base interface, spin count 0
        EXPECT_FALSE(lock.TryLock());
    }
    EXPECT_TRUE(lock.TryLock());
    lock.UnLock();
}

TEST(TQRandom, SeededSequencesRepeatAndSpread) {
    TQRandom a(1234), b(1234), c(99);
    std::set<DWORD> seen;
    bool differs = false;
    unsigned highBits = 0;
    for (int i = 0; i < 1000; ++i) {
        DWORD x = a.GetRandom();
        EXPECT_EQ(x, b.GetRandom());
        differs = differs || x != c.GetRandom();
        seen.insert(x);
        highBits += x >> 31;
    }
    EXPECT_TRUE(differs);
    EXPECT_GT(seen.size(), 990u);
    EXPECT_GT(highBits, 400u); // the top bit is used
    EXPECT_LT(highBits, 600u);
    a.SetSeed(99);
    TQRandom d(99);
    EXPECT_EQ(a.GetRandom(), d.GetRandom());
}
