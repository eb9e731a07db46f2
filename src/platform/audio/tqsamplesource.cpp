#include "platform/audio/tqsamplesource.h"

#include <algorithm>
#include <cstring>

namespace tqaudio {

SampleSource::SampleSource(std::shared_ptr<const SampleData> data) : data_(std::move(data)) {}

size_t SampleSource::Read(float* out, size_t frames) {
    size_t count = std::min(frames, data_->Frames() - position_);
    if (count == 0) {
        return 0;
    }
    const int channels = data_->Channels();
    memcpy(out, data_->Samples() + position_ * channels, count * channels * sizeof(float));
    position_ += count;
    return count;
}

} // namespace tqaudio
