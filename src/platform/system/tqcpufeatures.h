// The instruction sets of this processor that kernels are chosen by (the renderer's rows, the
// mixer's resampling), checked once at run time. The libraries are built for any x86-64; kernels
// for newer instruction sets are compiled per function (the TQ_TARGET_ attributes) and called only
// where the processor has them.
#pragma once

#if defined(__SSE2__) && defined(__GNUC__) && defined(__x86_64__)
#define TQ_CPU_X86 1
#define TQ_TARGET_AVX2 __attribute__((target("avx2,fma")))
// F, BW, DQ and VL: 16- and 8-bit lanes, masks on every width.
#define TQ_TARGET_AVX512 __attribute__((target("avx2,fma,avx512f,avx512bw,avx512dq,avx512vl")))
// GCC 12's AVX-512 intrinsics set their unused operands from themselves, which its warnings take for
// reads of uninitialised values in functions compiled for a target of their own.
#if defined(__clang__)
#include <immintrin.h>
#else
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif
#endif

namespace tqplat {

// The instruction sets kernels exist for, each including those before it (kAvx2: with FMA).
enum class KernelLevel { kPortable, kSse2, kAvx2, kAvx512 };

// The best level this processor runs.
KernelLevel CpuKernelLevel();
// The level kernels are chosen for: the processor's, or lower while limited.
KernelLevel ChosenKernelLevel();
// Kernels chosen from now on use `level` at most (kAvx512: no limit), so tests can compare every
// kernel the processor runs.
void LimitKernelLevel(KernelLevel level);

} // namespace tqplat
