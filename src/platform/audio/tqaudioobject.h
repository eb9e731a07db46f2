// Base of everything the module hands out a handle for (samples and channels).
#pragma once

namespace tqaudio {

class AudioObject {
public:
    virtual ~AudioObject() = default;
};

} // namespace tqaudio
