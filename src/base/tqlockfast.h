// Spin lock for short critical sections: a waiting thread tries the spin count's number of times,
// then yields between further tries.
#pragma once

#include <atomic>

#include "base/tqlockbase.h"

class TQLockFast : public TQLockBase {
public:
    static constexpr DWORD kDefaultSpinCount = 1000;

    explicit TQLockFast(DWORD spinCount = kDefaultSpinCount) : TQLockBase(spinCount) {}

    void Lock() override;
    void UnLock() override;
    // Takes the lock when it is free; true when taken.
    bool TryLock();

private:
    std::atomic<bool> m_locked{false};
};
