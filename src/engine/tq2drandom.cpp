#include "engine/tq2drandom.h"

#include "base/tqlockt.h"
#include "engine/tq2dapi.h"

#include <utility>

// The library's generator: its worker runs from load to unload.
TQ2DRandom g_random;

TQ2DRandom::TQ2DRandom() : TQLockFast(kDefaultSpinCount) {
    ThreadRun(nullptr, 0, 1);
}

TQ2DRandom::~TQ2DRandom() {
    ThreadStop();
}

DWORD TQ2DRandom::GetRandom() {
    TQLockT<TQLockFast> hold(*this);
    return m_random.GetRandom();
}

int TQ2DRandom::ThreadProc() {
    GetRandom();
    return TQTHREAD_IDLE;
}

unsigned long TQ2DGetRandom() {
    return g_random.GetRandom();
}

// n wraps to 0 only for the full 32-bit range, where any number is in range.
unsigned long TQ2DGetRandomRange(unsigned long a, unsigned long b) {
    DWORD low = static_cast<DWORD>(a);
    DWORD high = static_cast<DWORD>(b);
    if (low > high)
        std::swap(low, high);
    const DWORD n = high - low + 1;
    const DWORD value = static_cast<DWORD>(TQ2DGetRandom());
    return n == 0 ? value : value % n + low;
}
