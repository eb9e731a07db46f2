// The interpolation filter every converting voice reads through: a Kaiser-windowed sinc of 32 taps
// whose pass band ends at 0.32 and whose stop band starts at 0.5 of the lower of the two rates, so
// nothing folds below the lower Nyquist frequency. Kept as 256 phases between two input frames,
// each row followed by its difference to the next phase, for linear interpolation between phases;
// the same for the kernel stretched to its widest (64 taps, half the cut-off, 128 phases), which
// every step of two and more reads, so a voice's cost stays bounded however high its pitch; and as one fine
// curve for the stretches between.
#pragma once

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

    static const SincTable& Get();

    // kTaps coefficients for the input frames from 15 before to 16 after the output position, at
    // phase `phase` (the fraction past a frame times kPhases), then kTaps differences to the next.
    const float* Row(uint32_t phase) const { return rows_.data() + phase * 2 * kTaps; }
    // As Row, for the kernel stretched kWidest times, at one of 1 << kWidePhaseBits phases:
    // kWideTaps coefficients from 31 frames before to 32 after, then their differences.
    const float* WideRow(uint32_t phase) const { return wideRows_.data() + phase * 2 * kWideTaps; }
    // The kernel at x = n / kPhases - kHalf input frames for n in [0, kTaps * kPhases], then zeros.
    const float* Curve() const { return curve_.data(); }
    // The kernel itself at `x` input frames from the output position.
    static double Kernel(double x);

private:
    SincTable();

    std::vector<float> rows_;
    std::vector<float> wideRows_;
    std::vector<float> curve_;
};

} // namespace tqaudio
