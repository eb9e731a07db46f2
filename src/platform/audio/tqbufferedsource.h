// The source a voice plays a stream or music from: the stream buffer the decode thread fills. It
// reads only that buffer, so the mixing thread never runs a decoder. Destroyed (on the game side),
// it lets the decode thread drop the buffer, which destroys the decoder there.
#pragma once

#include "platform/audio/tqaudiosource.h"
#include "platform/audio/tqstreambuffer.h"

#include <memory>

namespace tqaudio {

class BufferedSource : public AudioSource {
public:
    explicit BufferedSource(std::shared_ptr<StreamBuffer> buffer) : buffer_(std::move(buffer)) {}
    ~BufferedSource() override { buffer_->Detach(true); }
    BufferedSource(const BufferedSource&) = delete;
    BufferedSource& operator=(const BufferedSource&) = delete;

    int Channels() const override { return buffer_->Channels(); }
    int Rate() const override { return buffer_->Rate(); }
    int64_t Frames() const override { return buffer_->Frames(); }
    size_t Read(float* out, size_t frames) override { return buffer_->Read(out, frames); }
    void Rewind() override { buffer_->Rewind(); }
    void SetLooping(bool loop) override { buffer_->SetLooping(loop); }
    void Detach() override { buffer_->Detach(false); }

private:
    std::shared_ptr<StreamBuffer> buffer_;
};

} // namespace tqaudio
