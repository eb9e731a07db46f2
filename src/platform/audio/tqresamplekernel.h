// The inner loops of resampling: output frames filtered from input planes through the sinc table,
// in portable code, SSE2 or AVX2 with FMA, whichever the processor runs (checked once), or lower
// while limited so tests can compare every level the processor has.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tqaudio {

// Where one output frame reads its input, in 32.32 fixed point: the frame at or before it (an
// index into the planes) and the fraction past that frame.
struct FramePosition {
    int64_t at;

    int32_t Index() const { return static_cast<int32_t>(at >> 32); }
    uint32_t Fraction() const { return static_cast<uint32_t>(at); }
};

enum class KernelLevel { kPortable, kSse2, kAvx2 };

// The level kernels are picked for: the processor's, or lower while limited.
KernelLevel ChosenKernelLevel();
// Kernels picked from now on use `level` at most (kAvx2: no limit).
void LimitKernelLevel(KernelLevel level);

// Writes `count` interleaved stereo frames to `out` (a mono input goes to both sides) read from
// `channels` planes at `at`, through the kernel stretched by `stretches` (one a frame: 1 when the
// voice converts up, the step when it converts down, so the cut-off follows the lower rate). Each
// plane holds every frame within ceil(16 × stretch) of an index.
using FilterFunction = void (*)(const float* const* planes, int channels, const FramePosition* at,
                                const float* stretches, size_t count, float* out);
// The kernel for positions that all have a stretch of 1 (it reads no stretches), or for any.
FilterFunction PickFilter(bool stretched);

// The input frames a kernel reads on either side of a position at `stretch`.
int KernelReach(float stretch);

} // namespace tqaudio
