// Sound files made by the tests and measurements of rendered mixes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace audiotest {

// A 16-bit PCM WAV file holding a sine of `hz` at `amplitude` (0..1) on every channel.
std::vector<uint8_t> SineWav(int rate, int channels, size_t frames, double hz, double amplitude);

// `frames` frames at `rate` with one sine per channel (`tones`, Hz; 0 for silence) at `amplitude`,
// encoded by libsndfile in `format`, declaring the channel positions `layout` (SF_CHANNEL_MAP_*)
// when it is not empty. Empty when libsndfile cannot write the format.
std::vector<uint8_t> EncodeTones(int format, int rate, const std::vector<double>& tones, size_t frames,
                                 double amplitude, const std::vector<int>& layout = {});

// A four-channel MOD module playing one looped 8-bit square wave on channel 1 from row 0.
std::vector<uint8_t> SquareMod();

// Interleaved stereo floats.
struct Mix {
    std::vector<float> samples;
    size_t Frames() const { return samples.size() / 2; }
    // Root mean square of one side (0 left, 1 right) over frames [first, last).
    double Rms(int side, size_t first, size_t last) const;
    // Largest absolute value of either side over frames [first, last).
    double Peak(size_t first, size_t last) const;
    // Frequency of the left side over frames [first, last) from its rising zero crossings.
    double Frequency(size_t first, size_t last, int rate) const;
    // Amplitude of the sine at `hz` in one side over frames [first, last) (Hann window).
    double Amplitude(int side, size_t first, size_t last, double hz, int rate) const;
    // Amplitude (peak, as of a sine) of what is left of one side over frames [first, last) once
    // the best-fitting sine at `hz` is taken away: every alias, image and distortion.
    double Residual(int side, size_t first, size_t last, double hz, int rate) const;
    // One past the last frame that is not silent, 0 when all is silent.
    size_t SoundEnd() const;
};

// Renders `frames` frames of the module's mix.
Mix Render(size_t frames);

} // namespace audiotest

#include "platform/audio/tqaudiotest.h"

#include <gtest/gtest.h>

namespace audiotest {

constexpr int kMixRate = 44100;

// Runs each test on the silent device at 44100 Hz, with the mix advanced only by Render.
class AudioModuleTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A sample from `file`; fails the test when it does not load.
    HSAMPLE LoadSample(const std::vector<uint8_t>& file, DWORD max = 4, DWORD flags = BASS_SAMPLE_OVER_VOL);
    // A playing channel of `sample` at `volume` and `pan`.
    HCHANNEL PlaySample(HSAMPLE sample, int volume = 100, int pan = 0);
};

} // namespace audiotest
