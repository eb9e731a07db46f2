// The state behind the module's functions: the object table, the mixer, the decode thread, the
// output and the pending BASS_SampleCreate buffers (one a thread). One lock guards it all. The output's
// thread only tries it at the start of a pull, to take the game's changes (the mixer's Sync, only links and
// copies), and mixes without it; when a game call holds it, that pull mixes with the changes taken before, so
// the mix never waits for the game. Decoding, converting and destroying run outside the lock: what a call
// frees (samples, finished voices and their sources) is destroyed once it has let the lock go. Start-up and
// shut-down are serialised by a lock of their own that is never held while the output pulls.
//
// Each method does what the function of the same name in tqaudio.h documents and records the
// outcome for BASS_ErrorGetCode.
#pragma once

#include "platform/audio/tqaudio.h"
#include "platform/audio/tqaudiooutput.h"
#include "platform/audio/tqchannel.h"
#include "platform/audio/tqdecodethread.h"
#include "platform/audio/tqhandletable.h"
#include "platform/audio/tqmixer.h"
#include "platform/audio/tqmodulelock.h"
#include "platform/audio/tqsample.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
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

    // The output's pull: renders the mix (after BASS_Stop only the fades of what was playing); the
    // frames rendered, 0 before BASS_Init. Never waits: silence while a test pull renders.
    DWORD Render(float* out, DWORD frames);
    // A test's pull, as Render, in passes of at most 1,024 frames, each once the decode thread has
    // caught up; waits for the output's pull in progress, so one thread renders at once.
    DWORD RenderForTest(float* out, DWORD frames);
    // Calls `begin` and `end` (both or neither) on the rendering thread around every mix pass from
    // now on; NULL stops.
    void WatchPasses(void (*begin)(), void (*end)());

private:
    struct FreeMemory {
        void operator()(void* memory) const { std::free(memory); }
    };

    // A BASS_SampleCreate buffer waiting for BASS_SampleCreateDone.
    struct PendingSample {
        std::unique_ptr<uint8_t[], FreeMemory> pcm;
        size_t bytes;
        DWORD frames;
        DWORD freq;
        DWORD max;
        DWORD flags;
    };

    // A call holding the module's lock. When it ends it lets the lock go, then destroys what the
    // call freed and the voices that finished, and writes the lines the mixing thread kept.
    class Call {
    public:
        explicit Call(AudioSystem& system) : system_(system), lock_(system.mutex_) {}
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;
        void Bury(std::unique_ptr<AudioObject> object) { buried_.push_back(std::move(object)); }

    private:
        AudioSystem& system_;
        std::unique_lock<ModuleLock> lock_;
        std::vector<std::unique_ptr<AudioObject>> buried_;
    };

    AudioSystem() = default;

    bool IsStarted(); // records BASS_ERROR_INIT when not
    // The output of `device`; NULL when the default output cannot be opened.
    std::unique_ptr<AudioOutput> OpenOutput(int device, DWORD flags);
    const uint8_t* FileData(BOOL mem, const void* file, DWORD offset, DWORD length);
    DWORD AddObject(std::unique_ptr<AudioObject> object);
    DWORD AddChannel(std::unique_ptr<Channel> channel);
    // A stream or music channel that plays from `buffer`, which the decode thread fills.
    DWORD AddBufferedChannel(Channel::Kind kind, std::shared_ptr<StreamBuffer> buffer, DWORD flags);
    void DestroyChannel(DWORD handle, Call& call);
    template <class T> T* Find(DWORD handle);
    Channel* FindChannel(DWORD handle);
    // Runs action(Channel&) under the lock on a current channel; the action returns the outcome
    // (BASS_OK or an error code), which becomes the result.
    template <class Action> BOOL OnChannel(DWORD handle, Action action);
    // OnChannel for an action that changes what the channel plays: the mix takes the change.
    template <class Action> BOOL ChangeChannel(DWORD handle, Action action);
    // A zeroed (silent) buffer for a new sample, or NULL.
    static std::unique_ptr<PendingSample> NewPendingSample(size_t bytes, bool eightBits);
    size_t PlaybackToReplace(Sample& sample);
    DWORD LimitToPendingBuffer(const void* buffer, DWORD length) const;
    size_t ReadDecoded(DWORD handle, uint8_t* out, size_t frames);
    DWORD MixPass(float* out, DWORD frames);

    std::mutex lifeMutex_;
    ModuleLock mutex_;
    std::mutex renderMutex_; // held by the one thread rendering
    bool initialized_ = false;
    bool running_ = false;
    int rate_ = 44100;
    HandleTable<AudioObject> objects_;
    Mixer mixer_;
    DecodeThread decodeThread_;
    std::unique_ptr<AudioOutput> output_;
    std::map<std::thread::id, std::unique_ptr<PendingSample>> pending_;
    std::string description_;
    // The mixing thread's copies, taken at each pull that gets the lock.
    bool mixStarted_ = false;
    int mixRate_ = 44100;
    void (*passBegin_)() = nullptr; // a test's hooks, set under renderMutex_
    void (*passEnd_)() = nullptr;
};

} // namespace tqaudio
