// What the mix plays of a decoded file or tracker music: its first frames (the head), decoded when
// it is made, and a ring the decode thread keeps filled ahead of the mix from there on. The mixing
// thread only reads them: a rewind (a restart or a loop) plays the head at once and asks the decode
// thread to take the decoder back and fill the ring from the head's end, which it does long before
// the head has played. Nothing here waits, locks or allocates on the mixing thread; the decoder runs
// only on the thread that makes the buffer and then on the decode thread.
//
// The ring is single-producer (decode thread), single-consumer (mixing thread): frames are written,
// then the write count published; the reader publishes its read count. Each rewind starts a new
// pass; the ring serves the reader only once the decode thread has refilled it for that pass.
#pragma once

#include "platform/audio/tqaudiosource.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace tqaudio {

class StreamBuffer {
public:
    // Frames the decode thread decodes at a time.
    static constexpr size_t kChunkFrames = 4096;

    // Decodes the head of `decoder` now.
    explicit StreamBuffer(std::unique_ptr<AudioSource> decoder);
    StreamBuffer(const StreamBuffer&) = delete;
    StreamBuffer& operator=(const StreamBuffer&) = delete;

    int Channels() const { return channels_; }
    int Rate() const { return rate_; }
    // As the decoder declares; fixed.
    int64_t Frames() const { return frames_; }

    // Mixing thread.
    // Up to `frames` frames; fewer only at the end. Frames the decode thread has not yet made
    // (it fell behind) are silence.
    size_t Read(float* out, size_t frames);
    void Rewind();
    void SetLooping(bool loop) { looping_.store(loop, std::memory_order_relaxed); }

    // Game side: the decoder stops reading the file's memory (it ends there); `abandoned` also
    // lets the decode thread drop the buffer.
    void Detach(bool abandoned);

    // Decode thread. Serves a rewind or decodes one chunk ahead into `chunk` (room for
    // kChunkFrames frames); whether there is more to do now.
    bool Fill(std::vector<float>& chunk);
    bool Abandoned() const { return abandoned_.load(std::memory_order_acquire); }

private:
    static constexpr uint64_t kNoEnd = ~uint64_t(0);

    size_t ReadRing(float* out, size_t frames);
    void StartPass(uint32_t pass, std::vector<float>& chunk);
    // Copies frames to the ring after those written; the reader sees them once written_ says so.
    void Write(const float* frames, size_t count);
    // Up to `frames` frames from the decoder, fewer only at its end; damaged data is bridged by
    // fades, never a step. `ringTail`: frames written to the ring and not yet published, which a
    // fade may reach back into.
    size_t Decode(float* out, size_t frames, size_t ringTail);
    // Fades out the frames before a break, or starts a ramp down from the last value when there
    // are none.
    void FadeOut(float* frames, size_t count, size_t ringTail);
    // Frames a fade at a break takes.
    size_t RampFrames() const;

    const int channels_;
    const int rate_;
    const int64_t frames_;
    std::vector<float> head_;
    size_t headFrames_ = 0;
    bool headIsAll_ = false; // the file ends within the head

    // Decode thread (and the maker, before the buffer is shared).
    std::unique_ptr<AudioSource> decoder_;
    std::vector<float> ring_; // made on the decode thread at the first pass that needs it
    size_t ringMask_ = 0;
    uint64_t writeAt_ = 0; // frames written, published or not
    bool decoderLooping_ = false;
    bool decoderEnded_ = false;
    float last_[2] = {0.0f, 0.0f}; // the last frame decoded
    size_t rampOut_ = 0;           // frames left of a ramp down from last_ where data broke off
    size_t rampIn_ = 0;            // frames left of a fade in after it

    // Shared.
    std::atomic<uint32_t> asked_{0};    // the reader's pass
    std::atomic<uint32_t> ringPass_{0}; // the pass the ring holds
    std::atomic<uint64_t> written_{0};
    std::atomic<uint64_t> read_{0};
    std::atomic<uint64_t> end_{kNoEnd}; // write count at which the file ended
    std::atomic<bool> started_{false};  // read once: worth decoding ahead
    std::atomic<bool> looping_{false};
    std::atomic<bool> abandoned_{false};

    // Mixing thread.
    uint32_t pass_ = 0;
    size_t position_ = 0; // frames of the head played in this pass
    bool toldBehind_ = false;
};

} // namespace tqaudio
