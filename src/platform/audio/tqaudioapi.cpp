// The functions the device binds by name, and the test entry points: each forwards to the
// module's one AudioSystem.
#include "platform/audio/tqaudio.h"
#include "platform/audio/tqaudiosystem.h"
#include "platform/audio/tqaudiotest.h"
#include "platform/audio/tqsndfiledecoder.h"
#include "platform/system/tqcpufeatures.h"

#include <algorithm>

using tqaudio::AudioSystem;
using tqaudio::Channel;

namespace {

AudioSystem& System() {
    return AudioSystem::Instance();
}

} // namespace

TQAUDIO_API DWORD BASS_GetVersion(void) {
    return TQAUDIO_VERSION;
}

TQAUDIO_API char* BASS_GetDeviceDescription(DWORD device) {
    return const_cast<char*>(System().DeviceDescription(device));
}

TQAUDIO_API BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND, const void*) {
    return System().Init(device, freq, flags);
}

TQAUDIO_API BOOL BASS_Free(void) {
    return System().Free();
}

TQAUDIO_API BOOL BASS_Start(void) {
    return System().Start();
}

TQAUDIO_API BOOL BASS_Stop(void) {
    return System().Stop();
}

TQAUDIO_API DWORD BASS_SetConfig(DWORD option, DWORD value) {
    return System().SetConfig(option, value);
}

TQAUDIO_API HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD max,
                                    DWORD flags) {
    return System().SampleLoad(mem, file, offset, length, max, flags);
}

TQAUDIO_API void* BASS_SampleCreate(DWORD length, DWORD freq, DWORD max, DWORD flags) {
    return System().SampleCreate(length, freq, max, flags);
}

TQAUDIO_API HSAMPLE BASS_SampleCreateDone(void) {
    return System().SampleCreateDone();
}

TQAUDIO_API BOOL BASS_SampleGetInfo(HSAMPLE handle, TQAudioSampleInfo* info) {
    return System().SampleGetInfo(handle, info);
}

TQAUDIO_API HCHANNEL BASS_SampleGetChannel(HSAMPLE handle, BOOL) {
    return System().SampleGetChannel(handle);
}

TQAUDIO_API BOOL BASS_SampleFree(HSAMPLE handle) {
    return System().SampleFree(handle);
}

TQAUDIO_API HMUSIC BASS_MusicLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags,
                                  DWORD freq) {
    return System().MusicLoad(mem, file, offset, length, flags, freq);
}

TQAUDIO_API BOOL BASS_MusicFree(HMUSIC handle) {
    return System().FreeChannelOf(handle, Channel::Kind::Music);
}

TQAUDIO_API HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length,
                                          DWORD flags) {
    return System().StreamCreateFile(mem, file, offset, length, flags);
}

TQAUDIO_API QWORD BASS_StreamGetLength(HSTREAM handle) {
    return System().StreamGetLength(handle);
}

TQAUDIO_API BOOL BASS_StreamFree(HSTREAM handle) {
    return System().FreeChannelOf(handle, Channel::Kind::Stream);
}

TQAUDIO_API BOOL BASS_ChannelGetInfo(DWORD handle, TQAudioChannelInfo* info) {
    return System().ChannelGetInfo(handle, info);
}

TQAUDIO_API DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    return System().ChannelGetData(handle, buffer, length);
}

TQAUDIO_API BOOL BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan) {
    return System().ChannelSetAttributes(handle, freq, volume, pan);
}

TQAUDIO_API BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) {
    return System().ChannelGetAttributes(handle, freq, volume, pan);
}

TQAUDIO_API BOOL BASS_ChannelSetFlags(DWORD handle, DWORD flags) {
    return System().ChannelSetFlags(handle, flags);
}

TQAUDIO_API BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    return System().ChannelPlay(handle, restart);
}

TQAUDIO_API BOOL BASS_ChannelPause(DWORD handle) {
    return System().ChannelPause(handle);
}

TQAUDIO_API BOOL BASS_ChannelStop(DWORD handle) {
    return System().ChannelStop(handle);
}

TQAUDIO_API DWORD BASS_ChannelIsActive(DWORD handle) {
    return System().ChannelIsActive(handle);
}

TQAUDIO_API int BASS_ErrorGetCode(void) {
    return AudioSystem::LastError();
}

TQAUDIO_API const char* TQAudio_FileRefusal(void) {
    return tqaudio::SndfileDecoder::Refusal();
}

TQAUDIO_API DWORD TQAudioTest_Render(float* out, DWORD frames) {
    return System().RenderForTest(out, frames);
}

TQAUDIO_API void TQAudioTest_WatchPasses(void (*begin)(void), void (*end)(void)) {
    System().WatchPasses(begin, end);
}

TQAUDIO_API void TQAudioTest_LimitKernels(int level) {
    tqplat::LimitKernelLevel(static_cast<tqplat::KernelLevel>(std::clamp(level, 0, 3)));
}
