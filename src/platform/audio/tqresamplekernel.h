// The inner loops of resampling: output frames filtered from input planes through the sinc table,
// in portable code, SSE2 or AVX2 with FMA, whichever the processor runs at the kernel level the
// system services choose (tests limit it to compare every level).
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

// How far the kernel is stretched for a run of output frames: not at all (every frame converts
// up), to its widest (every frame steps SincTable::kWidest source frames or more), or by one
// stretch between (through rows BlendBand made for it).
enum class KernelWidth { kUnit, kWidest, kBand };

// Writes `count` interleaved stereo frames to `out` (a mono input goes to both sides) read from
// `channels` planes at `at`, through the table of phase rows `rows`: SincTable::Row(0) for kUnit,
// WideRow(0) for kWidest, BlendBand's for kBand. Each plane holds every frame within
// KernelReach(stretch) of an index, and seven more past it.
using FilterFunction = void (*)(const float* rows, const float* const* planes, int channels,
                                const FramePosition* at, size_t count, float* out);
// `taps`: for kBand, the band's (SincTable::BandTaps).
FilterFunction PickFilter(KernelWidth width, int taps = 0);

// Writes to `rows` the kernel at `stretch` (between 1 and SincTable::kWidest), interpolated
// between the two grids around it once for every phase, in SincTable::GridRow's layout, and gives
// its taps: frames at that stretch then read it as kBand.
int BlendBand(float stretch, float* rows);

// The kernel's stretch at a step (source frames per output frame, 32.32 fixed point).
float KernelStretch(int64_t step);
// The input frames a kernel reads on either side of a position at `stretch`.
int KernelReach(float stretch);

} // namespace tqaudio
