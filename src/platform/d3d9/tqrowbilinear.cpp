#include "platform/d3d9/tqrowbilinear.h"

#include "platform/system/tqcpufeatures.h"
#include "platform/d3d9/tqpixelmath.h"
#include "platform/d3d9/tqtexturesampler.h"

#include <algorithm>
#include <cstdlib>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tqd3d9 {

namespace {

#if defined(TQ_CPU_X86)
namespace lanes512 {

// MixVertical of the other widths, the carry taken from a comparison mask.
TQ_TARGET_AVX512 inline __m512i MixVertical(__m512i top, __m512i bottom, __m512i w0, __m512i w1) {
    __m512i lowTop = _mm512_mullo_epi16(top, w0), lowBottom = _mm512_mullo_epi16(bottom, w1);
    __m512i high = _mm512_add_epi16(_mm512_mulhi_epu16(top, w0), _mm512_mulhi_epu16(bottom, w1));
    __m512i low = _mm512_add_epi16(lowTop, lowBottom);
    const __m512i one = _mm512_set1_epi16(1);
    high = _mm512_mask_add_epi16(high, _mm512_cmpgt_epu16_mask(lowTop, low), high, one);
    return _mm512_add_epi16(high, _mm512_srli_epi16(low, 15));
}

} // namespace lanes512
#endif

#define TQ_LANE_FUNCTIONS "platform/d3d9/tqbilinearlanes.inc"
#include "platform/d3d9/tqlanewidths.inc"
#undef TQ_LANE_FUNCTIONS

#ifdef __SSE2__

void BilinearRowSse2(uint32_t* out, const uint32_t* row0, const uint32_t* row1, int count, uint32_t fx,
                     uint32_t fy) {
    // The weights are the same for every pixel: one splat each, not FilterPixels' spread per pixel.
    using lanes128::MixHorizontal;
    using lanes128::MixVertical;
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

#endif

void BilinearRowPortable(uint32_t* out, const uint32_t* row0, const uint32_t* row1, int count, uint32_t fx,
                         uint32_t fy) {
    for (int i = 0; i < count; ++i)
        out[i] = BilinearTexel(row0[i], row0[i + 1], row1[i], row1[i + 1], fx, fy);
}

void LinearRowPortable(const TextureView& texture, int64_t u, int64_t v, int64_t du, int64_t dv, int count,
                       uint32_t* out) {
    for (int i = 0; i < count; ++i, u += du, v += dv)
        out[i] = SampleLinear(texture, u, v);
}

void LinearRunsPortable(const TextureView& texture, const LinearRun* runs, int runCount, bool,
                        uint32_t* out) {
    for (const LinearRun* run = runs; run != runs + runCount; out += std::max(run->count, 0), ++run)
        LinearRowPortable(texture, run->u, run->v, run->du, run->dv, run->count, out);
}

// Runs whose first taps (the coordinates less half a texel) all lie near the texture, sampled back
// to back.
typedef void (*SampleRunsFunction)(const TextureView& texture, const LinearRun* runs, int runCount,
                                   bool skipTransparent, uint32_t* out);

#if defined(TQ_CPU_X86)

// Steps below this many 16.16 texels per pixel keep sixteen lanes' coordinates within 32 bits.
constexpr int64_t kMaxLaneStep = int64_t(1) << 24;

// Whether shifted coordinates s0 and s0 + last * ds (and so all between) have their first tap
// within one texture size either side of the texture: -size <= s >> 16 < 2 * size.
bool NearTexture(int64_t s0, int64_t ds, int last, int size) {
    const int64_t low = -(static_cast<int64_t>(size) << 16), high = static_cast<int64_t>(size) << 17;
    const int64_t s1 = s0 + ds * last;
    return s0 >= low && s0 < high && s1 >= low && s1 < high;
}

// The two taps' indices along one axis: the first tap s >> 16 (in -size..2 * size - 1) and the
// next, both wrapped into 0..size-1.
struct TapPair {
    __m256i first, second;
};

TQ_TARGET_AVX2 inline TapPair WrappedTaps(__m256i s, __m256i size) {
    __m256i first = _mm256_srai_epi32(s, 16);
    first =
        _mm256_add_epi32(first, _mm256_and_si256(size, _mm256_cmpgt_epi32(_mm256_setzero_si256(), first)));
    first = _mm256_sub_epi32(first, _mm256_andnot_si256(_mm256_cmpgt_epi32(size, first), size));
    __m256i second = _mm256_add_epi32(first, _mm256_set1_epi32(1));
    second = _mm256_andnot_si256(_mm256_cmpeq_epi32(second, size), second);
    return TapPair{first, second};
}

// The four taps of eight pixels, 0 in lanes left out of `lanes`.
struct Taps {
    __m256i c00, c10, c01, c11;
};

TQ_TARGET_AVX2 inline void GatherTaps(const int* pixels, __m256i row0, __m256i row1, const TapPair& x,
                                      __m256i lanes, Taps* taps) {
    const __m256i zero = _mm256_setzero_si256();
    taps->c00 = _mm256_mask_i32gather_epi32(zero, pixels, _mm256_add_epi32(row0, x.first), lanes, 4);
    taps->c10 = _mm256_mask_i32gather_epi32(zero, pixels, _mm256_add_epi32(row0, x.second), lanes, 4);
    taps->c01 = _mm256_mask_i32gather_epi32(zero, pixels, _mm256_add_epi32(row1, x.first), lanes, 4);
    taps->c11 = _mm256_mask_i32gather_epi32(zero, pixels, _mm256_add_epi32(row1, x.second), lanes, 4);
}

// Eight pixels (the lanes set in `lanes`) from shifted coordinates su, sv; lanes left out read no
// texel and come out 0.
TQ_TARGET_AVX2 __attribute__((always_inline)) inline __m256i
SampleEight(const TextureView& texture, __m256i su, __m256i sv, __m256i lanes, bool skipTransparent) {
    const __m256i width = _mm256_set1_epi32(texture.width), zero = _mm256_setzero_si256();
    const TapPair x = WrappedTaps(su, width), y = WrappedTaps(sv, _mm256_set1_epi32(texture.height));
    // Rows and the width are below 2^15, so one 16-bit multiply-add gives each product.
    const __m256i row0 = _mm256_madd_epi16(y.first, width), row1 = _mm256_madd_epi16(y.second, width);
    const int* pixels = reinterpret_cast<const int*>(texture.pixels);
    Taps taps;
    GatherTaps(pixels, row0, row1, x, lanes, &taps);
    const __m256i alphas = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    if (skipTransparent && _mm256_testz_si256(_mm256_or_si256(_mm256_or_si256(taps.c00, taps.c10),
                                                              _mm256_or_si256(taps.c01, taps.c11)),
                                              alphas))
        return zero;
    const __m256i fraction = _mm256_set1_epi32(0xFF);
    return lanes256::FilterPixels(taps.c00, taps.c10, taps.c01, taps.c11,
                                  _mm256_and_si256(_mm256_srli_epi32(su, 8), fraction),
                                  _mm256_and_si256(_mm256_srli_epi32(sv, 8), fraction));
}

// A shifted coordinate moved by whole texture sizes into 0..size: the same taps after wrapping.
int64_t IntoTexture(int64_t s, int size) {
    const int64_t period = static_cast<int64_t>(size) << 16, r = s % period;
    return r < 0 ? r + period : r;
}

// Eight pixels from shifted coordinates su, sv stepping by du, dv; n of them (1..8) written to out.
TQ_TARGET_AVX2 __attribute__((always_inline)) inline void
SampleGroupAvx2(const TextureView& texture, int64_t su, int64_t sv, int64_t du, int64_t dv, int n,
                bool skipTransparent, uint32_t* out) {
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i active = _mm256_cmpgt_epi32(_mm256_set1_epi32(n), lanes);
    __m256i u8 = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(su)),
                                  _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int>(du))));
    __m256i v8 = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(sv)),
                                  _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int>(dv))));
    __m256i texels = SampleEight(texture, u8, v8, active, skipTransparent);
    if (n == 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), texels);
    else
        _mm256_maskstore_epi32(reinterpret_cast<int*>(out), active, texels);
}

// `count` pixels from shifted coordinates su, sv whose first taps all lie near the texture, eight
// at a time.
TQ_TARGET_AVX2 void SampleRunAvx2(const TextureView& texture, int64_t su, int64_t sv, int64_t du, int64_t dv,
                                  int count, bool skipTransparent, uint32_t* out) {
    for (int i = 0; i < count; i += 8, su += 8 * du, sv += 8 * dv)
        SampleGroupAvx2(texture, su, sv, du, dv, std::min(count - i, 8), skipTransparent, out + i);
}

TQ_TARGET_AVX2 void SampleRunsAvx2(const TextureView& texture, const LinearRun* runs, int runCount,
                                   bool skipTransparent, uint32_t* out) {
    for (const LinearRun* run = runs; run != runs + runCount; out += run->count, ++run)
        SampleRunAvx2(texture, run->u - 0x8000, run->v - 0x8000, run->du, run->dv, run->count,
                      skipTransparent, out);
}

#endif

#if defined(TQ_CPU_X86)

// Sixteen pixels at a time with AVX-512: the taps as in SampleEight, but where no pixel's first
// tap is in the texture's last column each row's two taps come in one 64-bit load, halving the
// gathered elements.

struct TapPair16 {
    __m512i first, second;
};

TQ_TARGET_AVX512 inline TapPair16 WrappedTaps16(__m512i s, __m512i size) {
    __m512i first = _mm512_srai_epi32(s, 16);
    first = _mm512_mask_add_epi32(first, _mm512_cmplt_epi32_mask(first, _mm512_setzero_si512()), first, size);
    first = _mm512_mask_sub_epi32(first, _mm512_cmpge_epi32_mask(first, size), first, size);
    __m512i second = _mm512_add_epi32(first, _mm512_set1_epi32(1));
    return TapPair16{first, _mm512_maskz_mov_epi32(_mm512_cmpneq_epi32_mask(second, size), second)};
}

// The texels at index and index + 1 of sixteen lanes as the first (*left) and second (*right) of
// each pair.
TQ_TARGET_AVX512 inline void GatherPairs(const long long* pixels, __m512i index, __mmask16 lanes,
                                         __m512i* left, __m512i* right) {
    const __m512i zero = _mm512_setzero_si512();
    __m512i low = _mm512_mask_i32gather_epi64(zero, static_cast<__mmask8>(lanes),
                                              _mm512_castsi512_si256(index), pixels, 4);
    __m512i high = _mm512_mask_i32gather_epi64(zero, static_cast<__mmask8>(lanes >> 8),
                                               _mm512_extracti64x4_epi64(index, 1), pixels, 4);
    const __m512i even = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
    const __m512i odd = _mm512_add_epi32(even, _mm512_set1_epi32(1));
    *left = _mm512_permutex2var_epi32(low, even, high);
    *right = _mm512_permutex2var_epi32(low, odd, high);
}

// Sixteen pixels (the lanes set in `active`) from shifted coordinates u16, v16, written to out.
TQ_TARGET_AVX512 __attribute__((always_inline)) inline void
SampleLanesAvx512(const TextureView& texture, __m512i u16, __m512i v16, __mmask16 active,
                  bool skipTransparent, uint32_t* out) {
    const __m512i width = _mm512_set1_epi32(texture.width), zero = _mm512_setzero_si512();
    const TapPair16 x = WrappedTaps16(u16, width), y = WrappedTaps16(v16, _mm512_set1_epi32(texture.height));
    const __m512i row0 = _mm512_madd_epi16(y.first, width), row1 = _mm512_madd_epi16(y.second, width);
    __m512i c00, c10, c01, c11;
    const __m512i lastColumn = _mm512_sub_epi32(width, _mm512_set1_epi32(1));
    if ((_mm512_cmpeq_epi32_mask(x.first, lastColumn) & active) == 0) {
        const long long* pairs = reinterpret_cast<const long long*>(texture.pixels);
        GatherPairs(pairs, _mm512_add_epi32(row0, x.first), active, &c00, &c10);
        GatherPairs(pairs, _mm512_add_epi32(row1, x.first), active, &c01, &c11);
    } else {
        const int* pixels = reinterpret_cast<const int*>(texture.pixels);
        c00 = _mm512_mask_i32gather_epi32(zero, active, _mm512_add_epi32(row0, x.first), pixels, 4);
        c10 = _mm512_mask_i32gather_epi32(zero, active, _mm512_add_epi32(row0, x.second), pixels, 4);
        c01 = _mm512_mask_i32gather_epi32(zero, active, _mm512_add_epi32(row1, x.first), pixels, 4);
        c11 = _mm512_mask_i32gather_epi32(zero, active, _mm512_add_epi32(row1, x.second), pixels, 4);
    }
    const __m512i alphas = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
    __m512i texels = zero;
    const __m512i any = _mm512_or_si512(_mm512_or_si512(c00, c10), _mm512_or_si512(c01, c11));
    if (!skipTransparent || _mm512_test_epi32_mask(any, alphas) != 0) {
        const __m512i fraction = _mm512_set1_epi32(0xFF);
        texels =
            lanes512::FilterPixels(c00, c10, c01, c11, _mm512_and_si512(_mm512_srli_epi32(u16, 8), fraction),
                                   _mm512_and_si512(_mm512_srli_epi32(v16, 8), fraction));
    }
    _mm512_mask_storeu_epi32(out, active, texels);
}

// Runs sampled sixteen pixels at a time, a group's lanes filled from as many
// runs as it takes: each lane steps its own run's coordinates. The lane arithmetic wraps at 32 bits,
// exact for every lane that is filled, as those coordinates lie near the texture.
TQ_TARGET_AVX512 void SampleRunsAvx512(const TextureView& texture, const LinearRun* runs, int runCount,
                                       bool skipTransparent, uint32_t* out) {
    const __m512i lanes = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    int run = 0, done = 0; // pixels of runs[run] already in lanes
    while (run < runCount) {
        __m512i u16 = _mm512_setzero_si512(), v16 = _mm512_setzero_si512();
        int filled = 0;
        while (filled < 16 && run < runCount) {
            const LinearRun& r = runs[run];
            const int take = std::min(16 - filled, r.count - done);
            const __mmask16 lanesOfRun = static_cast<__mmask16>(((1u << take) - 1) << filled);
            // The run's pixel that lane 0 would hold, and its first taps' coordinates.
            const int64_t first = done - filled;
            u16 = _mm512_mask_add_epi32(u16, lanesOfRun,
                                        _mm512_set1_epi32(static_cast<int>(r.u - 0x8000 + first * r.du)),
                                        _mm512_mullo_epi32(lanes, _mm512_set1_epi32(static_cast<int>(r.du))));
            v16 = _mm512_mask_add_epi32(v16, lanesOfRun,
                                        _mm512_set1_epi32(static_cast<int>(r.v - 0x8000 + first * r.dv)),
                                        _mm512_mullo_epi32(lanes, _mm512_set1_epi32(static_cast<int>(r.dv))));
            filled += take;
            done += take;
            if (done == r.count) {
                ++run;
                done = 0;
            }
        }
        SampleLanesAvx512(texture, u16, v16, static_cast<__mmask16>((1u << filled) - 1), skipTransparent,
                          out);
        out += filled;
    }
}

#endif

#if defined(TQ_CPU_X86)

// Whether a run's first taps lie near the texture and its steps suit the lanes.
inline bool RunNearTexture(const TextureView& texture, const LinearRun& run) {
    return std::max(std::llabs(run.du), std::llabs(run.dv)) < kMaxLaneStep &&
           NearTexture(run.u - 0x8000, run.du, run.count - 1, texture.width) &&
           NearTexture(run.v - 0x8000, run.dv, run.count - 1, texture.height);
}

// A run moved by whole texture sizes so that its first pixel's first taps lie in the texture: the
// same taps and weights.
LinearRun IntoTexture(const TextureView& texture, const LinearRun& run) {
    return LinearRun{IntoTexture(run.u - 0x8000, texture.width) + 0x8000,
                     IntoTexture(run.v - 0x8000, texture.height) + 0x8000, run.du, run.dv, run.count};
}

// A run whose first taps do not all lie near the texture: whole when moving it brings them near,
// else each Lanes pixels moved on their own, and those still too far apart (or with steps too long
// for the lanes) one by one.
template <int Lanes, SampleRunsFunction SampleRuns>
void SampleFarRun(const TextureView& texture, const LinearRun& run, bool skipTransparent, uint32_t* out) {
    const LinearRun moved = IntoTexture(texture, run);
    if (RunNearTexture(texture, moved)) {
        SampleRuns(texture, &moved, 1, skipTransparent, out);
        return;
    }
    for (int i = 0; i < run.count; i += Lanes) {
        const LinearRun group = IntoTexture(texture, LinearRun{run.u + i * run.du, run.v + i * run.dv, run.du,
                                                               run.dv, std::min(run.count - i, Lanes)});
        if (RunNearTexture(texture, group))
            SampleRuns(texture, &group, 1, skipTransparent, out + i);
        else
            LinearRowPortable(texture, group.u, group.v, group.du, group.dv, group.count, out + i);
    }
}

// Runs drawn by SampleRuns, Lanes pixels at a time: all in one go when their first taps lie near
// the texture (a sprite's rows), else those that do in stretches and each other on its own
// (SampleFarRun).
template <int Lanes, SampleRunsFunction SampleRuns>
void LinearRunsInLanes(const TextureView& texture, const LinearRun* runs, int runCount, bool skipTransparent,
                       uint32_t* out) {
    const LinearRun* stretch = runs;
    uint32_t* stretchOut = out;
    for (const LinearRun* run = runs; run != runs + runCount; out += run->count, ++run) {
        if (RunNearTexture(texture, *run))
            continue;
        SampleRuns(texture, stretch, static_cast<int>(run - stretch), skipTransparent, stretchOut);
        SampleFarRun<Lanes, SampleRuns>(texture, *run, skipTransparent, out);
        stretch = run + 1;
        stretchOut = out + run->count;
    }
    SampleRuns(texture, stretch, static_cast<int>(runs + runCount - stretch), skipTransparent, stretchOut);
}

#endif

} // namespace

BilinearRowFunction PickBilinearRow() {
#ifdef __SSE2__
    if (tqplat::ChosenKernelLevel() >= tqplat::KernelLevel::kSse2)
        return BilinearRowSse2;
#endif
    return BilinearRowPortable;
}

LinearRunsFunction PickLinearRuns() {
    switch (tqplat::ChosenKernelLevel()) {
#if defined(TQ_CPU_X86)
    case tqplat::KernelLevel::kAvx512:
        return LinearRunsInLanes<16, SampleRunsAvx512>;
#endif
#if defined(TQ_CPU_X86)
    case tqplat::KernelLevel::kAvx2:
        return LinearRunsInLanes<8, SampleRunsAvx2>;
#endif
    default:
        return LinearRunsPortable;
    }
}

} // namespace tqd3d9
