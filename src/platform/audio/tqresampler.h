// Reads a source at any step (source frames per output frame), producing stereo; a mono source
// goes to both sides. A playback that starts at a step of exactly one passes its frames as they
// are. One that starts at another step goes through soxr's fixed-ratio converter, which is cheap
// and exact in time. When the step changes during a playback, libsamplerate's sinc converter takes
// over: it is primed with the frames before the position reached and lands exactly on it, so the
// sound runs on without a jump, and later changes glide to their new step over one call. Both
// converters keep aliases and images out. Steps are held within 1/256 to 256.
#pragma once

#include "platform/audio/tqsourcetape.h"

#include <samplerate.h>
#include <soxr.h>

namespace tqaudio {

class Resampler {
public:
    Resampler() = default;
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Starts again from the source's current position, with silence before it.
    void Reset() { started_ = false; }
    // Writes up to `frames` stereo frames to `out` (room for 2 × frames floats); fewer only when
    // the source has ended (and `loop` is false) or no converter can be made (logged).
    size_t Produce(AudioSource& source, float* out, size_t frames, double step, bool loop);

private:
    enum class Mode { Direct, Fixed, Varying };

    bool Start(AudioSource& source, double step);
    bool StartFixed(double step);
    bool StartVarying(double position, double step);
    // The source position of the next output frame.
    double Position() const;
    size_t Copy(float* out, size_t frames);
    size_t ConvertFixed(float* out, size_t frames);
    size_t ConvertVarying(float* out, size_t frames, double step);
    static size_t FeedFixed(void* user, soxr_in_t* data, size_t wanted);
    static long FeedVarying(void* user, float** data);
    void ExpandToStereo(float* out, size_t frames) const;

    SourceTape tape_;
    bool started_ = false;
    Mode mode_ = Mode::Direct;
    int64_t cursor_ = 0; // the tape position read next
    soxr_t fixed_ = nullptr;
    double fixedStep_ = 0.0;
    uint64_t fixedOutput_ = 0; // frames the fixed converter has produced since the start
    SRC_STATE* varying_ = nullptr;
};

} // namespace tqaudio
