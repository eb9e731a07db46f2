// Writes a run of shaded pixels into a 32-bit row: alpha test GREATEREQUAL, then no blending,
// SRCALPHA/INVSRCALPHA or SRCALPHA/ONE. SSE2, AVX2 and AVX-512 (where the processor has them) handle
// four, eight and sixteen pixels at a time with the same 16-bit lane arithmetic as the scalar code,
// so all give exactly the pixels of PixelPipeline; AVX-512 tests and stores through lane masks,
// with no branch per group of pixels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tqd3d9 {

enum class RowBlend { kOpaque, kAlphaInv, kAlphaOne };

// A row blend for one mode, for this processor: AVX-512, AVX2, SSE2 or portable code, chosen once per
// draw.
typedef void (*BlendRowFunction)(uint32_t* dst, const uint32_t* src, int count, uint32_t alphaRef,
                                 uint32_t storeMask);
BlendRowFunction PickBlendRow(RowBlend mode);

// BlendRow on `rows` rows: dst and src step by their pitches (in pixels) from one row to the next.
// The row loop runs inside the kernel, with no call per row.
typedef void (*BlendRectFunction)(uint32_t* dst, ptrdiff_t dstPitch, const uint32_t* src, ptrdiff_t srcPitch,
                                  int count, int rows, uint32_t alphaRef, uint32_t storeMask);
BlendRectFunction PickBlendRect(RowBlend mode);

// dst[i] = blend(src[i], dst[i]) | storeMask for every i with alpha(src[i]) >= alphaRef; a source
// alpha of 0 leaves the destination unchanged in the blending modes, as the blend itself would.
void BlendRow(RowBlend mode, uint32_t* dst, const uint32_t* src, int count, uint32_t alphaRef,
              uint32_t storeMask);

} // namespace tqd3d9
