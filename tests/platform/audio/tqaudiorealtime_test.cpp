// What the mixing thread may do and what nothing may cut: no allocation, release or lock in a pass,
// whatever the game does meanwhile and whatever the decoders do; a fade for every way a voice is let go or
// restarted, however many go at once; freeing channels in time linear in their count.
#include "audiotestsupport.h"

#include <dlfcn.h>
#include <pthread.h>
#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <new>
#include <thread>

using namespace audiotest;

// What a mix pass does that it must not: the allocator's functions and the calls that can sleep on
// a lock or wake a sleeper (a system call), counted on the thread rendering while it is in a pass.
// The allocator is interposed at malloc, so what decoders and libraries allocate counts as well as
// new; sanitizer builds own malloc and the lock calls, so there only new and delete are counted.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TQ_INTERPOSE 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define TQ_INTERPOSE 0
#endif
#endif
#ifndef TQ_INTERPOSE
#define TQ_INTERPOSE 1
#endif

namespace {

__attribute__((tls_model("initial-exec"))) thread_local bool t_inPass = false;
std::atomic<long> g_allocations{0};
std::atomic<long> g_locks{0};

void CountAllocation() {
    if (t_inPass) {
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    }
}

[[maybe_unused]] void CountLock() {
    if (t_inPass) {
        g_locks.fetch_add(1, std::memory_order_relaxed);
    }
}

// The next definition of `name` (the C library's), found once.
template <class F> F Next(F& cached, const char* name) {
    if (!cached) {
        cached = reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
    }
    return cached;
}

} // namespace

extern "C" {

#if TQ_INTERPOSE
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

void* malloc(size_t bytes) {
    CountAllocation();
    return __libc_malloc(bytes);
}
void* calloc(size_t count, size_t bytes) {
    CountAllocation();
    return __libc_calloc(count, bytes);
}
void* realloc(void* memory, size_t bytes) {
    CountAllocation();
    return __libc_realloc(memory, bytes);
}
void free(void* memory) {
    if (memory) {
        CountAllocation();
    }
    __libc_free(memory);
}
void* memalign(size_t alignment, size_t bytes) {
    CountAllocation();
    return __libc_memalign(alignment, bytes);
}
void* aligned_alloc(size_t alignment, size_t bytes) {
    return memalign(alignment, bytes);
}
int posix_memalign(void** memory, size_t alignment, size_t bytes) {
    *memory = memalign(alignment, bytes);
    return *memory ? 0 : ENOMEM;
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
    static int (*next)(pthread_mutex_t*) = nullptr;
    CountLock();
    return Next(next, "pthread_mutex_lock")(mutex);
}
int pthread_cond_wait(pthread_cond_t* cond, pthread_mutex_t* mutex) {
    static int (*next)(pthread_cond_t*, pthread_mutex_t*) = nullptr;
    CountLock();
    return Next(next, "pthread_cond_wait")(cond, mutex);
}
int pthread_cond_timedwait(pthread_cond_t* cond, pthread_mutex_t* mutex, const timespec* until) {
    static int (*next)(pthread_cond_t*, pthread_mutex_t*, const timespec*) = nullptr;
    CountLock();
    return Next(next, "pthread_cond_timedwait")(cond, mutex, until);
}
int pthread_cond_signal(pthread_cond_t* cond) {
    static int (*next)(pthread_cond_t*) = nullptr;
    CountLock();
    return Next(next, "pthread_cond_signal")(cond);
}
int pthread_cond_broadcast(pthread_cond_t* cond) {
    static int (*next)(pthread_cond_t*) = nullptr;
    CountLock();
    return Next(next, "pthread_cond_broadcast")(cond);
}
#endif

} // extern "C"

#if !TQ_INTERPOSE
namespace {

void* Allocate(size_t bytes) {
    CountAllocation();
    if (void* memory = std::malloc(bytes ? bytes : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}

// Out of line, so the compiler does not pair this free with the new it sees inlined.
__attribute__((noinline)) void Release(void* memory) {
    if (memory) {
        CountAllocation();
    }
    std::free(memory);
}

} // namespace

void* operator new(size_t bytes) {
    return Allocate(bytes);
}
void* operator new[](size_t bytes) {
    return Allocate(bytes);
}
void* operator new(size_t bytes, const std::nothrow_t&) noexcept {
    try {
        return Allocate(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](size_t bytes, const std::nothrow_t& tag) noexcept {
    return operator new(bytes, tag);
}
void operator delete(void* memory) noexcept {
    Release(memory);
}
void operator delete[](void* memory) noexcept {
    Release(memory);
}
void operator delete(void* memory, size_t) noexcept {
    Release(memory);
}
void operator delete[](void* memory, size_t) noexcept {
    Release(memory);
}
#endif

namespace {

constexpr double kHz = 441.0;
constexpr size_t kFadeFrames = kMixRate / 200;
constexpr size_t kCrest = 25; // a quarter cycle of the sine

double Sine(size_t frame, double amplitude = 0.5) {
    return amplitude * std::sin(2.0 * M_PI * kHz * frame / kMixRate);
}

class AudioRealtimeTest : public AudioModuleTest {
protected:
    void SetUp() override {
        AudioModuleTest::SetUp();
        TQAudioTest_WatchPasses([] { t_inPass = true; }, [] { t_inPass = false; });
    }
    void TearDown() override {
        TQAudioTest_WatchPasses(nullptr, nullptr);
        AudioModuleTest::TearDown();
    }

    // Renders 1,024 frames as the mixing thread would, into a buffer made beforehand; whether
    // anything was heard.
    bool RenderCounted() {
        TQAudioTest_Render(out_.data(), static_cast<DWORD>(out_.size() / 2));
        return std::any_of(out_.begin(), out_.end(), [](float value) { return value != 0.0f; });
    }

    std::vector<float> out_ = std::vector<float>(2 * 1024);

    // A sample of a looped sine of a second at `amplitude` with `playbacks` playing at `volume`.
    HSAMPLE PlaySine(double amplitude, int playbacks = 1, int volume = 100) {
        HSAMPLE sample = LoadSample(SineWav(kMixRate, 1, kMixRate, kHz, amplitude), playbacks);
        for (int i = 0; i < playbacks; ++i) {
            HCHANNEL channel = BASS_SampleGetChannel(sample, FALSE);
            EXPECT_TRUE(BASS_ChannelSetAttributes(channel, -1, volume, 0));
            EXPECT_TRUE(BASS_ChannelSetFlags(channel, BASS_SAMPLE_LOOP));
            EXPECT_TRUE(BASS_ChannelPlay(channel, TRUE));
            channel_ = channel;
        }
        return sample;
    }

    HCHANNEL channel_ = 0; // the last playback PlaySine started
};

// A click is a bend no sine or fade makes: the second difference of the left side stays below
// what a 441 Hz sine at 0.6 and the corner of a 5 ms fade add up to, with room.
void ExpectNoClick(const Mix& mix, size_t from = 1) {
    double worst = 0.0;
    size_t at = 0;
    for (size_t f = std::max<size_t>(from, 1); f + 1 < mix.Frames(); ++f) {
        const double bend =
            std::fabs(mix.samples[2 * f + 2] - 2.0 * mix.samples[2 * f] + mix.samples[2 * f - 2]);
        if (bend > worst) {
            worst = bend;
            at = f;
        }
    }
    EXPECT_LT(worst, 0.01) << "at frame " << at;
}

Mix Joined(std::initializer_list<Mix> parts) {
    Mix joined;
    for (const Mix& part : parts) {
        joined.samples.insert(joined.samples.end(), part.samples.begin(), part.samples.end());
    }
    return joined;
}

// Every kind of source through everything that once made the mix allocate or lock: streams of each
// format started, looped, restarted and freed; tracker music that wraps and restarts.
TEST_F(AudioRealtimeTest, MixingThreadNeitherAllocatesNorLocks) {
    const std::vector<uint8_t> sine = SineWav(kMixRate, 1, kMixRate / 10, kHz, 0.2);
    const std::vector<uint8_t> stereo = SineWav(22050, 2, 22050, kHz, 0.2);
    const std::vector<uint8_t> mod = SquareMod();
    const std::vector<uint8_t> sixChannels =
        EncodeTones(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kMixRate, {kHz, kHz, 0, 0, kHz, kHz}, kMixRate, 0.1);
    std::vector<const std::vector<uint8_t>*> streams = {&stereo, &sixChannels};
    std::vector<std::vector<uint8_t>> compressed;
    for (int format : {SF_FORMAT_OGG | SF_FORMAT_VORBIS, SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
                       SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}) {
        compressed.push_back(EncodeTones(format, kMixRate, {kHz, 2 * kHz}, kMixRate, 0.2));
        ASSERT_FALSE(compressed.back().empty()) << format;
    }
    for (const std::vector<uint8_t>& file : compressed) {
        streams.push_back(&file);
    }
    HSAMPLE shortSample = LoadSample(sine, 8);
    HSAMPLE looped = LoadSample(stereo, 300);
    std::vector<HCHANNEL> channels;
    for (int i = 0; i < 200; ++i) {
        HCHANNEL channel = BASS_SampleGetChannel(looped, FALSE);
        BASS_ChannelSetFlags(channel, BASS_SAMPLE_LOOP);
        BASS_ChannelSetAttributes(channel, 11025 + 97 * i, 5, i % 200 - 100);
        BASS_ChannelPlay(channel, TRUE);
        channels.push_back(channel);
    }
    g_allocations = 0;
    g_locks = 0;
    const std::function<void()> steps[] = {
        [&] { PlaySample(shortSample), PlaySample(shortSample); }, // they end on their own
        [&] { BASS_ChannelPause(channels[0]), BASS_ChannelStop(channels[1]); },
        [&] { BASS_ChannelPlay(channels[0], FALSE), BASS_ChannelPlay(channels[1], TRUE); },
        [&] { BASS_ChannelPlay(channels[2], TRUE), BASS_ChannelSetAttributes(channels[3], 384000, 50, 30); },
        [&] { BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, 40), BASS_Stop(), BASS_Start(); },
        [&] { BASS_SampleFree(looped), BASS_SampleFree(shortSample); },
        // alone, as they run for seconds
        [&] {
            for (const std::vector<uint8_t>* file : streams) {
                HSTREAM stream = BASS_StreamCreateFile(TRUE, file->data(), 0,
                                                       static_cast<DWORD>(file->size()), BASS_SAMPLE_LOOP);
                BASS_ChannelPlay(stream, TRUE);
                for (int pass = 0; pass < 3 * kMixRate / 2 / 1024; ++pass) { // loops once
                    RenderCounted();
                }
                BASS_ChannelPlay(stream, TRUE);
                RenderCounted();
                BASS_StreamFree(stream);
            }
        },
        [&] {
            HMUSIC music = BASS_MusicLoad(TRUE, mod.data(), 0, static_cast<DWORD>(mod.size()), 0, 0);
            BASS_ChannelSetFlags(music, BASS_SAMPLE_LOOP);
            BASS_ChannelSetAttributes(music, 4 * kMixRate, -1, -101); // its 7.7 s song in 2 s
            BASS_ChannelPlay(music, TRUE);
            RenderCounted();
            BASS_ChannelPlay(music, TRUE);
            for (int pass = 0; pass < 3 * kMixRate / 1024; ++pass) { // the song wraps
                RenderCounted();
            }
            BASS_ChannelPlay(music, TRUE);
            RenderCounted();
            BASS_MusicFree(music);
        },
    };
    for (const auto& step : steps) {
        step();
        for (int pass = 0; pass < 8; ++pass) {
            RenderCounted();
        }
    }
    EXPECT_EQ(g_allocations.load(), 0);
    EXPECT_EQ(g_locks.load(), 0);
    EXPECT_FALSE(RenderCounted()); // everything has ended
    BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, 100);
}

// Freed in one frame: a loud looping sine at its crest, with a sample of 300 playbacks that never
// played; then 300 quiet playing voices at once. Every audible voice fades out within 5 ms.
TEST_F(AudioRealtimeTest, EverythingFreedAtOnceFadesOut) {
    HSAMPLE loud = PlaySine(0.5);
    HSAMPLE silent = LoadSample(SineWav(kMixRate, 1, 1000, kHz, 0.5), 300);
    for (int i = 0; i < 300; ++i) {
        ASSERT_NE(BASS_SampleGetChannel(silent, FALSE), 0u);
    }
    const Mix before = Render(kCrest);
    ASSERT_TRUE(BASS_SampleFree(loud));
    ASSERT_TRUE(BASS_SampleFree(silent));
    const Mix after = Render(1000);
    ExpectNoClick(Joined({before, after}));
    EXPECT_LE(after.SoundEnd(), kFadeFrames);

    HSAMPLE quiet = PlaySine(0.2, 300, 1); // 300 × 0.002 in phase: 0.6
    const Mix quietBefore = Render(kCrest);
    EXPECT_NEAR(quietBefore.samples[2 * (kCrest - 1)], 0.6, 0.01);
    ASSERT_TRUE(BASS_SampleFree(quiet));
    const Mix quietAfter = Render(1000);
    ExpectNoClick(Joined({quietBefore, quietAfter}));
    EXPECT_LE(quietAfter.SoundEnd(), kFadeFrames);
    EXPECT_GT(quietAfter.Peak(kFadeFrames - 20, kFadeFrames - 10), 0.01); // faded, not cut
}

// A restart of what is heard crossfades into the new start; a play inside a fade out goes on from
// where the sound is, rising again, whether it resumes or restarts.
TEST_F(AudioRealtimeTest, RestartAndPlayInsideAFadeMakeNoClick) {
    PlaySine(0.5);
    const HCHANNEL channel = channel_;
    const Mix start = Render(kCrest);
    ASSERT_TRUE(BASS_ChannelPlay(channel, TRUE));
    const Mix restarted = Render(300);
    ExpectNoClick(Joined({start, restarted}));
    // past the crossfade, the sine runs from its start again
    EXPECT_NEAR(restarted.samples[2 * 250], Sine(250), 1e-3);

    const size_t paused = 325; // the sound's frame at a crest, 25 frames on
    Mix lead = Render(paused - 300);
    for (const bool restart : {false, true}) {
        SCOPED_TRACE(restart ? "restart inside the fade" : "resume inside the fade");
        ASSERT_TRUE(restart ? BASS_ChannelStop(channel) : BASS_ChannelPause(channel));
        const Mix fading = Render(kFadeFrames / 3);
        ASSERT_TRUE(BASS_ChannelPlay(channel, restart));
        const Mix resumed = Render(600);
        ExpectNoClick(Joined({lead, fading, resumed}));
        // resumed, the sound went on through the fade: it is where it would be had it not paused
        const size_t position = restart ? 500 : paused + kFadeFrames / 3 + 500;
        EXPECT_NEAR(resumed.samples[2 * 500], Sine(position), 1e-3);
        BASS_ChannelStop(channel);
        Render(1000);
        ASSERT_TRUE(BASS_ChannelPlay(channel, TRUE));
        lead = Render(paused);
    }
}

// A stream that reaches damaged data goes on past it where the decoder finds good data again, else
// fades out like any end; either way without a click, and one line says what was lost (MP3's
// library writes none of its own).
TEST_F(AudioRealtimeTest, DamagedStreamGoesOnOrFadesWithoutAClick) {
    struct Case {
        int format;
        double from; // where the damage starts and ends, as parts of the file
        double to;
        bool goesOn;
    } cases[] = {
        {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0.25, 0.6, true},
        {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 0.25, 0.35, true},
        {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0.5, 0.99, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        std::vector<uint8_t> file = EncodeTones(c.format, kMixRate, {kHz}, 4 * kMixRate, 0.5);
        ASSERT_FALSE(file.empty());
        for (size_t i = static_cast<size_t>(c.from * file.size()); i < c.to * file.size(); ++i) {
            file[i] ^= 0x5A;
        }
        HSTREAM stream = BASS_StreamCreateFile(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 0);
        ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
        testing::internal::CaptureStderr();
        Mix mix = Render(4 * kMixRate);
        const std::string lines = testing::internal::GetCapturedStderr();
        const size_t damage = static_cast<size_t>(c.from * 4 * kMixRate);
        if (c.goesOn) { // until a cycle before the tone's own end, which is cut
            size_t loud = mix.Frames();
            while (loud > 0 && std::fabs(mix.samples[2 * loud - 2]) < 0.1f) {
                --loud;
            }
            EXPECT_GT(loud, damage + kMixRate);
            mix.samples.resize(2 * (loud - 100));
        } else {
            EXPECT_LT(mix.SoundEnd(), damage + kMixRate / 2);
        }
        ExpectNoClick(mix);
        // the module's line, and none of a library's
        EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
        EXPECT_EQ(lines.rfind("tqaudio: stream ", 0), 0u) << lines;
        BASS_StreamFree(stream);
    }
}

// Game threads playing, changing and freeing samples and streams while the silent output's own
// thread mixes them (a race here is what the thread checker finds). Each round waits for a short
// sample it played to end, so the mix has run meanwhile.
TEST_F(AudioRealtimeTest, GameThreadsAndTheMixingThreadRunTogether) {
    BASS_Free();
    ASSERT_TRUE(BASS_Init(0, kMixRate, 0, nullptr, nullptr));
    const std::vector<uint8_t> file = SineWav(kMixRate, 2, kMixRate / 50, kHz, 0.2);
    const auto play = [&](int rounds) {
        for (int round = 0; round < rounds; ++round) {
            HSTREAM stream = BASS_StreamCreateFile(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 0);
            BASS_ChannelPlay(stream, TRUE);
            HSAMPLE sample = BASS_SampleLoad(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 20, 0);
            HCHANNEL channel = 0;
            for (int i = 0; i < 20; ++i) {
                channel = BASS_SampleGetChannel(sample, FALSE);
                BASS_ChannelSetAttributes(channel, 20000 + 1000 * i, 50, i * 10 - 100);
                BASS_ChannelPlay(channel, TRUE);
            }
            BASS_ChannelPlay(stream, TRUE);
            while (BASS_ChannelIsActive(channel) == BASS_ACTIVE_PLAYING) {
                std::this_thread::yield();
            }
            BASS_StreamFree(stream);
            BASS_SampleFree(sample);
        }
    };
    std::thread other(play, 20);
    play(20);
    other.join();
    BASS_Free();
    ASSERT_TRUE(BASS_Init(0, kMixRate, TQAUDIO_TEST_MANUAL_CLOCK, nullptr, nullptr));
}

// Thread CPU time, so a busy machine does not stretch it.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

// Freeing a sample with N playbacks: 16 times the playbacks take about 16 times as long (the least
// of three tries each, each from cold caches so both counts pay the same for their memory), far
// from the 256 times of a cost that grows with their square.
TEST_F(AudioRealtimeTest, FreeingChannelsTakesTimeLinearInTheirCount) {
    const std::vector<uint8_t> file = SineWav(kMixRate, 1, 100, kHz, 0.1);
    const auto freeTime = [&](int playbacks) {
        double best = 1e9;
        for (int round = 0; round < 3; ++round) {
            HSAMPLE sample = LoadSample(file, playbacks);
            for (int i = 0; i < playbacks; ++i) {
                BASS_SampleGetChannel(sample, FALSE);
            }
            std::vector<char> evict(size_t(64) << 20, char(round + 1));
            const double start = CpuSeconds();
            EXPECT_TRUE(BASS_SampleFree(sample));
            best = std::min(best, CpuSeconds() - start);
            Render(64);
        }
        return best;
    };
    freeTime(4000); // the memory allocator settles
    const double few = freeTime(4000);
    const double many = freeTime(64000);
    EXPECT_LT(many / few, 64.0) << few << " s for 4,000, " << many << " s for 64,000";
}

} // namespace
