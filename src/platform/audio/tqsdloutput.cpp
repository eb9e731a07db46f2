#include "platform/audio/tqsdloutput.h"

#include <dlfcn.h>

#include "platform/audio/tqaudiolog.h"

namespace tqaudio {

namespace {

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// ALSA prints its own lines on the terminal when there is no sound card. SDL loads it at run
// time, so its error handler is replaced through the same library before SDL opens a device; the
// library stays loaded, since the handler lives in it.
void SilenceAlsa() {
    typedef void (*ErrorHandler)(const char*, int, const char*, int, const char*, ...);
    static const bool silenced = [] {
        void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        auto setHandler =
            alsa ? reinterpret_cast<int (*)(ErrorHandler)>(dlsym(alsa, "snd_lib_error_set_handler"))
                 : nullptr;
        return setHandler && setHandler(IgnoreAlsaError) == 0;
    }();
    (void)silenced;
}

} // namespace

std::unique_ptr<SdlOutput> SdlOutput::Open(int rate, RenderFunction render) {
    SilenceAlsa();
    // As with the window: SIGINT and SIGTERM keep their usual effect instead of becoming a quit
    // event that nothing receives when the game runs without a window.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        LogMessage("no audio driver, sound stays silent (%s)", SDL_GetError());
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
        LogMessage("no audio device, sound stays silent (%s)", SDL_GetError());
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
