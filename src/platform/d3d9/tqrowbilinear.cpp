#include "platform/d3d9/tqrowbilinear.h"

#include "platform/d3d9/tqpixelmath.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tqd3d9 {

#ifdef __SSE2__

namespace {

// Rows mixed horizontally: c0 * (256 - fx) + c1 * fx per channel, at most 65280 per 16-bit lane.
inline __m128i MixHorizontal(__m128i c0, __m128i c1, __m128i w0, __m128i w1) {
    return _mm_add_epi16(_mm_mullo_epi16(c0, w0), _mm_mullo_epi16(c1, w1));
}

// (top * w0 + bottom * w1 + 32768) >> 16 per 16-bit lane, from the high and low halves of the
// products: the high halves add up, and the low halves carry 0, 1 or 2 into them.
inline __m128i MixVertical(__m128i top, __m128i bottom, __m128i w0, __m128i w1) {
    const __m128i sign = _mm_set1_epi16(static_cast<short>(0x8000));
    __m128i lowTop = _mm_mullo_epi16(top, w0), lowBottom = _mm_mullo_epi16(bottom, w1);
    __m128i high = _mm_add_epi16(_mm_mulhi_epu16(top, w0), _mm_mulhi_epu16(bottom, w1));
    __m128i low = _mm_add_epi16(lowTop, lowBottom);
    // -1 where lowTop + lowBottom overflowed 16 bits (unsigned lowTop > low).
    __m128i overflow = _mm_cmpgt_epi16(_mm_xor_si128(lowTop, sign), _mm_xor_si128(low, sign));
    __m128i half = _mm_srli_epi16(low, 15); // adding 32768 carries when low >= 32768
    return _mm_add_epi16(_mm_sub_epi16(high, overflow), half);
}

} // namespace

void BilinearRow(uint32_t* out, const uint32_t* row0, const uint32_t* row1, int count, uint32_t fx,
                 uint32_t fy) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i wx0 = _mm_set1_epi16(static_cast<short>(256 - fx)),
                  wx1 = _mm_set1_epi16(static_cast<short>(fx));
    const __m128i wy0 = _mm_set1_epi16(static_cast<short>(256 - fy)),
                  wy1 = _mm_set1_epi16(static_cast<short>(fy));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row0 + i));
        __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row0 + i + 1));
        __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row1 + i));
        __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row1 + i + 1));
        __m128i topLo = MixHorizontal(_mm_unpacklo_epi8(a0, zero), _mm_unpacklo_epi8(a1, zero), wx0, wx1);
        __m128i topHi = MixHorizontal(_mm_unpackhi_epi8(a0, zero), _mm_unpackhi_epi8(a1, zero), wx0, wx1);
        __m128i bottomLo = MixHorizontal(_mm_unpacklo_epi8(b0, zero), _mm_unpacklo_epi8(b1, zero), wx0, wx1);
        __m128i bottomHi = MixHorizontal(_mm_unpackhi_epi8(b0, zero), _mm_unpackhi_epi8(b1, zero), wx0, wx1);
        __m128i lo = MixVertical(topLo, bottomLo, wy0, wy1);
        __m128i hi = MixVertical(topHi, bottomHi, wy0, wy1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < count; ++i)
        out[i] = BilinearTexel(row0[i], row0[i + 1], row1[i], row1[i + 1], fx, fy);
}

#else

void BilinearRow(uint32_t* out, const uint32_t* row0, const uint32_t* row1, int count, uint32_t fx,
                 uint32_t fy) {
    for (int i = 0; i < count; ++i)
        out[i] = BilinearTexel(row0[i], row0[i + 1], row1[i], row1[i + 1], fx, fy);
}

#endif

} // namespace tqd3d9
