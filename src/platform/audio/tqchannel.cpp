#include "platform/audio/tqchannel.h"

#include "platform/audio/tqaudio.h"

#include <algorithm>

namespace tqaudio {

namespace {

constexpr int kMinRate = 100;
constexpr int kMaxRate = 384000;
constexpr double kFadeSeconds = 0.005;

// Adds `count` stereo frames to `mix` at the side gains, times a level that starts at `level` and
// falls by `fall` each frame.
void AddToMix(float* mix, const float* frames, size_t count, float left, float right, float level,
              float fall) {
    for (size_t i = 0; i < count; ++i, level -= fall) {
        mix[2 * i] += frames[2 * i] * left * level;
        mix[2 * i + 1] += frames[2 * i + 1] * right * level;
    }
}

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
        held_.clear();
        ended_ = false;
    }
    if (state_ != State::Playing) {
        heldRead_ = 0; // the frames held by a fade play again
    }
    fading_ = false;
    state_ = State::Playing;
}

void Channel::Pause() {
    if (state_ == State::Playing) {
        BeginFade();
    }
    state_ = State::Paused;
}

void Channel::Stop() {
    if (state_ == State::Playing) {
        BeginFade();
    }
    state_ = State::Stopped;
}

void Channel::Cut() {
    if (state_ == State::Playing) {
        DropPlayedHeldFrames();
    }
    heldRead_ = 0;
    fading_ = false;
    state_ = State::Stopped;
}

void Channel::BeginFade() {
    DropPlayedHeldFrames();
    fading_ = true;
    fadeDone_ = 0;
}

void Channel::DropPlayedHeldFrames() {
    held_.erase(held_.begin(), held_.begin() + 2 * heldRead_);
    heldRead_ = 0;
}

size_t Channel::Read(float* out, size_t frames, double outputRate, bool hold) {
    const size_t fromHeld = std::min(frames, held_.size() / 2 - heldRead_);
    std::copy_n(held_.data() + 2 * heldRead_, 2 * fromHeld, out);
    heldRead_ += fromHeld;
    if (!hold && heldRead_ == held_.size() / 2) {
        held_.clear();
        heldRead_ = 0;
    }
    const size_t produced = fromHeld + resampler_.Produce(*source_, out + 2 * fromHeld, frames - fromHeld,
                                                          rate_ / outputRate, flags_ & BASS_SAMPLE_LOOP);
    if (hold) {
        held_.insert(held_.end(), out + 2 * fromHeld, out + 2 * produced);
        heldRead_ += produced - fromHeld;
    }
    return produced;
}

void Channel::MixInto(float* mix, float* scratch, size_t frames, double outputRate, float groupGain) {
    const float gain = groupGain * volume_ / 100.0f;
    const float left = gain * (pan_ > 0 ? 1.0f - pan_ / 100.0f : 1.0f);
    const float right = gain * (pan_ < 0 ? 1.0f + pan_ / 100.0f : 1.0f);
    if (fading_) {
        FadeInto(mix, scratch, frames, outputRate, left, right);
        return;
    }
    const size_t produced = Read(scratch, frames, outputRate, false);
    AddToMix(mix, scratch, produced, left, right, 1.0f, 0.0f);
    if (produced < frames) {
        ended_ = true;
        state_ = State::Stopped;
    }
}

// A straight ramp from full level to silence.
void Channel::FadeInto(float* mix, float* scratch, size_t frames, double outputRate, float left,
                       float right) {
    const size_t fadeFrames = std::max<size_t>(1, static_cast<size_t>(outputRate * kFadeSeconds));
    const size_t wanted = std::min(frames, fadeFrames - fadeDone_);
    const size_t produced = Read(scratch, wanted, outputRate, true);
    const float fall = 1.0f / fadeFrames;
    AddToMix(mix, scratch, produced, left, right, 1.0f - (fadeDone_ + 1) * fall, fall);
    fadeDone_ += produced;
    fading_ = produced == wanted && fadeDone_ < fadeFrames;
}

} // namespace tqaudio
