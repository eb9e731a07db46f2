#include "base/tqlockfast.h"

#include <thread>

bool TQLockFast::TryLock() {
    return !m_locked.load(std::memory_order_relaxed) && !m_locked.exchange(true, std::memory_order_acquire);
}

void TQLockFast::Lock() {
    DWORD tries = 0;
    while (!TryLock()) {
        if (++tries >= GetSpinCount())
            std::this_thread::yield();
    }
}

void TQLockFast::UnLock() {
    m_locked.store(false, std::memory_order_release);
}
