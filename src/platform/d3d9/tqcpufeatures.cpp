#include "platform/d3d9/tqcpufeatures.h"

#include <algorithm>
#include <atomic>

namespace tqd3d9 {

namespace {

KernelLevel DetectLevel() {
#if defined(TQ_D3D9_AVX2)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl"))
        return KernelLevel::kAvx512;
    if (__builtin_cpu_supports("avx2"))
        return KernelLevel::kAvx2;
    return KernelLevel::kSse2;
#elif defined(__SSE2__)
    return KernelLevel::kSse2;
#else
    return KernelLevel::kPortable;
#endif
}

std::atomic<KernelLevel> g_limit{KernelLevel::kAvx512};

} // namespace

KernelLevel CpuKernelLevel() {
    static const KernelLevel level = DetectLevel();
    return level;
}

KernelLevel ChosenKernelLevel() {
    return std::min(CpuKernelLevel(), g_limit.load(std::memory_order_relaxed));
}

void LimitKernelLevel(KernelLevel level) {
    g_limit.store(level, std::memory_order_relaxed);
}

} // namespace tqd3d9
