// The mixing side of a channel: its source, its resampler and its fades. The game side hands it
// controls under the module's lock (SetControls) and the mixer passes them on at the start of a
// pass (TakeControls); everything else runs on the mixing thread without the lock, so a game call
// never waits for a decode or a resample, and the mix never allocates: the voice's buffers are
// reserved on the game side before it first plays (Prepare).
//
// Every change that would step the sound fades over 5 ms. A stop or pause fades out; the frames
// read for that fade are held and played again when the voice resumes after the fade, fading in,
// so it resumes exactly where it stopped; resumed within the fade it goes on from where the fade
// is, rising from its level. A restart of an audible voice crossfades: the old sound's next frames
// are kept as a tail that fades out while the sound starts again. A change of gain (volume,
// panning, group volume) ramps linearly over as long.
//
// A voice outlives its channel while it fades out (the controls say released). Its source never
// reads memory that goes with the channel: a stream's is the buffer the decode thread fills.
#pragma once

#include "platform/audio/tqaudiosource.h"
#include "platform/audio/tqresampler.h"
#include "platform/audio/tqvoicecontrols.h"
#include "platform/audio/tqvoicelist.h"

#include <atomic>
#include <memory>
#include <vector>

namespace tqaudio {

class Voice {
public:
    explicit Voice(std::unique_ptr<AudioSource> source);

    // Frames a fade lasts at `outputRate`.
    static int FadeFrames(double outputRate);

    // Its channel count and rate are fixed, so the game side may read them while its channel lives.
    AudioSource& Source() { return *source_; }

    // Game side, under the module's lock.
    // Reserves the buffers for playing with fades of `fadeFrames`; before the first play.
    void Prepare(int fadeFrames);
    // Whether it was prepared, so the mix may have it.
    bool Prepared() const { return fadeFrames_ > 0; }
    void SetControls(const VoiceControls& controls) { next_ = controls; }
    // The command count at which the source ran out while playing; ~0 when it has not.
    uint32_t EndedAt() const { return endedAt_.load(std::memory_order_acquire); }

    // Mixing thread.
    // Takes the controls last set, under the module's lock.
    void TakeControls() { incoming_ = next_; }
    bool Released() const { return incoming_.released; }
    // Whether the voice has a play to start or sound to give.
    bool NeedsMix() const;
    // Applies the controls, then adds `frames` stereo frames to `mix`, using `scratch` (2 × frames
    // floats).
    void MixInto(float* mix, float* scratch, size_t frames, double outputRate, ResampleWorkspace& work);

    VoiceLink owned;  // in the mixer's list of released or finished voices (game side)
    VoiceLink dirty;  // controls changed since the last pass (game side)
    VoiceLink mixing; // being mixed, or finished and waiting to go back (mixing thread)

private:
    void Apply(int fadeFrames, ResampleWorkspace& work);
    void AimGains(int fadeFrames);
    void Restart(int fadeFrames, ResampleWorkspace& work);
    void Resume();
    void StartFadeOut();
    // Adds the next `level_` frames of the sound as it fades out to the tail.
    void CaptureTail(ResampleWorkspace& work);
    void MixTail(float* mix, size_t frames);
    // Adds `count` frames of `frames` to `mix` at the fade level and the gains, moving both on.
    void AddToMix(float* mix, const float* frames, size_t count, int rise, int fadeFrames);
    void DropPlayedHeldFrames();
    // Appends frames to the held ones; the count that found room.
    size_t Hold(const float* frames, size_t count);
    // Reads held frames, then the resampler; with `hold` the frames read stay held.
    size_t Read(float* out, size_t frames, bool hold, ResampleWorkspace& work);
    size_t Produce(float* out, size_t frames, ResampleWorkspace& work);

    std::unique_ptr<AudioSource> source_;
    Resampler resampler_;
    VoiceControls next_;     // game side
    VoiceControls incoming_; // taken from next_ at the start of a pass
    VoiceControls applied_;
    double outputRate_ = 0.0;
    bool sourceLooping_ = false; // as last told to the source
    bool playing_ = false;
    int fadeFrames_ = 0; // as prepared
    int level_ = 0;      // the fade level in frames: 0 silent, the fade's length full
    float left_ = 0.0f;  // the gains heard now, ramping to applied_.left and applied_.right
    float right_ = 0.0f;
    float leftStep_ = 0.0f; // gain change a frame while the ramp lasts
    float rightStep_ = 0.0f;
    size_t rampFrames_ = 0;   // frames left of the gain ramp
    std::vector<float> held_; // stereo frames read for a fade, room for two fades
    size_t heldCount_ = 0;
    size_t heldRead_ = 0;     // frames of held_ played
    std::vector<float> tail_; // an old sound fading out after a restart, as heard; room for two fades
    size_t tailCount_ = 0;
    size_t tailRead_ = 0;
    std::atomic<uint32_t> endedAt_{~0u};
};

} // namespace tqaudio
