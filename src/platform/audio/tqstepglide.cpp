#include "platform/audio/tqstepglide.h"

#include <algorithm>

namespace tqaudio {

void StepGlide::Ramp::Start(int64_t total, int64_t frames) {
    quotient = total / frames;
    remainder = total % frames;
    if (remainder < 0) {
        quotient -= 1;
        remainder += frames;
    }
    carried = value = 0;
}

void StepGlide::Set(int64_t step) {
    from_ = to_ = last_ = step;
    frames_ = done_ = 0;
}

void StepGlide::Start(int64_t to, uint32_t fraction, size_t frames, bool land) {
    from_ = last_;
    to_ = to;
    frames_ = static_cast<int64_t>(frames);
    done_ = 0;
    ramp_.Start(to_ - from_, frames_);
    extra_.Start(0, frames_);
    if (land) {
        Ramp trial = ramp_;
        uint32_t past = fraction;
        for (int64_t m = 0; m < frames_; ++m) {
            past += static_cast<uint32_t>(from_ + trial.Next(frames_));
        }
        extra_.Start(past ? kOne - past : 0, frames_);
    }
}

int64_t StepGlide::Largest() const {
    return Active() ? std::max(last_, to_) + kOne / frames_ + 1 : to_;
}

} // namespace tqaudio
