// Something that produces audio frames at its own rate: a sample in memory, a decoded file or
// tracker music. Read by one voice at a time: on the mixing thread while it plays, under the
// module's lock when a decoding stream is read. Its channel count and rate never change.
#pragma once

#include <cstddef>

namespace tqaudio {

class AudioSource {
public:
    virtual ~AudioSource() = default;
    // 1 or 2.
    virtual int Channels() const = 0;
    // Frames per second.
    virtual int Rate() const = 0;
    // Reads up to `frames` interleaved frames into `out`; fewer only at the end (0 = ended).
    virtual size_t Read(float* out, size_t frames) = 0;
    // Goes back to the first frame.
    virtual void Rewind() = 0;
    // On the game side, before a play from the start: readies the next Rewind to run without
    // allocating, for a source whose rewind would.
    virtual void PrepareRewind() {}
    // Whether the source plays on from its start by itself at its end (music that loops as its
    // author set); one that does not ends, and its reader rewinds it.
    virtual void SetLooping(bool) {}
};

} // namespace tqaudio
