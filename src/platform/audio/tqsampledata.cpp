#include "platform/audio/tqsampledata.h"

#include <cstdint>
#include <cstring>

namespace tqaudio {

SampleData::SampleData(int rate, int channels, std::vector<float> samples)
    : rate_(rate), channels_(channels), samples_(std::move(samples)) {}

SampleData SampleData::FromPcm(int rate, int channels, bool eightBits, const void* pcm, size_t frames) {
    std::vector<float> samples(frames * channels);
    const uint8_t* bytes = static_cast<const uint8_t*>(pcm);
    for (size_t i = 0; i < samples.size(); ++i) {
        if (eightBits) {
            samples[i] = (static_cast<int>(bytes[i]) - 128) / 128.0f;
        } else {
            int16_t value;
            memcpy(&value, bytes + 2 * i, sizeof(value));
            samples[i] = value / 32768.0f;
        }
    }
    return SampleData(rate, channels, std::move(samples));
}

} // namespace tqaudio
