#include "platform/audio/tqdecodethread.h"

#include "platform/system/tqthreadname.h"

#include <algorithm>
#include <chrono>

namespace tqaudio {

namespace {

// Far less than a buffer lasts at the highest playback rate.
constexpr std::chrono::milliseconds kLookEvery(10);

} // namespace

void DecodeThread::Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!running_) {
        running_ = true;
        thread_ = std::thread(&DecodeThread::Run, this);
    }
}

void DecodeThread::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
    }
    wake_.notify_all();
    settled_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
    std::vector<std::shared_ptr<StreamBuffer>> buffers;
    std::lock_guard<std::mutex> lock(mutex_);
    buffers.swap(buffers_);
}

void DecodeThread::Add(std::shared_ptr<StreamBuffer> buffer) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        buffers_.push_back(std::move(buffer));
    }
    wake_.notify_one();
}

void DecodeThread::Settle() {
    std::unique_lock<std::mutex> lock(mutex_);
    const uint64_t begun = rounds_;
    wake_.notify_one();
    settled_.wait(lock, [&] { return idleRound_ > begun || !running_; });
}

void DecodeThread::TakeAbandoned(std::vector<std::shared_ptr<StreamBuffer>>& abandoned) {
    const auto kept = std::partition(buffers_.begin(), buffers_.end(),
                                     [](const auto& buffer) { return !buffer->Abandoned(); });
    std::move(kept, buffers_.end(), std::back_inserter(abandoned));
    buffers_.erase(kept, buffers_.end());
}

void DecodeThread::Run() {
    tqplat::NameCurrentThread("tqaudio-decode");
    std::vector<float> chunk(2 * StreamBuffer::kChunkFrames);
    std::vector<std::shared_ptr<StreamBuffer>> round;
    std::vector<std::shared_ptr<StreamBuffer>> abandoned;
    std::unique_lock<std::mutex> lock(mutex_);
    while (running_) {
        const uint64_t number = ++rounds_;
        TakeAbandoned(abandoned);
        round = buffers_;
        lock.unlock();
        abandoned.clear(); // their decoders close here, off the game's threads
        bool busy = false;
        for (const std::shared_ptr<StreamBuffer>& buffer : round) {
            busy = buffer->Fill(chunk) || busy;
        }
        round.clear();
        lock.lock();
        if (!busy) {
            idleRound_ = number;
            settled_.notify_all();
            if (running_ && buffers_.empty()) {
                wake_.wait(lock); // until a buffer comes, a settle or the stop
            } else if (running_) {
                wake_.wait_for(lock, kLookEvery);
            }
        }
    }
}

} // namespace tqaudio
