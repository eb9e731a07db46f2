#include "blendframe.h"

#include <algorithm>

// BLEND_FRAME_BUILD names the build: generic or native.
namespace bench::BLEND_FRAME_BUILD {

namespace {

// round(x / 255) as tqpixelmath.h's Div255, in the shift form that needs no division.
inline uint32_t Div255(uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// SRCALPHA/INVSRCALPHA on an opaque destination. Alpha 0 gives back the destination and alpha 255
// the source, so the loop needs neither the alpha test nor a branch for opaque texels.
inline uint32_t BlendOver(uint32_t src, uint32_t dst) {
    const uint32_t a = src >> 24, ia = 255 - a;
    const uint32_t r = Div255(((src >> 16) & 0xFF) * a + ((dst >> 16) & 0xFF) * ia);
    const uint32_t g = Div255(((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * ia);
    const uint32_t b = Div255((src & 0xFF) * a + (dst & 0xFF) * ia);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

void BlendDiscRow(uint32_t* __restrict dst, const uint32_t* __restrict src) {
    for (int x = 0; x < kDisc; ++x)
        dst[x] = BlendOver(src[x], dst[x]);
}

} // namespace

void BlendFrame(uint32_t* frame, const uint32_t* texels, const Placement* placements, size_t count) {
    std::fill(frame, frame + kFrameWidth * kFrameHeight, kClearColor);
    for (size_t i = 0; i < count; ++i)
        for (int y = 0; y < kDisc; ++y)
            BlendDiscRow(frame + (placements[i].y + y) * kFrameWidth + placements[i].x, texels + y * kDisc);
}

} // namespace bench::BLEND_FRAME_BUILD
