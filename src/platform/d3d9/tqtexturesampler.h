// Point and bilinear sampling with wrap addressing, in the fixed arithmetic of tqpixelmath.h.
// Coordinates are 16.16 texels: u * width and v * height.
#pragma once

#include "platform/d3d9/tqrenderstate.h"

#include <cstdint>

namespace tqd3d9 {

// index modulo size, in 0..size-1 also for negative indices.
inline int WrapIndex(int64_t index, int size) {
    if (static_cast<uint64_t>(index) < static_cast<uint64_t>(size))
        return static_cast<int>(index);
    int64_t r = index % size;
    return static_cast<int>(r < 0 ? r + size : r);
}

// The texel that holds the point (opaque white for an unbound texture).
uint32_t SamplePoint(const TextureView& texture, int64_t u, int64_t v);
// The four texels around the point mixed with 8-bit weights (opaque white for an unbound texture).
uint32_t SampleLinear(const TextureView& texture, int64_t u, int64_t v);

} // namespace tqd3d9
