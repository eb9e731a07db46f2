// Folds frames of more than two channels down to stereo by where each channel's speaker stands:
// the usual downmix, with the front pair on its sides, centre and surrounds at -3 dB (a centre
// into both sides, a surround into its own) and the low-frequency channel dropped. The gains are
// scaled so that full-scale channels together cannot exceed full scale on either side.
#pragma once

#include <sndfile.h>

#include <cstddef>
#include <vector>

namespace tqaudio {

class ChannelFold {
public:
    // The fold for `channels` channels at `positions` (SF_CHANNEL_MAP_* values, one per channel);
    // without positions, or when one of them is not a speaker, the common order for that count.
    ChannelFold(int channels, const int* positions);

    // The fold for a file: the layout it declares (a WAV channel mask, a CAF or AIFF channel
    // layout; an Ogg file by the order its codec prescribes), else the common WAV order.
    static ChannelFold ForFile(SNDFILE* file, const SF_INFO& info);

    // Writes `frames` stereo frames folded from `frames` frames of `wide`.
    void Apply(const float* wide, float* stereo, size_t frames) const;

private:
    void SetGains(const std::vector<int>& positions);

    std::vector<float> left_;
    std::vector<float> right_;
};

} // namespace tqaudio
