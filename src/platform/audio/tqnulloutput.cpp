#include "platform/audio/tqnulloutput.h"

#include "platform/system/tqthreadname.h"

#include <algorithm>
#include <chrono>

namespace tqaudio {

NullOutput::NullOutput(int rate, RenderFunction render, bool withClock)
    : rate_(rate), render_(std::move(render)) {
    if (withClock) {
        running_ = true;
        thread_ = std::thread(&NullOutput::Run, this);
    }
}

NullOutput::~NullOutput() {
    running_ = false;
    if (thread_.joinable()) {
        thread_.join();
    }
}

// Every 10 ms, renders the frames that real time has moved on since the last pull.
void NullOutput::Run() {
    tqplat::NameCurrentThread("tqaudio-mix");
    using Clock = std::chrono::steady_clock;
    constexpr size_t kMaxFrames = 4096;
    std::vector<float> discard(2 * kMaxFrames);
    const Clock::time_point start = Clock::now();
    long long pulled = 0;
    while (running_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const long long due = static_cast<long long>(elapsed * rate_);
        while (pulled < due && running_) {
            const size_t n = static_cast<size_t>(std::min<long long>(due - pulled, kMaxFrames));
            render_(discard.data(), n);
            pulled += n;
        }
    }
}

} // namespace tqaudio
