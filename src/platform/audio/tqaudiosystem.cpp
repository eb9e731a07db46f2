#include "platform/audio/tqaudiosystem.h"

#include "platform/audio/tqaudiolog.h"
#include "platform/audio/tqaudiotest.h"
#include "platform/audio/tqbufferedsource.h"
#include "platform/audio/tqmodulesource.h"
#include "platform/audio/tqnulloutput.h"
#include "platform/audio/tqsamplesource.h"
#include "platform/audio/tqsdloutput.h"
#include "platform/audio/tqsndfiledecoder.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <new>
#include <string>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace tqaudio {

namespace {

constexpr DWORD kMinMixRate = 8000;
constexpr DWORD kMaxMixRate = 192000;
constexpr DWORD kMinSampleRate = 100;
constexpr DWORD kMaxPlaybacks = 65535;
constexpr size_t kMaxSampleBytes = size_t(1) << 31;
constexpr size_t kDecodeChunkFrames = 1024;
// A test's pull renders at most this much at a time, each after the decode thread has caught up.
constexpr DWORD kTestPassFrames = 1024;

// Static TLS: the module is loaded at run time, and the leak checker cannot scan dynamic TLS blocks.
__attribute__((tls_model("initial-exec"))) thread_local int t_error = BASS_OK;

// Records `code` as the outcome of the call and returns `result`.
template <class R> R Fail(int code, R result) {
    t_error = code;
    return result;
}

BOOL Succeed() {
    t_error = BASS_OK;
    return TRUE;
}

int16_t ToPcm16(float value) {
    return static_cast<int16_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

// Denormal floats (a fade or a filter's tail near zero) flushed to zero while an object lives: on
// some processors they cost a hundred times a normal operation.
// Calls a test's hooks around a mix pass.
class PassWatch {
public:
    PassWatch(void (*begin)(), void (*end)()) : end_(begin ? end : nullptr) {
        if (begin) {
            begin();
        }
    }
    ~PassWatch() {
        if (end_) {
            end_();
        }
    }

private:
    void (*end_)();
};

class FlushDenormals {
public:
#if defined(__SSE__)
    FlushDenormals() : saved_(_mm_getcsr()) {
        _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero);
    }
    ~FlushDenormals() {
        _mm_setcsr(saved_);
    }

private:
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned saved_;
#endif
};

} // namespace

AudioSystem::Call::~Call() {
    Mixer::OwnedVoices finished;
    if (system_.mixer_.HasFinished()) {
        finished = system_.mixer_.TakeFinished();
    }
    lock_.unlock();
    Mixer::DestroyAll(std::move(finished));
    buried_.clear();
    WriteMixingThreadLines();
}

AudioSystem& AudioSystem::Instance() {
    static AudioSystem system;
    return system;
}

int AudioSystem::LastError() {
    return t_error;
}

bool AudioSystem::IsStarted() {
    if (!initialized_) {
        t_error = BASS_ERROR_INIT;
    }
    return initialized_;
}

std::unique_ptr<AudioOutput> AudioSystem::OpenOutput(int device, DWORD flags) {
    auto render = [this](float* out, size_t frames) { Render(out, static_cast<DWORD>(frames)); };
    if (device != TQAUDIO_DEVICE_NOSOUND) {
        return SdlOutput::Open(rate_, render);
    }
    const bool withClock = !(flags & TQAUDIO_TEST_MANUAL_CLOCK);
    return std::make_unique<NullOutput>(rate_, render, withClock);
}

BOOL AudioSystem::Init(int device, DWORD freq, DWORD flags) {
    std::lock_guard<std::mutex> life(lifeMutex_);
    if (device < TQAUDIO_DEVICE_DEFAULT || device > 1) {
        return Fail(BASS_ERROR_DEVICE, FALSE);
    }
    if (freq < kMinMixRate || freq > kMaxMixRate) {
        LogMessage("mix rate %u out of range", freq);
        return Fail(BASS_ERROR_ILLPARAM, FALSE);
    }
    {
        Call call(*this);
        if (initialized_) {
            return Fail(BASS_ERROR_ALREADY, FALSE);
        }
        rate_ = static_cast<int>(freq);
        mixer_.SetRate(rate_);
    }
    Resampler::BuildTables();
    decodeThread_.Start();
    // Nothing is mixed until the module counts as started, so the new output pulls silence first.
    std::unique_ptr<AudioOutput> output = OpenOutput(device, flags);
    if (!output) {
        decodeThread_.Stop();
        return Fail(BASS_ERROR_DRIVER, FALSE);
    }
    {
        Call call(*this);
        initialized_ = true;
        running_ = true;
    }
    output_ = std::move(output);
    return Succeed();
}

BOOL AudioSystem::Free() {
    std::lock_guard<std::mutex> life(lifeMutex_);
    {
        Call call(*this);
        if (!IsStarted()) {
            return FALSE;
        }
    }
    output_.reset(); // waits for a running pull, so it must not hold the lock
    {
        Call call(*this);
        mixer_.Clear();
        objects_.Clear();
        pending_.clear();
        initialized_ = false;
        running_ = false;
    }
    decodeThread_.Stop();
    return Succeed();
}

BOOL AudioSystem::Start() {
    Call call(*this);
    if (!IsStarted()) {
        return FALSE;
    }
    running_ = true;
    return Succeed();
}

BOOL AudioSystem::Stop() {
    Call call(*this);
    if (!IsStarted()) {
        return FALSE;
    }
    mixer_.StopAll();
    running_ = false;
    return Succeed();
}

DWORD AudioSystem::SetConfig(DWORD option, DWORD value) {
    Call call(*this);
    const int volume = static_cast<int>(std::min<DWORD>(value, 100));
    if (option == BASS_CONFIG_GVOL_SAMPLE) {
        mixer_.SetSampleVolume(volume);
    } else if (option == BASS_CONFIG_GVOL_STREAM) {
        mixer_.SetStreamVolume(volume);
    } else if (option == BASS_CONFIG_GVOL_MUSIC) {
        mixer_.SetMusicVolume(volume);
    } else {
        return Fail(BASS_ERROR_ILLPARAM, static_cast<DWORD>(-1));
    }
    Succeed();
    return static_cast<DWORD>(volume);
}

const char* AudioSystem::DeviceDescription(DWORD device) {
    std::lock_guard<std::mutex> life(lifeMutex_);
    if (device == 0) {
        description_ = "No sound";
    } else if (device == 1) {
        description_ = output_ ? output_->Description() : "Default output";
    } else {
        return Fail(BASS_ERROR_DEVICE, nullptr);
    }
    Succeed();
    return description_.c_str();
}

// The file bytes the load functions were given, or NULL (recorded) when the arguments are unusable.
const uint8_t* AudioSystem::FileData(BOOL mem, const void* file, DWORD offset, DWORD length) {
    if (!mem) {
        LogMessage("only files in memory can be loaded");
        return Fail(BASS_ERROR_ILLPARAM, nullptr);
    }
    if (!file || length == 0) {
        LogMessage("no file data given");
        return Fail(BASS_ERROR_ILLPARAM, nullptr);
    }
    Call call(*this);
    return IsStarted() ? static_cast<const uint8_t*>(file) + offset : nullptr;
}

DWORD AudioSystem::AddObject(std::unique_ptr<AudioObject> object) {
    DWORD handle = objects_.Add(std::move(object));
    if (!handle) {
        LogMessage("too many samples, channels and streams");
        return Fail(BASS_ERROR_NOCHAN, DWORD(0));
    }
    Succeed();
    return handle;
}

DWORD AudioSystem::AddChannel(std::unique_ptr<Channel> channel) {
    Channel* raw = channel.get();
    DWORD handle = AddObject(std::move(channel));
    if (handle) {
        mixer_.Add(raw);
    }
    return handle;
}

void AudioSystem::DestroyChannel(DWORD handle, Call& call) {
    if (Channel* channel = dynamic_cast<Channel*>(objects_.Find(handle))) {
        mixer_.Release(channel);
        call.Bury(objects_.Remove(handle));
    }
}

template <class T> T* AudioSystem::Find(DWORD handle) {
    if (!IsStarted()) {
        return nullptr;
    }
    T* object = dynamic_cast<T*>(objects_.Find(handle));
    if (!object) {
        t_error = BASS_ERROR_HANDLE;
    }
    return object;
}

Channel* AudioSystem::FindChannel(DWORD handle) {
    return Find<Channel>(handle);
}

HSAMPLE AudioSystem::SampleLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD max,
                                DWORD flags) {
    if (max == 0 || max > kMaxPlaybacks) {
        return Fail(BASS_ERROR_ILLPARAM, HSAMPLE(0));
    }
    const uint8_t* data = FileData(mem, file, offset, length);
    if (!data) {
        return 0;
    }
    // Decoded without the lock, so the output keeps playing meanwhile.
    std::unique_ptr<SndfileDecoder> decoder = SndfileDecoder::Open(data, length);
    std::vector<float> samples;
    if (!decoder || !decoder->ReadAll(samples)) {
        return Fail(BASS_ERROR_FILEFORM, HSAMPLE(0));
    }
    auto sampleData =
        std::make_shared<const SampleData>(decoder->Rate(), decoder->Channels(), std::move(samples));
    Call call(*this);
    if (!IsStarted()) {
        return 0;
    }
    return AddObject(
        std::make_unique<Sample>(sampleData, max, flags & (BASS_SAMPLE_LOOP | BASS_SAMPLE_OVER_VOL)));
}

std::unique_ptr<AudioSystem::PendingSample> AudioSystem::NewPendingSample(size_t bytes, bool eightBits) {
    // 16-bit silence is zero: fresh pages from the system are, so a buffer larger than what is
    // then written costs no time to clear.
    void* memory = eightBits ? std::malloc(bytes) : std::calloc(bytes, 1);
    if (!memory) {
        return nullptr;
    }
    if (eightBits) {
        memset(memory, 0x80, bytes);
    }
    auto pending = std::make_unique<PendingSample>();
    pending->pcm.reset(static_cast<uint8_t*>(memory));
    pending->bytes = bytes;
    return pending;
}

// The buffer is made without the lock, and each thread has its own, so two threads creating
// samples at once do not discard each other's.
void* AudioSystem::SampleCreate(DWORD length, DWORD freq, DWORD max, DWORD flags) {
    {
        Call call(*this);
        if (!IsStarted()) {
            return nullptr;
        }
    }
    if (length == 0 || freq < kMinSampleRate || freq > kMaxMixRate || max == 0 || max > kMaxPlaybacks) {
        return Fail(BASS_ERROR_ILLPARAM, nullptr);
    }
    const size_t frameBytes = ((flags & BASS_SAMPLE_MONO) ? 1 : 2) * ((flags & BASS_SAMPLE_8BITS) ? 1 : 2);
    const size_t bytes = size_t(length) * frameBytes;
    std::unique_ptr<PendingSample> pending =
        bytes > kMaxSampleBytes ? nullptr : NewPendingSample(bytes, flags & BASS_SAMPLE_8BITS);
    if (!pending) {
        LogMessage("no memory for a sample of %zu bytes", bytes);
        return Fail(BASS_ERROR_MEM, nullptr);
    }
    pending->frames = length;
    pending->freq = freq;
    pending->max = max;
    pending->flags = flags;
    void* buffer = pending->pcm.get();
    Call call(*this);
    if (!IsStarted()) {
        return nullptr;
    }
    std::swap(pending_[std::this_thread::get_id()], pending);
    Succeed();
    return buffer;
}

HSAMPLE AudioSystem::SampleCreateDone() {
    std::unique_ptr<PendingSample> pending;
    {
        Call call(*this);
        if (!IsStarted()) {
            return 0;
        }
        auto mine = pending_.find(std::this_thread::get_id());
        if (mine == pending_.end()) {
            return Fail(BASS_ERROR_EMPTY, HSAMPLE(0));
        }
        pending = std::move(mine->second);
        pending_.erase(mine);
    }
    // Converted without the lock: a long sample takes a while.
    const int channels = (pending->flags & BASS_SAMPLE_MONO) ? 1 : 2;
    auto data = std::make_shared<const SampleData>(
        SampleData::FromPcm(static_cast<int>(pending->freq), channels, pending->flags & BASS_SAMPLE_8BITS,
                            pending->pcm.get(), pending->frames));
    const DWORD kept = BASS_SAMPLE_8BITS | BASS_SAMPLE_LOOP | BASS_SAMPLE_OVER_VOL;
    auto sample = std::make_unique<Sample>(data, pending->max, pending->flags & kept);
    pending.reset();
    Call call(*this);
    if (!IsStarted()) {
        return 0;
    }
    return AddObject(std::move(sample));
}

BOOL AudioSystem::SampleGetInfo(HSAMPLE handle, TQAudioSampleInfo* info) {
    Call call(*this);
    Sample* sample = Find<Sample>(handle);
    if (!sample) {
        return FALSE;
    }
    if (!info) {
        return Fail(BASS_ERROR_ILLPARAM, FALSE);
    }
    *info = sample->Info();
    return Succeed();
}

// The playback a new one takes the place of: a stopped one, else with BASS_SAMPLE_OVER_VOL the
// quietest (the oldest of equals); Max() when none may be replaced.
size_t AudioSystem::PlaybackToReplace(Sample& sample) {
    const std::vector<DWORD>& playbacks = sample.Playbacks();
    size_t quietest = playbacks.size();
    for (size_t i = 0; i < playbacks.size(); ++i) {
        Channel* channel = dynamic_cast<Channel*>(objects_.Find(playbacks[i]));
        if (!channel || channel->GetState() == Channel::State::Stopped) {
            return i;
        }
        if (quietest == playbacks.size() ||
            channel->Volume() < dynamic_cast<Channel*>(objects_.Find(playbacks[quietest]))->Volume()) {
            quietest = i;
        }
    }
    return (sample.Flags() & BASS_SAMPLE_OVER_VOL) ? quietest : playbacks.size();
}

HCHANNEL AudioSystem::SampleGetChannel(HSAMPLE handle) {
    Call call(*this);
    Sample* sample = Find<Sample>(handle);
    if (!sample) {
        return 0;
    }
    std::vector<DWORD>& playbacks = sample->Playbacks();
    if (playbacks.size() >= sample->Max()) {
        const size_t slot = PlaybackToReplace(*sample);
        if (slot == playbacks.size()) {
            return Fail(BASS_ERROR_NOCHAN, HCHANNEL(0));
        }
        DestroyChannel(playbacks[slot], call);
        playbacks.erase(playbacks.begin() + slot);
    }
    const DWORD flags = sample->Flags() & BASS_SAMPLE_LOOP;
    DWORD channel = AddChannel(std::make_unique<Channel>(
        Channel::Kind::SamplePlayback, std::make_unique<SampleSource>(sample->Data()), flags));
    // The newest playback goes last, so the list stays oldest first.
    if (channel) {
        playbacks.push_back(channel);
    }
    return channel;
}

BOOL AudioSystem::SampleFree(HSAMPLE handle) {
    Call call(*this);
    Sample* sample = Find<Sample>(handle);
    if (!sample) {
        return FALSE;
    }
    for (DWORD playback : sample->Playbacks()) {
        DestroyChannel(playback, call);
    }
    call.Bury(objects_.Remove(handle));
    return Succeed();
}

HMUSIC AudioSystem::MusicLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags,
                              DWORD freq) {
    const uint8_t* data = FileData(mem, file, offset, length);
    if (!data) {
        return 0;
    }
    int rate;
    {
        Call call(*this);
        rate = freq ? static_cast<int>(std::clamp(freq, kMinMixRate, kMaxMixRate)) : rate_;
    }
    std::unique_ptr<ModuleSource> source = ModuleSource::Open(data, length, rate);
    if (!source) {
        return Fail(BASS_ERROR_FILEFORM, HMUSIC(0));
    }
    return AddBufferedChannel(Channel::Kind::Music, std::make_shared<StreamBuffer>(std::move(source)),
                              flags & BASS_SAMPLE_LOOP);
}

// The buffer's head is decoded before the lock is taken; the decode thread takes over once the
// channel has its handle.
DWORD AudioSystem::AddBufferedChannel(Channel::Kind kind, std::shared_ptr<StreamBuffer> buffer, DWORD flags) {
    DWORD handle;
    {
        Call call(*this);
        if (!IsStarted()) {
            return 0;
        }
        handle = AddChannel(std::make_unique<Channel>(kind, std::make_unique<BufferedSource>(buffer), flags));
    }
    if (handle) {
        decodeThread_.Add(std::move(buffer));
    }
    return handle;
}

HSTREAM AudioSystem::StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags) {
    const uint8_t* data = FileData(mem, file, offset, length);
    if (!data) {
        return 0;
    }
    std::unique_ptr<SndfileDecoder> decoder = SndfileDecoder::Open(data, length);
    if (!decoder) {
        return Fail(BASS_ERROR_FILEFORM, HSTREAM(0));
    }
    static std::atomic<unsigned> opened{0};
    decoder->SetLabel("stream " + std::to_string(++opened) + " (" + decoder->FormatName() + ")");
    const DWORD kept = BASS_SAMPLE_LOOP | BASS_STREAM_DECODE;
    if (flags & BASS_STREAM_DECODE) { // read by the game's calls, not decoded ahead
        Call call(*this);
        if (!IsStarted()) {
            return 0;
        }
        return AddChannel(std::make_unique<Channel>(Channel::Kind::Stream, std::move(decoder), flags & kept));
    }
    return AddBufferedChannel(Channel::Kind::Stream, std::make_shared<StreamBuffer>(std::move(decoder)),
                              flags & kept);
}

QWORD AudioSystem::StreamGetLength(HSTREAM handle) {
    Call call(*this);
    Channel* channel = FindChannel(handle);
    if (!channel) {
        return static_cast<QWORD>(-1);
    }
    if (channel->GetKind() != Channel::Kind::Stream) {
        return Fail(BASS_ERROR_HANDLE, static_cast<QWORD>(-1));
    }
    const AudioSource& source = channel->Source();
    if (source.Frames() <= 0) {
        return Fail(BASS_ERROR_NOTAVAIL, static_cast<QWORD>(-1));
    }
    Succeed();
    return static_cast<QWORD>(source.Frames()) * source.Channels() * sizeof(int16_t);
}

// A stream's source reads memory the caller frees once this returns: the mixer lets it go before
// the call ends, and the voice fades out from frames it read ahead.
BOOL AudioSystem::FreeChannelOf(DWORD handle, Channel::Kind kind) {
    Call call(*this);
    Channel* channel = FindChannel(handle);
    if (!channel) {
        return FALSE;
    }
    if (channel->GetKind() != kind) {
        return Fail(BASS_ERROR_HANDLE, FALSE);
    }
    DestroyChannel(handle, call);
    return Succeed();
}

BOOL AudioSystem::ChannelGetInfo(DWORD handle, TQAudioChannelInfo* info) {
    return OnChannel(handle, [=](Channel& channel) {
        if (!info) {
            return BASS_ERROR_ILLPARAM;
        }
        info->freq = channel.DefaultRate();
        info->chans = static_cast<DWORD>(channel.Source().Channels());
        info->flags = channel.Flags() | (info->chans == 1 ? BASS_SAMPLE_MONO : 0);
        return BASS_OK;
    });
}

// Reads up to `frames` frames of a decoding stream as 16-bit data to `out`, which may sit at any
// address; holds the lock for one chunk at a time, so a long read does not stall the output.
size_t AudioSystem::ReadDecoded(DWORD handle, uint8_t* out, size_t frames) {
    float chunk[2 * kDecodeChunkFrames];
    int16_t pcm[2 * kDecodeChunkFrames];
    size_t done = 0;
    while (done < frames) {
        Call call(*this);
        Channel* channel = FindChannel(handle);
        if (!channel) {
            break;
        }
        const int channels = channel->Source().Channels();
        const size_t n = channel->Source().Read(chunk, std::min(kDecodeChunkFrames, frames - done));
        std::transform(chunk, chunk + n * channels, pcm, ToPcm16);
        memcpy(out + done * channels * sizeof(int16_t), pcm, n * channels * sizeof(int16_t));
        done += n;
        if (n == 0) {
            break;
        }
    }
    return done;
}

// A read into the BASS_SampleCreate buffer never runs past its end, whatever length is asked.
DWORD AudioSystem::LimitToPendingBuffer(const void* buffer, DWORD length) const {
    auto mine = pending_.find(std::this_thread::get_id());
    if (mine == pending_.end()) {
        return length;
    }
    const uint8_t* begin = mine->second->pcm.get();
    const uint8_t* end = begin + mine->second->bytes;
    const uint8_t* at = static_cast<const uint8_t*>(buffer);
    if (at < begin || at >= end || length <= size_t(end - at)) {
        return length;
    }
    LogMessage("read of %u bytes cut to the %zu bytes left in the new sample", length, size_t(end - at));
    return static_cast<DWORD>(end - at);
}

DWORD AudioSystem::ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    DWORD frameBytes;
    {
        Call call(*this);
        Channel* channel = FindChannel(handle);
        if (!channel) {
            return static_cast<DWORD>(-1);
        }
        if (!channel->IsDecoding()) {
            return Fail(BASS_ERROR_NOTAVAIL, static_cast<DWORD>(-1));
        }
        if (!buffer) {
            return Fail(BASS_ERROR_ILLPARAM, static_cast<DWORD>(-1));
        }
        frameBytes = static_cast<DWORD>(channel->Source().Channels() * sizeof(int16_t));
        length = LimitToPendingBuffer(buffer, length);
    }
    const size_t frames = ReadDecoded(handle, static_cast<uint8_t*>(buffer), length / frameBytes);
    Succeed();
    return static_cast<DWORD>(frames * frameBytes);
}

template <class Action> BOOL AudioSystem::OnChannel(DWORD handle, Action action) {
    Call call(*this);
    Channel* channel = FindChannel(handle);
    if (!channel) {
        return FALSE;
    }
    const int error = action(*channel);
    t_error = error;
    return error == BASS_OK;
}

template <class Action> BOOL AudioSystem::ChangeChannel(DWORD handle, Action action) {
    return OnChannel(handle, [&](Channel& channel) {
        const int error = action(channel);
        if (error == BASS_OK) {
            mixer_.Touch(&channel);
        }
        return error;
    });
}

BOOL AudioSystem::ChannelSetAttributes(DWORD handle, int freq, int volume, int pan) {
    return ChangeChannel(handle, [=](Channel& channel) {
        channel.SetRate(freq);
        if (volume != -1) {
            channel.SetVolume(volume);
        }
        if (pan != -101) {
            channel.SetPan(pan);
        }
        return BASS_OK;
    });
}

BOOL AudioSystem::ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) {
    return OnChannel(handle, [=](Channel& channel) {
        if (freq) {
            *freq = channel.Rate();
        }
        if (volume) {
            *volume = static_cast<DWORD>(channel.Volume());
        }
        if (pan) {
            *pan = channel.Pan();
        }
        return BASS_OK;
    });
}

BOOL AudioSystem::ChannelSetFlags(DWORD handle, DWORD flags) {
    return ChangeChannel(handle, [=](Channel& channel) {
        channel.SetFlags((channel.Flags() & ~DWORD(BASS_SAMPLE_LOOP)) | (flags & BASS_SAMPLE_LOOP));
        return BASS_OK;
    });
}

BOOL AudioSystem::ChannelPlay(DWORD handle, BOOL restart) {
    return ChangeChannel(handle, [=](Channel& channel) {
        if (channel.IsDecoding()) {
            return BASS_ERROR_DECODE;
        }
        if (!running_) {
            return BASS_ERROR_START;
        }
        channel.Play(restart);
        return BASS_OK;
    });
}

BOOL AudioSystem::ChannelPause(DWORD handle) {
    return ChangeChannel(handle, [](Channel& channel) {
        if (channel.GetState() != Channel::State::Playing) {
            return channel.GetState() == Channel::State::Paused ? BASS_ERROR_ALREADY : BASS_ERROR_NOPLAY;
        }
        channel.Pause();
        return BASS_OK;
    });
}

BOOL AudioSystem::ChannelStop(DWORD handle) {
    return ChangeChannel(handle, [](Channel& channel) {
        channel.Stop();
        return BASS_OK;
    });
}

DWORD AudioSystem::ChannelIsActive(DWORD handle) {
    Call call(*this);
    Channel* channel = FindChannel(handle);
    if (!channel) {
        return BASS_ACTIVE_STOPPED;
    }
    Succeed();
    switch (channel->GetState()) {
    case Channel::State::Playing:
        return BASS_ACTIVE_PLAYING;
    case Channel::State::Paused:
        return BASS_ACTIVE_PAUSED;
    default:
        return BASS_ACTIVE_STOPPED;
    }
}

// The lock is only tried: taken, the changes since the last pull are linked and copied; busy
// with a game call, this pull mixes what it took before. Once stopped, the mix goes on for the
// fades of what was playing.
DWORD AudioSystem::Render(float* out, DWORD frames) {
    std::unique_lock<std::mutex> rendering(renderMutex_, std::try_to_lock);
    if (!rendering) {
        std::fill(out, out + 2 * size_t(frames), 0.0f);
        return 0;
    }
    return MixPass(out, frames);
}

DWORD AudioSystem::RenderForTest(float* out, DWORD frames) {
    const std::lock_guard<std::mutex> rendering(renderMutex_);
    DWORD rendered = 0;
    for (DWORD done = 0; done < frames;) {
        const DWORD n = std::min(kTestPassFrames, frames - done);
        decodeThread_.Settle();
        rendered += MixPass(out + 2 * size_t(done), n);
        done += n;
    }
    return rendered;
}

void AudioSystem::WatchPasses(void (*begin)(), void (*end)()) {
    const std::lock_guard<std::mutex> rendering(renderMutex_);
    passBegin_ = begin;
    passEnd_ = end;
}

DWORD AudioSystem::MixPass(float* out, DWORD frames) {
    const PassWatch watch(passBegin_, passEnd_);
    const MixingThreadScope mixing;
    const FlushDenormals flush;
    if (mutex_.try_lock()) {
        mixer_.Sync();
        mixStarted_ = initialized_;
        mixRate_ = rate_;
        mutex_.unlock();
    }
    if (!mixStarted_) {
        std::fill(out, out + 2 * size_t(frames), 0.0f);
        return 0;
    }
    mixer_.Render(out, frames, mixRate_);
    return frames;
}

} // namespace tqaudio
