#include "platform/audio/tqsample.h"

namespace tqaudio {

Sample::Sample(std::shared_ptr<const SampleData> data, DWORD max, DWORD flags)
    : data_(std::move(data)), max_(max), flags_(flags) {
    if (data_->Channels() == 1) {
        flags_ |= BASS_SAMPLE_MONO;
    }
}

TQAudioSampleInfo Sample::Info() const {
    TQAudioSampleInfo info{};
    info.freq = static_cast<DWORD>(data_->Rate());
    info.volume = 100;
    info.pan = 0;
    info.flags = flags_;
    const DWORD sampleBytes = (flags_ & BASS_SAMPLE_8BITS) ? 1 : 2;
    info.length = static_cast<DWORD>(data_->Frames() * data_->Channels() * sampleBytes);
    info.max = max_;
    return info;
}

} // namespace tqaudio
