// Decoded sample data: interleaved float frames (1 or 2 channels) at a rate, shared by the
// sample and its playbacks.
#pragma once

#include <cstddef>
#include <vector>

namespace tqaudio {

class SampleData {
public:
    SampleData(int rate, int channels, std::vector<float> samples);

    // Data of `frames` frames of 16-bit signed or 8-bit unsigned PCM.
    static SampleData FromPcm(int rate, int channels, bool eightBits, const void* pcm, size_t frames);

    int Rate() const { return rate_; }
    int Channels() const { return channels_; }
    size_t Frames() const { return samples_.size() / channels_; }
    const float* Samples() const { return samples_.data(); }

private:
    int rate_;
    int channels_;
    std::vector<float> samples_;
};

} // namespace tqaudio
