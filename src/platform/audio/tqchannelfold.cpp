#include "platform/audio/tqchannelfold.h"

#include <algorithm>
#include <cmath>

namespace tqaudio {

namespace {

constexpr float kMinus3Db = 0.70710678f;

struct SideGains {
    float left;
    float right;
};

// What one channel adds to each side; {0, 0} for the low-frequency channel and non-speakers.
SideGains GainsAt(int position) {
    switch (position) {
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
        return {1.0f, 0.0f};
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
        return {0.0f, 1.0f};
    case SF_CHANNEL_MAP_MONO:
    case SF_CHANNEL_MAP_CENTER:
    case SF_CHANNEL_MAP_FRONT_CENTER:
    case SF_CHANNEL_MAP_AMBISONIC_B_W:
        return {kMinus3Db, kMinus3Db};
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_SIDE_LEFT:
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
    case SF_CHANNEL_MAP_TOP_REAR_LEFT:
        return {kMinus3Db, 0.0f};
    case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
        return {0.0f, kMinus3Db};
    case SF_CHANNEL_MAP_REAR_CENTER:
    case SF_CHANNEL_MAP_TOP_CENTER:
    case SF_CHANNEL_MAP_TOP_FRONT_CENTER:
    case SF_CHANNEL_MAP_TOP_REAR_CENTER:
        return {0.5f, 0.5f}; // a surround at -3 dB, split between the sides
    default:
        return {0.0f, 0.0f};
    }
}

bool IsSpeaker(int position) {
    return position > SF_CHANNEL_MAP_INVALID && position < SF_CHANNEL_MAP_AMBISONIC_B_W;
}

enum : int {
    FL = SF_CHANNEL_MAP_FRONT_LEFT,
    FR = SF_CHANNEL_MAP_FRONT_RIGHT,
    FC = SF_CHANNEL_MAP_FRONT_CENTER,
    LFE = SF_CHANNEL_MAP_LFE,
    RL = SF_CHANNEL_MAP_REAR_LEFT,
    RR = SF_CHANNEL_MAP_REAR_RIGHT,
    RC = SF_CHANNEL_MAP_REAR_CENTER,
    SL = SF_CHANNEL_MAP_SIDE_LEFT,
    SR = SF_CHANNEL_MAP_SIDE_RIGHT,
};

// The layouts files of 3 to 8 channels without a channel mask are taken to have (quad for four,
// 5.0, 5.1, 6.1, 7.1); more channels follow the order of the WAV speaker mask bits.
std::vector<int> CommonWavOrder(int channels) {
    switch (channels) {
    case 3:
        return {FL, FR, FC};
    case 4:
        return {FL, FR, RL, RR};
    case 5:
        return {FL, FR, FC, RL, RR};
    case 6:
        return {FL, FR, FC, LFE, RL, RR};
    case 7:
        return {FL, FR, FC, LFE, RC, SL, SR};
    case 8:
        return {FL, FR, FC, LFE, RL, RR, SL, SR};
    default:
        break;
    }
    static const int kMaskOrder[] = {FL,
                                     FR,
                                     FC,
                                     LFE,
                                     RL,
                                     RR,
                                     SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER,
                                     SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER,
                                     RC,
                                     SL,
                                     SR,
                                     SF_CHANNEL_MAP_TOP_CENTER,
                                     SF_CHANNEL_MAP_TOP_FRONT_LEFT,
                                     SF_CHANNEL_MAP_TOP_FRONT_CENTER,
                                     SF_CHANNEL_MAP_TOP_FRONT_RIGHT,
                                     SF_CHANNEL_MAP_TOP_REAR_LEFT,
                                     SF_CHANNEL_MAP_TOP_REAR_CENTER,
                                     SF_CHANNEL_MAP_TOP_REAR_RIGHT};
    std::vector<int> order(channels, SF_CHANNEL_MAP_INVALID);
    std::copy_n(kMaskOrder, std::min<size_t>(order.size(), std::size(kMaskOrder)), order.begin());
    return order;
}

// Vorbis and Opus streams of 3 to 8 channels come in their own fixed order: the centre between the
// fronts, the LFE last.
std::vector<int> OggOrder(int channels) {
    switch (channels) {
    case 3:
        return {FL, FC, FR};
    case 5:
        return {FL, FC, FR, RL, RR};
    case 6:
        return {FL, FC, FR, RL, RR, LFE};
    case 7:
        return {FL, FC, FR, SL, SR, RC, LFE};
    case 8:
        return {FL, FC, FR, SL, SR, RL, RR, LFE};
    default:
        return CommonWavOrder(channels);
    }
}

} // namespace

ChannelFold::ChannelFold(int channels, const int* positions) {
    if (positions && std::all_of(positions, positions + channels, IsSpeaker)) {
        SetGains(std::vector<int>(positions, positions + channels));
    } else {
        SetGains(CommonWavOrder(channels));
    }
}

ChannelFold ChannelFold::ForFile(SNDFILE* file, const SF_INFO& info) {
    std::vector<int> positions(info.channels);
    const int bytes = static_cast<int>(positions.size() * sizeof(int));
    if (sf_command(file, SFC_GET_CHANNEL_MAP_INFO, positions.data(), bytes) == SF_TRUE) {
        return ChannelFold(info.channels, positions.data());
    }
    if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG) {
        positions = OggOrder(info.channels);
        return ChannelFold(info.channels, positions.data());
    }
    return ChannelFold(info.channels, nullptr);
}

void ChannelFold::SetGains(const std::vector<int>& positions) {
    float leftSum = 0.0f, rightSum = 0.0f;
    for (int position : positions) {
        const SideGains gains = GainsAt(position);
        left_.push_back(gains.left);
        right_.push_back(gains.right);
        leftSum += gains.left;
        rightSum += gains.right;
    }
    const float scale = 1.0f / std::max({leftSum, rightSum, 1.0f});
    for (size_t c = 0; c < positions.size(); ++c) {
        left_[c] *= scale;
        right_[c] *= scale;
    }
}

void ChannelFold::Apply(const float* wide, float* stereo, size_t frames) const {
    const size_t channels = left_.size();
    for (size_t f = 0; f < frames; ++f) {
        const float* frame = wide + f * channels;
        float left = 0.0f, right = 0.0f;
        for (size_t c = 0; c < channels; ++c) {
            left += frame[c] * left_[c];
            right += frame[c] * right_[c];
        }
        stereo[2 * f] = left;
        stereo[2 * f + 1] = right;
    }
}

} // namespace tqaudio
