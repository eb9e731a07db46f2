// Processor features the rasterizer's kernels are chosen by, checked once at run time.
#pragma once

namespace tqd3d9 {

#if defined(__SSE2__) && defined(__GNUC__) && defined(__x86_64__)
#define TQ_D3D9_AVX2 1
#define TQ_TARGET_AVX2 __attribute__((target("avx2")))

inline bool CpuHasAvx2() {
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return has;
}
#endif

} // namespace tqd3d9
