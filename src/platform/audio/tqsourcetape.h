// The frames of a source as one endless sequence (a looping source starts again at its end),
// read at absolute frame positions from the last Reset. The latest Capacity() frames read from the
// source stay available, so a reader may go back over them; positions before the first frame read
// as silence.
#pragma once

#include "platform/audio/tqaudiosource.h"

#include <cstdint>
#include <vector>

namespace tqaudio {

class SourceTape {
public:
    // Starts again at position 0 with the source's current position, keeping at least `history`
    // frames behind the newest read (rounded up to a whole number of blocks).
    void Reset(AudioSource& source, size_t history);
    void SetLoop(bool loop) { loop_ = loop; }
    int Channels() const { return channels_; }

    // Frames at `position` (interleaved, Channels() per frame): *frames is how many follow in one
    // piece (at most `wanted`), 0 at the end of a source that does not loop. Reads the source as
    // needed. A position older than the kept history reads as the oldest frame kept.
    const float* Read(int64_t position, size_t wanted, size_t* frames);
    // The oldest position still kept.
    int64_t Oldest() const;

private:
    static constexpr size_t kBlockFrames = 1024;
    static const float kSilence[2 * kBlockFrames]; // one block of stereo frames

    bool Pull();

    AudioSource* source_ = nullptr;
    bool loop_ = false;
    int channels_ = 1;
    std::vector<float> ring_; // capacity frames, a multiple of kBlockFrames
    size_t capacity_ = 0;
    int64_t written_ = 0; // frames read from the source since Reset
};

} // namespace tqaudio
