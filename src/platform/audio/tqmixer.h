// Mixes the playing channels into interleaved stereo floats, clamped to -1..1, with the group
// volumes of samples and music on top of each channel's own volume (streams have none).
// Not locked itself: the caller serialises every call.
#pragma once

#include "platform/audio/tqchannel.h"

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

    // Writes `frames` frames at `rate` Hz to `out`.
    void Render(float* out, size_t frames, double rate);

private:
    static constexpr size_t kBlockFrames = 512;

    void RenderBlock(float* out, size_t frames, double rate);
    float GroupGain(const Channel& channel) const;

    std::vector<Channel*> channels_;
    std::vector<float> scratch_ = std::vector<float>(2 * kBlockFrames);
    int sampleVolume_ = 100;
    int musicVolume_ = 100;
};

} // namespace tqaudio
