// The fixed 8-bit arithmetic of the rasterizer. Every per-pixel colour operation goes through these
// functions (or through packed forms proven equal to them), so the same scene gives the same pixels
// on every machine; no floating point is used per pixel.
//
// - Channels are 0..255. A product of two channels is rounded to nearest: Mul8(a, b) = round(a*b/255).
//   x/255 never lies exactly halfway between two integers, so rounding needs no tie rule.
// - Blending: out = min(255, round((src*srcFactor + dst*dstFactor) / 255)) per channel.
// - Interpolated attributes are 16.16 fixed point; a colour channel reads as (c + 0x8000) >> 16
//   clamped to 0..255, a depth as (z + 0x8000) >> 16 clamped to 0..65535.
// - Texture coordinates are 16.16 texels (u * width). Point sampling takes texel floor(U); linear
//   sampling shifts by half a texel and keeps 8 bits of fraction f per axis: a row mixes
//   c0*(256-fx) + c1*fx, and the two rows mix as (top*(256-fy) + bottom*fy + 32768) >> 16.
// - 5- and 6-bit channels widen by repeating their top bits and narrow as round(c*31/255) or
//   round(c*63/255).
#pragma once

#include <cstdint>

namespace tqd3d9 {

// round(x / 255) for 0 <= x <= 2 * 255 * 255.
inline uint32_t Div255(uint32_t x) {
    return (x + 127) / 255;
}

// round(a * b / 255) for channels a, b.
inline uint32_t Mul8(uint32_t a, uint32_t b) {
    return Div255(a * b);
}

// Div255 on the two 16-bit lanes of x (each lane at most 255 * 255); equal to Div255 per lane.
inline uint32_t Div255Lanes(uint32_t x) {
    x += 0x00800080u;
    return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

inline uint32_t ChannelA(uint32_t argb) {
    return argb >> 24;
}
inline uint32_t ChannelR(uint32_t argb) {
    return (argb >> 16) & 0xFF;
}
inline uint32_t ChannelG(uint32_t argb) {
    return (argb >> 8) & 0xFF;
}
inline uint32_t ChannelB(uint32_t argb) {
    return argb & 0xFF;
}
inline uint32_t PackArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// A 16.16 attribute as an integer clamped to 0..maxValue.
inline uint32_t FixedToInt(int64_t value, uint32_t maxValue) {
    int64_t v = (value + 0x8000) >> 16;
    return v < 0 ? 0u : v > maxValue ? maxValue : static_cast<uint32_t>(v);
}

inline uint32_t Widen5(uint32_t c) {
    return (c << 3) | (c >> 2);
}
inline uint32_t Widen6(uint32_t c) {
    return (c << 2) | (c >> 4);
}
inline uint32_t Narrow5(uint32_t c) {
    return (c * 31 + 127) / 255;
}
inline uint32_t Narrow6(uint32_t c) {
    return (c * 63 + 127) / 255;
}

// One channel of the bilinear mix of four texels with 8-bit fractions fx, fy.
inline uint32_t BilinearChannel(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint32_t fx,
                                uint32_t fy) {
    uint32_t top = c00 * (256 - fx) + c10 * fx;
    uint32_t bottom = c01 * (256 - fx) + c11 * fx;
    return (top * (256 - fy) + bottom * fy + 32768) >> 16;
}

// BilinearChannel on all four channels of 0xAARRGGBB texels at once: the channels travel in two
// 32-bit lanes of two 64-bit words, wide enough for the intermediate sums.
inline uint64_t SpreadLanes(uint32_t twoChannels) {
    return (twoChannels & 0xFFu) | (static_cast<uint64_t>(twoChannels & 0xFF0000u) << 16);
}

inline uint64_t BilinearLanes(uint64_t c00, uint64_t c10, uint64_t c01, uint64_t c11, uint32_t fx,
                              uint32_t fy) {
    uint64_t top = c00 * (256 - fx) + c10 * fx;
    uint64_t bottom = c01 * (256 - fx) + c11 * fx;
    return ((top * (256 - fy) + bottom * fy + 0x0000800000008000ull) >> 16) & 0x000000FF000000FFull;
}

inline uint32_t BilinearTexel(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint32_t fx,
                              uint32_t fy) {
    uint64_t br =
        BilinearLanes(SpreadLanes(c00), SpreadLanes(c10), SpreadLanes(c01), SpreadLanes(c11), fx, fy);
    uint64_t ag = BilinearLanes(SpreadLanes(c00 >> 8), SpreadLanes(c10 >> 8), SpreadLanes(c01 >> 8),
                                SpreadLanes(c11 >> 8), fx, fy);
    return static_cast<uint32_t>(br | (br >> 16) | (ag << 8) | (ag >> 8));
}

} // namespace tqd3d9
