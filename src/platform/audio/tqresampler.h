// Reads a source at any step (source frames per output frame), producing stereo; a mono source
// goes to both sides. At a step of exactly one the frames pass as they are. At any other step a
// band-limited converter (libsamplerate's fastest sinc filter) keeps aliases and images out; a
// step that changes between calls glides to its new value over the next call. When the step
// first leaves one during a playback, the converter is primed with the frames just played, so
// the sound runs on without a jump. Steps beyond the converter's range (1/256 to 256) are held at
// its ends.
#pragma once

#include "platform/audio/tqaudiosource.h"

#include <samplerate.h>

#include <vector>

namespace tqaudio {

class Resampler {
public:
    Resampler() = default;
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Starts again from the source's current position, with silence before it.
    void Reset();
    // Writes up to `frames` stereo frames to `out` (room for 2 × frames floats); fewer only when
    // the source has ended (and `loop` is false) or no converter can be made (logged).
    size_t Produce(AudioSource& source, float* out, size_t frames, double step, bool loop);

private:
    static constexpr size_t kBlockFrames = 1024;
    // Frames kept before the read position: what a converter started mid-playback is primed with.
    static constexpr size_t kHistoryFrames = 128;

    size_t Copy(float* out, size_t frames);
    size_t Convert(float* out, size_t frames, double step);
    bool StartConverting(double step);
    bool Refill();
    static long Feed(void* user, float** data);
    void ExpandToStereo(float* out, size_t frames) const;

    AudioSource* source_ = nullptr; // the source of the current Produce, read by Feed
    bool loop_ = false;
    size_t channels_ = 0;
    SRC_STATE* converter_ = nullptr;
    bool converting_ = false;
    // kHistoryFrames frames before the block, then the block, in the source's channels.
    std::vector<float> block_;
    size_t blockFrames_ = 0;
    size_t position_ = 0;    // next frame of the block
    size_t primeFrames_ = 0; // history frames the converter reads before the position
};

} // namespace tqaudio
