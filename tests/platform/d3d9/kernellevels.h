// Runs a test once for every kernel level of the rasterizer (portable, SSE2, AVX2, AVX-512), so the
// fast paths are checked with each kernel the processor can run; levels it lacks are skipped.
#pragma once

#include "platform/d3d9/tqcpufeatures.h"

#include <gtest/gtest.h>

#include <string>

class KernelLevelTest : public ::testing::TestWithParam<tqd3d9::KernelLevel> {
protected:
    void SetUp() override {
        if (GetParam() > tqd3d9::CpuKernelLevel())
            GTEST_SKIP() << "this processor lacks the instructions of these kernels";
        tqd3d9::LimitKernelLevel(GetParam());
    }
    void TearDown() override { tqd3d9::LimitKernelLevel(tqd3d9::KernelLevel::kAvx512); }
};

inline std::string KernelLevelName(const ::testing::TestParamInfo<tqd3d9::KernelLevel>& info) {
    static const char* const names[] = {"Portable", "Sse2", "Avx2", "Avx512"};
    return names[static_cast<int>(info.param)];
}

// Instantiates the tests of `fixture`, a KernelLevelTest, for every level.
#define TQ_FOR_EVERY_KERNEL_LEVEL(fixture)                                                                   \
    INSTANTIATE_TEST_SUITE_P(Kernels, fixture,                                                               \
                             ::testing::Values(tqd3d9::KernelLevel::kPortable, tqd3d9::KernelLevel::kSse2,   \
                                               tqd3d9::KernelLevel::kAvx2, tqd3d9::KernelLevel::kAvx512),    \
                             KernelLevelName)
