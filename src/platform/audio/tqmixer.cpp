#include "platform/audio/tqmixer.h"

#include <algorithm>

namespace tqaudio {

Mixer::~Mixer() {
    Clear();
}

void Mixer::SetRate(double rate) {
    fadeFrames_ = Voice::FadeFrames(rate);
}

void Mixer::Add(Channel* channel) {
    channel->mixerIndex = channels_.size();
    channels_.push_back(channel);
}

void Mixer::MarkChanged(Voice& voice) {
    if (!changed_.Contains(&voice)) {
        changed_.PushBack(&voice);
    }
}

void Mixer::Touch(Channel* channel) {
    const VoiceControls controls = channel->Controls(GroupGain(*channel));
    Voice& voice = channel->GetVoice();
    if (controls.playing) {
        voice.Prepare(fadeFrames_);
    }
    voice.SetControls(controls);
    if (voice.Prepared()) { // one that never played is silent: it takes its controls when it plays
        MarkChanged(voice);
    }
}

void Mixer::Release(Channel* channel) {
    Channel* last = channels_.back();
    channels_[channel->mixerIndex] = last;
    last->mixerIndex = channel->mixerIndex;
    channels_.pop_back();
    Voice& kept = channel->GetVoice();
    if (!kept.Prepared()) { // never played, so never mixed: it goes with its channel
        return;
    }
    Voice* voice = channel->TakeVoice().release();
    voice->SetControls(channel->Controls(GroupGain(*channel)));
    released_.PushBack(voice);
    MarkChanged(*voice);
    if (channel->GetKind() == Channel::Kind::Stream) {
        voice->Source().Detach();
    }
}

void Mixer::Clear() {
    channels_.clear();
    changed_.Reset();
    mixing_.Reset();
    done_.Reset();
    DestroyAll(released_.TakeAll());
    DestroyAll(TakeFinished());
}

void Mixer::StopAll() {
    for (Channel* channel : channels_) {
        channel->Stop();
        Touch(channel);
    }
}

void Mixer::TouchKind(Channel::Kind kind) {
    for (Channel* channel : channels_) {
        if (channel->GetKind() == kind) {
            Touch(channel);
        }
    }
}

void Mixer::SetSampleVolume(int volume) {
    sampleVolume_ = volume;
    TouchKind(Channel::Kind::SamplePlayback);
}

void Mixer::SetStreamVolume(int volume) {
    streamVolume_ = volume;
    TouchKind(Channel::Kind::Stream);
}

void Mixer::SetMusicVolume(int volume) {
    musicVolume_ = volume;
    TouchKind(Channel::Kind::Music);
}

float Mixer::GroupGain(const Channel& channel) const {
    switch (channel.GetKind()) {
    case Channel::Kind::SamplePlayback:
        return sampleVolume_ / 100.0f;
    case Channel::Kind::Stream:
        return streamVolume_ / 100.0f;
    case Channel::Kind::Music:
        return musicVolume_ / 100.0f;
    default:
        return 1.0f;
    }
}

Mixer::OwnedVoices Mixer::TakeFinished() {
    return finished_.TakeAll();
}

void Mixer::DestroyAll(OwnedVoices voices) {
    while (Voice* voice = voices.PopFront()) {
        delete voice;
    }
}

void Mixer::Finish(Voice* voice) {
    released_.Remove(voice);
    finished_.PushBack(voice);
}

void Mixer::Sync() {
    while (Voice* voice = done_.PopFront()) {
        Finish(voice);
    }
    while (Voice* voice = changed_.PopFront()) {
        voice->TakeControls();
        if (mixing_.Contains(voice)) {
            continue;
        }
        if (voice->NeedsMix()) {
            mixing_.PushBack(voice);
        } else if (voice->Released()) {
            Finish(voice);
        }
    }
}

void Mixer::Render(float* out, size_t frames, double rate) {
    for (size_t done = 0; done < frames;) {
        const size_t n = std::min(kBlockFrames, frames - done);
        RenderBlock(out + 2 * done, n, rate);
        done += n;
    }
    DropSilentVoices();
}

// Voices with nothing left to play leave the mix; released ones go back at the next Sync.
void Mixer::DropSilentVoices() {
    for (Voice* voice = mixing_.First(); voice;) {
        Voice* next = mixing_.Next(voice);
        if (!voice->NeedsMix()) {
            mixing_.Remove(voice);
            if (voice->Released()) {
                done_.PushBack(voice);
            }
        }
        voice = next;
    }
}

void Mixer::RenderBlock(float* out, size_t frames, double rate) {
    std::fill(out, out + 2 * frames, 0.0f);
    for (Voice* voice = mixing_.First(); voice; voice = mixing_.Next(voice)) {
        voice->MixInto(out, scratch_.data(), frames, rate, work_);
    }
    for (size_t i = 0; i < 2 * frames; ++i) {
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
    }
}

} // namespace tqaudio
