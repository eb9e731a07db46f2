/// @class TQLockBase
/// Interface of the library's locks.
///
/// A lock is taken with Lock and given back with UnLock by the same thread; locks are not
/// recursive. The spin count is how many times a waiting thread tries again before it starts to
/// yield its time slice between tries.
#pragma once

#include <atomic>

#include "platform/win32/tqwintypes.h"

class TQLockBase {
public:
    /// spinCount: tries before a waiting thread starts to yield.
    explicit TQLockBase(DWORD spinCount) : m_spinCount(spinCount) {}
    virtual ~TQLockBase() = default;
    TQLockBase(const TQLockBase&) = delete;
    TQLockBase& operator=(const TQLockBase&) = delete;

    /// Waits until the lock is free and takes it.
    virtual void Lock() = 0;
    /// Gives the lock back (only the thread that holds it).
    virtual void UnLock() = 0;

    /// Changes the spin count for later waits.
    void SetSpinCount(DWORD spinCount) { m_spinCount = spinCount; }
    /// The spin count.
    DWORD GetSpinCount() const { return m_spinCount; }

private:
    std::atomic<DWORD> m_spinCount;
};
