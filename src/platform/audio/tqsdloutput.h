// Plays the mix on the default SDL2 audio device (float stereo at the mix rate). Initialises
// only SDL's audio subsystem, and quits it again when destroyed.
#pragma once

#include "platform/audio/tqaudiooutput.h"

#include <SDL.h>

#include <memory>

namespace tqaudio {

class SdlOutput : public AudioOutput {
public:
    // An output running at `rate` Hz, or NULL (logged) when no device can be opened.
    static std::unique_ptr<SdlOutput> Open(int rate, RenderFunction render);
    ~SdlOutput() override;
    SdlOutput(const SdlOutput&) = delete;
    SdlOutput& operator=(const SdlOutput&) = delete;

    std::string Description() const override;

private:
    explicit SdlOutput(RenderFunction render) : render_(std::move(render)) {}
    static void Callback(void* user, Uint8* stream, int bytes);

    RenderFunction render_;
    SDL_AudioDeviceID device_ = 0;
};

} // namespace tqaudio
