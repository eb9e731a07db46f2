/// @class TQRandom
/// 32-bit random-number generator (Mersenne Twister, std::mt19937).
///
/// A new generator is seeded from std::random_device (the clock when it is unavailable); SetSeed makes the
/// sequence repeatable. Not thread-safe: a generator shared between threads is used under a lock (as the
/// engine does).
#pragma once

#include <random>

#include "platform/win32/tqwintypes.h"

class TQRandom {
public:
    TQRandom();
    /// A generator with a fixed seed: the same sequence every time.
    explicit TQRandom(DWORD seed) : m_engine(seed) {}

    /// Restarts the sequence from seed.
    void SetSeed(DWORD seed) { m_engine.seed(seed); }
    /// The next 32-bit number.
    DWORD GetRandom() { return static_cast<DWORD>(m_engine()); }

private:
    std::mt19937 m_engine;
};
