#include "platform/audio/tqresampler.h"

#include "platform/audio/tqaudiolog.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tqaudio {

namespace {

// libsamplerate converts between 1/256 and 256 output frames per input frame.
constexpr double kMinStep = 1.0 / 256.0;
constexpr double kMaxStep = 256.0;
// Frames the sinc converter is primed with before the position it takes over at.
constexpr size_t kPrimeFrames = 128;
// Frames handed to a converter at a time.
constexpr size_t kFeedFrames = 1024;
// The fixed-ratio converter reads at most about this many frames per unit of step ahead of what
// it has produced; the tape keeps that much, so the sinc converter can take over from it.
constexpr size_t kFixedLookAheadPerStep = 2048;
constexpr size_t kMaxHistory = 65536;

// libsoxr brings in the OpenMP runtime, which allocates when it loads and cannot give that back
// when this module is unloaded; kept loaded for the life of the process (RTLD_NODELETE on the
// copy already mapped), it stays reachable and loads only once.
[[maybe_unused]] const bool kOpenMpKept =
    dlopen("libgomp.so.1", RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;

} // namespace

Resampler::~Resampler() {
    if (fixed_) {
        soxr_delete(fixed_);
    }
    if (varying_) {
        src_delete(varying_);
    }
}

size_t Resampler::Produce(AudioSource& source, float* out, size_t frames, double step, bool loop) {
    step = std::clamp(step, kMinStep, kMaxStep);
    tape_.SetLoop(loop);
    if (!started_ && !Start(source, step)) {
        return 0;
    }
    const bool stepChanged =
        (mode_ == Mode::Direct && step != 1.0) || (mode_ == Mode::Fixed && step != fixedStep_);
    if (stepChanged && !StartVarying(Position(), step)) {
        return 0;
    }
    size_t produced = 0;
    switch (mode_) {
    case Mode::Direct:
        produced = Copy(out, frames);
        break;
    case Mode::Fixed:
        produced = ConvertFixed(out, frames);
        break;
    case Mode::Varying:
        produced = ConvertVarying(out, frames, step);
        break;
    }
    ExpandToStereo(out, produced);
    return produced;
}

bool Resampler::Start(AudioSource& source, double step) {
    started_ = true;
    cursor_ = 0;
    if (step == 1.0) {
        tape_.Reset(source, kPrimeFrames);
        mode_ = Mode::Direct;
        return true;
    }
    const double lookAhead = kFixedLookAheadPerStep * std::max(step, 1.0);
    tape_.Reset(source, kPrimeFrames + static_cast<size_t>(std::min<double>(lookAhead, kMaxHistory)));
    return StartFixed(step);
}

bool Resampler::StartFixed(double step) {
    if (fixed_ && fixedStep_ == step) {
        soxr_clear(fixed_);
    } else {
        if (fixed_) {
            soxr_delete(fixed_);
        }
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_MQ, 0);
        const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
        soxr_error_t error = nullptr;
        fixed_ = soxr_create(step, 1.0, static_cast<unsigned>(tape_.Channels()), &error, nullptr, &quality,
                             &runtime);
        if (!fixed_) {
            LogMessage("no resampler (%s)", error);
            return false;
        }
        fixedStep_ = step;
    }
    soxr_set_input_fn(fixed_, FeedFixed, this, kFeedFrames);
    fixedOutput_ = 0;
    mode_ = Mode::Fixed;
    return true;
}

// The sinc converter reads kPrimeFrames outputs at a step that lands it exactly on `position`, and
// those outputs are dropped, so its filter is full when the new step begins.
bool Resampler::StartVarying(double position, double step) {
    if (!varying_) {
        int error = 0;
        varying_ = src_callback_new(FeedVarying, SRC_SINC_FASTEST, tape_.Channels(), &error, this);
        if (!varying_) {
            LogMessage("no resampler (%s)", src_strerror(error));
            return false;
        }
    } else {
        src_reset(varying_);
    }
    int64_t from = static_cast<int64_t>(std::floor(position)) - static_cast<int64_t>(kPrimeFrames);
    if (from >= 0) {
        from = std::max(from, tape_.Oldest());
    }
    const double primeRatio = kPrimeFrames / (position - from);
    float primed[2 * kPrimeFrames];
    cursor_ = from;
    mode_ = Mode::Varying;
    src_set_ratio(varying_, primeRatio);
    src_callback_read(varying_, primeRatio, kPrimeFrames, primed);
    src_set_ratio(varying_, 1.0 / step);
    return true;
}

double Resampler::Position() const {
    return mode_ == Mode::Fixed ? fixedOutput_ * fixedStep_ : static_cast<double>(cursor_);
}

size_t Resampler::Copy(float* out, size_t frames) {
    const size_t channels = static_cast<size_t>(tape_.Channels());
    size_t done = 0;
    while (done < frames) {
        size_t n = 0;
        const float* data = tape_.Read(cursor_, frames - done, &n);
        if (n == 0) {
            break;
        }
        memcpy(out + done * channels, data, n * channels * sizeof(float));
        cursor_ += static_cast<int64_t>(n);
        done += n;
    }
    return done;
}

size_t Resampler::ConvertFixed(float* out, size_t frames) {
    const size_t n = soxr_output(fixed_, out, frames);
    if (soxr_error(fixed_)) {
        LogMessage("resampling failed (%s)", soxr_error(fixed_));
    }
    fixedOutput_ += n;
    return n;
}

size_t Resampler::ConvertVarying(float* out, size_t frames, double step) {
    const long n = src_callback_read(varying_, 1.0 / step, static_cast<long>(frames), out);
    if (n < 0) {
        LogMessage("resampling failed (%s)", src_strerror(src_error(varying_)));
        return 0;
    }
    return static_cast<size_t>(n);
}

// Hands the fixed converter the frames at the cursor; none (with data set) at the end.
size_t Resampler::FeedFixed(void* user, soxr_in_t* data, size_t wanted) {
    static const float kNone = 0.0f;
    Resampler& self = *static_cast<Resampler*>(user);
    size_t n = 0;
    const float* frames = self.tape_.Read(self.cursor_, wanted, &n);
    self.cursor_ += static_cast<int64_t>(n);
    *data = n > 0 ? frames : &kNone;
    return n;
}

long Resampler::FeedVarying(void* user, float** data) {
    Resampler& self = *static_cast<Resampler*>(user);
    size_t n = 0;
    const float* frames = self.tape_.Read(self.cursor_, kFeedFrames, &n);
    self.cursor_ += static_cast<int64_t>(n);
    *data = const_cast<float*>(frames);
    return static_cast<long>(n);
}

void Resampler::ExpandToStereo(float* out, size_t frames) const {
    if (tape_.Channels() == 1) {
        for (size_t i = frames; i-- > 0;) {
            out[2 * i] = out[2 * i + 1] = out[i];
        }
    }
}

} // namespace tqaudio
