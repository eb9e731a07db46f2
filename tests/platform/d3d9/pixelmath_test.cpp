// The packed and vector forms of the 8-bit arithmetic, with every kernel level the processor runs,
// against the per-channel formulas they replace.
#include "kernellevels.h"

#include "platform/d3d9/tqpixelmath.h"
#include "platform/d3d9/tqpixelpipeline.h"
#include "platform/d3d9/tqrowbilinear.h"
#include "platform/d3d9/tqrowblend.h"
#include "platform/d3d9/tqtexturesampler.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tqd3d9 {
namespace {

TEST(PixelMath, PackedDivisionMatchesRoundedDivisionForEveryProduct) {
    for (uint32_t x = 0; x <= 255 * 255; ++x) {
        ASSERT_EQ(Div255(x), Div255Lanes(x) & 0xFF) << x;
        ASSERT_EQ(Div255(x), Div255Lanes(x << 16) >> 16) << x;
    }
    EXPECT_EQ(255u, Mul8(255, 255));
    EXPECT_EQ(0u, Mul8(0, 255));
    EXPECT_EQ(64u, Mul8(128, 128)); // 64.25
}

TEST(PixelMath, PackedBilinearMatchesTheChannelFormula) {
    std::mt19937 rng(11);
    for (int i = 0; i < 20000; ++i) {
        uint32_t c[4] = {uint32_t(rng()), uint32_t(rng()), uint32_t(rng()), uint32_t(rng())};
        uint32_t fx = rng() & 0xFF, fy = rng() & 0xFF;
        uint32_t packed = BilinearTexel(c[0], c[1], c[2], c[3], fx, fy);
        for (int shift = 0; shift < 32; shift += 8) {
            uint32_t expected = BilinearChannel((c[0] >> shift) & 0xFF, (c[1] >> shift) & 0xFF,
                                                (c[2] >> shift) & 0xFF, (c[3] >> shift) & 0xFF, fx, fy);
            ASSERT_EQ(expected, (packed >> shift) & 0xFF)
                << "channel " << shift << " fx " << fx << " fy " << fy;
        }
    }
}

class PixelKernels : public KernelLevelTest {};
TQ_FOR_EVERY_KERNEL_LEVEL(PixelKernels);

TEST_P(PixelKernels, BilinearRowsMatchTheTexelFormula) {
    std::mt19937 rng(3);
    for (int round = 0; round < 300; ++round) {
        int count = static_cast<int>(rng() % 19);
        std::vector<uint32_t> row0(count + 1), row1(count + 1), out(count);
        for (int i = 0; i <= count; ++i) {
            row0[i] = static_cast<uint32_t>(rng());
            row1[i] = round % 4 ? static_cast<uint32_t>(rng()) : 0xFFFFFFFFu;
        }
        uint32_t fx = round % 5 ? rng() & 0xFF : 0, fy = round % 7 ? rng() & 0xFF : 0;
        PickBilinearRow()(out.data(), row0.data(), row1.data(), count, fx, fy);
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(BilinearTexel(row0[i], row0[i + 1], row1[i], row1[i + 1], fx, fy), out[i])
                << "pixel " << i << " fx " << fx << " fy " << fy;
    }
}

TEST_P(PixelKernels, LinearRunsAtAnyStepMatchTheSampler) {
    std::mt19937 rng(11);
    auto any = [&rng](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
    for (int round = 0; round < 2000; ++round) {
        const int width = static_cast<int>(any(1, 40)), height = static_cast<int>(any(1, 40));
        std::vector<uint32_t> texels(width * height);
        for (uint32_t& t : texels)
            t = static_cast<uint32_t>(rng()) & (round % 3 ? 0xFFFFFFFFu : 0x00FFFFFFu);
        const TextureView texture{texels.data(), width, height};
        // Several runs back to back, mostly short, near the texture and below a few texels per pixel;
        // sometimes far out, long or with huge steps.
        std::vector<LinearRun> runs(any(1, 5));
        int total = 0;
        for (LinearRun& run : runs) {
            const int64_t reach = any(0, 9) ? int64_t(4) << 16 : int64_t(1) << 40;
            run.u = any(-reach * width, reach * width);
            run.v = any(-reach * height, reach * height);
            const int64_t step = any(0, 6) ? int64_t(3) << 16 : int64_t(1) << 30;
            run.du = any(-step, step);
            run.dv = any(-step, step);
            run.count = static_cast<int>(any(0, 3) ? any(0, 20) : any(0, 80));
            total += run.count;
        }
        const bool skipTransparent = round % 2 == 0;
        std::vector<uint32_t> out(total);
        PickLinearRuns()(texture, runs.data(), static_cast<int>(runs.size()), skipTransparent, out.data());
        int pixel = 0;
        for (const LinearRun& run : runs)
            for (int i = 0; i < run.count; ++i, ++pixel) {
                uint32_t expected = SampleLinear(texture, run.u + i * run.du, run.v + i * run.dv);
                if (skipTransparent && expected >> 24 == 0)
                    ASSERT_EQ(0u, out[pixel] >> 24) << "round " << round << " pixel " << pixel;
                else
                    ASSERT_EQ(expected, out[pixel]) << "round " << round << " pixel " << pixel;
            }
    }
}

uint32_t ExpectedPixel(RowBlend mode, uint32_t src, uint32_t dst, uint32_t alphaRef, uint32_t storeMask) {
    if ((src >> 24) < alphaRef)
        return dst;
    RenderState state;
    state.blend = mode != RowBlend::kOpaque;
    state.srcBlend = D3DBLEND_SRCALPHA;
    state.destBlend = mode == RowBlend::kAlphaOne ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA;
    uint32_t out = state.blend ? PixelPipeline::Blend(state, src, dst | storeMask) : src;
    return out | storeMask;
}

TEST_P(PixelKernels, RowBlendMatchesThePerPixelBlendInEveryMode) {
    std::mt19937 rng(5);
    const uint32_t alphas[] = {0, 1, 127, 128, 254, 255};
    for (RowBlend mode : {RowBlend::kOpaque, RowBlend::kAlphaInv, RowBlend::kAlphaOne}) {
        for (int round = 0; round < 400; ++round) {
            int count = static_cast<int>(rng() % 40);
            uint32_t alphaRef = round % 3 == 0 ? 0 : rng() & 0xFF;
            uint32_t storeMask = round % 2 ? 0xFF000000u : 0;
            std::vector<uint32_t> src(count), dst(count), expected(count);
            for (int i = 0; i < count; ++i) {
                uint32_t alpha = rng() % 2 ? alphas[rng() % 6] : rng() & 0xFF;
                src[i] = (alpha << 24) | (rng() & 0xFFFFFF);
                dst[i] = rng() | storeMask;
                expected[i] = ExpectedPixel(mode, src[i], dst[i], alphaRef, storeMask);
            }
            BlendRow(mode, dst.data(), src.data(), count, alphaRef, storeMask);
            ASSERT_EQ(expected, dst) << "mode " << static_cast<int>(mode) << " round " << round;
        }
    }
}

} // namespace
} // namespace tqd3d9
