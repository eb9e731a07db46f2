// Where the mix goes. An output pulls stereo floats through its render function from its own
// thread from creation until it is destroyed; destruction waits for a running pull to end.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace tqaudio {

class AudioOutput {
public:
    // Fills `frames` interleaved stereo frames.
    using RenderFunction = std::function<void(float* out, size_t frames)>;

    virtual ~AudioOutput() = default;
    // Text naming the output, for BASS_GetDeviceDescription.
    virtual std::string Description() const = 0;
};

} // namespace tqaudio
