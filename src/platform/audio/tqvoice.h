// The mixing side of a channel: its source, its resampler and its fades. The game side hands it
// controls under the module's lock (SetControls); everything else runs on the mixing thread
// without the lock, so a game call never waits for a decode or a resample.
//
// A stop or pause fades the sound out over a few milliseconds instead of cutting it; the frames
// read for that fade are held and played again when the voice resumes, fading in over as long,
// so it resumes exactly where it stopped without a step. A change of gain (volume, panning, group
// volume) ramps linearly over as long, so it makes no step either.
//
// A voice outlives its channel while it fades out: freed while audible, it goes on as a released
// voice until its fade ends. One whose source reads memory that goes with the channel first reads
// the rest of its fade into held frames and lets the source go (DetachSource).
#pragma once

#include "platform/audio/tqaudiosource.h"
#include "platform/audio/tqresampler.h"
#include "platform/audio/tqvoicecontrols.h"

#include <atomic>
#include <memory>
#include <vector>

namespace tqaudio {

class Voice {
public:
    explicit Voice(std::unique_ptr<AudioSource> source) : source_(std::move(source)) {}

    // Its channel count and rate are fixed, so the game side may read them while its channel lives.
    AudioSource& Source() { return *source_; }

    // Under the module's lock.
    void SetControls(const VoiceControls& controls) { next_ = controls; }
    // The command count at which the source ran out while playing; ~0 when it has not.
    uint32_t EndedAt() const { return endedAt_.load(std::memory_order_acquire); }

    // On the mixing thread. Whether the voice has controls to apply or sound to give.
    bool NeedsMix() const;
    // Applies the controls, then adds `frames` stereo frames to `mix`, using `scratch` (2 × frames
    // floats).
    void MixInto(float* mix, float* scratch, size_t frames, double outputRate, ResampleWorkspace& work);
    // Applies the controls, reads what is left of the fade out into held frames and drops the
    // source. Only while no mix pass runs, for a voice whose controls stop it.
    void DetachSource(double outputRate, ResampleWorkspace& work);

private:
    static int FadeFrames(double outputRate);
    void Apply(int fadeFrames);
    void AimGains(int fadeFrames);
    // Adds `count` frames of `frames` to `mix` at the fade level and the gains, moving both on.
    void AddToMix(float* mix, const float* frames, size_t count, int rise, int fadeFrames);
    void DropPlayedHeldFrames();
    // Reads held frames, then the resampler; with `hold` the frames read stay held.
    size_t Read(float* out, size_t frames, double outputRate, bool hold, ResampleWorkspace& work);

    std::unique_ptr<AudioSource> source_;
    Resampler resampler_;
    VoiceControls next_;
    VoiceControls applied_;
    bool playing_ = false;
    int level_ = 0;     // the fade level in frames: 0 silent, the fade's length full
    float left_ = 0.0f; // the gains heard now, ramping to applied_.left and applied_.right
    float right_ = 0.0f;
    float leftStep_ = 0.0f; // gain change a frame while the ramp lasts
    float rightStep_ = 0.0f;
    size_t rampFrames_ = 0;   // frames left of the gain ramp
    std::vector<float> held_; // stereo frames read for a fade, to be played on resuming
    size_t heldRead_ = 0;     // frames of held_ read
    std::atomic<uint32_t> endedAt_{~0u};
};

} // namespace tqaudio
