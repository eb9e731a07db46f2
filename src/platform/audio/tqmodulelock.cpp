#include "platform/audio/tqmodulelock.h"

#include <chrono>
#include <thread>

namespace tqaudio {

namespace {

// Longer than the mix ever holds the lock.
constexpr std::chrono::microseconds kSpinTime(200);
constexpr int kTriesBetweenClockReads = 64;

} // namespace

void ModuleLock::lock() {
    const auto until = std::chrono::steady_clock::now() + kSpinTime;
    do {
        for (int i = 0; i < kTriesBetweenClockReads; ++i) {
            if (mutex_.try_lock()) {
                return;
            }
#if defined(__x86_64__)
            __builtin_ia32_pause();
#endif
        }
    } while (std::chrono::steady_clock::now() < until);
    mutex_.lock();
}

} // namespace tqaudio
