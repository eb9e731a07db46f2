#include "base/tqrandom.h"

#include <chrono>

namespace {

// A seed from the system's entropy source, or from the clock when there is none.
DWORD MakeSeed() {
    try {
        return std::random_device{}();
    } catch (const std::exception&) {
        return static_cast<DWORD>(std::chrono::steady_clock::now().time_since_epoch().count());
    }
}

} // namespace

TQRandom::TQRandom() : m_engine(MakeSeed()) {}
