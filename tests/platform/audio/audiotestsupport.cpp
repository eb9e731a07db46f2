#include "audiotestsupport.h"

#include "platform/audio/tqaudiotest.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace audiotest {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutText(std::vector<uint8_t>& out, const char* text, size_t width) {
    std::string padded(text);
    padded.resize(width, '\0');
    out.insert(out.end(), padded.begin(), padded.end());
}

void PutBigEndian16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back((v >> 8) & 0xFF);
    out.push_back(v & 0xFF);
}

} // namespace

std::vector<uint8_t> SineWav(int rate, int channels, size_t frames, double hz, double amplitude) {
    const uint32_t dataBytes = static_cast<uint32_t>(frames * channels * 2);
    std::vector<uint8_t> out;
    PutText(out, "RIFF", 4);
    Put32(out, 36 + dataBytes);
    PutText(out, "WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, channels);
    Put32(out, rate);
    Put32(out, rate * channels * 2);
    Put16(out, channels * 2);
    Put16(out, 16);
    PutText(out, "data", 4);
    Put32(out, dataBytes);
    for (size_t f = 0; f < frames; ++f) {
        const double value = amplitude * std::sin(2.0 * M_PI * hz * f / rate);
        for (int c = 0; c < channels; ++c) {
            Put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value * 32767.0))));
        }
    }
    return out;
}

std::vector<uint8_t> SquareMod() {
    const int kSampleWords = 16;
    std::vector<uint8_t> out;
    PutText(out, "square", 20);
    for (int s = 0; s < 31; ++s) {
        const bool used = s == 0;
        PutText(out, used ? "square" : "", 22);
        PutBigEndian16(out, used ? kSampleWords : 0);
        out.push_back(0);                             // finetune
        out.push_back(used ? 64 : 0);                 // volume
        PutBigEndian16(out, 0);                       // loop start
        PutBigEndian16(out, used ? kSampleWords : 1); // loop length
    }
    out.push_back(1);   // song length
    out.push_back(127); // restart
    out.insert(out.end(), 128, 0);
    PutText(out, "M.K.", 4);
    std::vector<uint8_t> pattern(64 * 4 * 4, 0);
    const int period = 428;
    pattern[0] = static_cast<uint8_t>((1 & 0xF0) | (period >> 8));
    pattern[1] = static_cast<uint8_t>(period & 0xFF);
    pattern[2] = static_cast<uint8_t>((1 & 0x0F) << 4);
    out.insert(out.end(), pattern.begin(), pattern.end());
    for (int i = 0; i < 2 * kSampleWords; ++i) {
        out.push_back(static_cast<uint8_t>(i < kSampleWords ? 100 : -100));
    }
    return out;
}

double Mix::Rms(int side, size_t first, size_t last) const {
    double sum = 0.0;
    for (size_t f = first; f < last; ++f) {
        sum += samples[2 * f + side] * samples[2 * f + side];
    }
    return last > first ? std::sqrt(sum / (last - first)) : 0.0;
}

double Mix::Peak(size_t first, size_t last) const {
    double peak = 0.0;
    for (size_t i = 2 * first; i < 2 * last; ++i) {
        peak = std::max(peak, static_cast<double>(std::fabs(samples[i])));
    }
    return peak;
}

double Mix::Frequency(size_t first, size_t last, int rate) const {
    size_t firstCrossing = 0, lastCrossing = 0, crossings = 0;
    for (size_t f = first + 1; f < last; ++f) {
        if (samples[2 * (f - 1)] < 0.0f && samples[2 * f] >= 0.0f) {
            (crossings == 0 ? firstCrossing : lastCrossing) = f;
            ++crossings;
        }
    }
    if (crossings < 2) {
        return 0.0;
    }
    return (crossings - 1) * static_cast<double>(rate) / (lastCrossing - firstCrossing);
}

size_t Mix::SoundEnd() const {
    for (size_t f = Frames(); f > 0; --f) {
        if (samples[2 * f - 2] != 0.0f || samples[2 * f - 1] != 0.0f) {
            return f;
        }
    }
    return 0;
}

Mix Render(size_t frames) {
    Mix mix;
    mix.samples.assign(2 * frames, 0.0f);
    TQAudioTest_Render(mix.samples.data(), static_cast<DWORD>(frames));
    return mix;
}

} // namespace audiotest

namespace audiotest {

void AudioModuleTest::SetUp() {
    ASSERT_TRUE(BASS_Init(0, kMixRate, TQAUDIO_TEST_MANUAL_CLOCK, nullptr, nullptr));
}

void AudioModuleTest::TearDown() {
    BASS_Free();
}

HSAMPLE AudioModuleTest::LoadSample(const std::vector<uint8_t>& file, DWORD max, DWORD flags) {
    HSAMPLE sample = BASS_SampleLoad(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), max, flags);
    EXPECT_NE(sample, 0u) << "error " << BASS_ErrorGetCode();
    return sample;
}

HCHANNEL AudioModuleTest::PlaySample(HSAMPLE sample, int volume, int pan) {
    HCHANNEL channel = BASS_SampleGetChannel(sample, FALSE);
    EXPECT_NE(channel, 0u) << "error " << BASS_ErrorGetCode();
    EXPECT_TRUE(BASS_ChannelSetAttributes(channel, -1, volume, pan));
    EXPECT_TRUE(BASS_ChannelPlay(channel, TRUE));
    return channel;
}

} // namespace audiotest
