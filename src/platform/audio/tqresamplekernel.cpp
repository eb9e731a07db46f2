#include "platform/audio/tqresamplekernel.h"

#include "platform/audio/tqsinctable.h"
#include "platform/system/tqcpufeatures.h"

#include <algorithm>

#if defined(TQ_CPU_X86)
#define TQ_INLINE_AVX2 inline __attribute__((target("avx2,fma"), always_inline))
#endif

namespace tqaudio {

namespace {

using tqplat::KernelLevel;

constexpr int64_t kOne = int64_t(1) << 32;

// The first tap's frame, from the position's frame, for a kernel of `taps` taps.
constexpr int FirstTap(int taps) {
    return 1 - taps / 2;
}

// A table of phase rows has kTaps taps and 1 << kPhaseBits phases, then the next frame's first: the
// unit table, the widest one, or the rows blended for a band stretch.
template <int kPhaseBits> constexpr int FractionBits() {
    return 32 - kPhaseBits;
}

template <int kTaps, int kPhaseBits> const float* PhaseRow(const float* rows, uint32_t fraction) {
    return rows + (fraction >> FractionBits<kPhaseBits>()) * kTaps;
}

// How far a position is from its phase row to the next.
template <int kPhaseBits> float PhaseWeight(uint32_t fraction) {
    return (fraction & ((1u << FractionBits<kPhaseBits>()) - 1)) *
           (1.0f / (1u << FractionBits<kPhaseBits>()));
}

void WriteSides(float* out, const float* sides, int channels) {
    out[0] = sides[0];
    out[1] = sides[channels - 1];
}

template <int kTaps, int kPhaseBits>
void FilterPortable(const float* rows, const float* const* planes, int channels, const FramePosition* at,
                    size_t count, float* out) {
    float coefficients[kTaps];
    for (size_t j = 0; j < count; ++j) {
        const float* row = PhaseRow<kTaps, kPhaseBits>(rows, at[j].Fraction());
        const float weight = PhaseWeight<kPhaseBits>(at[j].Fraction());
        for (int k = 0; k < kTaps; ++k) {
            coefficients[k] = row[k] + weight * (row[kTaps + k] - row[k]);
        }
        float sides[2];
        for (int c = 0; c < channels; ++c) {
            const float* x = planes[c] + at[j].Index() + FirstTap(kTaps);
            float sum = 0.0f;
            for (int k = 0; k < kTaps; ++k) {
                sum += coefficients[k] * x[k];
            }
            sides[c] = sum;
        }
        WriteSides(out + 2 * j, sides, channels);
    }
}

// The grids a band's rows are blended from, at phase 0: `rows` rows, one a phase, of the band's
// taps, the wider grid's rows `highStride` apart.
struct BandBlend {
    const float* low;
    const float* high;
    int highStride;
    int rows;
    float weight;
};

// The blend with its taps known, so the compiler turns the rows into vectors of the instruction set
// of the function it is inlined into.
template <int kTaps>
inline __attribute__((always_inline)) void BlendRows(const BandBlend& blend, float* __restrict out) {
    for (int r = 0; r < blend.rows; ++r) {
        const float* __restrict low = blend.low + r * kTaps;
        const float* __restrict high = blend.high + r * blend.highStride;
        for (int k = 0; k < kTaps; ++k) {
            out[r * kTaps + k] = low[k] + blend.weight * (high[k] - low[k]);
        }
    }
}

template <int kTaps> void BlendPortable(const BandBlend& blend, float* out) {
    BlendRows<kTaps>(blend, out);
}

#if defined(TQ_CPU_X86)

// from + weight (to - from), lane by lane.
__m128 Interpolate(__m128 from, __m128 to, __m128 weight) {
    return _mm_add_ps(from, _mm_mul_ps(weight, _mm_sub_ps(to, from)));
}

TQ_INLINE_AVX2 __m256 Interpolate8(__m256 from, __m256 to, __m256 weight) {
    return _mm256_fmadd_ps(weight, _mm256_sub_ps(to, from), from);
}

float Sum4(__m128 v) {
    v = _mm_add_ps(v, _mm_movehl_ps(v, v));
    v = _mm_add_ss(v, _mm_shuffle_ps(v, v, 1));
    return _mm_cvtss_f32(v);
}

template <int kTaps, int kPhaseBits>
void FilterSse2(const float* rows, const float* const* planes, int channels, const FramePosition* at,
                size_t count, float* out) {
    for (size_t j = 0; j < count; ++j) {
        const float* row = PhaseRow<kTaps, kPhaseBits>(rows, at[j].Fraction());
        const __m128 weight = _mm_set1_ps(PhaseWeight<kPhaseBits>(at[j].Fraction()));
        __m128 coefficients[kTaps / 4];
        for (int q = 0; q < kTaps / 4; ++q) {
            coefficients[q] =
                Interpolate(_mm_loadu_ps(row + 4 * q), _mm_loadu_ps(row + kTaps + 4 * q), weight);
        }
        float sides[2];
        for (int c = 0; c < channels; ++c) {
            const float* x = planes[c] + at[j].Index() + FirstTap(kTaps);
            __m128 sum = _mm_mul_ps(coefficients[0], _mm_loadu_ps(x));
            for (int q = 1; q < kTaps / 4; ++q) {
                sum = _mm_add_ps(sum, _mm_mul_ps(coefficients[q], _mm_loadu_ps(x + 4 * q)));
            }
            sides[c] = Sum4(sum);
        }
        WriteSides(out + 2 * j, sides, channels);
    }
}

template <int kTaps> TQ_TARGET_AVX2 void BlendAvx2(const BandBlend& blend, float* out) {
    BlendRows<kTaps>(blend, out);
}

TQ_INLINE_AVX2 float Sum8(__m256 v) {
    __m128 half = _mm_add_ps(_mm256_castps256_ps128(v), _mm256_extractf128_ps(v, 1));
    half = _mm_add_ps(half, _mm_movehl_ps(half, half));
    half = _mm_add_ss(half, _mm_shuffle_ps(half, half, 1));
    return _mm_cvtss_f32(half);
}

// The coefficients of taps 8q to 8q + 7 at a phase row, `weight` of the way to the next phase.
template <int kTaps> TQ_INLINE_AVX2 __m256 Coefficients(const float* row, __m256 weight, int q) {
    return Interpolate8(_mm256_loadu_ps(row + 8 * q), _mm256_loadu_ps(row + kTaps + 8 * q), weight);
}

// The partial sums of one output frame on one plane, or on two sharing the coefficients: eight
// each, of the kTaps products of the frames and the coefficients, in two chains (an odd last vector
// joins the first). Each vector of coefficients is used as soon as it is made, so few registers
// are live however many taps.
template <int kTaps, int kPhaseBits, bool kStereo>
TQ_INLINE_AVX2 void FrameProducts(const float* rows, const FramePosition& at, const float* left,
                                  const float* right, __m256* leftSums, __m256* rightSums) {
    static_assert(kTaps % 8 == 0 && kTaps >= 16, "the AVX2 kernel reads its taps as vectors, two at least");
    const float* row = PhaseRow<kTaps, kPhaseBits>(rows, at.Fraction());
    const __m256 weight = _mm256_set1_ps(PhaseWeight<kPhaseBits>(at.Fraction()));
    const int first = at.Index() + FirstTap(kTaps);
    const float* x = left + first;
    const float* y = kStereo ? right + first : nullptr;
    __m256 c = Coefficients<kTaps>(row, weight, 0);
    __m256 a = _mm256_mul_ps(c, _mm256_loadu_ps(x)), ra = kStereo ? _mm256_mul_ps(c, _mm256_loadu_ps(y)) : c;
    c = Coefficients<kTaps>(row, weight, 1);
    __m256 b = _mm256_mul_ps(c, _mm256_loadu_ps(x + 8)),
           rb = kStereo ? _mm256_mul_ps(c, _mm256_loadu_ps(y + 8)) : c;
#pragma GCC unroll 4
    for (int q = 2; q + 1 < kTaps / 8; q += 2) {
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
    if (kTaps / 8 % 2) {
        constexpr int q = kTaps / 8 - 1;
        c = Coefficients<kTaps>(row, weight, q);
        a = _mm256_fmadd_ps(c, _mm256_loadu_ps(x + 8 * q), a);
        if (kStereo) {
            ra = _mm256_fmadd_ps(c, _mm256_loadu_ps(y + 8 * q), ra);
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
template <int kTaps, int kPhaseBits, bool kStereo>
TQ_INLINE_AVX2 void FilterPlanesAvx2(const float* rows, const float* left, const float* right,
                                     const FramePosition* at, size_t count, float* out) {
    size_t j = 0;
    for (; j + 8 <= count; j += 8) {
        // a mono input leaves the right sums as they are
        const __m256 zero = _mm256_setzero_ps();
        __m256 l0, l1, l2, l3, l4, l5, l6, l7;
        __m256 r0 = zero, r1 = zero, r2 = zero, r3 = zero, r4 = zero, r5 = zero, r6 = zero, r7 = zero;
        FrameProducts<kTaps, kPhaseBits, kStereo>(rows, at[j], left, right, &l0, &r0);
        FrameProducts<kTaps, kPhaseBits, kStereo>(rows, at[j + 1], left, right, &l1, &r1);
        FrameProducts<kTaps, kPhaseBits, kStereo>(rows, at[j + 2], left, right, &l2, &r2);
        FrameProducts<kTaps, kPhaseBits, kStereo>(rows, at[j + 3], left, right, &l3, &r3);
        FrameProducts<kTaps, kPhaseBits, kStereo>(rows, at[j + 4], left, right, &l4, &r4);
        FrameProducts<kTaps, kPhaseBits, kStereo>(rows, at[j + 5], left, right, &l5, &r5);
        FrameProducts<kTaps, kPhaseBits, kStereo>(rows, at[j + 6], left, right, &l6, &r6);
        FrameProducts<kTaps, kPhaseBits, kStereo>(rows, at[j + 7], left, right, &l7, &r7);
        const __m256 leftSums = SumAcross8(l0, l1, l2, l3, l4, l5, l6, l7);
        StoreStereo8(out + 2 * j, leftSums, kStereo ? SumAcross8(r0, r1, r2, r3, r4, r5, r6, r7) : leftSums);
    }
    for (; j < count; ++j) {
        __m256 l, r = _mm256_setzero_ps();
        FrameProducts<kTaps, kPhaseBits, kStereo>(rows, at[j], left, right, &l, &r);
        out[2 * j] = Sum8(l);
        out[2 * j + 1] = kStereo ? Sum8(r) : out[2 * j];
    }
}

template <int kTaps, int kPhaseBits>
TQ_TARGET_AVX2 void FilterAvx2(const float* rows, const float* const* planes, int channels,
                               const FramePosition* at, size_t count, float* out) {
    if (channels == 2) {
        FilterPlanesAvx2<kTaps, kPhaseBits, true>(rows, planes[0], planes[1], at, count, out);
    } else {
        FilterPlanesAvx2<kTaps, kPhaseBits, false>(rows, planes[0], nullptr, at, count, out);
    }
}

#endif

// The kernels of one instruction set: unstretched, at its widest and through the rows blended for
// each band width (SincTable::BandTaps: 40, 48, 56 or 64 taps), and the blends of those rows.
struct Filters {
    FilterFunction unit;
    FilterFunction widest;
    FilterFunction bands[4];
    void (*blends[4])(const BandBlend& blend, float* rows);
};

// A band width's place among Filters' kernels.
int BandIndex(int taps) {
    static_assert(SincTable::BandTaps(0) == 40 && SincTable::BandTaps(SincTable::kBands - 1) == 64,
                  "every band's taps have a kernel");
    return (taps - 40) / 8;
}

constexpr int kUnitBits = SincTable::kPhaseBits;
constexpr int kWideBits = SincTable::kWidePhaseBits;
constexpr int kBandBits = SincTable::kBandPhaseBits;

Filters FiltersFor(KernelLevel level) {
#if defined(TQ_CPU_X86)
    if (level >= KernelLevel::kAvx2) {
        return {FilterAvx2<SincTable::kTaps, kUnitBits>,
                FilterAvx2<SincTable::kWideTaps, kWideBits>,
                {FilterAvx2<40, kBandBits>, FilterAvx2<48, kBandBits>, FilterAvx2<56, kBandBits>,
                 FilterAvx2<64, kBandBits>},
                {BlendAvx2<40>, BlendAvx2<48>, BlendAvx2<56>, BlendAvx2<64>}};
    }
    if (level == KernelLevel::kSse2) {
        return {FilterSse2<SincTable::kTaps, kUnitBits>,
                FilterSse2<SincTable::kWideTaps, kWideBits>,
                {FilterSse2<40, kBandBits>, FilterSse2<48, kBandBits>, FilterSse2<56, kBandBits>,
                 FilterSse2<64, kBandBits>},
                {BlendPortable<40>, BlendPortable<48>, BlendPortable<56>, BlendPortable<64>}};
    }
#endif
    (void)level;
    return {FilterPortable<SincTable::kTaps, kUnitBits>,
            FilterPortable<SincTable::kWideTaps, kWideBits>,
            {FilterPortable<40, kBandBits>, FilterPortable<48, kBandBits>, FilterPortable<56, kBandBits>,
             FilterPortable<64, kBandBits>},
            {BlendPortable<40>, BlendPortable<48>, BlendPortable<56>, BlendPortable<64>}};
}

} // namespace

int BlendBand(float stretch, float* rows) {
    const SincTable& table = SincTable::Get();
    const SincTable::BandPoint point = SincTable::BandAt(stretch);
    const int taps = SincTable::BandTaps(point.band), highTaps = SincTable::GridTaps(point.band + 1);
    const BandBlend blend = {table.GridRow(point.band, 0),
                             table.GridRow(point.band + 1, 0) + (highTaps - taps) / 2, highTaps,
                             (1 << SincTable::kBandPhaseBits) + 1, point.weight};
    FiltersFor(tqplat::ChosenKernelLevel()).blends[BandIndex(taps)](blend, rows);
    return taps;
}

float KernelStretch(int64_t step) {
    return step > kOne ? std::min(static_cast<float>(step * 0x1p-32), float(SincTable::kWidest)) : 1.0f;
}

int KernelReach(float stretch) {
    return stretch <= 1.0f ? SincTable::kHalf : SincTable::BandTaps(SincTable::BandAt(stretch).band) / 2;
}

FilterFunction PickFilter(KernelWidth width, int taps) {
    const Filters filters = FiltersFor(tqplat::ChosenKernelLevel());
    switch (width) {
    case KernelWidth::kUnit:
        return filters.unit;
    case KernelWidth::kWidest:
        return filters.widest;
    default:
        return filters.bands[BandIndex(taps)];
    }
}

} // namespace tqaudio
