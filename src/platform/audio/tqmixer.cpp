#include "platform/audio/tqmixer.h"

#include <algorithm>

namespace tqaudio {

namespace {

// Appends `item`, dropping the oldest first when `list` already holds `most`.
template <class T> void AppendDroppingOldest(std::vector<T>& list, T item, size_t most) {
    if (list.size() == most) {
        list.erase(list.begin());
    }
    list.push_back(std::move(item));
}

} // namespace

void Mixer::Add(Channel* channel) {
    channels_.push_back(channel);
}

VoiceControls Mixer::Retire(Channel* channel) {
    channels_.erase(std::remove(channels_.begin(), channels_.end(), channel), channels_.end());
    channel->Stop();
    return channel->Controls(GroupGain(*channel));
}

void Mixer::KeepFading(std::shared_ptr<Voice> voice) {
    AppendDroppingOldest(released_, std::move(voice), kMaxReleased);
}

void Mixer::Release(Channel* channel) {
    // A pass may be mixing the voice now: the controls that fade it out reach it at the next Sync.
    AppendDroppingOldest(retiring_, Retiring{channel->GetVoice(), Retire(channel)}, kMaxReleased);
}

void Mixer::ReleaseDetached(Channel* channel, double rate) {
    const std::shared_ptr<Voice> voice = channel->GetVoice();
    voice->SetControls(Retire(channel));
    voice->DetachSource(rate, work_);
    KeepFading(voice);
}

void Mixer::Clear() {
    channels_.clear();
    retiring_.clear();
    released_.clear();
}

void Mixer::StopAll() {
    for (Channel* channel : channels_) {
        channel->Stop();
    }
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

void Mixer::Sync() {
    voices_.clear();
    for (Retiring& retiring : retiring_) {
        retiring.voice->SetControls(retiring.controls);
        KeepFading(std::move(retiring.voice));
    }
    retiring_.clear();
    for (Channel* channel : channels_) {
        Voice& voice = *channel->GetVoice();
        voice.SetControls(channel->Controls(GroupGain(*channel)));
        if (voice.NeedsMix()) {
            voices_.push_back(channel->GetVoice());
        }
    }
    // A released voice that has faded is let go after the pass, outside the caller's lock.
    voices_.insert(voices_.end(), released_.begin(), released_.end());
    released_.erase(std::remove_if(released_.begin(), released_.end(),
                                   [](const std::shared_ptr<Voice>& voice) { return !voice->NeedsMix(); }),
                    released_.end());
}

void Mixer::Render(float* out, size_t frames, double rate) {
    for (size_t done = 0; done < frames;) {
        const size_t n = std::min(kBlockFrames, frames - done);
        RenderBlock(out + 2 * done, n, rate);
        done += n;
    }
    voices_.clear();
}

void Mixer::RenderBlock(float* out, size_t frames, double rate) {
    std::fill(out, out + 2 * frames, 0.0f);
    for (const std::shared_ptr<Voice>& voice : voices_) {
        voice->MixInto(out, scratch_.data(), frames, rate, work_);
    }
    for (size_t i = 0; i < 2 * frames; ++i) {
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
    }
}

} // namespace tqaudio
