// Point and bilinear sampling with wrap addressing (inline: the span loops call them per pixel), in the fixed
// arithmetic of tqpixelmath.h. Coordinates are 16.16 texels: u * width and v * height.
#pragma once

#include "platform/d3d9/tqpixelmath.h"
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
inline uint32_t SamplePoint(const TextureView& texture, int64_t u, int64_t v) {
    if (!texture.pixels)
        return 0xFFFFFFFFu;
    int x = WrapIndex(u >> 16, texture.width);
    int y = WrapIndex(v >> 16, texture.height);
    return texture.pixels[static_cast<size_t>(y) * texture.width + x];
}

// The four texels around the point mixed with 8-bit weights (opaque white for an unbound texture).
inline uint32_t SampleLinear(const TextureView& texture, int64_t u, int64_t v) {
    if (!texture.pixels)
        return 0xFFFFFFFFu;
    // Texel centres lie half a texel in; the fraction keeps 8 bits.
    int64_t su = u - 0x8000, sv = v - 0x8000;
    uint32_t fx = static_cast<uint32_t>(su >> 8) & 0xFF;
    uint32_t fy = static_cast<uint32_t>(sv >> 8) & 0xFF;
    int x0 = WrapIndex(su >> 16, texture.width), x1 = WrapIndex((su >> 16) + 1, texture.width);
    int y0 = WrapIndex(sv >> 16, texture.height), y1 = WrapIndex((sv >> 16) + 1, texture.height);
    const uint32_t* row0 = texture.pixels + static_cast<size_t>(y0) * texture.width;
    const uint32_t* row1 = texture.pixels + static_cast<size_t>(y1) * texture.width;
    return BilinearTexel(row0[x0], row0[x1], row1[x0], row1[x1], fx, fy);
}

} // namespace tqd3d9
