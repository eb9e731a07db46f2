// Mixing cost of the audio module: N looping 44.1 kHz voices mixed at 44.1 kHz, at uneven pitches
// (every voice converted) or at their own rate (MixVoicesAtOwnRate, the path most sounds take).
// realtime_voices: how many such voices one core mixes in real time.
// cpu_share: the share of one core the N voices take while playing (0.05 = 5%).
#include "platform/audio/tqaudiotest.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr DWORD kBlockFrames = 1024;

// A one-second mono 16-bit sample of noise-like content, made with SampleCreate.
HSAMPLE MakeSample(DWORD maxVoices) {
    int16_t* pcm = static_cast<int16_t*>(
        BASS_SampleCreate(kRate, kRate, maxVoices, BASS_SAMPLE_MONO | BASS_SAMPLE_LOOP));
    for (int i = 0; i < kRate; ++i) {
        pcm[i] = static_cast<int16_t>(3000.0 * std::sin(i * 0.0627) + 2000.0 * std::sin(i * 0.31));
    }
    return BASS_SampleCreateDone();
}

void MixVoicesAt(benchmark::State& state, bool pitched) {
    const int voices = static_cast<int>(state.range(0));
    BASS_Init(0, kRate, TQAUDIO_TEST_MANUAL_CLOCK, nullptr, nullptr);
    HSAMPLE sample = MakeSample(static_cast<DWORD>(voices));
    for (int v = 0; v < voices; ++v) {
        HCHANNEL channel = BASS_SampleGetChannel(sample, FALSE);
        BASS_ChannelSetAttributes(channel, pitched ? kRate - 300 + 37 * v : kRate, 20, (v * 23) % 201 - 100);
        BASS_ChannelPlay(channel, TRUE);
    }
    std::vector<float> out(2 * kBlockFrames);
    for (auto _ : state) {
        TQAudioTest_Render(out.data(), kBlockFrames);
        benchmark::DoNotOptimize(out.data());
    }
    const double audioSeconds = static_cast<double>(state.iterations()) * kBlockFrames / kRate;
    state.counters["realtime_voices"] =
        benchmark::Counter(voices * audioSeconds, benchmark::Counter::kIsRate);
    state.counters["cpu_share"] =
        benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    BASS_Free();
}

void MixVoices(benchmark::State& state) {
    MixVoicesAt(state, true);
}

void MixVoicesAtOwnRate(benchmark::State& state) {
    MixVoicesAt(state, false);
}

} // namespace

BENCHMARK(MixVoices)->Arg(1)->Arg(16)->Arg(64)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK(MixVoicesAtOwnRate)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
