#include "platform/audio/tqresamplekernel.h"

#include "platform/audio/tqsinctable.h"
#include "platform/system/tqcpufeatures.h"

#include <algorithm>
#include <cmath>

#if defined(TQ_CPU_X86)
#define TQ_INLINE_AVX2 inline __attribute__((target("avx2,fma"), always_inline))
#endif

namespace tqaudio {

namespace {

using tqplat::KernelLevel;

constexpr float kCurveEnd = float(SincTable::kTaps * SincTable::kPhases);
constexpr int64_t kOne = int64_t(1) << 32;

// A table of phase rows (SincTable::Row or WideRow) of kTaps taps.
template <int kTaps> const float* FirstRow() {
    return kTaps == SincTable::kTaps ? SincTable::Get().Row(0) : SincTable::Get().WideRow(0);
}

// The first tap's frame, from the position's frame.
template <int kTaps> constexpr int FirstTap() {
    return 1 - kTaps / 2;
}

// The bits of a position's fraction below its phase in a table of kTaps taps.
template <int kTaps> constexpr int FractionBits() {
    return 32 - (kTaps == SincTable::kTaps ? SincTable::kPhaseBits : SincTable::kWidePhaseBits);
}

template <int kTaps> const float* PhaseRow(const float* rows, uint32_t fraction) {
    return rows + (fraction >> FractionBits<kTaps>()) * 2 * kTaps;
}

// How far a position is from its phase row to the next.
template <int kTaps> float PhaseWeight(uint32_t fraction) {
    return (fraction & ((1u << FractionBits<kTaps>()) - 1)) * (1.0f / (1u << FractionBits<kTaps>()));
}

void WriteSides(float* out, const float* sides, int channels) {
    out[0] = sides[0];
    out[1] = sides[channels - 1];
}

template <int kTaps>
void FilterPortable(const float* const* planes, int channels, const FramePosition* at, const float*,
                    size_t count, float* out) {
    const float* rows = FirstRow<kTaps>();
    float coefficients[kTaps];
    for (size_t j = 0; j < count; ++j) {
        const float* row = PhaseRow<kTaps>(rows, at[j].Fraction());
        const float weight = PhaseWeight<kTaps>(at[j].Fraction());
        for (int k = 0; k < kTaps; ++k) {
            coefficients[k] = row[k] + weight * row[kTaps + k];
        }
        float sides[2];
        for (int c = 0; c < channels; ++c) {
            const float* x = planes[c] + at[j].Index() + FirstTap<kTaps>();
            float sum = 0.0f;
            for (int k = 0; k < kTaps; ++k) {
                sum += coefficients[k] * x[k];
            }
            sides[c] = sum;
        }
        WriteSides(out + 2 * j, sides, channels);
    }
}

// The kernel stretched by s: tap k (frames from the position's frame) weighs h((k - fraction) / s) / s,
// read from the fine curve by linear interpolation.
void FilterStretchedPortable(const float* const* planes, int channels, const FramePosition* at,
                             const float* stretches, size_t count, float* out) {
    const float* curve = SincTable::Get().Curve();
    for (size_t j = 0; j < count; ++j) {
        const int reach = KernelReach(stretches[j]);
        const float inverse = 1.0f / stretches[j];
        const float step = inverse * SincTable::kPhases;
        const float first =
            ((1 - reach - at[j].Fraction() * 0x1p-32f) * inverse + SincTable::kHalf) * SincTable::kPhases;
        float sides[2] = {0.0f, 0.0f};
        for (int k = 1 - reach; k <= reach; ++k) {
            const float u = first + (k - 1 + reach) * step;
            if (u < 0.0f || u >= kCurveEnd) {
                continue;
            }
            const int n = static_cast<int>(u);
            const float c = (curve[n] + (u - n) * (curve[n + 1] - curve[n])) * inverse;
            for (int side = 0; side < channels; ++side) {
                sides[side] += c * planes[side][at[j].Index() + k];
            }
        }
        WriteSides(out + 2 * j, sides, channels);
    }
}

#if defined(TQ_CPU_X86)

float Sum4(__m128 v) {
    v = _mm_add_ps(v, _mm_movehl_ps(v, v));
    v = _mm_add_ss(v, _mm_shuffle_ps(v, v, 1));
    return _mm_cvtss_f32(v);
}

template <int kTaps>
void FilterSse2(const float* const* planes, int channels, const FramePosition* at, const float*, size_t count,
                float* out) {
    const float* rows = FirstRow<kTaps>();
    for (size_t j = 0; j < count; ++j) {
        const float* row = PhaseRow<kTaps>(rows, at[j].Fraction());
        const __m128 weight = _mm_set1_ps(PhaseWeight<kTaps>(at[j].Fraction()));
        __m128 coefficients[kTaps / 4];
        for (int q = 0; q < kTaps / 4; ++q) {
            coefficients[q] =
                _mm_add_ps(_mm_loadu_ps(row + 4 * q), _mm_mul_ps(weight, _mm_loadu_ps(row + kTaps + 4 * q)));
        }
        float sides[2];
        for (int c = 0; c < channels; ++c) {
            const float* x = planes[c] + at[j].Index() + FirstTap<kTaps>();
            __m128 sum = _mm_mul_ps(coefficients[0], _mm_loadu_ps(x));
            for (int q = 1; q < kTaps / 4; ++q) {
                sum = _mm_add_ps(sum, _mm_mul_ps(coefficients[q], _mm_loadu_ps(x + 4 * q)));
            }
            sides[c] = Sum4(sum);
        }
        WriteSides(out + 2 * j, sides, channels);
    }
}

TQ_INLINE_AVX2 float Sum8(__m256 v) {
    __m128 half = _mm_add_ps(_mm256_castps256_ps128(v), _mm256_extractf128_ps(v, 1));
    half = _mm_add_ps(half, _mm_movehl_ps(half, half));
    half = _mm_add_ss(half, _mm_shuffle_ps(half, half, 1));
    return _mm_cvtss_f32(half);
}

// The coefficients of taps 8q to 8q + 7 at a phase row, `weight` of the way to the next phase.
template <int kTaps> TQ_INLINE_AVX2 __m256 Coefficients(const float* row, __m256 weight, int q) {
    return _mm256_fmadd_ps(weight, _mm256_loadu_ps(row + kTaps + 8 * q), _mm256_loadu_ps(row + 8 * q));
}

// The partial sums of one output frame on one plane, or on two sharing the coefficients: eight
// each, of the kTaps products of the frames and the coefficients, in two chains. Each vector of
// coefficients is used as soon as it is made, so few registers are live however many taps.
template <int kTaps, bool kStereo>
TQ_INLINE_AVX2 void FrameProducts(const float* rows, const FramePosition& at, const float* left,
                                  const float* right, __m256* leftSums, __m256* rightSums) {
    const float* row = PhaseRow<kTaps>(rows, at.Fraction());
    const __m256 weight = _mm256_set1_ps(PhaseWeight<kTaps>(at.Fraction()));
    const int first = at.Index() + FirstTap<kTaps>();
    const float* x = left + first;
    const float* y = kStereo ? right + first : nullptr;
    __m256 c = Coefficients<kTaps>(row, weight, 0);
    __m256 a = _mm256_mul_ps(c, _mm256_loadu_ps(x)), ra = kStereo ? _mm256_mul_ps(c, _mm256_loadu_ps(y)) : c;
    c = Coefficients<kTaps>(row, weight, 1);
    __m256 b = _mm256_mul_ps(c, _mm256_loadu_ps(x + 8)),
           rb = kStereo ? _mm256_mul_ps(c, _mm256_loadu_ps(y + 8)) : c;
#pragma GCC unroll 4
    for (int q = 2; q < kTaps / 8; q += 2) {
        c = Coefficients<kTaps>(row, weight, q);
        a = _mm256_fmadd_ps(c, _mm256_loadu_ps(x + 8 * q), a);
        if (kStereo) {
            ra = _mm256_fmadd_ps(c, _mm256_loadu_ps(y + 8 * q), ra);
        }
        c = Coefficients<kTaps>(row, weight, q + 1);
        b = _mm256_fmadd_ps(c, _mm256_loadu_ps(x + 8 * q + 8), b);
        if (kStereo) {
            rb = _mm256_fmadd_ps(c, _mm256_loadu_ps(y + 8 * q + 8), rb);
        }
    }
    *leftSums = _mm256_add_ps(a, b);
    if (kStereo) {
        *rightSums = _mm256_add_ps(ra, rb);
    }
}

// The sums across each of eight vectors, in order.
TQ_INLINE_AVX2 __m256 SumAcross8(__m256 v0, __m256 v1, __m256 v2, __m256 v3, __m256 v4, __m256 v5, __m256 v6,
                                 __m256 v7) {
    const __m256 low = _mm256_hadd_ps(_mm256_hadd_ps(v0, v1), _mm256_hadd_ps(v2, v3));
    const __m256 high = _mm256_hadd_ps(_mm256_hadd_ps(v4, v5), _mm256_hadd_ps(v6, v7));
    return _mm256_add_ps(_mm256_permute2f128_ps(low, high, 0x20), _mm256_permute2f128_ps(low, high, 0x31));
}

// Eight stereo frames from eight left and eight right values.
TQ_INLINE_AVX2 void StoreStereo8(float* out, __m256 left, __m256 right) {
    const __m256 low = _mm256_unpacklo_ps(left, right);
    const __m256 high = _mm256_unpackhi_ps(left, right);
    _mm256_storeu_ps(out, _mm256_permute2f128_ps(low, high, 0x20));
    _mm256_storeu_ps(out + 8, _mm256_permute2f128_ps(low, high, 0x31));
}

// Eight output frames at a time with their sums added across together, the rest one by one;
// `right` is NULL for a mono input.
template <int kTaps, bool kStereo>
TQ_INLINE_AVX2 void FilterPlanesAvx2(const float* left, const float* right, const FramePosition* at,
                                     size_t count, float* out) {
    const float* rows = FirstRow<kTaps>();
    size_t j = 0;
    for (; j + 8 <= count; j += 8) {
        // a mono input leaves the right sums as they are
        const __m256 zero = _mm256_setzero_ps();
        __m256 l0, l1, l2, l3, l4, l5, l6, l7;
        __m256 r0 = zero, r1 = zero, r2 = zero, r3 = zero, r4 = zero, r5 = zero, r6 = zero, r7 = zero;
        FrameProducts<kTaps, kStereo>(rows, at[j], left, right, &l0, &r0);
        FrameProducts<kTaps, kStereo>(rows, at[j + 1], left, right, &l1, &r1);
        FrameProducts<kTaps, kStereo>(rows, at[j + 2], left, right, &l2, &r2);
        FrameProducts<kTaps, kStereo>(rows, at[j + 3], left, right, &l3, &r3);
        FrameProducts<kTaps, kStereo>(rows, at[j + 4], left, right, &l4, &r4);
        FrameProducts<kTaps, kStereo>(rows, at[j + 5], left, right, &l5, &r5);
        FrameProducts<kTaps, kStereo>(rows, at[j + 6], left, right, &l6, &r6);
        FrameProducts<kTaps, kStereo>(rows, at[j + 7], left, right, &l7, &r7);
        const __m256 leftSums = SumAcross8(l0, l1, l2, l3, l4, l5, l6, l7);
        StoreStereo8(out + 2 * j, leftSums, kStereo ? SumAcross8(r0, r1, r2, r3, r4, r5, r6, r7) : leftSums);
    }
    for (; j < count; ++j) {
        __m256 l, r = _mm256_setzero_ps();
        FrameProducts<kTaps, kStereo>(rows, at[j], left, right, &l, &r);
        out[2 * j] = Sum8(l);
        out[2 * j + 1] = kStereo ? Sum8(r) : out[2 * j];
    }
}

template <int kTaps>
TQ_TARGET_AVX2 void FilterAvx2(const float* const* planes, int channels, const FramePosition* at,
                               const float*, size_t count, float* out) {
    static_assert(kTaps % 16 == 0, "the AVX2 kernel reads its taps as pairs of vectors");
    if (channels == 2) {
        FilterPlanesAvx2<kTaps, true>(planes[0], planes[1], at, count, out);
    } else {
        FilterPlanesAvx2<kTaps, false>(planes[0], nullptr, at, count, out);
    }
}

// As FilterStretchedPortable, eight taps at a time with gathered curve points; lanes past the
// kernel's ends weigh nothing (the planes hold at least seven frames more past the reach).
TQ_TARGET_AVX2 void FilterStretchedAvx2(const float* const* planes, int channels, const FramePosition* at,
                                        const float* stretches, size_t count, float* out) {
    const float* curve = SincTable::Get().Curve();
    const __m256 lanes = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256 zero = _mm256_setzero_ps();
    const __m256 end = _mm256_set1_ps(kCurveEnd);
    for (size_t j = 0; j < count; ++j) {
        const int reach = KernelReach(stretches[j]);
        const float inverse = 1.0f / stretches[j];
        const __m256 step = _mm256_set1_ps(inverse * SincTable::kPhases);
        const __m256 first = _mm256_set1_ps(
            ((1 - reach - at[j].Fraction() * 0x1p-32f) * inverse + SincTable::kHalf) * SincTable::kPhases);
        __m256 sums[2] = {zero, zero};
        for (int k = 1 - reach; k <= reach; k += 8) {
            const __m256 u =
                _mm256_fmadd_ps(_mm256_add_ps(lanes, _mm256_set1_ps(float(k - 1 + reach))), step, first);
            const __m256 inside =
                _mm256_and_ps(_mm256_cmp_ps(u, zero, _CMP_GE_OQ), _mm256_cmp_ps(u, end, _CMP_LT_OQ));
            const __m256 clamped = _mm256_min_ps(_mm256_max_ps(u, zero), _mm256_set1_ps(kCurveEnd - 1.0f));
            const __m256i n = _mm256_cvttps_epi32(clamped);
            const __m256 t = _mm256_sub_ps(clamped, _mm256_cvtepi32_ps(n));
            const __m256 low = _mm256_i32gather_ps(curve, n, 4);
            const __m256 high = _mm256_i32gather_ps(curve + 1, n, 4);
            const __m256 c = _mm256_and_ps(inside, _mm256_fmadd_ps(t, _mm256_sub_ps(high, low), low));
            for (int side = 0; side < channels; ++side) {
                sums[side] =
                    _mm256_fmadd_ps(c, _mm256_loadu_ps(planes[side] + at[j].Index() + k), sums[side]);
            }
        }
        const float sides[2] = {Sum8(sums[0]) * inverse, Sum8(sums[1]) * inverse};
        WriteSides(out + 2 * j, sides, channels);
    }
}

#endif

// The kernels of one instruction set: unstretched, at its widest, and at each frame's stretch.
struct Filters {
    FilterFunction unit;
    FilterFunction widest;
    FilterFunction each;
};

Filters FiltersFor(KernelLevel level) {
#if defined(TQ_CPU_X86)
    if (level >= KernelLevel::kAvx2) {
        return {FilterAvx2<SincTable::kTaps>, FilterAvx2<SincTable::kWideTaps>, FilterStretchedAvx2};
    }
    if (level == KernelLevel::kSse2) {
        return {FilterSse2<SincTable::kTaps>, FilterSse2<SincTable::kWideTaps>, FilterStretchedPortable};
    }
#endif
    (void)level;
    return {FilterPortable<SincTable::kTaps>, FilterPortable<SincTable::kWideTaps>, FilterStretchedPortable};
}

} // namespace

float KernelStretch(int64_t step) {
    return step > kOne ? std::min(static_cast<float>(step * 0x1p-32), float(SincTable::kWidest)) : 1.0f;
}

int KernelReach(float stretch) {
    return static_cast<int>(std::ceil(SincTable::kHalf * stretch));
}

FilterFunction PickFilter(KernelWidth width) {
    const Filters filters = FiltersFor(tqplat::ChosenKernelLevel());
    switch (width) {
    case KernelWidth::kUnit:
        return filters.unit;
    case KernelWidth::kWidest:
        return filters.widest;
    default:
        return filters.each;
    }
}

} // namespace tqaudio
