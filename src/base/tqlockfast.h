/// @class TQLockFast
/// Spin lock for short critical sections: a waiting thread tries the spin count's number of times,
/// then yields between further tries.
#pragma once

#include <atomic>

#include "base/tqlockbase.h"

class TQLockFast : public TQLockBase {
public:
    /// Spin count of a lock made without one.
    static constexpr DWORD kDefaultSpinCount = 1000;

    /// spinCount: tries before a waiting thread starts to yield.
    explicit TQLockFast(DWORD spinCount = kDefaultSpinCount) : TQLockBase(spinCount) {}

    /// Spins, then yields, until the lock is free; takes it.
    void Lock() override;
    /// Releases the lock.
    void UnLock() override;
    /// Takes the lock when it is free; true when taken.
    bool TryLock();

private:
    std::atomic<bool> m_locked{false};
};
