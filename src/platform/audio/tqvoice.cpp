#include "platform/audio/tqvoice.h"

#include <algorithm>

namespace tqaudio {

namespace {

constexpr double kFadeSeconds = 0.005;

// Adds `count` stereo frames to `mix` at the side gains, times a level that starts at
// (level + rise) / length and moves by rise / length a frame, held within 0..1.
void AddToMix(float* __restrict mix, const float* __restrict frames, size_t count, float left, float right,
              int level, int rise, int length) {
    if (level == length && rise >= 0) {
        for (size_t i = 0; i < count; ++i) {
            mix[2 * i] += frames[2 * i] * left;
            mix[2 * i + 1] += frames[2 * i + 1] * right;
        }
        return;
    }
    const float scale = 1.0f / length;
    for (size_t i = 0; i < count; ++i) {
        level = std::clamp(level + rise, 0, length);
        mix[2 * i] += frames[2 * i] * left * (level * scale);
        mix[2 * i + 1] += frames[2 * i + 1] * right * (level * scale);
    }
}

} // namespace

bool Voice::NeedsMix() const {
    return next_.commands != applied_.commands || playing_ || level_ > 0;
}

void Voice::Apply(int fadeFrames) {
    const bool restarted = next_.restarts != applied_.restarts;
    if (restarted) {
        source_->Rewind();
        resampler_.Reset();
        held_.clear();
        heldRead_ = 0;
    }
    if (next_.cuts != applied_.cuts) {
        if (playing_) {
            DropPlayedHeldFrames();
        }
        heldRead_ = 0;
        playing_ = false;
        level_ = 0;
    }
    if (next_.playing && !playing_) {
        heldRead_ = 0; // the frames held by a fade play again
        playing_ = true;
        if (restarted) {
            level_ = fadeFrames;
        }
    } else if (!next_.playing && playing_) {
        DropPlayedHeldFrames();
        playing_ = false;
    }
    level_ = std::min(level_, fadeFrames);
    applied_ = next_;
}

void Voice::DropPlayedHeldFrames() {
    held_.erase(held_.begin(), held_.begin() + 2 * heldRead_);
    heldRead_ = 0;
}

size_t Voice::Read(float* out, size_t frames, double outputRate, bool hold, ResampleWorkspace& work) {
    const size_t fromHeld = std::min(frames, held_.size() / 2 - heldRead_);
    std::copy_n(held_.data() + 2 * heldRead_, 2 * fromHeld, out);
    heldRead_ += fromHeld;
    if (!hold && heldRead_ == held_.size() / 2) {
        held_.clear();
        heldRead_ = 0;
    }
    const size_t produced = fromHeld + resampler_.Produce(*source_, out + 2 * fromHeld, frames - fromHeld,
                                                          applied_.rate / outputRate, applied_.loop, work);
    if (hold) {
        held_.insert(held_.end(), out + 2 * fromHeld, out + 2 * produced);
        heldRead_ += produced - fromHeld;
    }
    return produced;
}

// A playing voice fades in to full level and stays there; a stopped or paused one fades out and
// mixes only while its fade lasts.
void Voice::MixInto(float* mix, float* scratch, size_t frames, double outputRate, ResampleWorkspace& work) {
    const int fadeFrames = std::max(1, static_cast<int>(outputRate * kFadeSeconds));
    Apply(fadeFrames);
    if (!playing_ && level_ == 0) {
        return;
    }
    const size_t wanted = playing_ ? frames : std::min(frames, static_cast<size_t>(level_));
    const size_t produced = Read(scratch, wanted, outputRate, !playing_, work);
    const int rise = playing_ ? 1 : -1;
    AddToMix(mix, scratch, produced, applied_.left, applied_.right, level_, rise, fadeFrames);
    level_ =
        std::clamp(level_ + rise * static_cast<int>(std::min<size_t>(produced, fadeFrames)), 0, fadeFrames);
    if (produced < wanted) {
        if (playing_) {
            endedAt_.store(applied_.commands, std::memory_order_release);
        }
        playing_ = false;
        level_ = 0;
    }
}

} // namespace tqaudio
