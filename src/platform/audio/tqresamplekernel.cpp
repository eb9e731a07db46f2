#include "platform/audio/tqresamplekernel.h"

#include "platform/audio/tqsinctable.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#if defined(__GNUC__) && defined(__x86_64__)
#define TQ_AUDIO_X86 1
#include <immintrin.h>
#define TQ_TARGET_AVX2 __attribute__((target("avx2,fma")))
#define TQ_INLINE_AVX2 inline __attribute__((target("avx2,fma"), always_inline))
#endif

namespace tqaudio {

namespace {

constexpr int kTaps = SincTable::kTaps;
constexpr int kFirstTap = 1 - SincTable::kHalf; // the first tap's frame, from the position's frame
constexpr int kFractionBits = 32 - SincTable::kPhaseBits;
constexpr float kFractionScale = 1.0f / (1u << kFractionBits);
constexpr float kCurveEnd = float(SincTable::kTaps * SincTable::kPhases);

KernelLevel DetectLevel() {
#if defined(TQ_AUDIO_X86)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
        return KernelLevel::kAvx2;
    }
    return KernelLevel::kSse2;
#else
    return KernelLevel::kPortable;
#endif
}

const KernelLevel kCpuLevel = DetectLevel();
std::atomic<KernelLevel> g_level{kCpuLevel};

const float* PhaseRow(const float* rows, uint32_t fraction) {
    return rows + (fraction >> kFractionBits) * 2 * kTaps;
}

float PhaseWeight(uint32_t fraction) {
    return (fraction & ((1u << kFractionBits) - 1)) * kFractionScale;
}

void WriteSides(float* out, const float* sides, int channels) {
    out[0] = sides[0];
    out[1] = sides[channels - 1];
}

void FilterPortable(const float* const* planes, int channels, const FramePosition* at, size_t count,
                    float* out) {
    const float* rows = SincTable::Get().Row(0);
    float coefficients[kTaps];
    for (size_t j = 0; j < count; ++j) {
        const float* row = PhaseRow(rows, at[j].fraction);
        const float weight = PhaseWeight(at[j].fraction);
        for (int k = 0; k < kTaps; ++k) {
            coefficients[k] = row[k] + weight * row[kTaps + k];
        }
        float sides[2];
        for (int c = 0; c < channels; ++c) {
            const float* x = planes[c] + at[j].index + kFirstTap;
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
void FilterStretchedPortable(const float* const* planes, int channels, const FramePosition* at, size_t count,
                             float* out) {
    const float* curve = SincTable::Get().Curve();
    for (size_t j = 0; j < count; ++j) {
        const int reach = KernelReach(at[j].stretch);
        const float inverse = 1.0f / at[j].stretch;
        const float step = inverse * SincTable::kPhases;
        const float first =
            ((1 - reach - at[j].fraction * 0x1p-32f) * inverse + SincTable::kHalf) * SincTable::kPhases;
        float sides[2] = {0.0f, 0.0f};
        for (int k = 1 - reach; k <= reach; ++k) {
            const float u = first + (k - 1 + reach) * step;
            if (u < 0.0f || u >= kCurveEnd) {
                continue;
            }
            const int n = static_cast<int>(u);
            const float c = (curve[n] + (u - n) * (curve[n + 1] - curve[n])) * inverse;
            for (int side = 0; side < channels; ++side) {
                sides[side] += c * planes[side][at[j].index + k];
            }
        }
        WriteSides(out + 2 * j, sides, channels);
    }
}

#if defined(TQ_AUDIO_X86)

float Sum4(__m128 v) {
    v = _mm_add_ps(v, _mm_movehl_ps(v, v));
    v = _mm_add_ss(v, _mm_shuffle_ps(v, v, 1));
    return _mm_cvtss_f32(v);
}

void FilterSse2(const float* const* planes, int channels, const FramePosition* at, size_t count, float* out) {
    const float* rows = SincTable::Get().Row(0);
    for (size_t j = 0; j < count; ++j) {
        const float* row = PhaseRow(rows, at[j].fraction);
        const __m128 weight = _mm_set1_ps(PhaseWeight(at[j].fraction));
        __m128 coefficients[kTaps / 4];
        for (int q = 0; q < kTaps / 4; ++q) {
            coefficients[q] =
                _mm_add_ps(_mm_loadu_ps(row + 4 * q), _mm_mul_ps(weight, _mm_loadu_ps(row + kTaps + 4 * q)));
        }
        float sides[2];
        for (int c = 0; c < channels; ++c) {
            const float* x = planes[c] + at[j].index + kFirstTap;
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

// The 32 coefficients of a position's phase, interpolated between its two nearest phases.
TQ_INLINE_AVX2 void Coefficients(const float* rows, uint32_t fraction, __m256* coefficients) {
    const float* row = PhaseRow(rows, fraction);
    const __m256 weight = _mm256_set1_ps(PhaseWeight(fraction));
    for (int q = 0; q < 4; ++q) {
        coefficients[q] =
            _mm256_fmadd_ps(weight, _mm256_loadu_ps(row + kTaps + 8 * q), _mm256_loadu_ps(row + 8 * q));
    }
}

// Eight partial sums of the 32 products, to be added across.
TQ_INLINE_AVX2 __m256 Products(const __m256* coefficients, const float* x) {
    __m256 a = _mm256_mul_ps(coefficients[0], _mm256_loadu_ps(x));
    __m256 b = _mm256_mul_ps(coefficients[1], _mm256_loadu_ps(x + 8));
    a = _mm256_fmadd_ps(coefficients[2], _mm256_loadu_ps(x + 16), a);
    b = _mm256_fmadd_ps(coefficients[3], _mm256_loadu_ps(x + 24), b);
    return _mm256_add_ps(a, b);
}

// The sums across each of eight vectors, in order.
TQ_INLINE_AVX2 __m256 SumAcross8(const __m256* v) {
    const __m256 low = _mm256_hadd_ps(_mm256_hadd_ps(v[0], v[1]), _mm256_hadd_ps(v[2], v[3]));
    const __m256 high = _mm256_hadd_ps(_mm256_hadd_ps(v[4], v[5]), _mm256_hadd_ps(v[6], v[7]));
    return _mm256_add_ps(_mm256_permute2f128_ps(low, high, 0x20), _mm256_permute2f128_ps(low, high, 0x31));
}

// Eight stereo frames from eight left and eight right values.
TQ_INLINE_AVX2 void StoreStereo8(float* out, __m256 left, __m256 right) {
    const __m256 low = _mm256_unpacklo_ps(left, right);
    const __m256 high = _mm256_unpackhi_ps(left, right);
    _mm256_storeu_ps(out, _mm256_permute2f128_ps(low, high, 0x20));
    _mm256_storeu_ps(out + 8, _mm256_permute2f128_ps(low, high, 0x31));
}

// Eight output frames at a time, their sums added across together; the rest one by one.
TQ_TARGET_AVX2 void FilterAvx2(const float* const* planes, int channels, const FramePosition* at,
                               size_t count, float* out) {
    static_assert(kTaps == 32, "the AVX2 kernel reads 32 taps as four vectors");
    const float* rows = SincTable::Get().Row(0);
    const float* right = planes[channels - 1];
    size_t j = 0;
    for (; j + 8 <= count; j += 8) {
        __m256 sums[2][8];
        for (int f = 0; f < 8; ++f) {
            __m256 coefficients[4];
            Coefficients(rows, at[j + f].fraction, coefficients);
            const int first = at[j + f].index + kFirstTap;
            sums[0][f] = Products(coefficients, planes[0] + first);
            if (channels == 2) {
                sums[1][f] = Products(coefficients, right + first);
            }
        }
        const __m256 left = SumAcross8(sums[0]);
        StoreStereo8(out + 2 * j, left, channels == 2 ? SumAcross8(sums[1]) : left);
    }
    for (; j < count; ++j) {
        __m256 coefficients[4];
        Coefficients(rows, at[j].fraction, coefficients);
        const int first = at[j].index + kFirstTap;
        out[2 * j] = Sum8(Products(coefficients, planes[0] + first));
        out[2 * j + 1] = channels == 2 ? Sum8(Products(coefficients, right + first)) : out[2 * j];
    }
}

// As FilterStretchedPortable, eight taps at a time with gathered curve points; lanes past the
// kernel's ends weigh nothing (the planes hold at least seven frames more past the reach).
TQ_TARGET_AVX2 void FilterStretchedAvx2(const float* const* planes, int channels, const FramePosition* at,
                                        size_t count, float* out) {
    const float* curve = SincTable::Get().Curve();
    const __m256 lanes = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256 zero = _mm256_setzero_ps();
    const __m256 end = _mm256_set1_ps(kCurveEnd);
    for (size_t j = 0; j < count; ++j) {
        const int reach = KernelReach(at[j].stretch);
        const float inverse = 1.0f / at[j].stretch;
        const __m256 step = _mm256_set1_ps(inverse * SincTable::kPhases);
        const __m256 first = _mm256_set1_ps(
            ((1 - reach - at[j].fraction * 0x1p-32f) * inverse + SincTable::kHalf) * SincTable::kPhases);
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
                sums[side] = _mm256_fmadd_ps(c, _mm256_loadu_ps(planes[side] + at[j].index + k), sums[side]);
            }
        }
        const float sides[2] = {Sum8(sums[0]) * inverse, Sum8(sums[1]) * inverse};
        WriteSides(out + 2 * j, sides, channels);
    }
}

#endif

} // namespace

KernelLevel ChosenKernelLevel() {
    return g_level.load(std::memory_order_relaxed);
}

void LimitKernelLevel(KernelLevel level) {
    g_level.store(std::min(level, kCpuLevel), std::memory_order_relaxed);
}

int KernelReach(float stretch) {
    return static_cast<int>(std::ceil(SincTable::kHalf * stretch));
}

FilterFunction PickFilter(bool stretched) {
#if defined(TQ_AUDIO_X86)
    switch (ChosenKernelLevel()) {
    case KernelLevel::kAvx2:
        return stretched ? FilterStretchedAvx2 : FilterAvx2;
    case KernelLevel::kSse2:
        return stretched ? FilterStretchedPortable : FilterSse2;
    default:
        break;
    }
#endif
    return stretched ? FilterStretchedPortable : FilterPortable;
}

} // namespace tqaudio
