// The module as a loaded library and its outputs: the silent device's clock and SDL's disk driver.
#include "audiotestsupport.h"

#include "platform/win32/tqkernel32.h"

#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

using namespace audiotest;

namespace {

const char* const kBoundNames[] = {
    "BASS_GetVersion",
    "BASS_GetDeviceDescription",
    "BASS_Init",
    "BASS_Free",
    "BASS_Start",
    "BASS_Stop",
    "BASS_SetConfig",
    "BASS_SampleLoad",
    "BASS_SampleCreate",
    "BASS_SampleCreateDone",
    "BASS_SampleGetInfo",
    "BASS_SampleGetChannel",
    "BASS_SampleFree",
    "BASS_MusicLoad",
    "BASS_MusicFree",
    "BASS_StreamCreateFile",
    "BASS_StreamGetLength",
    "BASS_StreamFree",
    "BASS_ChannelGetInfo",
    "BASS_ChannelGetAttributes",
    "BASS_ChannelSetAttributes",
    "BASS_ChannelSetFlags",
    "BASS_ChannelGetData",
    "BASS_ChannelPlay",
    "BASS_ChannelPause",
    "BASS_ChannelStop",
    "BASS_ChannelIsActive",
    "BASS_ErrorGetCode",
};

TEST(AudioModuleLibraryTest, LoadedByPathItExportsTheBoundFunctionsOnly) {
    void* module = dlopen(TQAUDIO_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    for (const char* name : kBoundNames) {
        EXPECT_NE(dlsym(module, name), nullptr) << name;
    }
    EXPECT_EQ(dlsym(module, "_ZN7tqaudio11AudioSystem8InstanceEv"), nullptr);
    auto version = reinterpret_cast<decltype(&BASS_GetVersion)>(dlsym(module, "BASS_GetVersion"));
    EXPECT_EQ(version(), 0x00010002u);
    dlclose(module);
}

// The function `name` of `module`, typed like `prototype` (through the generic function pointer,
// which may be cast to any function type).
template <class F> F Bound(F /*prototype*/, HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The way the device reaches the module: by the name it was written for, function by function.
TEST(AudioModuleLibraryTest, LoadLibraryFindsItAsBassDll) {
    HMODULE module = LoadLibraryA("bass.dll");
    ASSERT_NE(module, nullptr);
    for (const char* name : kBoundNames) {
        EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    }
    auto version = Bound(&BASS_GetVersion, module, "BASS_GetVersion");
    auto init = Bound(&BASS_Init, module, "BASS_Init");
    auto load = Bound(&BASS_SampleLoad, module, "BASS_SampleLoad");
    auto freeAll = Bound(&BASS_Free, module, "BASS_Free");
    EXPECT_EQ(version(), 0x00010002u);
    ASSERT_TRUE(init(0, kMixRate, 0, nullptr, nullptr));
    const std::vector<uint8_t> file = SineWav(kMixRate, 2, 1000, 441.0, 0.5);
    EXPECT_NE(load(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 4, BASS_SAMPLE_OVER_VOL), 0u);
    EXPECT_TRUE(freeAll());
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(AudioModuleLibraryTest, SilentDeviceLoadsAndPlaysInRealTime) {
    ASSERT_TRUE(BASS_Init(0, kMixRate, 0, nullptr, nullptr));
    EXPECT_STREQ(BASS_GetDeviceDescription(0), "No sound");
    const std::vector<uint8_t> file = SineWav(kMixRate, 1, kMixRate / 10, 441.0, 0.5);
    HSAMPLE sample = BASS_SampleLoad(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 4, 0);
    ASSERT_NE(sample, 0u);
    HCHANNEL channel = BASS_SampleGetChannel(sample, FALSE);
    ASSERT_TRUE(BASS_ChannelPlay(channel, TRUE));
    EXPECT_EQ(BASS_ChannelIsActive(channel), DWORD(BASS_ACTIVE_PLAYING));
    // a tenth of a second of sound ends on its own, though nothing is heard
    for (int i = 0; i < 300 && BASS_ChannelIsActive(channel) == BASS_ACTIVE_PLAYING; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(BASS_ChannelIsActive(channel), DWORD(BASS_ACTIVE_STOPPED));

    // Freeing what plays while the output mixes on its own thread: the voices fade out after their
    // channels are gone, and a stream's memory goes as soon as its free returns.
    for (int i = 0; i < 40; ++i) {
        auto memory = std::make_unique<std::vector<uint8_t>>(file);
        const DWORD size = static_cast<DWORD>(memory->size());
        HSTREAM stream = BASS_StreamCreateFile(TRUE, memory->data(), 0, size, BASS_SAMPLE_LOOP);
        HSAMPLE played = BASS_SampleLoad(TRUE, file.data(), 0, size, 1, BASS_SAMPLE_LOOP);
        ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
        ASSERT_TRUE(BASS_ChannelPlay(BASS_SampleGetChannel(played, FALSE), TRUE));
        std::this_thread::sleep_for(std::chrono::microseconds(500 * (i % 5)));
        if (i % 8 == 7) {
            ASSERT_TRUE(BASS_Stop() && BASS_Start());
        }
        ASSERT_TRUE(BASS_StreamFree(stream));
        memory.reset();
        ASSERT_TRUE(BASS_SampleFree(played));
    }
    EXPECT_TRUE(BASS_Free());
}

// Without a sound card the default device does not start, and the device without sound still does.
TEST(AudioModuleLibraryTest, DefaultDeviceFailsWhenNoOutputOpens) {
    setenv("SDL_AUDIODRIVER", "tq-no-such-driver", 1);
    EXPECT_FALSE(BASS_Init(1, kMixRate, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
    EXPECT_FALSE(BASS_Free());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    unsetenv("SDL_AUDIODRIVER");
    ASSERT_TRUE(BASS_Init(0, kMixRate, 0, nullptr, nullptr));
    const std::vector<uint8_t> file = SineWav(kMixRate, 1, 1000, 441.0, 0.5);
    EXPECT_NE(BASS_SampleLoad(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 4, 0), 0u);
    EXPECT_TRUE(BASS_Free());
}

// SDL's disk driver stands in for a sound card: what it writes is what would be heard.
TEST(AudioModuleLibraryTest, DefaultDeviceThroughSdlDiskDriverWritesTheTone) {
    // Named after the process: test runs of other builds may write their own file at the same time.
    const std::string path = testing::TempDir() + "tqaudio_disk_output_" + std::to_string(getpid()) + ".raw";
    std::remove(path.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    ASSERT_TRUE(BASS_Init(1, kMixRate, 0, nullptr, nullptr));
    ASSERT_STREQ(BASS_GetDeviceDescription(1), "Default output (disk)");
    const std::vector<uint8_t> file = SineWav(kMixRate, 1, kMixRate / 2, 441.0, 0.5);
    HSAMPLE sample = BASS_SampleLoad(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 4, 0);
    HCHANNEL channel = BASS_SampleGetChannel(sample, FALSE);
    ASSERT_TRUE(BASS_ChannelSetAttributes(channel, -1, 100, -100));
    ASSERT_TRUE(BASS_ChannelPlay(channel, TRUE));
    for (int i = 0; i < 300 && BASS_ChannelIsActive(channel) == BASS_ACTIVE_PLAYING; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(BASS_ChannelIsActive(channel), DWORD(BASS_ACTIVE_STOPPED));
    ASSERT_TRUE(BASS_Free());
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");

    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Mix written;
    written.samples.resize(bytes.size() / sizeof(float));
    memcpy(written.samples.data(), bytes.data(), written.samples.size() * sizeof(float));
    size_t start = 0;
    while (start < written.Frames() && written.samples[2 * start] == 0.0f) {
        ++start;
    }
    ASSERT_GE(written.Frames(), start + kMixRate / 2);
    const size_t end = start + kMixRate / 2 - 10;
    EXPECT_NEAR(written.Frequency(start, end, kMixRate), 441.0, 1.0);
    EXPECT_NEAR(written.Rms(0, start, end), 0.5 / std::sqrt(2.0), 0.005);
    EXPECT_EQ(written.Rms(1, 0, written.Frames()), 0.0);
    std::remove(path.c_str());
}

} // namespace
