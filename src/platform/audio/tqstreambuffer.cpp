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
    headFrames_ = Decode(head_.data(), wanted, 0);
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
    if (ringMask_ + 1 - (writeAt_ - read_.load(std::memory_order_acquire)) < kChunkFrames) {
        return false;
    }
    const uint64_t published = written_.load(std::memory_order_relaxed);
    const size_t count = Decode(chunk.data(), kChunkFrames, static_cast<size_t>(writeAt_ - published));
    Write(chunk.data(), count);
    decoderEnded_ = count < kChunkFrames;
    if (decoderEnded_) {
        end_.store(writeAt_, std::memory_order_relaxed); // published with the frames
    }
    // The last frames stay unpublished while more may follow, so a break right after them can
    // still fade them out.
    const uint64_t held = decoderEnded_ ? 0 : std::min<uint64_t>(writeAt_ - published, RampFrames());
    written_.store(writeAt_ - held, std::memory_order_release);
    return !decoderEnded_;
}

// The reader reads the ring only once it holds this pass, so until then it is the decode thread's
// alone: it starts empty where the reader left it.
void StreamBuffer::StartPass(uint32_t pass, std::vector<float>& chunk) {
    decoder_->Rewind();
    decoder_->SetLooping(decoderLooping_);
    rampOut_ = rampIn_ = 0;
    size_t skipped = 0;
    decoderEnded_ = false;
    while (skipped < headFrames_ && !decoderEnded_) {
        const size_t wanted = std::min(kChunkFrames, headFrames_ - skipped);
        const size_t count = Decode(chunk.data(), wanted, 0);
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
    writeAt_ += count;
}

// Where the decoder broke off, the frames before fade out (or, with none decoded before in this
// call, the last value ramps down to silence); where it found good data again, that fades in.
size_t StreamBuffer::Decode(float* out, size_t frames, size_t ringTail) {
    const size_t rampFrames = RampFrames();
    size_t done = 0;
    while (done < frames) {
        float* to = out + done * channels_;
        if (rampOut_ > 0) {
            --rampOut_;
            for (int c = 0; c < channels_; ++c) {
                to[c] = last_[c] * rampOut_ / rampFrames;
            }
            if (rampOut_ == 0) {
                std::fill(last_, last_ + 2, 0.0f);
            }
            ++done;
            continue;
        }
        const size_t count = decoder_->Read(to, frames - done);
        for (size_t i = 0; i < count && rampIn_ > 0; ++i, --rampIn_) {
            const float level = static_cast<float>(rampFrames - rampIn_) / rampFrames;
            for (int c = 0; c < channels_; ++c) {
                to[i * channels_ + c] *= level;
            }
        }
        if (count > 0) {
            std::copy_n(to + (count - 1) * channels_, channels_, last_);
        }
        done += count;
        if (done == frames || !decoder_->BrokeOff()) {
            break; // full, or the end
        }
        FadeOut(out, done, ringTail);
        ringTail = 0;
        rampIn_ = rampFrames;
    }
    return done;
}

size_t StreamBuffer::RampFrames() const {
    return static_cast<size_t>(rate_ * kRampSeconds) + 1;
}

// The frames faded are the last of `count` in `frames`, and before them the ring's last `ringTail`.
void StreamBuffer::FadeOut(float* frames, size_t count, size_t ringTail) {
    const size_t fade = std::min(count + ringTail, RampFrames());
    if (fade == 0) {
        rampOut_ = RampFrames();
        return;
    }
    for (size_t back = 0; back < fade; ++back) { // `back` frames before the last
        float* frame = back < count
                           ? frames + (count - 1 - back) * channels_
                           : ring_.data() + ((writeAt_ - 1 - (back - count)) & ringMask_) * channels_;
        const float level = static_cast<float>(back) / fade;
        for (int c = 0; c < channels_; ++c) {
            frame[c] *= level;
        }
    }
    std::fill(last_, last_ + 2, 0.0f);
}

} // namespace tqaudio
