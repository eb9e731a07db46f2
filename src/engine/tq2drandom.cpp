#include "engine/tq2drandom.h"

#include "base/tqlockt.h"
#include "engine/tq2dapi.h"

#include <utility>

// The library's generator: its worker runs from load to unload.
TQ2DRandom g_random;

namespace {
// The worker wakes every kWorkerPassMs and draws that many numbers: the generator moves on at about
// one draw a millisecond, with twenty wake-ups a second instead of a thousand.
const DWORD kWorkerPassMs = 50;
} // namespace

TQ2DRandom::TQ2DRandom() : TQLockFast(kDefaultSpinCount) {
    ThreadRun(nullptr, kWorkerPassMs, 1);
}

TQ2DRandom::~TQ2DRandom() {
    ThreadStop();
}

DWORD TQ2DRandom::GetRandom() {
    TQLockT<TQLockFast> hold(*this);
    return m_random.GetRandom();
}

int TQ2DRandom::ThreadProc() {
    TQLockT<TQLockFast> hold(*this);
    for (DWORD draw = 0; draw < kWorkerPassMs; ++draw)
        m_random.GetRandom();
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
