#include "platform/d3d9/tqrowblend.h"

#include "platform/system/tqcpufeatures.h"
#include "platform/d3d9/tqpixelmath.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>

namespace tqd3d9 {

namespace {

// Packed blends, equal per channel to PixelPipeline::Blend for these factors.
inline uint32_t BlendAlphaInv(uint32_t src, uint32_t dst) {
    uint32_t a = src >> 24, ia = 255 - a;
    uint32_t rb = Div255Lanes((src & 0x00FF00FFu) * a + (dst & 0x00FF00FFu) * ia);
    uint32_t ag = Div255Lanes(((src >> 8) & 0x00FF00FFu) * a + ((dst >> 8) & 0x00FF00FFu) * ia);
    return rb | (ag << 8);
}

inline uint32_t SaturatingAddLanes(uint32_t x, uint32_t y) {
    uint32_t sum = x + y;
    uint32_t carry = sum & 0x01000100u;
    return (sum | (carry - (carry >> 8))) & 0x00FF00FFu;
}

inline uint32_t BlendAlphaOne(uint32_t src, uint32_t dst) {
    uint32_t a = src >> 24;
    uint32_t rb = SaturatingAddLanes(Div255Lanes((src & 0x00FF00FFu) * a), dst & 0x00FF00FFu);
    uint32_t ag = SaturatingAddLanes(Div255Lanes(((src >> 8) & 0x00FF00FFu) * a), (dst >> 8) & 0x00FF00FFu);
    return rb | (ag << 8);
}

template <RowBlend M>
void BlendRowScalar(uint32_t* dst, const uint32_t* src, int count, uint32_t alphaRef, uint32_t storeMask) {
    for (int i = 0; i < count; ++i) {
        uint32_t color = src[i], alpha = color >> 24;
        if (alpha < alphaRef)
            continue;
        if (M == RowBlend::kOpaque || (M == RowBlend::kAlphaInv && alpha == 255))
            dst[i] = color | storeMask;
        else if (alpha != 0)
            dst[i] = (M == RowBlend::kAlphaInv ? BlendAlphaInv(color, dst[i] | storeMask)
                                               : BlendAlphaOne(color, dst[i] | storeMask)) |
                     storeMask;
    }
}

#define TQ_LANE_FUNCTIONS "platform/d3d9/tqblendlanes.inc"
#include "platform/d3d9/tqlanewidths.inc"
#undef TQ_LANE_FUNCTIONS

#ifdef __SSE2__

template <RowBlend M>
void BlendRowSse2(uint32_t* dst, const uint32_t* src, int count, uint32_t alphaRef, uint32_t storeMask) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i mask = _mm_set1_epi32(static_cast<int>(storeMask));
    const __m128i refMinusOne = _mm_set1_epi32(static_cast<int>(alphaRef) - 1);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i alpha = _mm_srli_epi32(s, 24);
        __m128i pass = _mm_cmpgt_epi32(alpha, refMinusOne);
        if (M != RowBlend::kOpaque)
            pass = _mm_andnot_si128(_mm_cmpeq_epi32(alpha, zero), pass);
        int passMask = _mm_movemask_epi8(pass);
        if (passMask == 0)
            continue;
        __m128i* out = reinterpret_cast<__m128i*>(dst + i);
        __m128i original = _mm_loadu_si128(out);
        __m128i d = _mm_or_si128(original, mask);
        __m128i result = s;
        bool allOpaque = M == RowBlend::kAlphaInv &&
                         _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_set1_epi32(255))) == 0xFFFF;
        if (M != RowBlend::kOpaque && !allOpaque) {
            __m128i lo = lanes128::BlendWidened<M>(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
            __m128i hi = lanes128::BlendWidened<M>(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
            result = _mm_packus_epi16(lo, hi);
        }
        result = _mm_or_si128(result, mask);
        if (passMask != 0xFFFF)
            result = _mm_or_si128(_mm_and_si128(pass, result), _mm_andnot_si128(pass, original));
        _mm_storeu_si128(out, result);
    }
    BlendRowScalar<M>(dst + i, src + i, count - i, alphaRef, storeMask);
}

#endif

#if defined(TQ_CPU_X86)

// The same lane arithmetic on eight pixels at a time, for processors with AVX2 (checked at run time).

// Eight pixels of BlendRow: the pixels to write and, in *pass, the lanes that pass the tests.
template <RowBlend M>
TQ_TARGET_AVX2 inline __m256i BlendEight(__m256i s, __m256i original, __m256i storeMask, __m256i refMinusOne,
                                         __m256i* pass) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i alpha = _mm256_srli_epi32(s, 24);
    *pass = _mm256_cmpgt_epi32(alpha, refMinusOne);
    if (M != RowBlend::kOpaque)
        *pass = _mm256_andnot_si256(_mm256_cmpeq_epi32(alpha, zero), *pass);
    __m256i result = s;
    if (M != RowBlend::kOpaque) {
        __m256i d = _mm256_or_si256(original, storeMask);
        __m256i lo = lanes256::BlendWidened<M>(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero));
        __m256i hi = lanes256::BlendWidened<M>(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero));
        result = _mm256_packus_epi16(lo, hi); // unpack and pack both work within 128-bit halves
    }
    return _mm256_or_si256(result, storeMask);
}

template <RowBlend M>
TQ_TARGET_AVX2 void BlendRowAvx2(uint32_t* dst, const uint32_t* src, int count, uint32_t alphaRef,
                                 uint32_t storeMask) {
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(storeMask));
    const __m256i refMinusOne = _mm256_set1_epi32(static_cast<int>(alphaRef) - 1);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        // Blending leaves the destination unchanged under alpha 0: eight such pixels skip it whole.
        if (M != RowBlend::kOpaque && _mm256_testz_si256(s, _mm256_set1_epi32(static_cast<int>(0xFF000000u))))
            continue;
        __m256i* out = reinterpret_cast<__m256i*>(dst + i);
        __m256i original = _mm256_loadu_si256(out);
        __m256i pass;
        __m256i result = BlendEight<M>(s, original, mask, refMinusOne, &pass);
        _mm256_storeu_si256(out, _mm256_blendv_epi8(original, result, pass));
    }
    if (i == count)
        return;
    // The last one to seven pixels through masked loads and stores.
    const __m256i tail =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(count - i), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    __m256i s = _mm256_maskload_epi32(reinterpret_cast<const int*>(src + i), tail);
    __m256i original = _mm256_maskload_epi32(reinterpret_cast<const int*>(dst + i), tail);
    __m256i pass;
    __m256i result = BlendEight<M>(s, original, mask, refMinusOne, &pass);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(dst + i), _mm256_and_si256(pass, tail), result);
}

#endif

#if defined(TQ_CPU_X86)

// Sixteen pixels at a time with AVX-512. The channels travel in two sets of 16-bit lanes, blue and
// red in one, green and alpha in the other, split by masks and shifts rather than unpacking; the
// alpha test, the skipped pixels and the row's end are lane masks.

// Two channels of each pixel (s, d) blended with its alpha (a, in both lanes of the pixel).
template <RowBlend M> TQ_TARGET_AVX512 inline __m512i BlendLanes(__m512i s, __m512i d, __m512i a) {
    if (M == RowBlend::kAlphaInv) {
        __m512i ia = _mm512_xor_si512(a, _mm512_set1_epi16(0xFF));
        return lanes512::Div255(_mm512_add_epi16(_mm512_mullo_epi16(s, a), _mm512_mullo_epi16(d, ia)));
    }
    return _mm512_min_epu16(_mm512_add_epi16(lanes512::Div255(_mm512_mullo_epi16(s, a)), d),
                            _mm512_set1_epi16(255));
}

template <RowBlend M> TQ_TARGET_AVX512 inline __m512i BlendSixteen(__m512i s, __m512i d) {
    const __m512i low = _mm512_set1_epi16(0xFF);
    // Each pixel's alpha byte copied into the low byte of both its 16-bit lanes.
    const __m512i alphaBytes = _mm512_set4_epi32(0x800F800F, 0x800B800B, 0x80078007, 0x80038003);
    const __m512i a = _mm512_shuffle_epi8(s, alphaBytes);
    __m512i rb = BlendLanes<M>(_mm512_and_si512(s, low), _mm512_and_si512(d, low), a);
    __m512i ag = BlendLanes<M>(_mm512_srli_epi16(s, 8), _mm512_srli_epi16(d, 8), a);
    return _mm512_or_si512(rb, _mm512_slli_epi16(ag, 8));
}

template <RowBlend M>
TQ_TARGET_AVX512 __attribute__((always_inline)) inline void
BlendRowAvx512Inline(uint32_t* dst, const uint32_t* src, int count, uint32_t alphaRef, uint32_t storeMask) {
    if (alphaRef > 255)
        return;
    const __m512i mask = _mm512_set1_epi32(static_cast<int>(storeMask));
    // alpha >= ref, and alpha >= 1 when blending, as one unsigned comparison of the whole pixel.
    const uint32_t least = M == RowBlend::kOpaque ? alphaRef : std::max(alphaRef, 1u);
    const __m512i threshold = _mm512_set1_epi32(static_cast<int>(least << 24));
    for (int i = 0; i < count; i += 16) {
        const __mmask16 lanes = count - i >= 16 ? 0xFFFF : static_cast<__mmask16>((1u << (count - i)) - 1);
        const __m512i s = _mm512_maskz_loadu_epi32(lanes, src + i);
        const __mmask16 pass = _mm512_mask_cmpge_epu32_mask(lanes, s, threshold);
        __m512i result = s;
        if (M != RowBlend::kOpaque) {
            const __m512i d = _mm512_or_si512(_mm512_maskz_loadu_epi32(pass, dst + i), mask);
            result = BlendSixteen<M>(s, d);
        }
        _mm512_mask_storeu_epi32(dst + i, pass, _mm512_or_si512(result, mask));
    }
}

template <RowBlend M>
TQ_TARGET_AVX512 void BlendRowAvx512(uint32_t* dst, const uint32_t* src, int count, uint32_t alphaRef,
                                     uint32_t storeMask) {
    BlendRowAvx512Inline<M>(dst, src, count, alphaRef, storeMask);
}

template <RowBlend M>
TQ_TARGET_AVX512 void BlendRectAvx512(uint32_t* dst, ptrdiff_t dstPitch, const uint32_t* src,
                                      ptrdiff_t srcPitch, int count, int rows, uint32_t alphaRef,
                                      uint32_t storeMask) {
    for (int y = 0; y < rows; ++y, dst += dstPitch, src += srcPitch)
        BlendRowAvx512Inline<M>(dst, src, count, alphaRef, storeMask);
}

#endif

template <RowBlend M> BlendRowFunction PickFor() {
    switch (tqplat::ChosenKernelLevel()) {
#if defined(TQ_CPU_X86)
    case tqplat::KernelLevel::kAvx512:
        return BlendRowAvx512<M>;
#endif
#if defined(TQ_CPU_X86)
    case tqplat::KernelLevel::kAvx2:
        return BlendRowAvx2<M>;
#endif
#ifdef __SSE2__
    case tqplat::KernelLevel::kSse2:
        return BlendRowSse2<M>;
#endif
    default:
        return BlendRowScalar<M>;
    }
}

// The rows one call each, for the other kernels.
template <BlendRowFunction Row>
void BlendRectByRows(uint32_t* dst, ptrdiff_t dstPitch, const uint32_t* src, ptrdiff_t srcPitch, int count,
                     int rows, uint32_t alphaRef, uint32_t storeMask) {
    for (int y = 0; y < rows; ++y, dst += dstPitch, src += srcPitch)
        Row(dst, src, count, alphaRef, storeMask);
}

template <RowBlend M> BlendRectFunction PickRectFor() {
    switch (tqplat::ChosenKernelLevel()) {
#if defined(TQ_CPU_X86)
    case tqplat::KernelLevel::kAvx512:
        return BlendRectAvx512<M>;
#endif
#if defined(TQ_CPU_X86)
    case tqplat::KernelLevel::kAvx2:
        return BlendRectByRows<BlendRowAvx2<M>>;
#endif
#ifdef __SSE2__
    case tqplat::KernelLevel::kSse2:
        return BlendRectByRows<BlendRowSse2<M>>;
#endif
    default:
        return BlendRectByRows<BlendRowScalar<M>>;
    }
}

} // namespace

BlendRectFunction PickBlendRect(RowBlend mode) {
    switch (mode) {
    case RowBlend::kOpaque:
        return PickRectFor<RowBlend::kOpaque>();
    case RowBlend::kAlphaInv:
        return PickRectFor<RowBlend::kAlphaInv>();
    default:
        return PickRectFor<RowBlend::kAlphaOne>();
    }
}

BlendRowFunction PickBlendRow(RowBlend mode) {
    switch (mode) {
    case RowBlend::kOpaque:
        return PickFor<RowBlend::kOpaque>();
    case RowBlend::kAlphaInv:
        return PickFor<RowBlend::kAlphaInv>();
    default:
        return PickFor<RowBlend::kAlphaOne>();
    }
}

void BlendRow(RowBlend mode, uint32_t* dst, const uint32_t* src, int count, uint32_t alphaRef,
              uint32_t storeMask) {
    PickBlendRow(mode)(dst, src, count, alphaRef, storeMask);
}

} // namespace tqd3d9
