// Runs a test once for every kernel level of the rasterizer (portable, SSE2, AVX2, AVX-512), so the
// fast paths are checked with each kernel the processor can run; levels it lacks are skipped.
#pragma once

#include "platform/system/tqcpufeatures.h"

#include <gtest/gtest.h>

#include <string>

class KernelLevelTest : public ::testing::TestWithParam<tqplat::KernelLevel> {
protected:
    void SetUp() override {
        if (GetParam() > tqplat::CpuKernelLevel())
            GTEST_SKIP() << "this processor lacks the instructions of these kernels";
        tqplat::LimitKernelLevel(GetParam());
    }
    void TearDown() override { tqplat::LimitKernelLevel(tqplat::KernelLevel::kAvx512); }
};

inline std::string KernelLevelName(const ::testing::TestParamInfo<tqplat::KernelLevel>& info) {
    static const char* const names[] = {"Portable", "Sse2", "Avx2", "Avx512"};
    return names[static_cast<int>(info.param)];
}

// Instantiates the tests of `fixture`, a KernelLevelTest, for every level.
#define TQ_FOR_EVERY_KERNEL_LEVEL(fixture)                                                                   \
    INSTANTIATE_TEST_SUITE_P(Kernels, fixture,                                                               \
                             ::testing::Values(tqplat::KernelLevel::kPortable, tqplat::KernelLevel::kSse2,   \
                                               tqplat::KernelLevel::kAvx2, tqplat::KernelLevel::kAvx512),    \
                             KernelLevelName)
