#include "platform/audio/tqresampler.h"

#include "platform/audio/tqaudiolog.h"

#include <algorithm>
#include <cstring>

namespace tqaudio {

namespace {

// libsamplerate converts between 1/256 and 256 output frames per input frame.
constexpr double kMinStep = 1.0 / 256.0;
constexpr double kMaxStep = 256.0;

} // namespace

Resampler::~Resampler() {
    if (converter_) {
        src_delete(converter_);
    }
}

void Resampler::Reset() {
    converting_ = false;
    std::fill(block_.begin(), block_.end(), 0.0f);
    blockFrames_ = 0;
    position_ = 0;
    primeFrames_ = 0;
}

size_t Resampler::Produce(AudioSource& source, float* out, size_t frames, double step, bool loop) {
    source_ = &source;
    loop_ = loop;
    if (block_.empty()) {
        channels_ = static_cast<size_t>(source.Channels());
        block_.assign((kHistoryFrames + kBlockFrames) * channels_, 0.0f);
    }
    if (!converting_ && step != 1.0 && !StartConverting(step)) {
        return 0;
    }
    const size_t produced = converting_ ? Convert(out, frames, step) : Copy(out, frames);
    ExpandToStereo(out, produced);
    return produced;
}

size_t Resampler::Copy(float* out, size_t frames) {
    size_t done = 0;
    while (done < frames && (position_ < blockFrames_ || Refill())) {
        const size_t n = std::min(frames - done, blockFrames_ - position_);
        memcpy(out + done * channels_, block_.data() + (kHistoryFrames + position_) * channels_,
               n * channels_ * sizeof(float));
        position_ += n;
        done += n;
    }
    return done;
}

size_t Resampler::Convert(float* out, size_t frames, double step) {
    const double ratio = 1.0 / std::clamp(step, kMinStep, kMaxStep);
    const long n = src_callback_read(converter_, ratio, static_cast<long>(frames), out);
    if (n < 0) {
        LogMessage("resampling failed (%s)", src_strerror(src_error(converter_)));
        return 0;
    }
    return static_cast<size_t>(n);
}

// After frames were played unconverted, the converter first reads the history before the position
// at one to one and those frames are dropped, so its filter is full when the new step begins.
bool Resampler::StartConverting(double step) {
    if (!converter_) {
        int error = 0;
        converter_ = src_callback_new(Feed, SRC_SINC_FASTEST, static_cast<int>(channels_), &error, this);
        if (!converter_) {
            LogMessage("no resampler (%s)", src_strerror(error));
            return false;
        }
    } else {
        src_reset(converter_);
    }
    converting_ = true;
    if (blockFrames_ > 0) {
        float primed[2 * kHistoryFrames];
        primeFrames_ = kHistoryFrames;
        src_set_ratio(converter_, 1.0);
        src_callback_read(converter_, 1.0, kHistoryFrames, primed);
    }
    src_set_ratio(converter_, 1.0 / std::clamp(step, kMinStep, kMaxStep));
    return true;
}

// Keeps the last kHistoryFrames frames before the new block; a looping source starts again at
// its end.
bool Resampler::Refill() {
    memmove(block_.data(), block_.data() + blockFrames_ * channels_,
            kHistoryFrames * channels_ * sizeof(float));
    float* block = block_.data() + kHistoryFrames * channels_;
    size_t n = source_->Read(block, kBlockFrames);
    if (n == 0 && loop_) {
        source_->Rewind();
        n = source_->Read(block, kBlockFrames);
    }
    blockFrames_ = n;
    position_ = 0;
    return n > 0;
}

// Hands the converter the rest of the block (after the primed history, when it is due); 0 at the
// end of the source.
long Resampler::Feed(void* user, float** data) {
    Resampler& self = *static_cast<Resampler*>(user);
    if (self.position_ == self.blockFrames_ && self.primeFrames_ == 0 && !self.Refill()) {
        return 0;
    }
    const size_t first = kHistoryFrames + self.position_ - self.primeFrames_;
    *data = self.block_.data() + first * self.channels_;
    const long count = static_cast<long>(self.blockFrames_ - self.position_ + self.primeFrames_);
    self.position_ = self.blockFrames_;
    self.primeFrames_ = 0;
    return count;
}

void Resampler::ExpandToStereo(float* out, size_t frames) const {
    if (channels_ == 1) {
        for (size_t i = frames; i-- > 0;) {
            out[2 * i] = out[2 * i + 1] = out[i];
        }
    }
}

} // namespace tqaudio
