#include "platform/audio/tqvoice.h"

#include <algorithm>

namespace tqaudio {

namespace {

constexpr double kFadeSeconds = 0.005;

// The gains of a stretch of frames: where they start and how much they move each frame.
struct Gains {
    float left;
    float right;
    float leftStep;
    float rightStep;
};

// Adds `count` stereo frames to `mix` at the side gains, times a level that starts at
// (level + rise) / length and moves by rise / length a frame, held within 0..1.
void MixFrames(float* __restrict mix, const float* __restrict frames, size_t count, Gains gains, int level,
               int rise, int length) {
    if (level == length && rise >= 0 && gains.leftStep == 0.0f && gains.rightStep == 0.0f) {
        for (size_t i = 0; i < count; ++i) {
            mix[2 * i] += frames[2 * i] * gains.left;
            mix[2 * i + 1] += frames[2 * i + 1] * gains.right;
        }
        return;
    }
    const float scale = 1.0f / length;
    for (size_t i = 0; i < count; ++i) {
        level = std::clamp(level + rise, 0, length);
        const float fade = level * scale;
        const float moved = static_cast<float>(i + 1);
        mix[2 * i] += frames[2 * i] * (gains.left + gains.leftStep * moved) * fade;
        mix[2 * i + 1] += frames[2 * i + 1] * (gains.right + gains.rightStep * moved) * fade;
    }
}

} // namespace

bool Voice::NeedsMix() const {
    return next_.commands != applied_.commands || playing_ || level_ > 0;
}

int Voice::FadeFrames(double outputRate) {
    return std::max(1, static_cast<int>(outputRate * kFadeSeconds));
}

void Voice::Apply(int fadeFrames) {
    AimGains(fadeFrames);
    const bool restarted = next_.restarts != applied_.restarts;
    if (restarted) {
        source_->Rewind();
        resampler_.Reset();
        held_.clear();
        heldRead_ = 0;
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

// A silent voice takes its new gains at once; one that is heard ramps to them from where it is.
void Voice::AimGains(int fadeFrames) {
    if (!playing_ && level_ == 0) {
        left_ = next_.left;
        right_ = next_.right;
        rampFrames_ = 0;
    } else if (next_.left != applied_.left || next_.right != applied_.right) {
        rampFrames_ = static_cast<size_t>(fadeFrames);
        leftStep_ = (next_.left - left_) / fadeFrames;
        rightStep_ = (next_.right - right_) / fadeFrames;
    }
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
    size_t produced = fromHeld;
    if (source_) {
        produced += resampler_.Produce(*source_, out + 2 * fromHeld, frames - fromHeld,
                                       applied_.rate / outputRate, applied_.loop, work);
    }
    if (hold) {
        held_.insert(held_.end(), out + 2 * fromHeld, out + 2 * produced);
        heldRead_ += produced - fromHeld;
    }
    return produced;
}

// The gains ramp in stretches: the rest of the ramp, then steady at the target.
void Voice::AddToMix(float* mix, const float* frames, size_t count, int rise, int fadeFrames) {
    for (size_t done = 0; done < count;) {
        const size_t n = rampFrames_ > 0 ? std::min(count - done, rampFrames_) : count - done;
        const bool ramping = rampFrames_ > 0;
        const Gains gains{left_, right_, ramping ? leftStep_ : 0.0f, ramping ? rightStep_ : 0.0f};
        MixFrames(mix + 2 * done, frames + 2 * done, n, gains, level_, rise, fadeFrames);
        level_ = std::clamp(level_ + rise * static_cast<int>(std::min<size_t>(n, fadeFrames)), 0, fadeFrames);
        if (ramping) {
            rampFrames_ -= n;
            left_ = rampFrames_ > 0 ? left_ + leftStep_ * n : applied_.left;
            right_ = rampFrames_ > 0 ? right_ + rightStep_ * n : applied_.right;
        }
        done += n;
    }
}

// A playing voice fades in to full level and stays there; a stopped or paused one fades out and
// mixes only while its fade lasts.
void Voice::MixInto(float* mix, float* scratch, size_t frames, double outputRate, ResampleWorkspace& work) {
    const int fadeFrames = FadeFrames(outputRate);
    Apply(fadeFrames);
    if (!playing_ && level_ == 0) {
        return;
    }
    const size_t wanted = playing_ ? frames : std::min(frames, static_cast<size_t>(level_));
    const size_t produced = Read(scratch, wanted, outputRate, !playing_, work);
    AddToMix(mix, scratch, produced, playing_ ? 1 : -1, fadeFrames);
    if (produced < wanted) {
        if (playing_) {
            endedAt_.store(applied_.commands, std::memory_order_release);
        }
        playing_ = false;
        level_ = 0;
    }
}

// The frames the fade will read are read now and held; the fade then plays them back.
void Voice::DetachSource(double outputRate, ResampleWorkspace& work) {
    Apply(FadeFrames(outputRate));
    if (level_ > 0) {
        const size_t heldRead = heldRead_;
        std::vector<float> tail(2 * static_cast<size_t>(level_));
        Read(tail.data(), tail.size() / 2, outputRate, true, work);
        heldRead_ = heldRead;
    }
    source_.reset();
}

} // namespace tqaudio
