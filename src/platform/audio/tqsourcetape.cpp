#include "platform/audio/tqsourcetape.h"

#include <algorithm>

namespace tqaudio {

const float SourceTape::kSilence[2 * SourceTape::kBlockFrames] = {};

void SourceTape::Reset(AudioSource& source, size_t history) {
    source_ = &source;
    channels_ = source.Channels();
    const size_t capacity = (history / kBlockFrames + 2) * kBlockFrames;
    if (capacity != capacity_) {
        capacity_ = capacity;
        ring_.assign(capacity_ * channels_, 0.0f);
    }
    written_ = 0;
}

int64_t SourceTape::Oldest() const {
    return std::max<int64_t>(0, written_ - static_cast<int64_t>(capacity_));
}

// Reads up to the end of the ring's current block, so what is read never wraps; a looping
// source starts again at its end.
bool SourceTape::Pull() {
    const size_t room = kBlockFrames - static_cast<size_t>(written_ % kBlockFrames);
    float* to = ring_.data() + static_cast<size_t>(written_ % static_cast<int64_t>(capacity_)) * channels_;
    size_t n = 0;
    bool rewound = false;
    while (n < room) {
        const size_t got = source_->Read(to + n * channels_, room - n);
        if (got > 0) {
            n += got;
            rewound = false;
        } else if (loop_ && !rewound) {
            source_->Rewind();
            rewound = true;
        } else {
            break;
        }
    }
    written_ += static_cast<int64_t>(n);
    return n > 0;
}

const float* SourceTape::Read(int64_t position, size_t wanted, size_t* frames) {
    if (position < 0) {
        *frames = std::min<size_t>({wanted, kBlockFrames, static_cast<size_t>(-position)});
        return kSilence;
    }
    position = std::max(position, Oldest());
    if (position == written_ && !Pull()) {
        *frames = 0;
        return nullptr;
    }
    const size_t at = static_cast<size_t>(position % static_cast<int64_t>(capacity_));
    const size_t blockEnd = (at / kBlockFrames + 1) * kBlockFrames;
    *frames = std::min({wanted, static_cast<size_t>(written_ - position), blockEnd - at});
    return ring_.data() + at * channels_;
}

} // namespace tqaudio
