// Reads a source at any step per output frame with linear interpolation, producing stereo.
// A mono source goes to both sides. At the end of the source the last frame fades to silence
// over one step, or, when looping, runs on into the first frame.
#pragma once

#include "platform/audio/tqaudiosource.h"

#include <vector>

namespace tqaudio {

class Resampler {
public:
    // Starts again from the source's current position.
    void Reset();
    // Writes up to `frames` stereo frames to `out`, advancing `step` source frames per frame;
    // fewer only when the source has ended (and `loop` is false).
    size_t Produce(AudioSource& source, float* out, size_t frames, double step, bool loop);

private:
    static constexpr size_t kBlockFrames = 256;

    bool NextFrame(AudioSource& source, bool loop, float* frame);
    bool Refill(AudioSource& source, bool loop);
    bool Advance(AudioSource& source, bool loop);

    float previous_[2] = {0.0f, 0.0f};
    float current_[2] = {0.0f, 0.0f};
    double fraction_ = 0.0;
    bool primed_ = false;
    bool pastEnd_ = false;     // current_ is the silence after the last frame
    bool finished_ = false;    // previous_ is past the last frame too
    std::vector<float> block_; // stereo frames read ahead
    size_t blockFrames_ = 0;
    size_t blockPosition_ = 0;
};

} // namespace tqaudio
