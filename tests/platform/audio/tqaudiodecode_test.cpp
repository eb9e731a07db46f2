// Decoders: tracker music, compressed formats, the decoding-stream path into a created sample,
// and data that must be refused.
#include "audiotestsupport.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>

using namespace audiotest;

namespace {

// A one-second 441 Hz mono sine at amplitude 0.5 in `format`.
std::vector<uint8_t> EncodeSine(int format) {
    return EncodeTones(format, kMixRate, {441.0}, kMixRate, 0.5);
}

class AudioDecodeTest : public AudioModuleTest {};

TEST_F(AudioDecodeTest, ModModuleDecodesToSoundUnderTheMusicVolume) {
    const std::vector<uint8_t> file = SquareMod();
    HMUSIC music = BASS_MusicLoad(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 0, 0);
    ASSERT_NE(music, 0u) << BASS_ErrorGetCode();
    TQAudioChannelInfo info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(music, &info));
    EXPECT_EQ(info.freq, DWORD(kMixRate));
    EXPECT_EQ(info.chans, 2u);
    ASSERT_TRUE(BASS_ChannelPlay(music, TRUE));
    Mix mix = Render(kMixRate / 2);
    EXPECT_GT(mix.Rms(0, 0, mix.Frames()), 0.05);
    // period 428 plays the 32-byte wave at about 8287 Hz: a 259 Hz square
    EXPECT_NEAR(mix.Frequency(0, mix.Frames(), kMixRate), 259.0, 6.0);

    BASS_SetConfig(BASS_CONFIG_GVOL_MUSIC, 0);
    EXPECT_LE(Render(1000).SoundEnd(), size_t(kMixRate / 200)); // after a ramp of 5 ms
    BASS_SetConfig(BASS_CONFIG_GVOL_MUSIC, 100);
    ASSERT_TRUE(BASS_MusicFree(music));
    EXPECT_FALSE(BASS_MusicFree(music));
}

TEST_F(AudioDecodeTest, CompressedFormatsLoadAsSamplesAndStreams) {
    for (int format : {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, SF_FORMAT_OGG | SF_FORMAT_VORBIS,
                       SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}) {
        const std::vector<uint8_t> file = EncodeSine(format);
        if (file.empty()) {
            continue; // this libsndfile cannot write the format; reading is what is under test
        }
        SCOPED_TRACE(format);
        HCHANNEL channel = PlaySample(LoadSample(file));
        Mix mix = Render(kMixRate / 2);
        EXPECT_NEAR(mix.Frequency(kMixRate / 10, mix.Frames(), kMixRate), 441.0, 2.0);
        EXPECT_NEAR(mix.Rms(0, kMixRate / 10, mix.Frames()), 0.5 / std::sqrt(2.0), 0.03);
        BASS_ChannelStop(channel);

        HSTREAM stream = BASS_StreamCreateFile(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 0);
        ASSERT_NE(stream, 0u);
        ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
        EXPECT_NEAR(Render(kMixRate / 2).Frequency(kMixRate / 10, kMixRate / 2, kMixRate), 441.0, 2.0);
        BASS_StreamFree(stream);
    }
}

// Files of more than two channels fold to stereo by their layout: front pair on its own side,
// centre into both and surrounds into their side at -3 dB, low-frequency channel dropped, and
// all of it scaled so that full-scale channels cannot exceed full scale.
TEST_F(AudioDecodeTest, MultichannelFilesFoldByTheirLayoutWithoutClipping) {
    const double k = std::sqrt(0.5);
    const double g51 = 1.0 / (1.0 + 2.0 * k), g4 = 1.0 / (1.0 + k);
    struct Case {
        const char* name;
        int format;
        std::vector<int> layout;                  // declared in the file, else none
        std::vector<std::array<double, 2>> share; // per channel: its gain on the left and right
    };
    const Case cases[] = {
        {"5.1 with a channel mask",
         SF_FORMAT_WAVEX | SF_FORMAT_PCM_16,
         {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER, SF_CHANNEL_MAP_LFE,
          SF_CHANNEL_MAP_REAR_LEFT, SF_CHANNEL_MAP_REAR_RIGHT},
         {{g51, 0}, {0, g51}, {g51 * k, g51 * k}, {0, 0}, {g51 * k, 0}, {0, g51 * k}}},
        {"4 channels without a mask (quad)",
         SF_FORMAT_WAV | SF_FORMAT_PCM_16,
         {},
         {{g4, 0}, {0, g4}, {g4 * k, 0}, {0, g4 * k}}},
        {"4 channels with a 3.1 mask",
         SF_FORMAT_WAVEX | SF_FORMAT_PCM_16,
         {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER, SF_CHANNEL_MAP_LFE},
         {{g4, 0}, {0, g4}, {g4 * k, g4 * k}, {0, 0}}},
        {"5.0 Vorbis in its own order",
         SF_FORMAT_OGG | SF_FORMAT_VORBIS,
         {},
         {{g51, 0}, {g51 * k, g51 * k}, {0, g51}, {g51 * k, 0}, {0, g51 * k}}},
    };
    const double amplitude = 0.9;
    const size_t first = kMixRate / 10, last = first + kMixRate / 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> tones;
        for (size_t i = 0; i < c.share.size(); ++i) {
            tones.push_back(300.0 + 200.0 * i);
        }
        const std::vector<uint8_t> file =
            EncodeTones(c.format, kMixRate, tones, kMixRate, amplitude, c.layout);
        ASSERT_FALSE(file.empty());
        PlaySample(LoadSample(file));
        Mix mix = Render(kMixRate);
        const bool lossy = (c.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG;
        for (size_t i = 0; i < tones.size(); ++i) {
            for (int side : {0, 1}) {
                SCOPED_TRACE(testing::Message() << "channel " << i << " side " << side);
                EXPECT_NEAR(mix.Amplitude(side, first, last, tones[i], kMixRate),
                            amplitude * c.share[i][side], lossy ? 0.02 : 0.002);
            }
        }
        EXPECT_LE(mix.Peak(first, last), amplitude + 0.01);
    }
}

// The device's fallback for files it cannot load as samples: decode a stream into a new sample.
TEST_F(AudioDecodeTest, DecodingStreamFillsACreatedSample) {
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        const std::vector<uint8_t> file = SineWav(22050, channels, 5512, 441.0, 0.5);
        HSTREAM stream =
            BASS_StreamCreateFile(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), BASS_STREAM_DECODE);
        ASSERT_NE(stream, 0u);
        const QWORD bytes = BASS_StreamGetLength(stream);
        EXPECT_EQ(bytes, QWORD(5512) * channels * 2);
        TQAudioChannelInfo info{};
        ASSERT_TRUE(BASS_ChannelGetInfo(stream, &info));
        EXPECT_EQ(info.freq, 22050u);
        EXPECT_EQ(info.chans, DWORD(channels));
        EXPECT_FALSE(BASS_ChannelPlay(stream, TRUE));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DECODE);

        void* buffer = BASS_SampleCreate(5512, info.freq, 4, info.flags | BASS_SAMPLE_OVER_VOL);
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(BASS_ChannelGetData(stream, buffer, static_cast<DWORD>(bytes)), DWORD(bytes));
        EXPECT_EQ(BASS_ChannelGetData(stream, buffer, static_cast<DWORD>(bytes)), 0u);
        HSAMPLE sample = BASS_SampleCreateDone();
        ASSERT_NE(sample, 0u);
        ASSERT_TRUE(BASS_StreamFree(stream));
        EXPECT_EQ(BASS_SampleCreateDone(), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_EMPTY);

        PlaySample(sample);
        Mix mix = Render(kMixRate / 4);
        EXPECT_NEAR(mix.Frequency(0, kMixRate / 4, kMixRate), 441.0, 1.0);
        // the level before the cut at the end, which rings as any band-limited step does
        EXPECT_NEAR(mix.Peak(0, kMixRate / 4 - 100), 0.5, 0.01);
        EXPECT_NEAR(static_cast<double>(mix.SoundEnd()), 11024.0, 3.0);
    }
}

// Two threads creating samples at once each fill and finish their own buffer: each sample has
// the length its thread asked for.
TEST_F(AudioDecodeTest, ThreadsCreatingSamplesAtOnceKeepTheirOwnBuffers) {
    std::atomic<int> wrong{0};
    const auto create = [&](DWORD frames) {
        for (int i = 0; i < 300; ++i) {
            void* buffer = BASS_SampleCreate(frames, kMixRate, 1, BASS_SAMPLE_MONO);
            if (!buffer) {
                ++wrong;
                continue;
            }
            memset(buffer, 0x11, frames * 2);
            TQAudioSampleInfo info{};
            const HSAMPLE sample = BASS_SampleCreateDone();
            if (!BASS_SampleGetInfo(sample, &info) || info.length != frames * 2) {
                ++wrong;
            }
            BASS_SampleFree(sample);
        }
    };
    std::thread other(create, 3000);
    create(5000);
    other.join();
    EXPECT_EQ(wrong.load(), 0);
}

// Asked for more bytes than the created buffer holds, the read stops at the buffer's end.
TEST_F(AudioDecodeTest, ReadIntoACreatedSampleNeverRunsPastItsBuffer) {
    const std::vector<uint8_t> file = SineWav(kMixRate, 1, 4000, 441.0, 0.5);
    HSTREAM stream =
        BASS_StreamCreateFile(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), BASS_STREAM_DECODE);
    ASSERT_NE(stream, 0u);
    const DWORD bytes = static_cast<DWORD>(BASS_StreamGetLength(stream));
    uint8_t* buffer = static_cast<uint8_t*>(BASS_SampleCreate(bytes / 4, kMixRate, 4, BASS_SAMPLE_MONO));
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(BASS_ChannelGetData(stream, buffer, bytes), bytes / 2);
    EXPECT_NE(BASS_SampleCreateDone(), 0u);
    BASS_StreamFree(stream);
}

TEST_F(AudioDecodeTest, CorruptOrTruncatedDataFailsWithAnErrorCode) {
    const std::vector<uint8_t> wav = SineWav(kMixRate, 1, 4000, 441.0, 0.5);
    const std::vector<uint8_t> mod = SquareMod();
    std::vector<uint8_t> noiseBytes(4096);
    for (size_t i = 0; i < noiseBytes.size(); ++i) {
        noiseBytes[i] = static_cast<uint8_t>((i * 7919 + 13) ^ (i >> 3));
    }
    const std::vector<uint8_t>& noise = noiseBytes;
    const std::vector<uint8_t> shortHeader(wav.begin(), wav.begin() + 30);
    const std::vector<uint8_t> shortData(wav.begin(), wav.begin() + wav.size() / 2);
    const std::vector<uint8_t> shortMod(mod.begin(), mod.begin() + 600);

    for (const std::vector<uint8_t>* bad : {&noise, &shortHeader, &shortData, &mod}) {
        const DWORD size = static_cast<DWORD>(bad->size());
        EXPECT_EQ(BASS_SampleLoad(TRUE, bad->data(), 0, size, 4, 0), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
        if (bad != &shortData) { // a stream plays what there is of a cut file
            EXPECT_EQ(BASS_StreamCreateFile(TRUE, bad->data(), 0, size, 0), 0u);
            EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
        }
    }
    for (const std::vector<uint8_t>* bad : {&noise, &shortMod, &wav}) {
        EXPECT_EQ(BASS_MusicLoad(TRUE, bad->data(), 0, static_cast<DWORD>(bad->size()), 0, 0), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    }
    EXPECT_EQ(BASS_SampleLoad(TRUE, nullptr, 0, 100, 4, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_SampleLoad(TRUE, wav.data(), 0, static_cast<DWORD>(wav.size()), 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, "a.wav", 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
}

// A float WAV holding NaN, infinities and a huge value, played as a sample and as a stream beside a
// clean voice: every value of the mix stays finite, and the clean voice sounds as it would alone.
TEST_F(AudioDecodeTest, NonFiniteValuesInAFileTouchOnlyItsOwnVoice) {
    std::vector<uint8_t> bad =
        EncodeTones(SF_FORMAT_WAV | SF_FORMAT_FLOAT, kMixRate, {441.0}, kMixRate / 10, 0.25);
    ASSERT_FALSE(bad.empty());
    const size_t data = std::string(bad.begin(), bad.end()).rfind("data") + 8;
    const float poison[] = {NAN, INFINITY, -INFINITY, 3e38f, NAN};
    for (size_t i = 0; i < std::size(poison); ++i) {
        memcpy(bad.data() + data + 4 * (1000 + 7 * i), &poison[i], sizeof(float));
    }
    PlaySample(LoadSample(EncodeSine(SF_FORMAT_WAV | SF_FORMAT_PCM_16)));
    PlaySample(LoadSample(bad));
    HSTREAM stream = BASS_StreamCreateFile(TRUE, bad.data(), 0, static_cast<DWORD>(bad.size()), 0);
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    const Mix mix = Render(kMixRate / 5);
    EXPECT_TRUE(
        std::all_of(mix.samples.begin(), mix.samples.end(), [](float v) { return std::isfinite(v); }));
    // the bad file has ended: the clean sine alone, at its level
    EXPECT_NEAR(mix.Rms(0, kMixRate / 10 + 100, mix.Frames()), 0.5 / std::sqrt(2.0), 0.01);
}

// A refused file gives its reason to the caller, in words about the data, and no line of the
// module's own: a rate no created sample may have, a short MP3 (which libsndfile calls a file that
// does not exist). An OGG cut before its last page opens, but its length is not available.
TEST_F(AudioDecodeTest, RefusedFilesSayWhyAndACutOggHasNoLength) {
    std::vector<std::vector<uint8_t>> refused;
    for (uint32_t rate : {1u, 99u, 192001u, 10000000u}) {
        refused.push_back(SineWav(8000, 1, 4000, 441.0, 0.5));
        memcpy(&refused.back()[24], &rate, sizeof(rate)); // the format chunk's rate
    }
    const std::vector<uint8_t> mp3 = EncodeSine(SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
    if (!mp3.empty()) {
        refused.emplace_back(mp3.begin(), mp3.begin() + 100);
    }
    testing::internal::CaptureStderr();
    for (const std::vector<uint8_t>& file : refused) {
        const DWORD size = static_cast<DWORD>(file.size());
        EXPECT_EQ(BASS_SampleLoad(TRUE, file.data(), 0, size, 4, 0), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
        EXPECT_EQ(BASS_StreamCreateFile(TRUE, file.data(), 0, size, 0), 0u);
        const std::string why = TQAudio_FileRefusal();
        EXPECT_EQ(why.rfind("not a readable sound file (", 0), 0u) << why;
        EXPECT_EQ(why.find("exist"), std::string::npos) << why;
        EXPECT_TRUE((&file == &refused.back() && !mp3.empty()) ||
                    why.find(" Hz, not 100 to 192000") != std::string::npos)
            << why;
    }
    const std::vector<uint8_t> flac = EncodeSine(SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const std::vector<uint8_t> cutFlac(flac.begin(), flac.begin() + flac.size() * 3 / 5);
    EXPECT_EQ(BASS_SampleLoad(TRUE, cutFlac.data(), 0, static_cast<DWORD>(cutFlac.size()), 4, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    EXPECT_EQ(std::string(TQAudio_FileRefusal()).rfind("not a readable sound file (ends after ", 0), 0u)
        << TQAudio_FileRefusal();
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("tqaudio:"), std::string::npos);

    const std::vector<uint8_t> wav = SineWav(8000, 1, 4000, 441.0, 0.5);
    ASSERT_NE(BASS_SampleLoad(TRUE, wav.data(), 0, static_cast<DWORD>(wav.size()), 4, 0), 0u);
    EXPECT_STREQ(TQAudio_FileRefusal(), "");

    const std::vector<uint8_t> ogg = EncodeSine(SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    const std::vector<uint8_t> cut(ogg.begin(), ogg.begin() + ogg.size() * 4 / 5);
    HSTREAM stream =
        BASS_StreamCreateFile(TRUE, cut.data(), 0, static_cast<DWORD>(cut.size()), BASS_STREAM_DECODE);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(BASS_StreamGetLength(stream), static_cast<QWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
    BASS_StreamFree(stream);
}

// Decoded data goes to any address the caller gives, an odd one too, byte for byte as to an
// aligned one.
TEST_F(AudioDecodeTest, DecodedDataReadsToAnOddAddress) {
    const std::vector<uint8_t> file = SineWav(22050, 2, 3001, 441.0, 0.5);
    std::vector<uint8_t> aligned(3001 * 4), odd(3001 * 4 + 1);
    for (uint8_t* to : {aligned.data(), odd.data() + 1}) {
        HSTREAM stream =
            BASS_StreamCreateFile(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), BASS_STREAM_DECODE);
        ASSERT_NE(stream, 0u);
        EXPECT_EQ(BASS_ChannelGetData(stream, to, static_cast<DWORD>(aligned.size())), DWORD(aligned.size()));
        BASS_StreamFree(stream);
    }
    EXPECT_TRUE(std::equal(aligned.begin(), aligned.end(), odd.begin() + 1));
}

} // namespace
