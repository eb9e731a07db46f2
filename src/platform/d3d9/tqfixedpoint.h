// Integer division rounding toward minus infinity, for the rasterizer's fixed-point coordinates.
#pragma once

#include <cstdint>

namespace tqd3d9 {

inline int64_t FloorDiv(int64_t n, int64_t d) {
    int64_t q = n / d;
    return (n % d != 0 && ((n < 0) != (d < 0))) ? q - 1 : q;
}

} // namespace tqd3d9
