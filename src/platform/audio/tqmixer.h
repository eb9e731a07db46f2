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
    // The channel takes part in the mix until Remove (it mixes only while playing).
    void Add(Channel* channel);
    void Remove(Channel* channel);
    // Forgets every channel; the group volumes stay.
    void Clear() { channels_.clear(); }
    // Stops every channel at once, without fading.
    void StopAll();

    void SetSampleVolume(int volume) { sampleVolume_ = volume; }
    void SetMusicVolume(int volume) { musicVolume_ = volume; }

    // Hands every channel's controls to its voice and takes the voices that have something to do.
    // Only copies: the caller holds its lock for as long.
    void Sync();
    // Writes `frames` frames at `rate` Hz of the voices the last Sync took to `out`, then lets
    // them go. Needs no lock; only one thread syncs and renders.
    void Render(float* out, size_t frames, double rate);

private:
    static constexpr size_t kBlockFrames = ResampleWorkspace::kMaxOutputFrames;

    void RenderBlock(float* out, size_t frames, double rate);
    float GroupGain(const Channel& channel) const;

    std::vector<Channel*> channels_;
    std::vector<std::shared_ptr<Voice>> voices_;
    std::vector<float> scratch_ = std::vector<float>(2 * kBlockFrames);
    ResampleWorkspace work_;
    int sampleVolume_ = 100;
    int musicVolume_ = 100;
};

} // namespace tqaudio
