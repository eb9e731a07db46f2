// Integer helpers of the rasterizer's fixed-point coordinates.
#pragma once

#include <cstdint>

namespace tqd3d9 {

inline int64_t FloorDiv(int64_t n, int64_t d) {
    int64_t q = n / d;
    return (n % d != 0 && ((n < 0) != (d < 0))) ? q - 1 : q;
}

// floor(value + 0.5) for values well inside the int64_t range (halves round up).
inline int64_t RoundHalfUp(double value) {
    double shifted = value + 0.5;
    int64_t truncated = static_cast<int64_t>(shifted);
    return truncated > shifted ? truncated - 1 : truncated;
}

// A value as 16.16 fixed point, rounded half up; clamped to +-2^30 (far beyond any colour, depth or
// texture coordinate that matters after wrapping); NaN reads as 0.
inline int64_t ToFixed16(double value) {
    constexpr double kLimit = 70368744177664.0; // 2^46 in 16.16 units
    if (!(value == value))
        return 0;
    double scaled = value * 65536.0;
    return RoundHalfUp(scaled < -kLimit ? -kLimit : scaled > kLimit ? kLimit : scaled);
}

} // namespace tqd3d9
