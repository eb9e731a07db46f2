// Bilinear sampling along rows, with the arithmetic of BilinearChannel (tqpixelmath.h), so the
// pixels equal those of SampleLinear.
#pragma once

#include "platform/d3d9/tqrenderstate.h"

#include <cstdint>

namespace tqd3d9 {

// One texel per pixel with constant weights (a sprite drawn 1:1 between texel centres); SSE2
// handles four pixels at a time. out[i] = BilinearTexel(row0[i], row0[i + 1], row1[i], row1[i + 1],
// fx, fy) for i < count; row0[count] and row1[count] must be readable.
typedef void (*BilinearRowFunction)(uint32_t* out, const uint32_t* row0, const uint32_t* row1, int count,
                                    uint32_t fx, uint32_t fy);
// The form for this processor (SSE2 or portable), chosen once per draw.
BilinearRowFunction PickBilinearRow();

// Pixels along a row at any step (turned and scaled sprites): the texture coordinates of the first,
// their steps per pixel and how many (0 or more).
struct LinearRun {
    int64_t u, v, du, dv;
    int count;
};

// Runs sampled back to back: the pixels of runs[0], then those of runs[1], ..., each
// SampleLinear(texture, u + i * du, v + i * dv) for i < count, texture bound. With AVX2, eight
// pixels at a time step u and v in the lanes, wrap their taps there, gather the texels and filter
// them: a whole run so when it stays within a texture size around the texture (checked once, at its
// ends, as given or moved by whole texture sizes), else each eight pixels moved first. Steps too
// long for the lanes take SampleLinear pixel by pixel. With AVX-512 sixteen pixels at a time, the
// lanes filled across the ends of runs, each row's two taps loaded together where no pixel's first
// tap lies in the texture's last column. With skipTransparent, pixels whose four texels all have
// alpha 0 may come out as any colour with alpha 0 (for callers that discard them).
typedef void (*LinearRunsFunction)(const TextureView& texture, const LinearRun* runs, int runCount,
                                   bool skipTransparent, uint32_t* out);
// The form for this processor, chosen once per draw.
LinearRunsFunction PickLinearRuns();

} // namespace tqd3d9
