#include "audiotestsupport.h"

#include "platform/audio/tqaudiotest.h"

#include <sndfile.h>

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

std::vector<uint8_t> EncodeTones(int format, int rate, const std::vector<double>& tones, size_t frames,
                                 double amplitude, const std::vector<int>& layout) {
    struct Buffer {
        std::vector<uint8_t> bytes;
        sf_count_t position = 0;
    } buffer;
    SF_VIRTUAL_IO io = {
        [](void* u) { return static_cast<sf_count_t>(static_cast<Buffer*>(u)->bytes.size()); },
        [](sf_count_t offset, int whence, void* u) {
            Buffer* b = static_cast<Buffer*>(u);
            sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? b->position : b->bytes.size();
            b->position = base + offset;
            return b->position;
        },
        [](void* ptr, sf_count_t count, void* u) {
            Buffer* b = static_cast<Buffer*>(u);
            sf_count_t n =
                std::max<sf_count_t>(0, std::min<sf_count_t>(count, b->bytes.size() - b->position));
            memcpy(ptr, b->bytes.data() + b->position, n);
            b->position += n;
            return n;
        },
        [](const void* ptr, sf_count_t count, void* u) {
            Buffer* b = static_cast<Buffer*>(u);
            if (b->bytes.size() < size_t(b->position + count)) {
                b->bytes.resize(b->position + count);
            }
            memcpy(b->bytes.data() + b->position, ptr, count);
            b->position += count;
            return count;
        },
        [](void* u) { return static_cast<Buffer*>(u)->position; },
    };
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = static_cast<int>(tones.size());
    info.format = format;
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &buffer);
    if (!file) {
        return {};
    }
    std::vector<int> positions(layout);
    if (!positions.empty()) {
        sf_command(file, SFC_SET_CHANNEL_MAP_INFO, positions.data(),
                   static_cast<int>(positions.size() * sizeof(int)));
    }
    std::vector<float> wave(frames * tones.size());
    for (size_t i = 0; i < wave.size(); ++i) {
        const double hz = tones[i % tones.size()];
        wave[i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * (i / tones.size()) / rate));
    }
    sf_writef_float(file, wave.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
    return buffer.bytes;
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

double Mix::Amplitude(int side, size_t first, size_t last, double hz, int rate) const {
    double re = 0.0, im = 0.0, windowSum = 0.0;
    for (size_t f = first; f < last; ++f) {
        const double window = 0.5 - 0.5 * std::cos(2.0 * M_PI * (f - first) / (last - first));
        const double phase = 2.0 * M_PI * hz * f / rate;
        re += window * samples[2 * f + side] * std::cos(phase);
        im += window * samples[2 * f + side] * std::sin(phase);
        windowSum += window;
    }
    return 2.0 * std::hypot(re, im) / windowSum;
}

// Least squares over the sine and cosine at `hz`: solves the 2 x 2 normal equations.
double Mix::Residual(int side, size_t first, size_t last, double hz, int rate) const {
    double cc = 0.0, ss = 0.0, cs = 0.0, xc = 0.0, xs = 0.0;
    for (size_t f = first; f < last; ++f) {
        const double c = std::cos(2.0 * M_PI * hz * f / rate), s = std::sin(2.0 * M_PI * hz * f / rate);
        const double x = samples[2 * f + side];
        cc += c * c, ss += s * s, cs += c * s, xc += x * c, xs += x * s;
    }
    const double det = cc * ss - cs * cs;
    const double a = (xc * ss - xs * cs) / det, b = (xs * cc - xc * cs) / det;
    double sum = 0.0;
    for (size_t f = first; f < last; ++f) {
        const double fit =
            a * std::cos(2.0 * M_PI * hz * f / rate) + b * std::sin(2.0 * M_PI * hz * f / rate);
        const double rest = samples[2 * f + side] - fit;
        sum += rest * rest;
    }
    return std::sqrt(2.0 * sum / (last - first));
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
