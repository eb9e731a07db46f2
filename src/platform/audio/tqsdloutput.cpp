#include "platform/audio/tqsdloutput.h"

#include "platform/audio/tqaudiolog.h"

namespace tqaudio {

std::unique_ptr<SdlOutput> SdlOutput::Open(int rate, RenderFunction render) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        LogMessage("no audio driver (%s)", SDL_GetError());
        return nullptr;
    }
    std::unique_ptr<SdlOutput> output(new SdlOutput(std::move(render)));
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = Callback;
    want.userdata = output.get();
    SDL_AudioSpec have{};
    output->device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (output->device_ == 0) {
        LogMessage("no audio device can be opened (%s)", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_PauseAudioDevice(output->device_, 0);
    return output;
}

SdlOutput::~SdlOutput() {
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::string SdlOutput::Description() const {
    const char* driver = SDL_GetCurrentAudioDriver();
    return std::string("Default output (") + (driver ? driver : "unknown") + ")";
}

void SdlOutput::Callback(void* user, Uint8* stream, int bytes) {
    static_cast<SdlOutput*>(user)->render_(reinterpret_cast<float*>(stream),
                                           static_cast<size_t>(bytes) / (2 * sizeof(float)));
}

} // namespace tqaudio
