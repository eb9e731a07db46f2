// One playing thing: a playback of a sample, tracker music or a stream. Holds its source, its
// state and attributes, and mixes itself into the output through a resampler.
#pragma once

#include "platform/audio/tqaudioobject.h"
#include "platform/audio/tqaudiosource.h"
#include "platform/audio/tqresampler.h"
#include "platform/win32/tqwintypes.h"

#include <memory>

namespace tqaudio {

class Channel : public AudioObject {
public:
    enum class Kind { SamplePlayback, Music, Stream };
    enum class State { Stopped, Playing, Paused };

    // A stopped channel at the source's own rate, full volume, centred. `flags` are the
    // creation flags (BASS_SAMPLE_LOOP, BASS_STREAM_DECODE ...).
    Channel(Kind kind, std::unique_ptr<AudioSource> source, DWORD flags);

    Kind GetKind() const { return kind_; }
    State GetState() const { return state_; }
    bool IsDecoding() const;
    AudioSource& Source() { return *source_; }

    DWORD DefaultRate() const { return static_cast<DWORD>(source_->Rate()); }
    DWORD Rate() const { return rate_; }
    int Volume() const { return volume_; }
    int Pan() const { return pan_; }
    DWORD Flags() const { return flags_; }

    // -1 keeps the rate, 0 restores the default; values are clamped to the supported range.
    void SetRate(int rate);
    // Clamped to 0..100.
    void SetVolume(int volume);
    // Clamped to -100..100.
    void SetPan(int pan);
    void SetFlags(DWORD flags) { flags_ = flags; }

    // Plays from the start when `restart` is set or the channel has ended, else resumes.
    void Play(bool restart);
    void Pause() { state_ = State::Paused; }
    void Stop() { state_ = State::Stopped; }

    // Adds `frames` stereo frames of this channel, scaled by `groupGain`, to `mix`, using
    // `scratch` (2 × frames floats). A channel that reaches its end stops.
    void MixInto(float* mix, float* scratch, size_t frames, double outputRate, float groupGain);

private:
    Kind kind_;
    std::unique_ptr<AudioSource> source_;
    Resampler resampler_;
    State state_ = State::Stopped;
    bool ended_ = false;
    DWORD rate_;
    int volume_ = 100;
    int pan_ = 0;
    DWORD flags_;
};

} // namespace tqaudio
