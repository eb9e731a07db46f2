#include "platform/audio/tqsinctable.h"

#include <algorithm>
#include <cmath>

namespace tqaudio {

namespace {

constexpr double kCutoff = 0.41; // half way through the transition band, in input frames
constexpr double kBeta = 8.6;    // the window's shape: about 90 dB in the stop band

// The modified Bessel function of the first kind, order 0, by its power series.
double BesselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; term > 1e-12 * sum; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

// The rows of the kernel stretched by `stretch` over `taps` frames at `count` phases and the next
// frame's first, each scaled to a gain of exactly one at 0 Hz, so the level does not wobble with the
// fraction.
std::vector<float> PhaseRows(int taps, double stretch, int count) {
    std::vector<double> phases((count + 1) * taps);
    for (int p = 0; p <= count; ++p) {
        if (2 * p > count) { // the kernel is even: this row is an earlier one reversed
            std::reverse_copy(&phases[(count - p) * taps], &phases[(count - p + 1) * taps],
                              &phases[p * taps]);
            continue;
        }
        double sum = 0.0;
        for (int k = 0; k < taps; ++k) {
            const double x = k - (taps / 2 - 1) - double(p) / count;
            sum += phases[p * taps + k] = SincTable::Kernel(x / stretch);
        }
        for (int k = 0; k < taps; ++k) {
            phases[p * taps + k] /= sum;
        }
    }
    return std::vector<float>(phases.begin(), phases.end());
}

} // namespace

double SincTable::Kernel(double x) {
    const double edge = x / kHalf;
    if (std::fabs(edge) >= 1.0) {
        return 0.0;
    }
    const double u = 2.0 * kCutoff * x;
    const double sinc = u == 0.0 ? 1.0 : std::sin(M_PI * u) / (M_PI * u);
    static const double windowPeak = BesselI0(kBeta);
    return 2.0 * kCutoff * sinc * BesselI0(kBeta * std::sqrt(1.0 - edge * edge)) / windowPeak;
}

const SincTable& SincTable::Get() {
    static const SincTable table;
    return table;
}

SincTable::BandPoint SincTable::BandAt(float stretch) {
    if (stretch <= 1.0f) {
        return {0, 0.0f};
    }
    const float grid = (std::min(stretch + kBandMargin, float(kWidest)) - 1.0f) * kBands;
    const int band = std::min(static_cast<int>(grid), kBands - 1);
    return {band, grid - band};
}

SincTable::SincTable()
    : rows_(PhaseRows(kTaps, 1, kPhases)), wideRows_(PhaseRows(kWideTaps, kWidest, 1 << kWidePhaseBits)) {
    for (int g = 0; g <= kBands; ++g) {
        gridStarts_[g] = grids_.size();
        const std::vector<float> rows = PhaseRows(GridTaps(g), 1.0 + double(g) / kBands, 1 << kBandPhaseBits);
        grids_.insert(grids_.end(), rows.begin(), rows.end());
    }
}

} // namespace tqaudio
