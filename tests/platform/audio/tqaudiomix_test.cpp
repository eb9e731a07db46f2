// What the mix sounds like: gains, panning, pitch, source rates, group volumes, stop and start.
#include "audiotestsupport.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

using namespace audiotest;

namespace {

constexpr size_t kQuarterSecond = kMixRate / 4;

// A 441 Hz mono sine of a quarter second at amplitude 0.5.
std::vector<uint8_t> QuarterSecondSine(int rate = kMixRate) {
    return SineWav(rate, 1, rate / 4, 441.0, 0.5);
}

class AudioMixTest : public AudioModuleTest {};

TEST_F(AudioMixTest, SinePlaysForItsLengthAtItsGain) {
    HCHANNEL channel = PlaySample(LoadSample(QuarterSecondSine()), 50);
    Mix mix = Render(2 * kQuarterSecond);

    // amplitude 0.5 at volume 50: peak 0.25, the same on both sides
    EXPECT_NEAR(mix.Peak(0, kQuarterSecond), 0.25, 0.005);
    EXPECT_NEAR(mix.Rms(0, 0, kQuarterSecond), 0.25 / std::sqrt(2.0), 0.003);
    EXPECT_NEAR(mix.Rms(1, 0, kQuarterSecond), mix.Rms(0, 0, kQuarterSecond), 1e-6);
    EXPECT_NEAR(mix.Frequency(0, kQuarterSecond, kMixRate), 441.0, 1.0);
    EXPECT_NEAR(static_cast<double>(mix.SoundEnd()), kQuarterSecond, 2.0);
    EXPECT_EQ(BASS_ChannelIsActive(channel), DWORD(BASS_ACTIVE_STOPPED));
}

TEST_F(AudioMixTest, SourceAtAnotherRateKeepsItsPitchAndDuration) {
    HSAMPLE sample = LoadSample(QuarterSecondSine(22050));
    TQAudioSampleInfo info{};
    ASSERT_TRUE(BASS_SampleGetInfo(sample, &info));
    EXPECT_EQ(info.freq, 22050u);
    EXPECT_EQ(info.length, 22050u / 4 * 2);
    PlaySample(sample);
    Mix mix = Render(2 * kQuarterSecond);

    EXPECT_NEAR(mix.Frequency(0, kQuarterSecond, kMixRate), 441.0, 1.0);
    EXPECT_NEAR(static_cast<double>(mix.SoundEnd()), kQuarterSecond, 3.0);
    // the level before the cut at the end, which rings as any band-limited step does
    EXPECT_NEAR(mix.Peak(0, kQuarterSecond - 100), 0.5, 0.01);
}

// Playing at a rate other than the mix's: content both rates can carry keeps its level within
// 0.5 dB (up to 15 kHz at 44.1 kHz, as far at other rates) and leaves aliases and images 80 dB below it, over
// loop seams too; content beyond the lower Nyquist frequency is gone to 60 dB below its level instead of
// folding back.
TEST_F(AudioMixTest, RateChangesLeaveNoAliasesOrImages) {
    struct Case {
        int fileRate;
        int mixRate;
        int playRate;
        double hz;
    };
    const Case cases[] = {
        {44100, 44100, 88200, 15000.0}, // pitch 2 lifts it to 30 kHz, not to a 14.1 kHz alias
        {44100, 22050, 44100, 15000.0}, // beyond a 22050 Hz mix
        {48000, 44100, 48000, 23000.0}, // beyond a 44100 Hz mix
        {11025, 44100, 11025, 3000.0},  // images beside 11025 Hz
        {44100, 48000, 44100, 15000.0}, // flat to 15 kHz
        {44100, 44100, 55566, 8000.0},  // pitch 1.26
        {44100, 22050, 44100, 6000.0},  // down to a 22050 Hz mix
        {22050, 44100, 22050, 10000.0}, // images beside 11025 Hz, near it
        {44100, 44100, 30000, 13000.0}, // pitch 0.68
        {44100, 44100, 45000, 14000.0}, // pitch 1.02
        {48000, 44100, 48000, 20500.0}, // near the lower Nyquist frequency, converting down
        {48000, 44100, 48000, 22500.0}, // just beyond it
        {44100, 44100, 384000, 1000.0}, // the top rate, through the widest kernel
        {11025, 8000, 384000, 60.0},    // the largest step
    };
    const double amplitude = 0.5;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hz << " Hz at " << c.fileRate << " played at " << c.playRate
                                        << " mixed at " << c.mixRate);
        BASS_Free();
        ASSERT_TRUE(BASS_Init(0, c.mixRate, TQAUDIO_TEST_MANUAL_CLOCK, nullptr, nullptr));
        HSAMPLE sample = LoadSample(SineWav(c.fileRate, 1, c.fileRate, c.hz, amplitude));
        HCHANNEL channel = BASS_SampleGetChannel(sample, FALSE);
        ASSERT_TRUE(BASS_ChannelSetAttributes(channel, c.playRate, 100, 0));
        ASSERT_TRUE(BASS_ChannelSetFlags(channel, BASS_SAMPLE_LOOP));
        ASSERT_TRUE(BASS_ChannelPlay(channel, TRUE));
        // a second holds whole cycles, so the measure runs on over the loop's seam
        const Mix mix = Render(c.mixRate * 6 / 5);
        const size_t first = c.mixRate / 20, last = c.mixRate * 23 / 20;
        const double heard = c.hz * c.playRate / c.fileRate;
        const auto db = [&](double level) { return 20.0 * std::log10(level / amplitude + 1e-12); };
        if (heard < std::min(c.playRate, c.mixRate) / 2.0) {
            EXPECT_LT(db(mix.Residual(0, first, last, heard, c.mixRate)), -80.0);
            if (heard <= 15000.0 * std::min(c.playRate, c.mixRate) / 44100.0) {
                EXPECT_NEAR(db(mix.Amplitude(0, first, last, heard, c.mixRate)), 0.0, 0.5);
            }
        } else {
            EXPECT_LT(db(mix.Rms(0, first, last) * std::sqrt(2.0)), -60.0);
        }
    }
}

// A pitch change while playing runs on from exactly where the wave was, whether the playback
// started unconverted or converted: the step glides linearly to the new one over a block of 512
// frames, and the mix follows one sine whose phase never jumps.
TEST_F(AudioMixTest, PitchChangeWhilePlayingKeepsThePhase) {
    const double hz = 441.0;
    for (int startRate : {kMixRate, kMixRate * 3 / 2}) {
        SCOPED_TRACE(startRate);
        HSAMPLE sample = LoadSample(SineWav(kMixRate, 1, kMixRate, hz, 0.5));
        HCHANNEL channel = BASS_SampleGetChannel(sample, FALSE);
        ASSERT_TRUE(BASS_ChannelSetAttributes(channel, startRate, 100, 0));
        ASSERT_TRUE(BASS_ChannelPlay(channel, TRUE));
        const size_t changeAt = 1001; // half way between two source frames when converted
        const Mix before = Render(changeAt);
        ASSERT_TRUE(BASS_ChannelSetAttributes(channel, kMixRate * 2, -1, -101));
        const Mix after = Render(2000);
        const double startStep = double(startRate) / kMixRate;
        const double glide = 512.0;
        // the source position of each frame heard, and the sine there
        const auto expected = [&](size_t frame) {
            const double m = frame < changeAt ? 0.0 : double(frame - changeAt);
            const double glided = std::min(m, glide);
            const double position = std::min<double>(frame, changeAt) * startStep + glided * startStep +
                                    (2.0 - startStep) * glided * (glided + 1) / (2 * glide) +
                                    2.0 * (m - glided);
            return 0.5 * std::sin(2.0 * M_PI * hz * position / kMixRate);
        };
        double worst = 0.0;
        for (size_t f = 100; f < changeAt; ++f) {
            worst = std::max(worst, std::fabs(before.samples[2 * f] - expected(f)));
        }
        for (size_t f = 0; f < after.Frames(); ++f) {
            worst = std::max(worst, std::fabs(after.samples[2 * f] - expected(changeAt + f)));
        }
        EXPECT_LT(worst, 2e-3);
        BASS_ChannelStop(channel);
        Render(1000);
    }
}

TEST_F(AudioMixTest, PanningDividesTheLevelBetweenTheSides) {
    HSAMPLE sample = LoadSample(QuarterSecondSine());
    HCHANNEL channel = PlaySample(sample, 100, -100);
    Mix hardLeft = Render(kQuarterSecond / 2);
    EXPECT_GT(hardLeft.Rms(0, 0, hardLeft.Frames()), 0.3);
    EXPECT_EQ(hardLeft.Rms(1, 0, hardLeft.Frames()), 0.0);

    // changing the pan leaves volume and rate alone
    ASSERT_TRUE(BASS_ChannelSetAttributes(channel, -1, -1, 50));
    DWORD freq = 0, volume = 0;
    int pan = 0;
    ASSERT_TRUE(BASS_ChannelGetAttributes(channel, &freq, &volume, &pan));
    EXPECT_EQ(freq, DWORD(kMixRate));
    EXPECT_EQ(volume, 100u);
    EXPECT_EQ(pan, 50);
    Mix halfRight = Render(kQuarterSecond / 2);
    const size_t ramped = kMixRate / 200; // the change ramps in over 5 ms
    EXPECT_NEAR(halfRight.Rms(0, ramped, halfRight.Frames()) / halfRight.Rms(1, ramped, halfRight.Frames()),
                0.5, 0.01);
}

TEST_F(AudioMixTest, PitchTwoDoublesTheFrequencyAndHalvesTheLength) {
    HSAMPLE sample = LoadSample(QuarterSecondSine());
    TQAudioSampleInfo info{};
    ASSERT_TRUE(BASS_SampleGetInfo(sample, &info));
    HCHANNEL channel = BASS_SampleGetChannel(sample, FALSE);
    ASSERT_TRUE(BASS_ChannelSetAttributes(channel, static_cast<int>(info.freq * 2.0f), 100, 0));
    ASSERT_TRUE(BASS_ChannelPlay(channel, TRUE));
    Mix mix = Render(kQuarterSecond);

    EXPECT_NEAR(mix.Frequency(0, kQuarterSecond / 2, kMixRate), 882.0, 2.0);
    EXPECT_NEAR(static_cast<double>(mix.SoundEnd()), kQuarterSecond / 2, 2.0);

    // the channel's default rate stays the sample's, so a later pitch is not compounded
    TQAudioChannelInfo channelInfo{};
    ASSERT_TRUE(BASS_ChannelGetInfo(channel, &channelInfo));
    EXPECT_EQ(channelInfo.freq, info.freq);
    EXPECT_EQ(channelInfo.chans, 1u);
    EXPECT_TRUE(channelInfo.flags & BASS_SAMPLE_MONO);
}

TEST_F(AudioMixTest, LoopingPausingAndResuming) {
    // 110 whole cycles, so the loop has no seam
    const size_t cycleFrames = 11000;
    HSAMPLE sample = LoadSample(SineWav(kMixRate, 1, cycleFrames, 441.0, 0.5));
    HCHANNEL channel = BASS_SampleGetChannel(sample, FALSE);
    ASSERT_TRUE(BASS_ChannelSetFlags(channel, BASS_SAMPLE_LOOP));
    ASSERT_TRUE(BASS_ChannelPlay(channel, TRUE));
    Mix looped = Render(3 * cycleFrames + 25);
    EXPECT_EQ(BASS_ChannelIsActive(channel), DWORD(BASS_ACTIVE_PLAYING));
    EXPECT_NEAR(looped.Rms(0, 2 * cycleFrames, 3 * cycleFrames), 0.5 / std::sqrt(2.0), 0.003);
    EXPECT_NEAR(looped.Frequency(0, looped.Frames(), kMixRate), 441.0, 0.5);

    ASSERT_TRUE(BASS_ChannelPause(channel));
    EXPECT_EQ(BASS_ChannelIsActive(channel), DWORD(BASS_ACTIVE_PAUSED));
    EXPECT_LE(Render(1000).SoundEnd(), size_t(kMixRate / 200)); // after a fade of 5 ms

    // resuming continues the wave where it was paused (a quarter cycle in, near the crest),
    // fading in over 5 ms
    ASSERT_TRUE(BASS_ChannelSetFlags(channel, 0));
    ASSERT_TRUE(BASS_ChannelPlay(channel, FALSE));
    Mix resumed = Render(10);
    EXPECT_NEAR(resumed.samples[0], 0.5 / (kMixRate / 200), 0.01 / (kMixRate / 200));
    Mix rest = Render(cycleFrames);
    EXPECT_NEAR(static_cast<double>(rest.SoundEnd()), cycleFrames - 35, 2.0);
    EXPECT_EQ(BASS_ChannelIsActive(channel), DWORD(BASS_ACTIVE_STOPPED));
}

// A stop or pause is at once for the caller, while what is heard fades out within 5 ms instead of
// stepping to silence; resumed without a restart, the playback goes on where it stopped, fading
// in over as long. The second pause comes within the fade in, so it fades out from the level
// reached, reading frames held from the first.
TEST_F(AudioMixTest, StopPauseAndResumeFadeWithoutAStep) {
    const auto sine = [](size_t frame) { return 0.5 * std::sin(2.0 * M_PI * 441.0 * frame / kMixRate); };
    const size_t fadeFrames = kMixRate / 200;
    const double steepestAllowed = 0.5 * 2.0 * M_PI * 441.0 / kMixRate + 0.5 / fadeFrames + 1e-3;
    const auto expectNoStep = [&](const Mix& mix) {
        for (size_t f = 1; f < mix.Frames(); ++f) {
            EXPECT_LT(std::fabs(mix.samples[2 * f] - mix.samples[2 * f - 2]), steepestAllowed) << f;
        }
    };
    const size_t resumedFrames = 100;
    for (bool pause : {false, true}) {
        SCOPED_TRACE(pause ? "pause" : "stop");
        HCHANNEL channel = PlaySample(LoadSample(SineWav(kMixRate, 1, kMixRate, 441.0, 0.5)));
        size_t position = 25; // at a crest
        float last = Render(position).samples[2 * position - 2];
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(pause ? BASS_ChannelPause(channel) : BASS_ChannelStop(channel));
            EXPECT_EQ(BASS_ChannelIsActive(channel), DWORD(pause ? BASS_ACTIVE_PAUSED : BASS_ACTIVE_STOPPED));
            Mix fade;
            fade.samples = {last, last};
            for (size_t frames : {10, 1000}) {
                const Mix part = Render(frames);
                fade.samples.insert(fade.samples.end(), part.samples.begin(), part.samples.end());
            }
            EXPECT_LE(fade.SoundEnd(), fadeFrames + 1);
            expectNoStep(fade);

            ASSERT_TRUE(BASS_ChannelPlay(channel, FALSE));
            Mix resumed;
            resumed.samples = {0.0f, 0.0f};
            const Mix part = Render(resumedFrames);
            resumed.samples.insert(resumed.samples.end(), part.samples.begin(), part.samples.end());
            expectNoStep(resumed);
            for (size_t f = 0; f < resumedFrames; ++f) {
                EXPECT_NEAR(part.samples[2 * f], sine(position + f) * (f + 1) / fadeFrames, 1e-4) << f;
            }
            position += resumedFrames;
            last = part.samples[2 * resumedFrames - 2];
        }
        BASS_ChannelStop(channel);
        Render(1000);
    }
}

// Freeing what plays, stopping everything and changing a gain are heard as a fade or a ramp of
// 5 ms, never as a step: at a crest of the sine, no side moves between two frames by more than the
// sine's own slope and the fade's. A freed stream's memory goes as soon as the call returns.
TEST_F(AudioMixTest, FreeingStopAllAndGainChangesMakeNoStep) {
    const size_t fadeFrames = kMixRate / 200;
    const double steepestAllowed = 0.5 * 2.0 * M_PI * 441.0 / kMixRate + 0.5 / fadeFrames + 1e-3;
    struct Case {
        const char* what;
        bool stream;
        int pan;
        int group;
        std::function<void(DWORD channel, HSAMPLE sample)> change;
        double leftAfter; // the peaks once the change is through
        double rightAfter;
    };
    const Case cases[] = {
        {"sample freed", false, 0, 100, [](DWORD, HSAMPLE sample) { BASS_SampleFree(sample); }, 0.0, 0.0},
        {"stream freed", true, 0, 100, [](DWORD stream, HSAMPLE) { BASS_StreamFree(stream); }, 0.0, 0.0},
        {"all stopped", false, 0, 100, [](DWORD, HSAMPLE) { BASS_Stop(), BASS_Start(); }, 0.0, 0.0},
        {"volume", false, 0, 100,
         [](DWORD channel, HSAMPLE) { BASS_ChannelSetAttributes(channel, -1, 10, -101); }, 0.05, 0.05},
        {"panning", false, -100, 100,
         [](DWORD channel, HSAMPLE) { BASS_ChannelSetAttributes(channel, -1, -1, 100); }, 0.0, 0.5},
        {"group volume", false, 0, 10, [](DWORD, HSAMPLE) { BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, 100); },
         0.5, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto file = std::make_unique<std::vector<uint8_t>>(SineWav(kMixRate, 1, kMixRate, 441.0, 0.5));
        BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, c.group);
        HSAMPLE sample = 0;
        DWORD channel;
        if (c.stream) {
            channel = BASS_StreamCreateFile(TRUE, file->data(), 0, static_cast<DWORD>(file->size()), 0);
            ASSERT_TRUE(BASS_ChannelPlay(channel, TRUE));
        } else {
            sample = LoadSample(*file);
            channel = PlaySample(sample, 100, c.pan);
        }
        const size_t crest = 25;
        Mix mix = Render(crest);
        c.change(channel, sample);
        file.reset();
        const Mix after = Render(1000);
        mix.samples.insert(mix.samples.end(), after.samples.begin(), after.samples.end());
        for (size_t i = 2 * (crest - 1); i + 2 < mix.samples.size(); ++i) {
            ASSERT_LT(std::fabs(mix.samples[i + 2] - mix.samples[i]), steepestAllowed) << i / 2 - crest;
        }
        const size_t cycles = fadeFrames + 700; // whole cycles of the sine after the change
        EXPECT_NEAR(after.Rms(0, fadeFrames, cycles) * std::sqrt(2.0), c.leftAfter, 0.003);
        EXPECT_NEAR(after.Rms(1, fadeFrames, cycles) * std::sqrt(2.0), c.rightAfter, 0.003);
        BASS_ChannelStop(channel);
        Render(1000);
    }
    BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, 100);
}

// Each group volume applies to its own kind only: streams follow theirs, not the samples' or the
// music's.
TEST_F(AudioMixTest, GroupVolumesApplyToTheirOwnKind) {
    const std::vector<uint8_t> file = QuarterSecondSine();
    HSTREAM stream = BASS_StreamCreateFile(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 0);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, 0), 0u);
    EXPECT_EQ(BASS_SetConfig(BASS_CONFIG_GVOL_MUSIC, 0), 0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    Mix streamOnly = Render(kQuarterSecond);
    EXPECT_NEAR(streamOnly.Rms(0, 0, kQuarterSecond), 0.5 / std::sqrt(2.0), 0.003);
    EXPECT_EQ(BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, 50), 50u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    Render(kMixRate / 100); // past the ramp
    EXPECT_NEAR(Render(kMixRate / 10).Rms(0, 0, kMixRate / 10), 0.25 / std::sqrt(2.0), 0.003);
    BASS_ChannelStop(stream);
    BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, 100);

    // samples follow their group volume, clamped to 100
    EXPECT_EQ(BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, 250), 100u);
    EXPECT_EQ(BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, 50), 50u);
    PlaySample(LoadSample(file));
    Mix halfSample = Render(kQuarterSecond);
    EXPECT_NEAR(halfSample.Rms(0, 0, kQuarterSecond), 0.25 / std::sqrt(2.0), 0.003);
    BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, 100);
    BASS_SetConfig(BASS_CONFIG_GVOL_MUSIC, 100);
    EXPECT_EQ(BASS_SetConfig(7, 10), static_cast<DWORD>(-1));
}

TEST_F(AudioMixTest, StopSilencesEverythingUntilStartThenPlaybacksWork) {
    HSAMPLE sample = LoadSample(QuarterSecondSine());
    HCHANNEL first = PlaySample(sample);
    Render(100);
    ASSERT_TRUE(BASS_Stop());
    EXPECT_EQ(BASS_ChannelIsActive(first), DWORD(BASS_ACTIVE_STOPPED));
    EXPECT_LE(Render(1000).SoundEnd(), size_t(kMixRate / 200)); // after a fade of 5 ms
    EXPECT_FALSE(BASS_ChannelPlay(first, TRUE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_START);

    ASSERT_TRUE(BASS_Start());
    HCHANNEL second = PlaySample(sample);
    EXPECT_EQ(BASS_ChannelIsActive(second), DWORD(BASS_ACTIVE_PLAYING));
    EXPECT_NEAR(Render(kQuarterSecond).Rms(0, 0, kQuarterSecond), 0.5 / std::sqrt(2.0), 0.003);
}

TEST_F(AudioMixTest, LoudSumIsClampedToFullScale) {
    HSAMPLE sample = LoadSample(SineWav(kMixRate, 2, kMixRate / 10, 441.0, 0.9));
    PlaySample(sample);
    PlaySample(sample);
    Mix mix = Render(kMixRate / 10);
    EXPECT_FLOAT_EQ(static_cast<float>(mix.Peak(0, mix.Frames())), 1.0f);
}

} // namespace
