// Sound through the audio module on a silent output: effects, music, streams and channels.
#include "devicetestsupport.h"

#include "platform/audio/tqaudio.h"
#include "platform/win32/tqkernel32.h"

#include <minizip/zip.h>
#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

const bool kDummyAudio = setenv("SDL_AUDIODRIVER", "dummy", 1) == 0;

void PutBe16(std::string* out, uint32_t value) {
    out->push_back(static_cast<char>((value >> 8) & 0xFF));
    out->push_back(static_cast<char>(value & 0xFF));
}

// A 16-bit mono WAV file of a tone.
std::string MakeWav(int rate, int frames) {
    std::string wav = "RIFF";
    PutLittleEndian(&wav, 36 + frames * 2, 4);
    wav += "WAVEfmt ";
    PutLittleEndian(&wav, 16, 4);
    PutLittleEndian(&wav, 1, 2);
    PutLittleEndian(&wav, 1, 2);
    PutLittleEndian(&wav, rate, 4);
    PutLittleEndian(&wav, rate * 2, 4);
    PutLittleEndian(&wav, 2, 2);
    PutLittleEndian(&wav, 16, 2);
    wav += "data";
    PutLittleEndian(&wav, frames * 2, 4);
    for (int i = 0; i < frames; ++i)
        PutLittleEndian(&wav, static_cast<uint32_t>(static_cast<int16_t>(8000 * std::sin(i * 0.05))), 2);
    return wav;
}

// A four-channel tracker module playing one looped square-wave sample.
std::string MakeMod() {
    std::string mod(20, '\0');
    for (int sample = 0; sample < 31; ++sample) {
        mod.append(22, '\0');
        PutBe16(&mod, sample == 0 ? 32 : 0); // length in words
        mod.push_back(0);
        mod.push_back(sample == 0 ? 64 : 0);
        PutBe16(&mod, 0);
        PutBe16(&mod, sample == 0 ? 32 : 1); // loop length in words
    }
    mod.push_back(1);
    mod.push_back(127);
    mod.append(128, '\0');
    mod += "M.K.";
    std::string pattern(1024, '\0');
    const char note[4] = {0x01, static_cast<char>(0xAC), 0x10, 0x00};
    pattern.replace(0, 4, note, 4);
    mod += pattern;
    for (int i = 0; i < 64; ++i)
        mod.push_back(static_cast<char>(i < 32 ? 100 : -100));
    return mod;
}

class DeviceSoundTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_TRUE(kDummyAudio);
        dev->System_SetState(TQGFX_WINDOWED, true);
        dev->System_SetState(TQGFX_FRAMEFUNC, DeviceTestFrame);
        ASSERT_TRUE(dev->System_Initiate());
        module = LoadLibraryA("bass.dll");
        ASSERT_NE(module, nullptr);
        getAttributes = reinterpret_cast<BOOL (*)(DWORD, DWORD*, DWORD*, int*)>(
            reinterpret_cast<void (*)()>(GetProcAddress(module, "BASS_ChannelGetAttributes")));
        ASSERT_NE(getAttributes, nullptr);
        wav = MakeWav(22050, 22050 * 4);
    }

    void TearDown() override {
        if (module)
            FreeLibrary(module);
        DeviceTest::TearDown();
    }

    struct Attributes {
        DWORD freq = 0;
        DWORD volume = 0;
        int pan = 0;
    };

    Attributes Get(DWORD channel) {
        Attributes a;
        getAttributes(channel, &a.freq, &a.volume, &a.pan);
        return a;
    }

    HMODULE module = nullptr;
    BOOL (*getAttributes)(DWORD, DWORD*, DWORD*, int*) = nullptr;
    std::string wav;
};

} // namespace

TEST_F(DeviceSoundTest, StartUpLogsTheOutput) {
    EXPECT_TRUE(LogContains("Sound Device: ") || LogContains("BASS Init failed, using no sound"));
    EXPECT_TRUE(LogContains("Sample rate: 44100\n"));
}

TEST_F(DeviceSoundTest, EffectsPlayWithVolumePanAndPitch) {
    DWORD effect = dev->Effect_Load(wav.data(), static_cast<DWORD>(wav.size()));
    ASSERT_NE(effect, 0u);
    DWORD channel = dev->Effect_PlayEx(effect, 50, -30, 2.0f, true);
    ASSERT_NE(channel, 0u);
    EXPECT_TRUE(dev->Channel_IsPlaying(channel));
    Attributes a = Get(channel);
    EXPECT_EQ(a.freq, 44100u);
    EXPECT_EQ(a.volume, 50u);
    EXPECT_EQ(a.pan, -30);

    dev->Channel_SetVolume(channel, 80);
    a = Get(channel);
    EXPECT_EQ(a.volume, 80u);
    EXPECT_EQ(a.pan, -30);
    dev->Channel_SetPanning(channel, 10);
    a = Get(channel);
    EXPECT_EQ(a.freq, 44100u);
    EXPECT_EQ(a.volume, 80u);
    EXPECT_EQ(a.pan, 10);
    dev->Channel_SetPitch(channel, 0.5f);
    EXPECT_EQ(Get(channel).freq, 11025u);
    // Pitches that make no rate leave it, or hold it at the module's highest.
    for (float pitch : {std::nanf(""), 0.0f, -1.0f}) {
        dev->Channel_SetPitch(channel, pitch);
        EXPECT_EQ(Get(channel).freq, 11025u) << pitch;
    }
    dev->Channel_SetPitch(channel, 1e30f);
    EXPECT_GT(Get(channel).freq, 44100u);

    dev->Channel_Pause(channel);
    EXPECT_FALSE(dev->Channel_IsPlaying(channel));
    dev->Channel_Resume(channel);
    EXPECT_TRUE(dev->Channel_IsPlaying(channel));
    dev->Channel_Stop(channel);
    EXPECT_FALSE(dev->Channel_IsPlaying(channel));

    // Stopping everything leaves the output ready for the next playback.
    DWORD first = dev->Effect_Play(effect);
    EXPECT_TRUE(dev->Channel_IsPlaying(first));
    dev->Channel_StopAll();
    EXPECT_FALSE(dev->Channel_IsPlaying(first));
    EXPECT_TRUE(dev->Channel_IsPlaying(dev->Effect_Play(effect)));
    dev->Effect_Free(effect);
}

TEST_F(DeviceSoundTest, EffectsAndStreamsFromResources) {
    WriteFile("sfx/tone.wav", wav);
    DWORD effect = dev->Effect_Load(Path("sfx/tone.wav").c_str(), 0);
    EXPECT_NE(effect, 0u);
    EXPECT_EQ(dev->Effect_Load(Path("sfx/none.wav").c_str(), 0), 0u);
    EXPECT_EQ(std::string(dev->System_GetErrorMessage()), "Can't load resource: " + Path("sfx/none.wav"));
    std::string junk(100, 'j');
    EXPECT_EQ(dev->Effect_Load(junk.data(), static_cast<DWORD>(junk.size())), 0u);

    // The stream plays from the memory the device read; freeing it stops it first.
    DWORD stream = dev->Stream_Load(Path("sfx/tone.wav").c_str(), 0);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(dev->Stream_Play(stream, true), stream);
    EXPECT_TRUE(dev->Channel_IsPlaying(stream));
    EXPECT_EQ(Get(stream).freq, 22050u);
    dev->Stream_Free(stream);
    EXPECT_FALSE(dev->Channel_IsPlaying(stream));

    // A stream on the caller's memory leaves that memory to the caller.
    DWORD own = dev->Stream_Load(wav.data(), static_cast<DWORD>(wav.size()));
    ASSERT_NE(own, 0u);
    dev->Stream_Play(own, false);
    dev->Stream_Free(own);
    EXPECT_EQ(dev->Stream_Load(junk.data(), static_cast<DWORD>(junk.size())), 0u);
    EXPECT_STREQ(dev->System_GetErrorMessage(),
                 "Can't load stream: not a readable sound file (Format not recognised.)");

    // A stream left playing is released with its memory at shut-down.
    DWORD left = dev->Stream_Load(Path("sfx/tone.wav").c_str(), 0);
    dev->Stream_Play(left, true);
    dev->System_Shutdown();
    EXPECT_EQ(dev->Effect_Load(wav.data(), static_cast<DWORD>(wav.size())), 0u);
}

TEST_F(DeviceSoundTest, TrackerMusic) {
    std::string mod = MakeMod();
    DWORD music = dev->Music_Load(mod.data(), static_cast<DWORD>(mod.size()));
    ASSERT_NE(music, 0u);
    EXPECT_EQ(dev->Music_Play(music, true), music);
    EXPECT_TRUE(dev->Channel_IsPlaying(music));
    EXPECT_EQ(Get(music).volume, 100u);
    dev->Music_Free(music);
    std::string junk(300, 'x');
    EXPECT_EQ(dev->Music_Load(junk.data(), static_cast<DWORD>(junk.size())), 0u);
    EXPECT_STREQ(dev->System_GetErrorMessage(), "Can't load music");
}

TEST_F(DeviceSoundTest, UseSoundStateUnloadsAndReloads) {
    dev->System_SetState(TQGFX_USESOUND, false);
    EXPECT_EQ(dev->Effect_Load(wav.data(), static_cast<DWORD>(wav.size())), 0u);
    EXPECT_EQ(dev->Effect_Play(5), 0u);
    EXPECT_FALSE(dev->Channel_IsPlaying(5));
    dev->System_SetState(TQGFX_SAMPLERATE, 22050);
    EXPECT_EQ(dev->System_GetState(TQGFX_SAMPLERATE).AsInt(), 22050);
    dev->System_SetState(TQGFX_USESOUND, true);
    EXPECT_NE(dev->Effect_Load(wav.data(), static_cast<DWORD>(wav.size())), 0u);
    // While the module is loaded the sample rate stays.
    dev->System_SetState(TQGFX_SAMPLERATE, 8000);
    EXPECT_EQ(dev->System_GetState(TQGFX_SAMPLERATE).AsInt(), 22050);
}

TEST_F(DeviceSoundTest, WithoutAnOutputMissingFilesStillFail) {
    dev->System_SetState(TQGFX_USESOUND, false);
    setenv("SDL_AUDIODRIVER", "no-such-output", 1);
    dev->System_SetState(TQGFX_USESOUND, true);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(LogContains("BASS Init failed, using no sound"));
    WriteFile("sfx/tone.wav", wav);
    EXPECT_NE(dev->Effect_Load(Path("sfx/tone.wav").c_str(), 0), 0u);
    EXPECT_NE(dev->Stream_Load(Path("sfx/tone.wav").c_str(), 0), 0u);
    EXPECT_EQ(dev->Effect_Load(Path("sfx/none.wav").c_str(), 0), 0u);
    EXPECT_EQ(dev->Stream_Load(Path("sfx/none.wav").c_str(), 0), 0u);
    EXPECT_EQ(std::string(dev->System_GetErrorMessage()), "Can't load resource: " + Path("sfx/none.wav"));
}

// The music volume applies to streams (a game's music) as well as to tracker music; the effect
// volume leaves them alone. Measured in the mix the module renders.
TEST_F(DeviceSoundTest, MusicVolumeAppliesToStreams) {
    auto render = reinterpret_cast<DWORD (*)(float*, DWORD)>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "TQAudioTest_Render")));
    ASSERT_NE(render, nullptr);
    const auto level = [&] {
        std::vector<float> mix(2 * 4410);
        render(mix.data(), 441); // past any ramp of the volume
        render(mix.data(), 4410);
        double sum = 0.0;
        for (float value : mix)
            sum += double(value) * value;
        return std::sqrt(sum / mix.size());
    };
    DWORD stream = dev->Stream_Load(wav.data(), static_cast<DWORD>(wav.size()));
    ASSERT_NE(stream, 0u);
    dev->Stream_Play(stream, true);
    const double full = level();
    EXPECT_GT(full, 0.05);
    dev->System_SetState(TQGFX_FXVOLUME, 0);
    EXPECT_NEAR(level(), full, full * 0.01);
    dev->System_SetState(TQGFX_MUSVOLUME, 0);
    EXPECT_LT(level(), full * 1e-3);
    dev->System_SetState(TQGFX_MUSVOLUME, 100);
    EXPECT_NEAR(level(), full, full * 0.01);
    dev->Stream_Free(stream);
}

// A damaged sound in a pack fails with one line that names it, as an effect and as a stream; the
// module writes none of its own.
TEST_F(DeviceSoundTest, DamagedSoundInAPackSaysWhichInOneLine) {
    zipFile zip = zipOpen(Path("sounds.zip").c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    const std::string damaged = "RIFF$$$$WAVEfmt garbage that is no sound at all";
    zip_fileinfo info{};
    zipOpenNewFileInZip(zip, "sfx/broken.wav", &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                        Z_DEFAULT_COMPRESSION);
    zipWriteInFileInZip(zip, damaged.data(), static_cast<unsigned>(damaged.size()));
    zipCloseFileInZip(zip);
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
    ASSERT_TRUE(dev->Resource_AttachPack(Path("sounds.zip").c_str(), nullptr));

    for (bool stream : {false, true}) {
        SCOPED_TRACE(stream ? "stream" : "effect");
        const size_t before = LogLines().size();
        testing::internal::CaptureStderr();
        EXPECT_EQ(stream ? dev->Stream_Load("sfx/broken.wav", 0) : dev->Effect_Load("sfx/broken.wav", 0), 0u);
        EXPECT_EQ(testing::internal::GetCapturedStderr().find("tqaudio:"), std::string::npos);
        const std::vector<std::string> lines = LogLines();
        ASSERT_EQ(lines.size(), before + 1);
        EXPECT_NE(lines.back().find("sfx/broken.wav: not a readable sound file ("), std::string::npos)
            << lines.back();
    }
}
