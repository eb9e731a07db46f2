// Bilinear sampling along a row at one texel per pixel with constant weights: the case of a sprite
// drawn 1:1 between texel centres. SSE2 handles four pixels at a time with the arithmetic of
// BilinearChannel (tqpixelmath.h), so the pixels equal those of SampleLinear.
#pragma once

#include <cstdint>

namespace tqd3d9 {

// out[i] = BilinearTexel(row0[i], row0[i + 1], row1[i], row1[i + 1], fx, fy) for i < count;
// row0[count] and row1[count] must be readable.
void BilinearRow(uint32_t* out, const uint32_t* row0, const uint32_t* row1, int count, uint32_t fx,
                 uint32_t fy);

} // namespace tqd3d9
