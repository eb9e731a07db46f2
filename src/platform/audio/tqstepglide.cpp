#include "platform/audio/tqstepglide.h"

namespace tqaudio {

void StepGlide::Set(int64_t step) {
    from_ = to_ = last_ = step;
    extra_ = frames_ = done_ = 0;
}

void StepGlide::Start(int64_t to, uint32_t fraction, size_t frames, bool land) {
    from_ = last_;
    to_ = to;
    frames_ = static_cast<int64_t>(frames);
    done_ = 0;
    extra_ = 0;
    if (land) {
        const uint32_t past = static_cast<uint32_t>(fraction + Advance(frames_));
        extra_ = past ? kOne - past : 0;
    }
}

int64_t StepGlide::Advance(int64_t frames) const {
    return frames * from_ + (to_ - from_) * frames * (frames + 1) / (2 * frames_) + extra_ * frames / frames_;
}

int64_t StepGlide::Next() {
    if (!Active()) {
        return last_ = to_;
    }
    last_ = Advance(done_ + 1) - Advance(done_);
    ++done_;
    return last_;
}

} // namespace tqaudio
