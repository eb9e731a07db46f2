#include "platform/system/tqcpufeatures.h"

#include <algorithm>
#include <atomic>

namespace tqplat {

namespace {

KernelLevel DetectLevel() {
#if defined(TQ_CPU_X86)
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma"))
        return KernelLevel::kSse2;
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl"))
        return KernelLevel::kAvx512;
    return KernelLevel::kAvx2;
#else
    return KernelLevel::kPortable;
#endif
}

// The processor's level lowered to the limit tests set to compare every kernel; kNotChosen until
// first asked for. Atomic: tests set it while render and mixing threads pick kernels.
constexpr int kNotChosen = -1;
std::atomic<int> g_chosen{kNotChosen};

} // namespace

KernelLevel CpuKernelLevel() {
    static const KernelLevel level = DetectLevel();
    return level;
}

KernelLevel ChosenKernelLevel() {
    int chosen = g_chosen.load(std::memory_order_relaxed);
    if (chosen == kNotChosen) {
        chosen = static_cast<int>(CpuKernelLevel());
        g_chosen.store(chosen, std::memory_order_relaxed);
    }
    return static_cast<KernelLevel>(chosen);
}

void LimitKernelLevel(KernelLevel level) {
    g_chosen.store(static_cast<int>(std::min(CpuKernelLevel(), level)), std::memory_order_relaxed);
}

} // namespace tqplat
