#include "platform/audio/tqchannel.h"

#include "platform/audio/tqaudio.h"

#include <algorithm>

namespace tqaudio {

namespace {

constexpr int kMinRate = 100;

} // namespace

Channel::Channel(Kind kind, std::unique_ptr<AudioSource> source, DWORD flags)
    : kind_(kind), voice_(std::make_unique<Voice>(std::move(source))), rate_(DefaultRate()), flags_(flags) {}

Channel::State Channel::GetState() {
    if (state_ == State::Playing && voice_->EndedAt() == controls_.commands) {
        state_ = State::Stopped;
        ended_ = true;
    }
    return state_;
}

bool Channel::IsDecoding() const {
    return kind_ == Kind::Stream && (flags_ & BASS_STREAM_DECODE);
}

void Channel::SetRate(int rate) {
    if (rate == 0) {
        rate_ = DefaultRate();
    } else if (rate != -1) {
        rate_ = static_cast<DWORD>(std::clamp(rate, kMinRate, static_cast<int>(kMaxRate)));
    }
}

void Channel::SetVolume(int volume) {
    volume_ = std::clamp(volume, 0, 100);
}

void Channel::SetPan(int pan) {
    pan_ = std::clamp(pan, -100, 100);
}

void Channel::SetState(State state) {
    state_ = state;
    controls_.playing = state == State::Playing;
    ++controls_.commands;
}

void Channel::Play(bool restart) {
    GetState();
    if (restart || ended_) {
        ++controls_.restarts;
        ended_ = false;
    }
    SetState(State::Playing);
}

void Channel::Pause() {
    SetState(State::Paused);
}

void Channel::Stop() {
    SetState(State::Stopped);
}

std::unique_ptr<Voice> Channel::TakeVoice() {
    Stop();
    controls_.released = true;
    return std::move(voice_);
}

VoiceControls Channel::Controls(float groupGain) const {
    VoiceControls controls = controls_;
    const float gain = groupGain * volume_ / 100.0f;
    controls.left = gain * (pan_ > 0 ? 1.0f - pan_ / 100.0f : 1.0f);
    controls.right = gain * (pan_ < 0 ? 1.0f + pan_ / 100.0f : 1.0f);
    controls.rate = rate_;
    controls.loop = flags_ & BASS_SAMPLE_LOOP;
    return controls;
}

} // namespace tqaudio
