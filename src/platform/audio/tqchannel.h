// One playing thing as the game sees it: a playback of a sample, tracker music or a stream. Holds
// its state and attributes; its voice does the playing on the mixing thread, from the controls
// the mixer hands over. A stop or pause takes effect at once for the caller, while the voice fades
// the sound out; so does freeing the channel, which gives its voice to the mixer to fade out.
#pragma once

#include "platform/audio/tqaudioobject.h"
#include "platform/audio/tqvoice.h"
#include "platform/win32/tqwintypes.h"

#include <memory>

namespace tqaudio {

class Channel : public AudioObject {
public:
    enum class Kind { SamplePlayback, Music, Stream };
    enum class State { Stopped, Playing, Paused };

    // The highest playback rate, Hz.
    static constexpr DWORD kMaxRate = 384000;

    // A stopped channel at the source's own rate, full volume, centred. `flags` are the
    // creation flags (BASS_SAMPLE_LOOP, BASS_STREAM_DECODE ...).
    Channel(Kind kind, std::unique_ptr<AudioSource> source, DWORD flags);

    Kind GetKind() const { return kind_; }
    // Playing until the voice has played the source to its end.
    State GetState();
    bool IsDecoding() const;
    AudioSource& Source() { return voice_->Source(); }

    DWORD DefaultRate() const { return static_cast<DWORD>(voice_->Source().Rate()); }
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

    // The controls for the voice, its level scaled by `groupGain`.
    VoiceControls Controls(float groupGain) const;
    Voice& GetVoice() const { return *voice_; }
    // Stops the channel and hands over its voice, to fade out and finish without it.
    std::unique_ptr<Voice> TakeVoice();

    // The channel's place in the mixer's list, kept by the mixer.
    size_t mixerIndex = 0;

private:
    void SetState(State state);

    Kind kind_;
    std::unique_ptr<Voice> voice_;
    State state_ = State::Stopped;
    bool ended_ = false;
    DWORD rate_;
    int volume_ = 100;
    int pan_ = 0;
    DWORD flags_;
    VoiceControls controls_;
};

} // namespace tqaudio
