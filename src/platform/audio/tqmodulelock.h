// The lock of the module's state. A call that finds it taken spins for a while before it sleeps:
// the mixing thread holds it only to copy controls, for microseconds, and waking a sleeping
// thread can take longer than that.
#pragma once

#include <mutex>

namespace tqaudio {

class ModuleLock {
public:
    void lock();
    void unlock() { mutex_.unlock(); }
    bool try_lock() { return mutex_.try_lock(); }

private:
    std::mutex mutex_;
};

} // namespace tqaudio
