// The interpolation filter every converting voice reads through: a Kaiser-windowed sinc of 32 taps
// whose pass band ends at 0.32 and whose stop band starts at 0.5 of the lower of the two rates, so
// nothing folds below the lower Nyquist frequency. Kept as 256 phases between two input frames and
// one more (the next frame's first), for linear interpolation between a phase's row and the next;
// the same for the kernel stretched to its widest (64 taps, half the cut-off, 128 phases), which
// every step of two and more reads, so a voice's cost stays bounded however high its pitch; and for
// the stretches between, a grid of kernels at kBands + 1 stretches from 1 to kWidest (128 phases
// each, as wide as the band above them needs), a kernel between two grid stretches interpolated
// from both, so no output frame evaluates the kernel itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tqaudio {

class SincTable {
public:
    static constexpr int kTaps = 32;
    static constexpr int kHalf = kTaps / 2;
    static constexpr int kPhaseBits = 8;
    static constexpr int kPhases = 1 << kPhaseBits;
    // The widest the kernel is stretched: steps beyond it keep its cut-off (what lies between that
    // and the output's Nyquist frequency folds), bounding the taps to kWideTaps.
    static constexpr int kWidest = 2;
    static constexpr int kWideTaps = kTaps * kWidest;
    // Phases of the widest kernel: it is kWidest times smoother, so fewer interpolate as finely.
    static constexpr int kWidePhaseBits = kPhaseBits - 1;

    // Stretches between 1 and kWidest fall into kBands bands between grid stretches 1 + g / kBands.
    static constexpr int kBands = 16;
    static constexpr int kBandPhaseBits = 7;
    // How much more a kernel between the grids is stretched than its step asks: enough that what
    // the narrower grid it is interpolated from lets through beyond the output's Nyquist frequency
    // stays over 80 dB down, so nothing audible folds (the pass band narrows by at most 4 %).
    static constexpr float kBandMargin = 0.04f;

    // The taps of a band's kernels: twice the reach of its wider grid stretch, rounded up to eight.
    static constexpr int BandTaps(int band) {
        return (2 * ((kHalf * (kBands + band + 1) + kBands - 1) / kBands) + 7) / 8 * 8;
    }
    // A grid is kept as wide as the band above it (the last as the band below).
    static constexpr int GridTaps(int grid) { return BandTaps(grid < kBands ? grid : kBands - 1); }

    // Where a kernel at `stretch` lies among the grids: in `band`, `weight` of the way from grid
    // `band` to grid band + 1. At 1 and below it is grid 0, at kWidest and above the last grid.
    struct BandPoint {
        int band;
        float weight;
    };
    static BandPoint BandAt(float stretch);

    // Floats of a band's rows blended for one stretch (BlendBand), at the widest band.
    static constexpr size_t kBandRowFloats = size_t(kWideTaps) * ((1 << kBandPhaseBits) + 1);

    static const SincTable& Get();

    // kTaps coefficients for the input frames from 15 before to 16 after the output position, at
    // phase `phase` (the fraction past a frame times kPhases, up to kPhases); the next phase's follow.
    const float* Row(uint32_t phase) const { return rows_.data() + phase * kTaps; }
    // As Row, for the kernel stretched kWidest times, at one of 1 << kWidePhaseBits phases:
    // kWideTaps coefficients from 31 frames before to 32 after.
    const float* WideRow(uint32_t phase) const { return wideRows_.data() + phase * kWideTaps; }
    // As Row, for grid `grid` at one of 1 << kBandPhaseBits phases: GridTaps(grid) coefficients
    // centred as Row's are.
    const float* GridRow(int grid, uint32_t phase) const {
        return grids_.data() + gridStarts_[grid] + phase * GridTaps(grid);
    }
    // The kernel itself at `x` input frames from the output position.
    static double Kernel(double x);

private:
    SincTable();

    std::vector<float> rows_;
    std::vector<float> wideRows_;
    std::vector<float> grids_;
    size_t gridStarts_[kBands + 1] = {};
};

} // namespace tqaudio
