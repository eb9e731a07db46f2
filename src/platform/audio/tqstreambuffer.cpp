#include "platform/audio/tqstreambuffer.h"

#include "platform/audio/tqaudiolog.h"

#include <algorithm>
#include <cstring>

namespace tqaudio {

namespace {

constexpr double kHeadSeconds = 0.5;
constexpr size_t kLeastRingFrames = 16384;
constexpr double kRampSeconds = 0.005;

size_t PowerOfTwoAtLeast(size_t value) {
    size_t power = 1;
    while (power < value) {
        power *= 2;
    }
    return power;
}

} // namespace

StreamBuffer::StreamBuffer(std::unique_ptr<AudioSource> decoder)
    : channels_(decoder->Channels()), rate_(decoder->Rate()), frames_(decoder->Frames()),
      decoder_(std::move(decoder)) {
    const size_t wanted = static_cast<size_t>(rate_ * kHeadSeconds);
    head_.resize(wanted * channels_);
    headFrames_ = decoder_->Read(head_.data(), wanted);
    headIsAll_ = headFrames_ < wanted;
    decoderEnded_ = headIsAll_;
}

size_t StreamBuffer::Read(float* out, size_t frames) {
    started_.store(true, std::memory_order_relaxed);
    const size_t fromHead = std::min(frames, headFrames_ - position_);
    std::copy_n(head_.data() + position_ * channels_, fromHead * channels_, out);
    position_ += fromHead;
    if (fromHead == frames || headIsAll_) {
        return fromHead;
    }
    return fromHead + ReadRing(out + fromHead * channels_, frames - fromHead);
}

size_t StreamBuffer::ReadRing(float* out, size_t frames) {
    size_t count = 0;
    if (ringPass_.load(std::memory_order_acquire) == pass_) {
        const uint64_t read = read_.load(std::memory_order_relaxed);
        const uint64_t written = written_.load(std::memory_order_acquire);
        count = static_cast<size_t>(std::min<uint64_t>(frames, written - read));
        for (size_t i = 0; i < count; ++i) {
            const float* frame = ring_.data() + ((read + i) & ringMask_) * channels_;
            std::copy_n(frame, channels_, out + i * channels_);
        }
        read_.store(read + count, std::memory_order_release);
        if (count < frames && end_.load(std::memory_order_relaxed) == read + count) {
            return count;
        }
    }
    if (count < frames) {
        std::fill(out + count * channels_, out + frames * channels_, 0.0f);
        if (!toldBehind_) {
            toldBehind_ = true;
            LogMessage("decoding fell behind the mix: a stream played silence");
        }
    }
    return frames;
}

void StreamBuffer::Rewind() {
    started_.store(true, std::memory_order_relaxed);
    ++pass_;
    position_ = 0;
    asked_.store(pass_, std::memory_order_release);
}

void StreamBuffer::Detach(bool abandoned) {
    decoder_->Detach();
    if (abandoned) {
        abandoned_.store(true, std::memory_order_release);
    }
}

bool StreamBuffer::Fill(std::vector<float>& chunk) {
    if (!started_.load(std::memory_order_relaxed)) {
        return false;
    }
    const uint32_t asked = asked_.load(std::memory_order_acquire);
    if (asked != ringPass_.load(std::memory_order_relaxed)) {
        StartPass(asked, chunk);
        return true;
    }
    if (decoderEnded_) {
        return false;
    }
    if (ring_.empty()) {
        const size_t frames = PowerOfTwoAtLeast(std::max<size_t>(rate_, kLeastRingFrames));
        ring_.assign(frames * channels_, 0.0f);
        ringMask_ = frames - 1;
    }
    const bool looping = looping_.load(std::memory_order_relaxed);
    if (looping != decoderLooping_) {
        decoder_->SetLooping(looping);
        decoderLooping_ = looping;
    }
    if (ringMask_ + 1 - (writeAt_ - read_.load(std::memory_order_acquire)) < 2 * kChunkFrames) {
        return false; // no room for a chunk and an end's ramp
    }
    const size_t count = decoder_->Read(chunk.data(), kChunkFrames);
    Write(chunk.data(), count);
    decoderEnded_ = count < kChunkFrames;
    if (decoderEnded_) {
        if (decoder_->BrokeOff()) {
            EndOnRamp();
        }
        end_.store(writeAt_, std::memory_order_relaxed); // published with the frames
    }
    written_.store(writeAt_, std::memory_order_release);
    return !decoderEnded_;
}

// The reader reads the ring only once it holds this pass, so until then it is the decode thread's
// alone: it starts empty where the reader left it.
void StreamBuffer::StartPass(uint32_t pass, std::vector<float>& chunk) {
    decoder_->Rewind();
    decoder_->SetLooping(decoderLooping_);
    size_t skipped = 0;
    decoderEnded_ = false;
    while (skipped < headFrames_ && !decoderEnded_) {
        const size_t wanted = std::min(kChunkFrames, headFrames_ - skipped);
        const size_t count = decoder_->Read(chunk.data(), wanted);
        skipped += count;
        decoderEnded_ = count < wanted;
    }
    writeAt_ = read_.load(std::memory_order_acquire);
    written_.store(writeAt_, std::memory_order_relaxed);
    end_.store(decoderEnded_ ? writeAt_ : kNoEnd, std::memory_order_relaxed);
    ringPass_.store(pass, std::memory_order_release);
}

void StreamBuffer::Write(const float* frames, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        std::copy_n(frames + i * channels_, channels_,
                    ring_.data() + ((writeAt_ + i) & ringMask_) * channels_);
    }
    if (count > 0) {
        std::copy_n(frames + (count - 1) * channels_, channels_, last_);
    }
    writeAt_ += count;
}

void StreamBuffer::EndOnRamp() {
    const size_t frames = std::min(kChunkFrames, static_cast<size_t>(rate_ * kRampSeconds) + 1);
    float ramp[2 * kChunkFrames];
    for (size_t i = 0; i < frames; ++i) {
        const float level = static_cast<float>(frames - 1 - i) / frames;
        for (int c = 0; c < channels_; ++c) {
            ramp[i * channels_ + c] = last_[c] * level;
        }
    }
    Write(ramp, frames);
}

} // namespace tqaudio
