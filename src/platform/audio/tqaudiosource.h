// Something that produces audio frames at its own rate: a sample in memory, a decoded file or
// tracker music. Read by one thread at a time: a decoder by the thread that opened it, then by the
// decode thread (a stream or music that plays) or under the module's lock (a decoding stream); what
// a voice plays, by the mixing thread. Its channel count and rate never change.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tqaudio {

class AudioSource {
public:
    virtual ~AudioSource() = default;
    // 1 or 2.
    virtual int Channels() const = 0;
    // Frames per second.
    virtual int Rate() const = 0;
    // Frames the file declares; 0 when it does not say. Fixed, so any thread may ask.
    virtual int64_t Frames() const { return 0; }
    // Reads up to `frames` interleaved frames into `out`; fewer only at the end (0 = ended).
    virtual size_t Read(float* out, size_t frames) = 0;
    // Goes back to the first frame.
    virtual void Rewind() = 0;
    // Whether the source plays on from its start by itself at its end (music that loops as its
    // author set); one that does not ends, and its reader rewinds it.
    virtual void SetLooping(bool) {}
    // From any thread: stops reading memory the caller owns; reads end there. Returns once no read
    // touches that memory any more (a read of it is a copy, never a decode).
    virtual void Detach() {}
    // Whether the last read ended because the data broke off, not at the file's end.
    virtual bool BrokeOff() const { return false; }
};

} // namespace tqaudio
