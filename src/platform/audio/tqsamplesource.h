// Reads a playback of sample data from memory.
#pragma once

#include "platform/audio/tqaudiosource.h"
#include "platform/audio/tqsampledata.h"

#include <memory>

namespace tqaudio {

class SampleSource : public AudioSource {
public:
    explicit SampleSource(std::shared_ptr<const SampleData> data);

    int Channels() const override { return data_->Channels(); }
    int Rate() const override { return data_->Rate(); }
    size_t Read(float* out, size_t frames) override;
    void Rewind() override { position_ = 0; }

private:
    std::shared_ptr<const SampleData> data_;
    size_t position_ = 0;
};

} // namespace tqaudio
