// Mixes the playing channels into interleaved stereo floats, clamped to -1..1, with the group
// volumes of samples and music on top of each channel's own volume (streams have none).
// Not locked itself: the caller serialises every call but Render, which runs on the mixing
// thread while the game goes on, over the voices the last Sync took.
#pragma once

#include "platform/audio/tqchannel.h"
#include "platform/audio/tqresampleworkspace.h"

#include <memory>
#include <vector>

namespace tqaudio {

class Mixer {
public:
    // The channel takes part in the mix until Release (it mixes only while playing).
    void Add(Channel* channel);
    // Takes the channel out of the mix before it is destroyed; its voice stops and fades out on
    // its own. At most kMaxReleased voices fade at once: beyond, the oldest is cut.
    void Release(Channel* channel);
    // Release, for a channel whose source reads memory that goes with it: the voice reads the rest
    // of its fade first and lets the source go. Only while no Render runs; `rate` is the mix's.
    void ReleaseDetached(Channel* channel, double rate);
    // Forgets every channel and released voice; the group volumes stay.
    void Clear();
    // Stops every channel, fading out.
    void StopAll();

    void SetSampleVolume(int volume) { sampleVolume_ = volume; }
    void SetStreamVolume(int volume) { streamVolume_ = volume; }
    void SetMusicVolume(int volume) { musicVolume_ = volume; }

    // Hands every channel's controls to its voice and takes the voices that have something to do.
    // Only copies: the caller holds its lock for as long.
    void Sync();
    // Writes `frames` frames at `rate` Hz of the voices the last Sync took to `out`, then lets
    // them go. Needs no lock; only one thread syncs and renders.
    void Render(float* out, size_t frames, double rate);

private:
    static constexpr size_t kBlockFrames = ResampleWorkspace::kMaxOutputFrames;
    static constexpr size_t kMaxReleased = 256;

    // A released voice and the controls that fade it out, waiting for the next Sync.
    struct Retiring {
        std::shared_ptr<Voice> voice;
        VoiceControls controls;
    };

    void RenderBlock(float* out, size_t frames, double rate);
    float GroupGain(const Channel& channel) const;
    // Takes the channel out of the mix and stops it: the controls its voice fades out with.
    VoiceControls Retire(Channel* channel);
    // Adds a released voice to those fading out, cutting the oldest when kMaxReleased already fade.
    void KeepFading(std::shared_ptr<Voice> voice);

    std::vector<Channel*> channels_;
    std::vector<Retiring> retiring_;               // released since the last Sync
    std::vector<std::shared_ptr<Voice>> released_; // fading out after their channels went
    std::vector<std::shared_ptr<Voice>> voices_;
    std::vector<float> scratch_ = std::vector<float>(2 * kBlockFrames);
    ResampleWorkspace work_;
    int sampleVolume_ = 100;
    int streamVolume_ = 100;
    int musicVolume_ = 100;
};

} // namespace tqaudio
