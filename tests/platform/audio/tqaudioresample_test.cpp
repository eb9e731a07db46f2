// How voices are converted between rates: every kernel level gives the same mix, and a pitch that
// sweeps and comes back to one runs smoothly and ends passing the source's frames through.
#include "audiotestsupport.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

using namespace audiotest;

namespace {

class AudioResampleTest : public AudioModuleTest {
protected:
    void TearDown() override {
        TQAudioTest_LimitKernels(3);
        AudioModuleTest::TearDown();
    }
};

// Random noise of `frames` frames at `rate`, as a created sample.
HSAMPLE NoiseSample(std::mt19937& random, int rate, int channels, size_t frames) {
    const DWORD flags = channels == 1 ? BASS_SAMPLE_MONO : 0;
    int16_t* pcm = static_cast<int16_t*>(BASS_SampleCreate(static_cast<DWORD>(frames), rate, 1, flags));
    std::uniform_int_distribution<int> value(-16000, 16000);
    for (size_t i = 0; i < frames * channels; ++i) {
        pcm[i] = static_cast<int16_t>(value(random));
    }
    return BASS_SampleCreateDone();
}

// Random voices (mono and stereo, converted up and down, their pitch changed while they play)
// mixed with the kernels limited to each level the processor runs: SSE2 and AVX2 give what the
// portable code gives, to float rounding.
TEST_F(AudioResampleTest, EveryKernelLevelGivesTheSameMix) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> sourceRate(8000, 96000);
    std::uniform_real_distribution<double> pitch(0.3, 3.0);
    for (int trial = 0; trial < 8; ++trial) {
        const int channels = 1 + trial % 2, rate = sourceRate(random);
        const int before = static_cast<int>(rate * pitch(random)),
                  after = static_cast<int>(rate * pitch(random));
        const unsigned seed = random();
        SCOPED_TRACE(testing::Message()
                     << channels << " channels at " << rate << ", played at " << before << " then " << after);
        Mix mixes[3];
        for (int level = 0; level < 3; ++level) {
            TQAudioTest_LimitKernels(level);
            BASS_Free();
            ASSERT_TRUE(BASS_Init(0, kMixRate, TQAUDIO_TEST_MANUAL_CLOCK, nullptr, nullptr));
            std::mt19937 noise(seed);
            HCHANNEL channel = BASS_SampleGetChannel(NoiseSample(noise, rate, channels, rate / 2), FALSE);
            ASSERT_TRUE(BASS_ChannelSetAttributes(channel, before, 50, 0));
            ASSERT_TRUE(BASS_ChannelPlay(channel, TRUE));
            mixes[level] = Render(700);
            ASSERT_TRUE(BASS_ChannelSetAttributes(channel, after, -1, -101));
            const Mix rest = Render(2000);
            mixes[level].samples.insert(mixes[level].samples.end(), rest.samples.begin(), rest.samples.end());
        }
        for (int level = 1; level < 3; ++level) {
            double worst = 0.0;
            for (size_t i = 0; i < mixes[0].samples.size(); ++i) {
                worst = std::max(worst, double(std::fabs(mixes[level].samples[i] - mixes[0].samples[i])));
            }
            EXPECT_LT(worst, 1e-5) << "level " << level;
        }
        EXPECT_GT(mixes[0].Rms(0, 0, mixes[0].Frames()), 0.05);
    }
}

// Random steps from 0.25 to 4 (samples at 11,025 to 176,400 Hz on a 44.1 kHz mix), half of them
// between one and two: a tone both rates carry leaves every alias and image 80 dB below it, and a
// tone just beyond the mix's Nyquist frequency at a step between 1.15 and 2 is gone to 80 dB below
// instead of folding back.
TEST_F(AudioResampleTest, EveryStepLeavesAliasesEightyDecibelsDown) {
    std::mt19937 random(39);
    const auto between = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const double amplitude = 0.5;
    const auto db = [&](double level) { return 20.0 * std::log10(level / amplitude + 1e-12); };
    for (int trial = 0; trial < 16; ++trial) {
        const double step = trial % 2 ? between(1.0, 2.0) : std::exp(between(std::log(0.25), std::log(4.0)));
        const int rate = static_cast<int>(kMixRate * step);
        const bool beyond = trial % 4 == 1 && step > 1.15;
        const double hz =
            std::round(beyond ? between(kMixRate * 0.501, std::min(kMixRate * 0.55, rate * 0.49))
                              : between(0.05, 0.9) * std::min(rate, kMixRate) / 2);
        SCOPED_TRACE(testing::Message() << hz << " Hz at " << rate);
        const HCHANNEL channel =
            BASS_SampleGetChannel(LoadSample(SineWav(rate, 1, rate, hz, amplitude)), FALSE);
        ASSERT_TRUE(BASS_ChannelSetAttributes(channel, rate, 100, 0));
        ASSERT_TRUE(BASS_ChannelSetFlags(channel, BASS_SAMPLE_LOOP));
        ASSERT_TRUE(BASS_ChannelPlay(channel, TRUE));
        // a second holds whole cycles, so the measure runs on over the loop's seam
        const Mix mix = Render(kMixRate * 6 / 5);
        const size_t first = kMixRate / 20, last = kMixRate * 23 / 20;
        const double level =
            beyond ? mix.Rms(0, first, last) * std::sqrt(2.0) : mix.Residual(0, first, last, hz, kMixRate);
        EXPECT_LT(db(level), -80.0);
        BASS_ChannelStop(channel);
    }
}

// An empty looping stream far above the mix rate reads nothing while its position runs on: the
// input gathered for its kernel stays within the workspace (it once ran past it) and it is silent.
TEST_F(AudioResampleTest, EmptyLoopingStreamFarAboveTheMixRateStaysInItsWorkspace) {
    const std::pair<int, int> rates[] = {{96000, 11025}, {192000, 44100}};
    for (const auto& [fileRate, mixRate] : rates) {
        SCOPED_TRACE(testing::Message() << fileRate << " on " << mixRate);
        BASS_Free();
        ASSERT_TRUE(BASS_Init(0, mixRate, TQAUDIO_TEST_MANUAL_CLOCK, nullptr, nullptr));
        const std::vector<uint8_t> file = SineWav(fileRate, 2, 0, 441.0, 0.5);
        const HSTREAM stream =
            BASS_StreamCreateFile(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), BASS_SAMPLE_LOOP);
        ASSERT_NE(stream, 0u);
        ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
        EXPECT_EQ(Render(8192).SoundEnd(), 0u);
    }
}

// A sine whose pitch sweeps up by half and back to one, a new pitch every 256 frames: its second
// difference never exceeds the steepest curve of the sine at the highest pitch, so nothing clicks.
// Back at one, the voice lands on a whole frame and passes the source's frames through unchanged:
// left, it equals a second playback of the sample that never changed pitch, on the right.
TEST_F(AudioResampleTest, PitchSweepIsSmoothAndBackAtOneFramesPassThrough) {
    const double hz = 441.0, amplitude = 0.5, highest = 1.5;
    const size_t loopFrames = kMixRate;
    HSAMPLE sample = LoadSample(SineWav(kMixRate, 1, loopFrames, hz, amplitude), 2, BASS_SAMPLE_LOOP);
    const HCHANNEL swept = PlaySample(sample, 100, -100);
    PlaySample(sample, 100, 100);
    Mix mix = Render(1000);
    for (int k = 1; k <= 40; ++k) {
        const double pitch = 1.0 + (highest - 1.0) * std::sin(M_PI * k / 40);
        ASSERT_TRUE(BASS_ChannelSetAttributes(swept, static_cast<int>(kMixRate * pitch), -1, -101));
        const Mix part = Render(256);
        mix.samples.insert(mix.samples.end(), part.samples.begin(), part.samples.end());
    }
    ASSERT_TRUE(BASS_ChannelSetAttributes(swept, kMixRate, -1, -101));
    const Mix end = Render(3000);
    mix.samples.insert(mix.samples.end(), end.samples.begin(), end.samples.end());

    const double omega = 2.0 * M_PI * hz * highest / kMixRate;
    double steepest = 0.0;
    for (size_t f = 1; f + 1 < mix.Frames(); ++f) {
        steepest = std::max(steepest, double(std::fabs(mix.samples[2 * f + 2] - 2 * mix.samples[2 * f] +
                                                       mix.samples[2 * f - 2])));
    }
    EXPECT_LT(steepest, amplitude * omega * omega * 1.05);

    // the offset at which the right side's frames match the left's, over the last 2000 frames
    const size_t first = mix.Frames() - 2000;
    const auto matches = [&](size_t offset) {
        for (size_t f = first; f < mix.Frames(); ++f) {
            const size_t from = (f + offset) % loopFrames + (f / loopFrames) * loopFrames;
            if (from >= mix.Frames() || mix.samples[2 * f] != mix.samples[2 * from + 1]) {
                return false;
            }
        }
        return true;
    };
    size_t offset = 0;
    while (offset < loopFrames && !matches(offset)) {
        ++offset;
    }
    EXPECT_LT(offset, loopFrames) << "the swept voice does not pass the source's frames through";
}

} // namespace
