// Mixing cost of the audio module beside OpenAL Soft (its loopback device, so no sound card is
// needed) with its linear and its bsinc24 resampler, on the same work: N looping voices of a
// one-second 22,050 Hz mono sample mixed to 44.1 kHz stereo, at pitch 1, each at its own pitch
// (0.75 to 1.25, set before play), and with every pitch changed before every block. Figures are
// CPU microseconds of the mixing thread per block of 1,024 output frames (23,220 us of audio),
// the median of interleaved rounds, the engine with its best kernels and held to SSE2. Then steps
// between one and two: N voices of a 48 kHz sample at pitch 1, of a 44.1 kHz one at 1.01 to 1.5,
// of the 48 kHz one with every pitch changed before every block, and the worst pass of a burst of 1,000
// voices at 20 to 60 kHz. Then the worst time a game-side call (volume, pitch, play) takes while another
// thread mixes 256 voices without pause, and while a third frees a stream every 2 ms. Then the wall time of
// each mix pass of 64 voices while game threads load a 60 s sample through the decode path, free a sample of
// 1,000 channels and free a stream every 2 ms, against the passes without them.
//
//     build/bin/bench_audio [--rounds 5] [--blocks 200]
//     build/bin/bench_audio --streams     (only the streams' passes, first of all)
//
// First, the CPU time of mix passes while looping OGG and FLAC streams start, restart and are
// renewed. Before all that, 64 voices at the top rate (a pitch of 20, which the engine clamps to
// 384 kHz and OpenAL Soft to its own highest pitch) against the same at their own rate.
#include "platform/audio/tqaudiotest.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <pthread.h>
#include <sched.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kMixRate = 44100;
constexpr int kSampleRate = 22050;
constexpr int kBlockFrames = 1024;
constexpr int kWarmBlocks = 10;

// Own: 0.75 to 1.25 each; Up: 1.01 to 1.5 each; Burst: each at its own rate from 20 to 60 kHz.
enum class Pitch { One, Own, Changing, Top, Up, Burst };

struct Row {
    const char* name;
    int voices;
    Pitch pitch;
    int sampleRate = kSampleRate;
};

const Row kRows[] = {
    {"64, pitch 1", 64, Pitch::One},
    {"256, pitch 1", 256, Pitch::One},
    {"64, each its own pitch", 64, Pitch::Own},
    {"256, each its own pitch", 256, Pitch::Own},
    {"64, pitch changed every block", 64, Pitch::Changing},
    {"256, pitch changed every block", 256, Pitch::Changing},
};

// Steps between one and two: a 48 kHz sample at pitch 1, a 44.1 kHz one pitched up by less than 2,
// and the 48 kHz one at its own pitch changed every block (steps gliding from 0.8 to 1.4).
const Row kStepRows[] = {
    {"64, 48 kHz at pitch 1", 64, Pitch::One, 48000},
    {"256, 48 kHz at pitch 1", 256, Pitch::One, 48000},
    {"64, 44.1 kHz at 1.01-1.5", 64, Pitch::Up, kMixRate},
    {"256, 44.1 kHz at 1.01-1.5", 256, Pitch::Up, kMixRate},
    {"64, 48 kHz, changed every block", 64, Pitch::Changing, 48000},
    {"256, 48 kHz, changed every block", 256, Pitch::Changing, 48000},
};

// A burst of voices started together, each at its own rate.
constexpr Row kBurstRow = {"1,000 at 20-60 kHz", 1000, Pitch::Burst, kMixRate};
constexpr int kBurstBlocks = 50;

// Beyond the highest pitch of every mixer measured.
constexpr double kTopPitch = 20.0;

// The voice's pitch before play, and at `block` while playing.
double OwnPitch(int voice, int voices) {
    return 0.75 + 0.5 * ((voice * 37) % voices) / voices;
}

double PitchAt(const Row& row, int voice, int block) {
    switch (row.pitch) {
    case Pitch::One:
        return 1.0;
    case Pitch::Own:
        return OwnPitch(voice, row.voices);
    case Pitch::Up:
        return 1.01 + 0.49 * ((voice * 37) % row.voices) / row.voices;
    case Pitch::Burst:
        return (20000.0 + 40000.0 * (uint32_t(voice) * 2654435761u % 10007u) / 10007.0) / row.sampleRate;
    case Pitch::Top:
        return kTopPitch;
    default:
        return OwnPitch(voice, row.voices) * (1.0 + 0.02 * std::sin(0.3 * block + voice));
    }
}

// One second at `rate`.
std::vector<int16_t> SampleFrames(int rate) {
    std::vector<int16_t> pcm(rate);
    for (int i = 0; i < rate; ++i) {
        pcm[i] = static_cast<int16_t>(3000.0 * std::sin(i * 0.1254) + 2000.0 * std::sin(i * 0.62));
    }
    return pcm;
}

double ThreadCpuMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

// One mixer playing a row's voices.
class Mix {
public:
    virtual ~Mix() = default;
    // Sets the pitches for `block` when they change while playing, then renders one block.
    virtual void Block(int block) = 0;
};

// The engine's kernels at most at a level of TQAudioTest_LimitKernels (3: the processor's best).
class EngineMix : public Mix {
public:
    EngineMix(const Row& row, int kernelLevel = 3) : row_(row), out_(2 * kBlockFrames) {
        TQAudioTest_LimitKernels(kernelLevel);
        BASS_Init(0, kMixRate, TQAUDIO_TEST_MANUAL_CLOCK, nullptr, nullptr);
        const std::vector<int16_t> frames = SampleFrames(row.sampleRate);
        void* pcm = BASS_SampleCreate(row.sampleRate, row.sampleRate, row.voices,
                                      BASS_SAMPLE_MONO | BASS_SAMPLE_LOOP);
        memcpy(pcm, frames.data(), frames.size() * sizeof(int16_t));
        const HSAMPLE sample = BASS_SampleCreateDone();
        for (int v = 0; v < row.voices; ++v) {
            channels_.push_back(BASS_SampleGetChannel(sample, FALSE));
            BASS_ChannelSetAttributes(channels_[v], Rate(PitchAt(row, v, 0)), 20, (v * 23) % 201 - 100);
            BASS_ChannelPlay(channels_[v], TRUE);
        }
    }
    ~EngineMix() override {
        BASS_Free();
        TQAudioTest_LimitKernels(3);
    }

    void Block(int block) override {
        if (row_.pitch == Pitch::Changing) {
            for (int v = 0; v < row_.voices; ++v) {
                BASS_ChannelSetAttributes(channels_[v], Rate(PitchAt(row_, v, block)), -1, -101);
            }
        }
        TQAudioTest_Render(out_.data(), kBlockFrames);
    }

    const std::vector<HCHANNEL>& Channels() const { return channels_; }

private:
    // The rate a pitch plays at, truncated as the engine's pitch call does.
    int Rate(double pitch) const { return static_cast<int>(row_.sampleRate * pitch); }

    Row row_;
    std::vector<HCHANNEL> channels_;
    std::vector<float> out_;
};

class OpenAlMix : public Mix {
public:
    // `resampler`: the name OpenAL Soft gives it (AL_SOFT_source_resampler); 1.19 calls its
    // 24-point band-limited sinc (bsinc24) "23rd order Sinc".
    OpenAlMix(const Row& row, const char* resampler) : row_(row), out_(2 * kBlockFrames) {
        auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
            alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        render_ =
            reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        device_ = openLoopback ? openLoopback(nullptr) : nullptr;
        if (!device_ || !render_) {
            fprintf(stderr, "OpenAL Soft's loopback device is not available\n");
            exit(2);
        }
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                     ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT,
                                     ALC_FLOAT_SOFT,
                                     ALC_FREQUENCY,
                                     kMixRate,
                                     ALC_MONO_SOURCES,
                                     std::max(512, row.voices),
                                     0};
        context_ = alcCreateContext(device_, attributes);
        alcMakeContextCurrent(context_);
        const ALint index = ResamplerIndex(resampler);
        const std::vector<int16_t> frames = SampleFrames(row.sampleRate);
        alGenBuffers(1, &buffer_);
        alBufferData(buffer_, AL_FORMAT_MONO16, frames.data(), static_cast<ALsizei>(frames.size() * 2),
                     row.sampleRate);
        sources_.resize(row.voices);
        alGenSources(row.voices, sources_.data());
        for (int v = 0; v < row.voices; ++v) {
            const ALuint s = sources_[v];
            alSourcei(s, AL_BUFFER, static_cast<ALint>(buffer_));
            alSourcei(s, AL_LOOPING, AL_TRUE);
            alSourcei(s, AL_SOURCE_RESAMPLER_SOFT, index);
            alSourcei(s, AL_SOURCE_RELATIVE, AL_TRUE);
            alSource3f(s, AL_POSITION, ((v * 23) % 201 - 100) / 100.0f, 0.0f, -1.0f);
            alSourcef(s, AL_GAIN, 0.2f);
            alSourcef(s, AL_PITCH, static_cast<float>(PitchAt(row, v, 0)));
        }
        alSourcePlayv(row.voices, sources_.data());
        if (alGetError() != AL_NO_ERROR) {
            fprintf(stderr, "OpenAL Soft refused the voices\n");
            exit(2);
        }
    }
    ~OpenAlMix() override {
        alDeleteSources(static_cast<ALsizei>(sources_.size()), sources_.data());
        alDeleteBuffers(1, &buffer_);
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
        alcCloseDevice(device_);
    }

    void Block(int block) override {
        if (row_.pitch == Pitch::Changing) {
            for (int v = 0; v < row_.voices; ++v) {
                alSourcef(sources_[v], AL_PITCH, static_cast<float>(PitchAt(row_, v, block)));
            }
        }
        render_(device_, out_.data(), kBlockFrames);
    }

private:
    static ALint ResamplerIndex(const char* name) {
        auto nameOf = reinterpret_cast<LPALGETSTRINGISOFT>(alGetProcAddress("alGetStringiSOFT"));
        const ALint count = alGetInteger(AL_NUM_RESAMPLERS_SOFT);
        for (ALint i = 0; nameOf && i < count; ++i) {
            if (strstr(nameOf(AL_RESAMPLER_NAME_SOFT, i), name)) {
                return i;
            }
        }
        fprintf(stderr, "OpenAL Soft has no resampler named %s\n", name);
        exit(2);
    }

    Row row_;
    LPALCRENDERSAMPLESSOFT render_ = nullptr;
    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
    ALuint buffer_ = 0;
    std::vector<ALuint> sources_;
    std::vector<float> out_;
};

// CPU microseconds of this thread per block, over `blocks` blocks after a warm-up.
double Measure(Mix& mix, int blocks) {
    for (int b = 0; b < kWarmBlocks; ++b) {
        mix.Block(b);
    }
    const double start = ThreadCpuMicroseconds();
    for (int b = 0; b < blocks; ++b) {
        mix.Block(kWarmBlocks + b);
    }
    return (ThreadCpuMicroseconds() - start) / blocks;
}

// CPU microseconds of this thread for each of `blocks` blocks from the first, warm-up included.
std::vector<double> EachBlock(Mix& mix, int blocks) {
    std::vector<double> times;
    for (int b = 0; b < blocks; ++b) {
        const double start = ThreadCpuMicroseconds();
        mix.Block(b);
        times.push_back(ThreadCpuMicroseconds() - start);
    }
    return times;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// The engine at the processor's best kernels (AVX2 with FMA where it has them), the engine held to
// SSE2, and the peers.
constexpr int kPeers = 4;
const char* const kPeerNames[kPeers] = {"engine", "engine SSE2", "OpenAL linear", "OpenAL bsinc24"};
constexpr int kBsinc24 = 3;

std::unique_ptr<Mix> MakeMix(int peer, const Row& row) {
    switch (peer) {
    case 0:
        return std::make_unique<EngineMix>(row);
    case 1:
        return std::make_unique<EngineMix>(row, 1);
    case 2:
        return std::make_unique<OpenAlMix>(row, "Linear");
    default:
        return std::make_unique<OpenAlMix>(row, "23rd order Sinc"); // bsinc24
    }
}

void PrintHeader(const char* title) {
    printf("%-32s %10s %12s %14s %15s %10s %10s\n", title, kPeerNames[0], kPeerNames[1], kPeerNames[2],
           kPeerNames[3], "eng/bs24", "SSE2/bs24");
}

void PrintRow(const char* name, const double* medians) {
    printf("%-32s %10.0f %12.0f %14.0f %15.0f %10.2f %10.2f\n", name, medians[0], medians[1], medians[2],
           medians[3], medians[0] / medians[kBsinc24], medians[1] / medians[kBsinc24]);
}

// A voice's cost at the top rate against its cost at its own rate, engine and peers alike.
void PrintTopRateCosts(int rounds, int blocks) {
    const Row rows[2] = {{"64, own rate", 64, Pitch::One}, {"64, top rate", 64, Pitch::Top}};
    std::vector<double> costs[2][kPeers];
    for (int round = 0; round < rounds; ++round) {
        for (int r = 0; r < 2; ++r) {
            for (int peer = 0; peer < kPeers; ++peer) {
                std::unique_ptr<Mix> mix = MakeMix(peer, rows[r]);
                costs[r][peer].push_back(Measure(*mix, blocks));
            }
        }
    }
    PrintHeader("voices at the top rate");
    double medians[2][kPeers];
    for (int r = 0; r < 2; ++r) {
        for (int peer = 0; peer < kPeers; ++peer) {
            medians[r][peer] = Median(costs[r][peer]);
        }
        PrintRow(rows[r].name, medians[r]);
    }
    printf("top / own rate:                  %9.2fx %11.2fx %13.2fx %14.2fx\n", medians[1][0] / medians[0][0],
           medians[1][1] / medians[0][1], medians[1][2] / medians[0][2], medians[1][3] / medians[0][3]);
}

// Each row's cost per block for every mixer, the median of interleaved rounds.
template <size_t kRowCount>
void PrintCosts(const Row (&rows)[kRowCount], const char* title, int rounds, int blocks) {
    std::vector<double> costs[kRowCount][kPeers];
    for (int round = 0; round < rounds; ++round) {
        for (size_t r = 0; r < kRowCount; ++r) {
            for (int peer = 0; peer < kPeers; ++peer) {
                std::unique_ptr<Mix> mix = MakeMix(peer, rows[r]);
                costs[r][peer].push_back(Measure(*mix, blocks));
            }
        }
    }
    PrintHeader(title);
    double medians[kRowCount][kPeers];
    for (size_t r = 0; r < kRowCount; ++r) {
        for (int peer = 0; peer < kPeers; ++peer) {
            medians[r][peer] = Median(costs[r][peer]);
        }
        PrintRow(rows[r].name, medians[r]);
    }
    printf("256 / 64 voices:");
    for (size_t r = 0; r + 1 < kRowCount; r += 2) {
        printf("  %s x%.2f (SSE2 x%.2f, linear x%.2f, bsinc24 x%.2f);", rows[r].name + 4,
               medians[r + 1][0] / medians[r][0], medians[r + 1][1] / medians[r][1],
               medians[r + 1][2] / medians[r][2], medians[r + 1][3] / medians[r][3]);
    }
    printf("\n");
}

// The worst pass of a burst of voices started together, from its first block on, against the
// time a block plays: the median over rounds of each round's worst, and the median pass.
void PrintBurst(int rounds) {
    std::vector<double> worst[kPeers], typical[kPeers];
    for (int round = 0; round < rounds; ++round) {
        for (int peer = 0; peer < kPeers; ++peer) {
            std::unique_ptr<Mix> mix = MakeMix(peer, kBurstRow);
            const std::vector<double> times = EachBlock(*mix, kBurstBlocks);
            worst[peer].push_back(*std::max_element(times.begin(), times.end()));
            typical[peer].push_back(Median(times));
        }
    }
    PrintHeader("worst pass of a burst (us)");
    double medians[2][kPeers];
    for (int peer = 0; peer < kPeers; ++peer) {
        medians[0][peer] = Median(worst[peer]);
        medians[1][peer] = Median(typical[peer]);
    }
    PrintRow(kBurstRow.name, medians[0]);
    PrintRow("  its median pass", medians[1]);
    printf("a pass plays %.0f us: the engine's worst takes %.0f %% of it (SSE2 %.0f %%)\n",
           kBlockFrames * 1e6 / kMixRate, 100.0 * medians[0][0] * kMixRate / (kBlockFrames * 1e6),
           100.0 * medians[0][1] * kMixRate / (kBlockFrames * 1e6));
}

// A WAV file in memory: `seconds` of a 16-bit stereo tone at 44.1 kHz.
std::vector<uint8_t> ToneWav(int seconds) {
    const uint32_t frames = kMixRate * seconds, bytes = frames * 4;
    std::vector<uint8_t> out(44 + bytes);
    const auto put = [&](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            out[at + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    memcpy(out.data(), "RIFF", 4), put(4, 36 + bytes, 4), memcpy(out.data() + 8, "WAVEfmt ", 8);
    put(16, 16, 4), put(20, 1, 2), put(22, 2, 2), put(24, kMixRate, 4), put(28, kMixRate * 4, 4);
    put(32, 4, 2), put(34, 16, 2), memcpy(out.data() + 36, "data", 4), put(40, bytes, 4);
    for (uint32_t f = 0; f < frames; ++f) {
        const int16_t v = static_cast<int16_t>(2000.0 * std::sin(f * 0.0628));
        put(44 + 4 * f, static_cast<uint16_t>(v), 2), put(46 + 4 * f, static_cast<uint16_t>(v), 2);
    }
    return out;
}

// Runs `work` over and over on its own thread until stopped.
class Worker {
public:
    explicit Worker(std::function<void()> work)
        : thread_([this, work] {
              while (running_.load()) {
                  work();
              }
          }) {}
    ~Worker() {
        running_ = false;
        thread_.join();
    }

private:
    std::atomic<bool> running_{true};
    std::thread thread_;
};

// Plays a stream of `file` and frees it 2 ms later.
void PlayAndFreeStream(const std::vector<uint8_t>& file) {
    const HSTREAM stream = BASS_StreamCreateFile(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 0);
    BASS_ChannelPlay(stream, TRUE);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    BASS_StreamFree(stream);
}

// The mixing thread's priority, as an output's own thread has it; whether it could be raised.
bool RaiseToAudioPriority() {
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 1;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

// Game-side calls on the voices of a 256-voice mix that another thread renders without pause, and
// the same calls with no mix running, to tell waits for the mix from the machine's own delays;
// with `freeingStreams`, a third thread frees a stream every 2 ms meanwhile.
void PrintCallTimes(double seconds, bool mixing, bool freeingStreams) {
    const Row row = {"", 256, Pitch::Own};
    EngineMix mix(row);
    std::atomic<bool> running{mixing};
    std::thread mixer([&] {
        std::vector<float> out(2 * kBlockFrames);
        while (running.load()) {
            TQAudioTest_Render(out.data(), kBlockFrames);
        }
    });
    const std::vector<uint8_t> streamFile = ToneWav(1);
    std::unique_ptr<Worker> streams;
    if (freeingStreams) {
        streams = std::make_unique<Worker>([&] { PlayAndFreeStream(streamFile); });
    }
    using Clock = std::chrono::steady_clock;
    const char* const names[3] = {"volume", "pitch", "play"};
    std::vector<double> times[3];
    const Clock::time_point end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (int i = 0; Clock::now() < end; ++i) {
        const HCHANNEL channel = mix.Channels()[i % 256];
        const int kind = i % 3;
        const Clock::time_point start = Clock::now();
        if (kind == 0) {
            BASS_ChannelSetAttributes(channel, -1, 10 + i % 20, -101);
        } else if (kind == 1) {
            BASS_ChannelSetAttributes(channel, kSampleRate * 3 / 4 + i % (kSampleRate / 2), -1, -101);
        } else {
            BASS_ChannelPlay(channel, FALSE);
        }
        times[kind].push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    streams.reset();
    running = false;
    mixer.join();
    printf("game-side calls (us), %s%s:\n", mixing ? "while 256 voices mix" : "no mix running",
           freeingStreams ? " and a stream is freed every 2 ms" : "");
    for (int kind = 0; kind < 3; ++kind) {
        std::sort(times[kind].begin(), times[kind].end());
        printf("  %-6s worst %6.1f  99.9%% %5.1f  99%% %5.1f  median %5.2f  (%zu calls)\n", names[kind],
               times[kind].back(), times[kind][times[kind].size() * 999 / 1000],
               times[kind][times[kind].size() * 99 / 100], times[kind][times[kind].size() / 2],
               times[kind].size());
    }
}

// The decode path a game takes for a file the sample loader refuses: a decoding stream read whole
// into a new sample. The sample is freed again.
void LoadThroughDecodePath(const std::vector<uint8_t>& file) {
    const HSTREAM stream =
        BASS_StreamCreateFile(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), BASS_STREAM_DECODE);
    std::vector<char> pcm(file.size());
    size_t filled = 0;
    for (DWORD got; (got = BASS_ChannelGetData(stream, pcm.data() + filled, 65536)) + 1 > 1;) {
        filled += got;
    }
    BASS_StreamFree(stream);
    void* buffer = BASS_SampleCreate(static_cast<DWORD>(filled / 4), kMixRate, 4, 0);
    memcpy(buffer, pcm.data(), filled / 4 * 4);
    BASS_SampleFree(BASS_SampleCreateDone());
}

// Frees a sample of 1,000 channels that were made but not played.
void FreeThousandChannels(const std::vector<uint8_t>& file) {
    const HSAMPLE sample = BASS_SampleLoad(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), 1000, 0);
    for (int i = 0; i < 1000; ++i) {
        BASS_SampleGetChannel(sample, FALSE);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    BASS_SampleFree(sample);
}

// Wall time of each pass of 1,024 frames over 64 voices, one pass every 5 ms on a thread at the
// output's priority, with the game's work running or not.
void PrintPassTimes(double seconds) {
    const std::vector<uint8_t> longFile = ToneWav(60), shortFile = ToneWav(1);
    std::vector<double> times[2], cpu[2];
    bool raised = false;
    for (int busy = 0; busy < 2; ++busy) {
        const Row row = {"", 64, Pitch::Own};
        EngineMix mix(row);
        std::vector<std::unique_ptr<Worker>> workers;
        if (busy) {
            workers.push_back(std::make_unique<Worker>([&] { LoadThroughDecodePath(longFile); }));
            workers.push_back(std::make_unique<Worker>([&] { FreeThousandChannels(shortFile); }));
            workers.push_back(std::make_unique<Worker>([&] { PlayAndFreeStream(shortFile); }));
        }
        std::thread mixer([&] {
            pthread_setname_np(pthread_self(), "mixing");
            raised = RaiseToAudioPriority();
            using Clock = std::chrono::steady_clock;
            std::vector<float> out(2 * kBlockFrames);
            const Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                             std::chrono::duration<double>(seconds));
            while (Clock::now() < end) {
                const Clock::time_point start = Clock::now();
                const double startCpu = ThreadCpuMicroseconds();
                TQAudioTest_Render(out.data(), kBlockFrames);
                cpu[busy].push_back(ThreadCpuMicroseconds() - startCpu);
                times[busy].push_back(
                    std::chrono::duration<double, std::micro>(Clock::now() - start).count());
                std::this_thread::sleep_until(start + std::chrono::milliseconds(5));
            }
        });
        mixer.join();
    }
    printf("mix pass of 64 voices, wall us (mixing thread %s):\n",
           raised ? "at real-time priority" : "at normal priority, not allowed more");
    for (int busy = 0; busy < 2; ++busy) {
        std::vector<double>& t = times[busy];
        std::sort(t.begin(), t.end());
        std::sort(cpu[busy].begin(), cpu[busy].end());
        printf("  %-56s worst %5.0f  99.9%% %5.0f  median %4.0f  (%zu passes; CPU worst %4.0f)\n",
               busy ? "while loading 60 s, freeing 1,000 channels and streams" : "alone", t.back(),
               t[t.size() * 999 / 1000], t[t.size() / 2], t.size(), cpu[busy].back());
    }
    printf("  worst with the game's work / worst alone: %.2f\n", times[1].back() / times[0].back());
}

// A file in memory: `seconds` of a stereo tone at 44.1 kHz encoded by libsndfile in `format`,
// through a temporary file.
std::vector<uint8_t> EncodedTone(int format, int seconds) {
    char path[] = "/tmp/bench_audio_XXXXXX";
    close(mkstemp(path));
    SF_INFO info{};
    info.samplerate = kMixRate;
    info.channels = 2;
    info.format = format;
    SNDFILE* file = sf_open(path, SFM_WRITE, &info);
    std::vector<float> frames(2 * kMixRate * seconds);
    for (size_t f = 0; f < frames.size() / 2; ++f) {
        frames[2 * f] = frames[2 * f + 1] =
            static_cast<float>(0.2 * std::sin(f * 0.0628) + 0.1 * std::sin(f * 0.31));
    }
    sf_writef_float(file, frames.data(), kMixRate * seconds);
    sf_close(file);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unlink(path);
    return bytes;
}

// CPU time of each mix pass (1,024 frames) while 32 looping streams of 2 s (16 OGG, 16 FLAC) play,
// 4 restart every 10 passes and 4 are freed and started anew every 40: what the mixing thread
// pays for the decoders, whose work is ahead of it or in it.
void PrintStreamPassTimes(int passes) {
    BASS_Init(0, kMixRate, TQAUDIO_TEST_MANUAL_CLOCK, nullptr, nullptr);
    const std::vector<uint8_t> files[2] = {EncodedTone(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2),
                                           EncodedTone(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2)};
    std::vector<HSTREAM> streams(32);
    const auto start = [&](size_t i) {
        const std::vector<uint8_t>& file = files[i % 2];
        streams[i] =
            BASS_StreamCreateFile(TRUE, file.data(), 0, static_cast<DWORD>(file.size()), BASS_SAMPLE_LOOP);
        BASS_ChannelSetAttributes(streams[i], -1, 3, -101);
        BASS_ChannelPlay(streams[i], TRUE);
    };
    for (size_t i = 0; i < streams.size(); ++i) {
        start(i);
    }
    std::vector<float> out(2 * kBlockFrames);
    std::vector<double> cpu;
    for (int pass = 0; pass < passes; ++pass) {
        if (pass % 10 == 0) {
            for (int k = 0; k < 4; ++k) {
                BASS_ChannelPlay(streams[(pass / 10 * 4 + k * 7) % streams.size()], TRUE);
            }
        }
        if (pass % 40 == 0) {
            for (int k = 0; k < 4; ++k) {
                const size_t i = (pass / 40 * 5 + k * 9) % streams.size();
                BASS_StreamFree(streams[i]);
                start(i);
            }
        }
        const double before = ThreadCpuMicroseconds();
        TQAudioTest_Render(out.data(), kBlockFrames);
        cpu.push_back(ThreadCpuMicroseconds() - before);
    }
    BASS_Free();
    std::sort(cpu.begin(), cpu.end());
    printf(
        "mix pass CPU us, 32 looping OGG and FLAC streams restarting and renewed: worst %5.0f  99%% %5.0f  "
        "median %4.0f  (%d passes)\n",
        cpu.back(), cpu[cpu.size() * 99 / 100], cpu[cpu.size() / 2], passes);
}

} // namespace

int main(int argc, char** argv) {
    int rounds = 5, blocks = 200;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--rounds")) {
            rounds = std::max(1, atoi(argv[i + 1]));
        } else if (!strcmp(argv[i], "--blocks")) {
            blocks = std::max(1, atoi(argv[i + 1]));
        }
    }
    printf("cores %u, load before %s\n", std::thread::hardware_concurrency(), LoadAverage().c_str());
    PrintStreamPassTimes(2000);
    if (argc > 1 && !strcmp(argv[1], "--streams")) {
        return 0;
    }
    PrintTopRateCosts(rounds, blocks);
    printf("CPU us per %d frames at %d Hz stereo (median of %d interleaved rounds of %d blocks)\n",
           kBlockFrames, kMixRate, rounds, blocks);
    PrintCosts(kRows, "voices of a 22,050 Hz sample", rounds, blocks);
    PrintCosts(kStepRows, "steps between 1 and 2", rounds, blocks);
    PrintBurst(rounds);
    PrintCallTimes(3.0, true, false);
    PrintCallTimes(3.0, true, true);
    PrintCallTimes(3.0, false, false);
    PrintPassTimes(10.0);
    printf("load after %s\n", LoadAverage().c_str());
    return 0;
}
