// The silent output: with a clock it pulls the mix at the real-time rate and drops it, so
// channels play and end as they would be heard; without one nothing pulls (tests do).
#pragma once

#include "platform/audio/tqaudiooutput.h"

#include <atomic>
#include <thread>
#include <vector>

namespace tqaudio {

class NullOutput : public AudioOutput {
public:
    NullOutput(int rate, RenderFunction render, bool withClock);
    ~NullOutput() override;
    NullOutput(const NullOutput&) = delete;
    NullOutput& operator=(const NullOutput&) = delete;

    std::string Description() const override { return "No sound"; }

private:
    void Run();

    int rate_;
    RenderFunction render_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

} // namespace tqaudio
