// One playing thing: a playback of a sample, tracker music or a stream. Holds its source, its
// state and attributes, and mixes itself into the output through a resampler.
//
// A stop or pause takes effect at once for the caller, while the mix fades the sound out over a
// few milliseconds instead of cutting it. The frames read for that fade are held and played again
// (at full level) when the channel resumes, so it resumes exactly where it was stopped.
#pragma once

#include "platform/audio/tqaudioobject.h"
#include "platform/audio/tqaudiosource.h"
#include "platform/audio/tqresampler.h"
#include "platform/win32/tqwintypes.h"

#include <memory>
#include <vector>

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
    // Pauses or stops, fading out.
    void Pause();
    void Stop();
    // Stops without a fade: the output itself stops.
    void Cut();
    // Playing, or fading out after a stop or pause: the mixer mixes it.
    bool IsAudible() const { return state_ == State::Playing || fading_; }

    // Adds `frames` stereo frames of this channel, scaled by `groupGain`, to `mix`, using
    // `scratch` (2 × frames floats). A channel that reaches its end stops.
    void MixInto(float* mix, float* scratch, size_t frames, double outputRate, float groupGain);

private:
    void BeginFade();
    void DropPlayedHeldFrames();
    void FadeInto(float* mix, float* scratch, size_t frames, double outputRate, float left, float right);
    // Reads held frames, then the resampler; with `hold` the frames read stay held.
    size_t Read(float* out, size_t frames, double outputRate, bool hold);

    Kind kind_;
    std::unique_ptr<AudioSource> source_;
    Resampler resampler_;
    State state_ = State::Stopped;
    bool ended_ = false;
    DWORD rate_;
    int volume_ = 100;
    int pan_ = 0;
    DWORD flags_;
    bool fading_ = false;
    size_t fadeDone_ = 0;     // frames of the fade mixed
    std::vector<float> held_; // stereo frames read for a fade, to be played on resuming
    size_t heldRead_ = 0;     // frames of held_ read
};

} // namespace tqaudio
