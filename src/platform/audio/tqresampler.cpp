#include "platform/audio/tqresampler.h"

namespace tqaudio {

void Resampler::Reset() {
    fraction_ = 0.0;
    primed_ = false;
    pastEnd_ = false;
    finished_ = false;
    blockFrames_ = 0;
    blockPosition_ = 0;
}

// Reads the next block of the source as stereo; at the end a looping source starts again.
bool Resampler::Refill(AudioSource& source, bool loop) {
    block_.resize(kBlockFrames * 2);
    size_t n = source.Read(block_.data(), kBlockFrames);
    if (n == 0 && loop) {
        source.Rewind();
        n = source.Read(block_.data(), kBlockFrames);
    }
    if (source.Channels() == 1) {
        for (size_t i = n; i-- > 0;) {
            block_[2 * i] = block_[2 * i + 1] = block_[i];
        }
    }
    blockFrames_ = n;
    blockPosition_ = 0;
    return n > 0;
}

bool Resampler::NextFrame(AudioSource& source, bool loop, float* frame) {
    if (blockPosition_ == blockFrames_ && !Refill(source, loop)) {
        return false;
    }
    frame[0] = block_[2 * blockPosition_];
    frame[1] = block_[2 * blockPosition_ + 1];
    ++blockPosition_;
    return true;
}

// Moves one source frame on; false once the position is past the last frame.
bool Resampler::Advance(AudioSource& source, bool loop) {
    previous_[0] = current_[0];
    previous_[1] = current_[1];
    if (pastEnd_) {
        finished_ = true;
        return false;
    }
    if (!NextFrame(source, loop, current_)) {
        current_[0] = current_[1] = 0.0f;
        pastEnd_ = true;
    }
    return true;
}

size_t Resampler::Produce(AudioSource& source, float* out, size_t frames, double step, bool loop) {
    if (!primed_) {
        primed_ = true;
        if (!NextFrame(source, loop, current_)) {
            finished_ = true;
        } else {
            Advance(source, loop);
        }
    }
    size_t produced = 0;
    while (produced < frames && !finished_) {
        const float t = static_cast<float>(fraction_);
        out[2 * produced] = previous_[0] + (current_[0] - previous_[0]) * t;
        out[2 * produced + 1] = previous_[1] + (current_[1] - previous_[1]) * t;
        ++produced;
        fraction_ += step;
        while (fraction_ >= 1.0 && !finished_) {
            fraction_ -= 1.0;
            Advance(source, loop);
        }
    }
    return produced;
}

} // namespace tqaudio
