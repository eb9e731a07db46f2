// The state behind the module's functions: the object table, the mixer, the output and the
// pending BASS_SampleCreate buffer. One lock guards it all; the output's thread takes it at
// every pull only to copy the channels' controls to their voices, and mixes without it, so a call
// never waits for a mix; only freeing a stream, whose memory the caller then frees, waits for the
// pass that may be reading it. A freed channel's voice fades out after the channel is gone. Start-up and
// shut-down are serialised by a lock of their own that is never held while the output pulls.
//
// Each method does what the function of the same name in tqaudio.h documents and records the
// outcome for BASS_ErrorGetCode.
#pragma once

#include "platform/audio/tqaudio.h"
#include "platform/audio/tqaudiooutput.h"
#include "platform/audio/tqchannel.h"
#include "platform/audio/tqhandletable.h"
#include "platform/audio/tqmixer.h"
#include "platform/audio/tqmodulelock.h"
#include "platform/audio/tqsample.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tqaudio {

class AudioSystem {
public:
    static AudioSystem& Instance();

    // The outcome of this thread's last call.
    static int LastError();

    BOOL Init(int device, DWORD freq, DWORD flags);
    BOOL Free();
    BOOL Start();
    BOOL Stop();
    DWORD SetConfig(DWORD option, DWORD value);
    const char* DeviceDescription(DWORD device);

    HSAMPLE SampleLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD max, DWORD flags);
    void* SampleCreate(DWORD length, DWORD freq, DWORD max, DWORD flags);
    HSAMPLE SampleCreateDone();
    BOOL SampleGetInfo(HSAMPLE handle, TQAudioSampleInfo* info);
    HCHANNEL SampleGetChannel(HSAMPLE handle);
    BOOL SampleFree(HSAMPLE handle);

    HMUSIC MusicLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags, DWORD freq);
    HSTREAM StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags);
    QWORD StreamGetLength(HSTREAM handle);
    // Frees music (kind Music) or a stream (kind Stream).
    BOOL FreeChannelOf(DWORD handle, Channel::Kind kind);

    BOOL ChannelGetInfo(DWORD handle, TQAudioChannelInfo* info);
    DWORD ChannelGetData(DWORD handle, void* buffer, DWORD length);
    BOOL ChannelSetAttributes(DWORD handle, int freq, int volume, int pan);
    BOOL ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan);
    BOOL ChannelSetFlags(DWORD handle, DWORD flags);
    BOOL ChannelPlay(DWORD handle, BOOL restart);
    BOOL ChannelPause(DWORD handle);
    BOOL ChannelStop(DWORD handle);
    DWORD ChannelIsActive(DWORD handle);

    // Renders the mix (after BASS_Stop only the fades of what was playing); the frames rendered, 0
    // before BASS_Init.
    DWORD Render(float* out, DWORD frames);

private:
    // A BASS_SampleCreate buffer waiting for BASS_SampleCreateDone.
    struct PendingSample {
        std::vector<uint8_t> pcm;
        DWORD frames;
        DWORD freq;
        DWORD max;
        DWORD flags;
    };

    AudioSystem() = default;

    bool IsStarted(); // records BASS_ERROR_INIT when not
    // The output of `device`; NULL when the default output cannot be opened.
    std::unique_ptr<AudioOutput> OpenOutput(int device, DWORD flags);
    const uint8_t* FileData(BOOL mem, const void* file, DWORD offset, DWORD length);
    DWORD AddObject(std::unique_ptr<AudioObject> object);
    DWORD AddChannel(std::unique_ptr<Channel> channel);
    void DestroyChannel(DWORD handle);
    template <class T> T* Find(DWORD handle);
    Channel* FindChannel(DWORD handle);
    // Runs action(Channel&) under the lock on a current channel; the action returns the outcome
    // (BASS_OK or an error code), which becomes the result.
    template <class Action> BOOL OnChannel(DWORD handle, Action action);
    size_t PlaybackToReplace(Sample& sample);
    DWORD LimitToPendingBuffer(const void* buffer, DWORD length) const;
    size_t ReadDecoded(DWORD handle, uint8_t* out, size_t frames);

    std::mutex lifeMutex_;
    ModuleLock mutex_;
    std::mutex passMutex_; // held by the mixing thread while it mixes without mutex_
    bool initialized_ = false;
    bool running_ = false;
    int rate_ = 44100;
    HandleTable<AudioObject> objects_;
    Mixer mixer_;
    std::unique_ptr<AudioOutput> output_;
    std::unique_ptr<PendingSample> pending_;
    std::string description_;
};

} // namespace tqaudio
