// TQGfxDevice: sound effects, music and streams through the audio module, which is loaded at run
// time as "bass.dll" and bound by name. Without the module the engine runs silent.
#include "device/tqgfxdevice.h"

#include "platform/audio/tqaudio.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

const DWORD kAudioVersion = 0x00010002;
const int kOutputDevice = 1;
const int kNoSoundDevice = 0;
const DWORD kMaxPlaybacks = 4;
const int kKeepFrequency = -1;
const int kKeepVolume = -1;
const int kKeepPan = -101;
// Placeholder handle of effects and streams loaded while the output is silent.
const DWORD kSilentHandle = 1;

// The module's functions, bound in this order.
struct AudioApi {
    DWORD (*GetVersion)();
    char* (*GetDeviceDescription)(DWORD);
    BOOL (*Init)(int, DWORD, DWORD, HWND, const void*);
    BOOL (*Free)();
    BOOL (*Start)();
    BOOL (*Stop)();
    DWORD (*SetConfig)(DWORD, DWORD);
    HSAMPLE (*SampleLoad)(BOOL, const void*, DWORD, DWORD, DWORD, DWORD);
    void* (*SampleCreate)(DWORD, DWORD, DWORD, DWORD);
    HSAMPLE (*SampleCreateDone)();
    BOOL (*SampleGetInfo)(HSAMPLE, TQAudioSampleInfo*);
    HCHANNEL (*SampleGetChannel)(HSAMPLE, BOOL);
    BOOL (*SampleFree)(HSAMPLE);
    HMUSIC (*MusicLoad)(BOOL, const void*, DWORD, DWORD, DWORD, DWORD);
    BOOL (*MusicFree)(HMUSIC);
    HSTREAM (*StreamCreateFile)(BOOL, const void*, DWORD, DWORD, DWORD);
    QWORD (*StreamGetLength)(HSTREAM);
    BOOL (*StreamFree)(HSTREAM);
    BOOL (*ChannelGetInfo)(DWORD, TQAudioChannelInfo*);
    BOOL (*ChannelGetAttributes)(DWORD, DWORD*, DWORD*, int*);
    BOOL (*ChannelSetAttributes)(DWORD, int, int, int);
    BOOL (*ChannelSetFlags)(DWORD, DWORD);
    DWORD (*ChannelGetData)(DWORD, void*, DWORD);
    BOOL (*ChannelPlay)(DWORD, BOOL);
    BOOL (*ChannelPause)(DWORD);
    BOOL (*ChannelStop)(DWORD);
    DWORD (*ChannelIsActive)(DWORD);
};

AudioApi g_audio{};
// Why the module refused the last sound file; a module of another make may lack it.
const char* (*g_fileRefusal)() = nullptr;

template <class F> bool Bind(HMODULE module, const char* name, F& function) {
    FARPROC address = GetProcAddress(module, name);
    function = reinterpret_cast<F>(reinterpret_cast<void (*)()>(address));
    return address != nullptr;
}

// Binds the 26 functions after BASS_GetVersion; false when one is missing.
bool BindFunctions(HMODULE m) {
    AudioApi& a = g_audio;
    bool ok = Bind(m, "BASS_GetDeviceDescription", a.GetDeviceDescription);
    ok = Bind(m, "BASS_Init", a.Init) && ok;
    ok = Bind(m, "BASS_Free", a.Free) && ok;
    ok = Bind(m, "BASS_Start", a.Start) && ok;
    ok = Bind(m, "BASS_Stop", a.Stop) && ok;
    ok = Bind(m, "BASS_SetConfig", a.SetConfig) && ok;
    ok = Bind(m, "BASS_SampleLoad", a.SampleLoad) && ok;
    ok = Bind(m, "BASS_SampleCreate", a.SampleCreate) && ok;
    ok = Bind(m, "BASS_SampleCreateDone", a.SampleCreateDone) && ok;
    ok = Bind(m, "BASS_SampleGetInfo", a.SampleGetInfo) && ok;
    ok = Bind(m, "BASS_SampleGetChannel", a.SampleGetChannel) && ok;
    ok = Bind(m, "BASS_SampleFree", a.SampleFree) && ok;
    ok = Bind(m, "BASS_MusicLoad", a.MusicLoad) && ok;
    ok = Bind(m, "BASS_MusicFree", a.MusicFree) && ok;
    ok = Bind(m, "BASS_StreamCreateFile", a.StreamCreateFile) && ok;
    ok = Bind(m, "BASS_StreamGetLength", a.StreamGetLength) && ok;
    ok = Bind(m, "BASS_StreamFree", a.StreamFree) && ok;
    ok = Bind(m, "BASS_ChannelGetInfo", a.ChannelGetInfo) && ok;
    ok = Bind(m, "BASS_ChannelGetAttributes", a.ChannelGetAttributes) && ok;
    ok = Bind(m, "BASS_ChannelSetAttributes", a.ChannelSetAttributes) && ok;
    ok = Bind(m, "BASS_ChannelSetFlags", a.ChannelSetFlags) && ok;
    ok = Bind(m, "BASS_ChannelGetData", a.ChannelGetData) && ok;
    ok = Bind(m, "BASS_ChannelPlay", a.ChannelPlay) && ok;
    ok = Bind(m, "BASS_ChannelPause", a.ChannelPause) && ok;
    ok = Bind(m, "BASS_ChannelStop", a.ChannelStop) && ok;
    ok = Bind(m, "BASS_ChannelIsActive", a.ChannelIsActive) && ok;
    Bind(m, "TQAudio_FileRefusal", g_fileRefusal);
    return ok;
}

// Why the module refused a sound file, in its words when it has them.
std::string SoundRefusal() {
    const char* why = g_fileRefusal ? g_fileRefusal() : "";
    return *why ? why : "not a readable sound file";
}

DWORD LoopFlag(bool loop) {
    return loop ? BASS_SAMPLE_LOOP : 0;
}

// Frequency scaled by pitch, truncated toward zero.
// A pitch that gives no rate of at least 1 Hz (NaN, zero, negative) leaves the rate as it is;
// rates beyond an int are held at its limits, since converting them would be undefined.
int ScaledFrequency(DWORD frequency, float pitch) {
    const double rate = static_cast<double>(frequency) * pitch;
    if (!(rate >= 1.0))
        return kKeepFrequency;
    return static_cast<int>(std::clamp(rate, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

// The 16-bit data of a decoding stream from where it is to its end; what decoded before a
// failure when the file breaks off, and at most 4 GiB.
std::vector<char> DecodeWhole(HSTREAM stream) {
    const size_t kChunkBytes = 1 << 16;
    std::vector<char> pcm;
    for (;;) {
        const size_t filled = pcm.size();
        if (filled > 0xFFFFFFFFu - kChunkBytes)
            break;
        pcm.resize(filled + kChunkBytes);
        const DWORD got = g_audio.ChannelGetData(stream, pcm.data() + filled, kChunkBytes);
        pcm.resize(filled + (got == static_cast<DWORD>(-1) ? 0 : got));
        if (got == 0 || got == static_cast<DWORD>(-1))
            break;
    }
    return pcm;
}

// Plays music or a stream from the start at its own rate, full volume and centred.
DWORD PlayWholeChannel(DWORD handle, bool loop) {
    TQAudioChannelInfo info{};
    g_audio.ChannelGetInfo(handle, &info);
    g_audio.ChannelSetAttributes(handle, static_cast<int>(info.freq), 100, 0);
    g_audio.ChannelSetFlags(handle, LoopFlag(loop));
    g_audio.ChannelPlay(handle, TRUE);
    return handle;
}

} // namespace

bool TQGfxDevice::SoundInit() {
    if (!m_bUseSound || SoundLoaded())
        return true;
    // A missing or incompatible module is reported, and the engine runs on without sound.
    HMODULE module = LoadLibraryA("bass.dll");
    if (!module) {
        PostError("Can't load BASS.DLL");
        return true;
    }
    if (!Bind(module, "BASS_GetVersion", g_audio.GetVersion) || g_audio.GetVersion() != kAudioVersion ||
        !BindFunctions(module)) {
        PostError("Incorrect BASS.DLL version");
        FreeLibrary(module);
        return true;
    }
    m_hBass = module;
    m_bSilent = false;
    if (!g_audio.Init(kOutputDevice, static_cast<DWORD>(m_nSampleRate), 0, m_hWnd, nullptr)) {
        System_Log("BASS Init failed, using no sound");
        g_audio.Init(kNoSoundDevice, static_cast<DWORD>(m_nSampleRate), 0, m_hWnd, nullptr);
        m_bSilent = true;
    } else {
        const char* description = g_audio.GetDeviceDescription(kOutputDevice);
        System_Log("Sound Device: %s", description ? description : "");
        System_Log("Sample rate: %ld\n", static_cast<long>(m_nSampleRate));
    }
    SetFXVolume(m_nFXVolume);
    SetMusicVolume(m_nMusVolume);
    return true;
}

void TQGfxDevice::SoundDone() {
    if (!SoundLoaded())
        return;
    g_audio.Stop();
    g_audio.Free();
    FreeLibrary(m_hBass);
    m_hBass = nullptr;
    for (const StreamMemory& memory : m_streams)
        Resource_Free(memory.data);
    m_streams.clear();
}

void TQGfxDevice::SetFXVolume(int volume) {
    if (SoundLoaded())
        g_audio.SetConfig(BASS_CONFIG_GVOL_SAMPLE, static_cast<DWORD>(volume));
}

// The music volume is that of tracker music and of streams alike: both are music to a game.
void TQGfxDevice::SetMusicVolume(int volume) {
    if (!SoundLoaded())
        return;
    g_audio.SetConfig(BASS_CONFIG_GVOL_MUSIC, static_cast<DWORD>(volume));
    g_audio.SetConfig(BASS_CONFIG_GVOL_STREAM, static_cast<DWORD>(volume));
}

// The caller's block (size > 0) or the named resource read whole (*owned: free it afterwards).
void* TQGfxDevice::LoadSoundData(const char* nameOrData, DWORD size, DWORD* length, bool* owned) {
    *owned = size == 0;
    if (size) {
        *length = size;
        return const_cast<char*>(nameOrData);
    }
    return Resource_Load(nameOrData, length);
}

// Decodes a file the sample loader refused into a new sample. The frames are read to the file's
// real end before the sample is made, so a header that claims more costs nothing, and the sample
// holds exactly what decoded.
DWORD TQGfxDevice::DecodeEffect(const void* data, DWORD length) {
    HSTREAM stream = g_audio.StreamCreateFile(TRUE, data, 0, length, BASS_STREAM_DECODE);
    if (!stream)
        return 0;
    TQAudioChannelInfo info{};
    std::vector<char> pcm;
    // Data that decodes to more than memory holds fails as the sample loader's refusal does.
    try {
        if (g_audio.ChannelGetInfo(stream, &info) && info.chans > 0)
            pcm = DecodeWhole(stream);
    } catch (const std::bad_alloc&) {
        pcm.clear();
    }
    g_audio.StreamFree(stream);
    const DWORD frameBytes = info.chans * sizeof(int16_t);
    const DWORD frames = frameBytes ? static_cast<DWORD>(pcm.size() / frameBytes) : 0;
    if (frames == 0)
        return 0;
    void* buffer = g_audio.SampleCreate(frames, info.freq, kMaxPlaybacks,
                                        (info.flags & BASS_SAMPLE_MONO) | BASS_SAMPLE_OVER_VOL);
    if (!buffer) {
        PostError("Can't create sound effect: Not enough memory");
        return 0;
    }
    memcpy(buffer, pcm.data(), size_t(frames) * frameBytes);
    HSAMPLE sample = g_audio.SampleCreateDone();
    if (!sample)
        PostError("Can't create sound effect");
    return sample;
}

// A sound read (a named file or data in memory) and opened. Memory the device read is freed after
// opening, unless the handle plays from it: then it goes with the handle (Stream_Free).
DWORD TQGfxDevice::OpenSound(const char* nameOrData, DWORD size, const SoundOpener& open) {
    if (!SoundLoaded())
        return 0;
    DWORD length = 0;
    bool owned = false;
    void* data = LoadSoundData(nameOrData, size, &length, &owned);
    if (!data)
        return 0;
    bool keep = false;
    const DWORD handle = open(data, length, &keep);
    if (owned && keep)
        m_streams.insert(m_streams.begin(), StreamMemory{handle, data});
    else if (owned)
        Resource_Free(data);
    return handle;
}

// An effect or stream opened as above. Without an output nothing is decoded, but a named file that
// cannot be read fails (and is logged) as it would with one, so a game learns of a missing file on
// any machine. Data the module refuses leaves its reason in m_soundLoadProblem, posted as the
// error (after `lead` when there is one, and the file's name when the device read it); the caller,
// which knows what the data was, logs the line.
DWORD TQGfxDevice::LoadSound(const char* nameOrData, DWORD size, const SoundOpener& open, const char* lead) {
    m_soundLoadProblem.clear();
    const DWORD handle = m_bSilent
                             ? OpenSound(nameOrData, size, [](void*, DWORD, bool*) { return kSilentHandle; })
                             : OpenSound(nameOrData, size, open);
    if (!m_soundLoadProblem.empty()) {
        const std::string problem = size ? m_soundLoadProblem : nameOrData + (": " + m_soundLoadProblem);
        PostError((lead ? lead + (": " + problem) : problem).c_str());
    }
    return handle;
}

DWORD TQGfxDevice::Effect_Load(const char* nameOrData, DWORD size) {
    return LoadSound(nameOrData, size, [this](void* data, DWORD length, bool*) {
        HSAMPLE sample = g_audio.SampleLoad(TRUE, data, 0, length, kMaxPlaybacks, BASS_SAMPLE_OVER_VOL);
        if (sample)
            return sample;
        const std::string refusal = SoundRefusal();
        sample = DecodeEffect(data, length);
        if (!sample)
            m_soundLoadProblem = refusal;
        return sample;
    });
}

void TQGfxDevice::Effect_Free(DWORD effect) {
    if (SoundLoaded())
        g_audio.SampleFree(effect);
}

DWORD TQGfxDevice::Effect_Play(DWORD effect) {
    if (!SoundLoaded())
        return 0;
    HCHANNEL channel = g_audio.SampleGetChannel(effect, FALSE);
    g_audio.ChannelPlay(channel, TRUE);
    return channel;
}

DWORD TQGfxDevice::Effect_PlayEx(DWORD effect, int volume, int pan, float pitch, bool loop) {
    if (!SoundLoaded())
        return 0;
    TQAudioSampleInfo info{};
    g_audio.SampleGetInfo(effect, &info);
    HCHANNEL channel = g_audio.SampleGetChannel(effect, FALSE);
    g_audio.ChannelSetAttributes(channel, ScaledFrequency(info.freq, pitch), volume, pan);
    g_audio.ChannelSetFlags(channel, LoopFlag(loop));
    g_audio.ChannelPlay(channel, TRUE);
    return channel;
}

DWORD TQGfxDevice::Music_Load(const char* nameOrData, DWORD size) {
    return OpenSound(nameOrData, size, [this](void* data, DWORD length, bool*) {
        HMUSIC music = g_audio.MusicLoad(TRUE, data, 0, length, 0, 0);
        if (!music)
            PostError("Can't load music");
        return music;
    });
}

void TQGfxDevice::Music_Free(DWORD music) {
    if (SoundLoaded())
        g_audio.MusicFree(music);
}

DWORD TQGfxDevice::Music_Play(DWORD music, bool loop) {
    return SoundLoaded() ? PlayWholeChannel(music, loop) : 0;
}

DWORD TQGfxDevice::Stream_Load(const char* nameOrData, DWORD size) {
    return LoadSound(
        nameOrData, size,
        [this](void* data, DWORD length, bool* keepData) {
            HSTREAM stream = g_audio.StreamCreateFile(TRUE, data, 0, length, 0);
            if (!stream)
                m_soundLoadProblem = SoundRefusal();
            *keepData = stream != 0;
            return stream;
        },
        "Can't load stream");
}

void TQGfxDevice::Stream_Free(DWORD stream) {
    if (!SoundLoaded())
        return;
    // The stream stops before the memory it plays from goes.
    g_audio.StreamFree(stream);
    for (auto it = m_streams.begin(); it != m_streams.end(); ++it) {
        if (it->stream == stream) {
            Resource_Free(it->data);
            m_streams.erase(it);
            return;
        }
    }
}

DWORD TQGfxDevice::Stream_Play(DWORD stream, bool loop) {
    return SoundLoaded() ? PlayWholeChannel(stream, loop) : 0;
}

void TQGfxDevice::Channel_SetPanning(DWORD channel, int pan) {
    if (SoundLoaded())
        g_audio.ChannelSetAttributes(channel, kKeepFrequency, kKeepVolume, pan);
}

void TQGfxDevice::Channel_SetVolume(DWORD channel, int volume) {
    if (SoundLoaded())
        g_audio.ChannelSetAttributes(channel, kKeepFrequency, volume, kKeepPan);
}

void TQGfxDevice::Channel_SetPitch(DWORD channel, float pitch) {
    if (!SoundLoaded())
        return;
    TQAudioChannelInfo info{};
    g_audio.ChannelGetInfo(channel, &info);
    g_audio.ChannelSetAttributes(channel, ScaledFrequency(info.freq, pitch), kKeepVolume, kKeepPan);
}

void TQGfxDevice::Channel_Pause(DWORD channel) {
    if (SoundLoaded())
        g_audio.ChannelPause(channel);
}

void TQGfxDevice::Channel_Resume(DWORD channel) {
    if (SoundLoaded())
        g_audio.ChannelPlay(channel, FALSE);
}

void TQGfxDevice::Channel_Stop(DWORD channel) {
    if (SoundLoaded())
        g_audio.ChannelStop(channel);
}

void TQGfxDevice::Channel_StopAll() {
    if (!SoundLoaded())
        return;
    g_audio.Stop();
    g_audio.Start();
}

bool TQGfxDevice::Channel_IsPlaying(DWORD channel) {
    return SoundLoaded() && g_audio.ChannelIsActive(channel) == BASS_ACTIVE_PLAYING;
}
