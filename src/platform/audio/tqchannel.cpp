#include "platform/audio/tqchannel.h"

#include "platform/audio/tqaudio.h"

#include <algorithm>

namespace tqaudio {

namespace {

constexpr int kMinRate = 100;
constexpr int kMaxRate = 384000;

} // namespace

Channel::Channel(Kind kind, std::unique_ptr<AudioSource> source, DWORD flags)
    : kind_(kind), source_(std::move(source)), rate_(DefaultRate()), flags_(flags) {}

bool Channel::IsDecoding() const {
    return kind_ == Kind::Stream && (flags_ & BASS_STREAM_DECODE);
}

void Channel::SetRate(int rate) {
    if (rate == 0) {
        rate_ = DefaultRate();
    } else if (rate != -1) {
        rate_ = static_cast<DWORD>(std::clamp(rate, kMinRate, kMaxRate));
    }
}

void Channel::SetVolume(int volume) {
    volume_ = std::clamp(volume, 0, 100);
}

void Channel::SetPan(int pan) {
    pan_ = std::clamp(pan, -100, 100);
}

void Channel::Play(bool restart) {
    if (restart || ended_) {
        source_->Rewind();
        resampler_.Reset();
        ended_ = false;
    }
    state_ = State::Playing;
}

void Channel::MixInto(float* mix, float* scratch, size_t frames, double outputRate, float groupGain) {
    const double step = rate_ / outputRate;
    const size_t produced = resampler_.Produce(*source_, scratch, frames, step, flags_ & BASS_SAMPLE_LOOP);
    const float gain = groupGain * volume_ / 100.0f;
    const float left = gain * (pan_ > 0 ? 1.0f - pan_ / 100.0f : 1.0f);
    const float right = gain * (pan_ < 0 ? 1.0f + pan_ / 100.0f : 1.0f);
    for (size_t i = 0; i < produced; ++i) {
        mix[2 * i] += scratch[2 * i] * left;
        mix[2 * i + 1] += scratch[2 * i + 1] * right;
    }
    if (produced < frames) {
        ended_ = true;
        state_ = State::Stopped;
    }
}

} // namespace tqaudio
