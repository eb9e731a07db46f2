/// @class TQLockT
/// Holds a lock for the lifetime of a scope: locks in the constructor, unlocks in the destructor.
/// Works with any class that has Lock and UnLock (TQLockFast, or a class derived from it).
#pragma once

#include "base/tqlockbase.h"

template <class TLock = TQLockBase> class TQLockT {
public:
    /// Takes lock; it is given back when this object goes out of scope.
    explicit TQLockT(TLock& lock) : m_lock(lock) { m_lock.Lock(); }
    ~TQLockT() { m_lock.UnLock(); }
    TQLockT(const TQLockT&) = delete;
    TQLockT& operator=(const TQLockT&) = delete;

private:
    TLock& m_lock;
};
