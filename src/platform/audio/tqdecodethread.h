// The module's decode thread: runs every playing stream's and music's decoder into its stream
// buffer, a chunk at a time each in turn, ahead of the mix, and serves their rewinds. It looks at
// them every few milliseconds, as the mixing thread never wakes it (that would be a system call);
// a buffer holds far more than that. With no buffer it sleeps until one comes. Game-side calls
// only hand buffers over.
#pragma once

#include "platform/audio/tqstreambuffer.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tqaudio {

class DecodeThread {
public:
    ~DecodeThread() { Stop(); }

    void Start();
    // Waits for the chunk being decoded, then drops every buffer.
    void Stop();
    // Decodes ahead for `buffer` from its first read until it is abandoned.
    void Add(std::shared_ptr<StreamBuffer> buffer);
    // Waits until every buffer is as full as it can be and every rewind served (tests, which move
    // the mix on themselves).
    void Settle();

private:
    void Run();
    // Takes the abandoned buffers out of the list, to be destroyed without the lock.
    void TakeAbandoned(std::vector<std::shared_ptr<StreamBuffer>>& abandoned);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable settled_;
    std::vector<std::shared_ptr<StreamBuffer>> buffers_;
    uint64_t rounds_ = 0;    // rounds begun
    uint64_t idleRound_ = 0; // the last round that found nothing to do
    bool running_ = false;
    std::thread thread_;
};

} // namespace tqaudio
