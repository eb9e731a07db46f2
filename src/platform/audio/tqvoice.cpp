#include "platform/audio/tqvoice.h"

#include <algorithm>
#include <cstring>

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

// Moves the unread frames [read, count) of a stereo buffer to its front.
void DropRead(std::vector<float>& buffer, size_t* count, size_t* read) {
    std::memmove(buffer.data(), buffer.data() + 2 * *read, 2 * (*count - *read) * sizeof(float));
    *count -= *read;
    *read = 0;
}

} // namespace

Voice::Voice(std::unique_ptr<AudioSource> source) : source_(std::move(source)) {}

int Voice::FadeFrames(double outputRate) {
    return std::max(1, static_cast<int>(outputRate * kFadeSeconds));
}

void Voice::Prepare(int fadeFrames) {
    if (fadeFrames_ >= fadeFrames) {
        return;
    }
    fadeFrames_ = fadeFrames;
    held_.assign(4 * static_cast<size_t>(fadeFrames), 0.0f);
    tail_.assign(4 * static_cast<size_t>(fadeFrames), 0.0f);
}

bool Voice::NeedsMix() const {
    const bool playAsked = incoming_.playing && incoming_.commands != applied_.commands;
    return playAsked || playing_ || level_ > 0 || tailRead_ < tailCount_;
}

void Voice::Apply(int fadeFrames, ResampleWorkspace& work) {
    AimGains(fadeFrames);
    if (incoming_.restarts != applied_.restarts) {
        Restart(fadeFrames, work);
    } else if (incoming_.playing && !playing_) {
        Resume();
    } else if (!incoming_.playing && playing_) {
        StartFadeOut();
    }
    applied_ = incoming_;
}

// A silent voice takes its new gains at once; one that is heard ramps to them from where it is.
void Voice::AimGains(int fadeFrames) {
    if (!playing_ && level_ == 0) {
        left_ = incoming_.left;
        right_ = incoming_.right;
        rampFrames_ = 0;
    } else if (incoming_.left != applied_.left || incoming_.right != applied_.right) {
        rampFrames_ = static_cast<size_t>(fadeFrames);
        leftStep_ = (incoming_.left - left_) / fadeFrames;
        rightStep_ = (incoming_.right - right_) / fadeFrames;
    }
}

// What was heard goes on fading out as the tail while the sound fades in from its start; from
// silence it starts at full level, as a new play does.
void Voice::Restart(int fadeFrames, ResampleWorkspace& work) {
    if (level_ > 0) {
        CaptureTail(work);
    }
    source_->Rewind();
    resampler_.Reset();
    heldCount_ = heldRead_ = 0;
    playing_ = incoming_.playing;
    level_ = playing_ && tailCount_ == 0 ? fadeFrames : 0;
}

// After a whole fade out, the held frames play again from where the voice stopped; within the
// fade, the sound goes on from where it is.
void Voice::Resume() {
    if (level_ == 0) {
        heldRead_ = 0;
    } else {
        DropPlayedHeldFrames();
    }
    playing_ = true;
}

void Voice::StartFadeOut() {
    DropPlayedHeldFrames();
    playing_ = false;
}

// The tail holds frames as heard: the fade's level and the gains of now are applied here.
void Voice::CaptureTail(ResampleWorkspace& work) {
    DropRead(tail_, &tailCount_, &tailRead_);
    const size_t count = static_cast<size_t>(level_);
    float* frames = tail_.data() + 2 * static_cast<size_t>(fadeFrames_);
    const size_t got = Read(frames, count, false, work);
    std::fill(tail_.data() + 2 * tailCount_, tail_.data() + 2 * std::max(tailCount_, got), 0.0f);
    const float scale = 1.0f / fadeFrames_;
    for (size_t i = 0; i < got; ++i) {
        const float fade = (level_ - 1 - static_cast<int>(i)) * scale;
        tail_[2 * i] += frames[2 * i] * left_ * fade;
        tail_[2 * i + 1] += frames[2 * i + 1] * right_ * fade;
    }
    tailCount_ = std::max(tailCount_, got);
    level_ = 0;
}

void Voice::MixTail(float* mix, size_t frames) {
    const size_t n = std::min(frames, tailCount_ - tailRead_);
    const float* from = tail_.data() + 2 * tailRead_;
    for (size_t i = 0; i < 2 * n; ++i) {
        mix[i] += from[i];
    }
    tailRead_ += n;
    if (tailRead_ == tailCount_) {
        tailCount_ = tailRead_ = 0;
    }
}

void Voice::DropPlayedHeldFrames() {
    DropRead(held_, &heldCount_, &heldRead_);
}

size_t Voice::Hold(const float* frames, size_t count) {
    const size_t n = std::min(count, held_.size() / 2 - heldCount_);
    std::copy_n(frames, 2 * n, held_.data() + 2 * heldCount_);
    heldCount_ += n;
    return n;
}

size_t Voice::Produce(float* out, size_t frames, ResampleWorkspace& work) {
    if (frames == 0) {
        return 0;
    }
    return resampler_.Produce(*source_, out, frames, applied_.rate / outputRate_, applied_.loop, work);
}

size_t Voice::Read(float* out, size_t frames, bool hold, ResampleWorkspace& work) {
    const size_t fromHeld = std::min(frames, heldCount_ - heldRead_);
    std::copy_n(held_.data() + 2 * heldRead_, 2 * fromHeld, out);
    heldRead_ += fromHeld;
    const size_t produced = Produce(out + 2 * fromHeld, frames - fromHeld, work);
    if (hold) {
        heldRead_ += Hold(out + 2 * fromHeld, produced);
    } else {
        DropPlayedHeldFrames();
    }
    return fromHeld + produced;
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
// mixes only while its fade lasts. Only prepared voices are mixed.
void Voice::MixInto(float* mix, float* scratch, size_t frames, double outputRate, ResampleWorkspace& work) {
    outputRate_ = outputRate;
    const int fadeFrames = std::min(FadeFrames(outputRate), fadeFrames_);
    Apply(fadeFrames, work);
    if (applied_.loop != sourceLooping_) {
        source_->SetLooping(applied_.loop);
        sourceLooping_ = applied_.loop;
    }
    MixTail(mix, frames);
    if (playing_ || level_ > 0) {
        const size_t wanted = playing_ ? frames : std::min(frames, static_cast<size_t>(level_));
        const size_t produced = Read(scratch, wanted, !playing_, work);
        AddToMix(mix, scratch, produced, playing_ ? 1 : -1, fadeFrames);
        if (produced < wanted) {
            if (playing_) {
                endedAt_.store(applied_.commands, std::memory_order_release);
            }
            playing_ = false;
            level_ = 0;
        }
    }
}

} // namespace tqaudio
