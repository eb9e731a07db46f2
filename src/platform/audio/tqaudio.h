// The audio module (libtqaudio.so): the functions the device loads by name when it asks for
// "bass.dll", with their types, flags and error codes.
//
// Every handle is an unsigned 32-bit value from one table with generation counts: never 0 or 1,
// and a handle that was freed, belongs to an earlier session (after BASS_Free) or names another
// kind of object is refused with BASS_ERROR_HANDLE. Music and stream handles are their own
// channels; a sample hands out one channel per playback. Loading is from memory only.
//
// After every call BASS_ErrorGetCode gives the outcome of the last call made by this thread.
// All functions may be called from any thread; the mix runs on the output's own thread, and streams and
// music are decoded ahead of it on a thread of the module's own, so no call waits for a decode.
#pragma once

#include "platform/win32/tqwintypes.h"

#define TQAUDIO_API extern "C" __attribute__((visibility("default")))

typedef uint64_t QWORD;
typedef DWORD HSAMPLE;  // a loaded sample
typedef DWORD HCHANNEL; // one playback of a sample
typedef DWORD HMUSIC;   // tracker music, its own channel
typedef DWORD HSTREAM;  // a file decoded while it plays, its own channel

// The version BASS_GetVersion reports.
#define TQAUDIO_VERSION 0x00010002u

// BASS_Init devices: -1 or 1 is the default output; 0 runs without sound (everything loads and
// plays, nothing is heard). When no output can be opened, BASS_Init of the default device fails
// with BASS_ERROR_DRIVER, as on a machine without a sound card; device 0 always starts.
#define TQAUDIO_DEVICE_DEFAULT (-1)
#define TQAUDIO_DEVICE_NOSOUND 0

// Sample, stream and music flags.
#define BASS_SAMPLE_8BITS 1          // 8-bit unsigned data (else 16-bit signed)
#define BASS_SAMPLE_MONO 2           // one channel (else two)
#define BASS_SAMPLE_LOOP 4           // play again from the start at the end
#define BASS_SAMPLE_OVER_VOL 0x10000 // when all playbacks are busy, replace the quietest
#define BASS_STREAM_DECODE 0x200000  // a stream that is not played but read with BASS_ChannelGetData

// BASS_SetConfig options: group volumes 0..100, applied on top of each channel's volume.
#define BASS_CONFIG_GVOL_SAMPLE 4 // samples
#define BASS_CONFIG_GVOL_STREAM 5 // streams
#define BASS_CONFIG_GVOL_MUSIC 6  // tracker music

// BASS_ChannelIsActive results.
#define BASS_ACTIVE_STOPPED 0
#define BASS_ACTIVE_PLAYING 1
#define BASS_ACTIVE_PAUSED 3

// BASS_ErrorGetCode results.
#define BASS_OK 0
#define BASS_ERROR_MEM 1       // out of memory
#define BASS_ERROR_DRIVER 3    // the output could not be opened
#define BASS_ERROR_HANDLE 5    // unknown, freed or foreign handle
#define BASS_ERROR_FORMAT 6    // unsupported sample format
#define BASS_ERROR_INIT 8      // BASS_Init has not been called
#define BASS_ERROR_START 9     // the output is stopped (BASS_Stop without BASS_Start)
#define BASS_ERROR_ALREADY 14  // already initialised
#define BASS_ERROR_NOCHAN 18   // every playback of the sample is busy, or every handle (65,534) is in use
#define BASS_ERROR_ILLTYPE 19  // the object does not support the call
#define BASS_ERROR_ILLPARAM 20 // an argument is invalid
#define BASS_ERROR_DEVICE 23   // no such device
#define BASS_ERROR_NOPLAY 24   // the channel is not playing
#define BASS_ERROR_EMPTY 31    // BASS_SampleCreateDone without BASS_SampleCreate
#define BASS_ERROR_NOTAVAIL 37 // the value is not available
#define BASS_ERROR_DECODE 38   // a decoding stream cannot be played
#define BASS_ERROR_FILEFORM 41 // corrupt, truncated or unsupported file data
#define BASS_ERROR_UNKNOWN (-1)

// BASS_SampleGetInfo record: the sample's defaults.
struct TQAudioSampleInfo {
    DWORD freq;   // default playback rate, Hz
    DWORD volume; // default volume 0..100
    int pan;      // default panning -100..100
    DWORD flags;  // BASS_SAMPLE_* flags
    DWORD length; // data length in bytes (16-bit or 8-bit, as created)
    DWORD max;    // simultaneous playbacks
};

// BASS_ChannelGetInfo record.
struct TQAudioChannelInfo {
    DWORD freq;  // default playback rate, Hz (not changed by BASS_ChannelSetAttributes)
    DWORD chans; // 1 or 2
    DWORD flags; // creation flags, plus BASS_SAMPLE_MONO for one channel
};

// Version of the module: TQAUDIO_VERSION.
TQAUDIO_API DWORD BASS_GetVersion(void);
// Text describing device `device` (0 = no sound, 1 = default output); NULL when there is none.
TQAUDIO_API char* BASS_GetDeviceDescription(DWORD device);
// Starts the module on `device` with a mix at `freq` Hz (stereo, floating point). `flags`, `win`
// and `clsid` are not used. FALSE with BASS_ERROR_ALREADY when already started, with
// BASS_ERROR_DRIVER when the default output cannot be opened.
TQAUDIO_API BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND win, const void* clsid);
// Stops the output and frees every sample, music and stream; all handles become invalid.
TQAUDIO_API BOOL BASS_Free(void);
// Starts the output again after BASS_Stop.
TQAUDIO_API BOOL BASS_Start(void);
// Stops every channel, fading out over 5 ms, and the output; channels cannot play until BASS_Start.
TQAUDIO_API BOOL BASS_Stop(void);
// Sets a group volume (BASS_CONFIG_GVOL_*), clamped to 0..100; returns the value set, or
// (DWORD)-1 for an unknown option.
TQAUDIO_API DWORD BASS_SetConfig(DWORD option, DWORD value);

// Loads a WAV, OGG, FLAC or MP3 file of `length` bytes at `file` + `offset` (mem must be TRUE);
// the data is copied. At most `max` playbacks at once (1..65535); with BASS_SAMPLE_OVER_VOL a
// new playback replaces the quietest when all are busy. BASS_SAMPLE_LOOP loops every playback.
TQAUDIO_API HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD max,
                                    DWORD flags);
// Starts a sample of `length` sample frames at `freq` Hz, 16-bit (or 8-bit with BASS_SAMPLE_8BITS),
// stereo (or mono with BASS_SAMPLE_MONO); returns the zeroed buffer (length × frame bytes) to fill,
// valid until BASS_SampleCreateDone, or NULL. Each thread has its own: a second call on the same
// thread discards its unfinished one.
TQAUDIO_API void* BASS_SampleCreate(DWORD length, DWORD freq, DWORD max, DWORD flags);
// Turns the buffer of this thread's last BASS_SampleCreate into a sample; 0 when there is none.
TQAUDIO_API HSAMPLE BASS_SampleCreateDone(void);
TQAUDIO_API BOOL BASS_SampleGetInfo(HSAMPLE handle, TQAudioSampleInfo* info);
// A channel for one playback of the sample, with the sample's defaults; 0 when all are busy
// (BASS_ERROR_NOCHAN) without BASS_SAMPLE_OVER_VOL. A stopped playback's channel is reused
// under a new handle. `onlynew` is not used.
TQAUDIO_API HCHANNEL BASS_SampleGetChannel(HSAMPLE handle, BOOL onlynew);
// Stops the sample's playbacks and frees it with its channels; what was playing fades out over 5 ms.
TQAUDIO_API BOOL BASS_SampleFree(HSAMPLE handle);

// Loads MOD, S3M, XM or IT music from memory (copied), rendered at `freq` Hz (0 = the mix rate).
TQAUDIO_API HMUSIC BASS_MusicLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags,
                                  DWORD freq);
// Frees music; if it was playing, it fades out over 5 ms.
TQAUDIO_API BOOL BASS_MusicFree(HMUSIC handle);

// Opens a WAV, OGG, FLAC or MP3 stream on memory that is NOT copied: the caller keeps it valid
// until BASS_StreamFree or BASS_Free. With BASS_STREAM_DECODE it is read with BASS_ChannelGetData
// as 16-bit data instead of played.
TQAUDIO_API HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length,
                                          DWORD flags);
// Length of the decoded data in bytes (16-bit, the stream's channels); (QWORD)-1 on failure.
TQAUDIO_API QWORD BASS_StreamGetLength(HSTREAM handle);
// Frees a stream; if it was playing, it fades out over 5 ms, from frames read before this returns,
// so the caller may free the stream's memory at once.
TQAUDIO_API BOOL BASS_StreamFree(HSTREAM handle);

TQAUDIO_API BOOL BASS_ChannelGetInfo(DWORD handle, TQAudioChannelInfo* info);
// Reads up to `length` bytes of 16-bit data from a decoding stream; the number read (0 at the end),
// or (DWORD)-1 on failure. A read into the buffer of BASS_SampleCreate stops at that buffer's end.
TQAUDIO_API DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);
// Playback rate in Hz (-1 unchanged, 0 the default rate), volume 0..100 (-1 unchanged) and
// panning -100..100 (-101 unchanged). Values out of range are clamped. A playing channel glides to
// a new rate over 512 output frames, and to a new volume or panning over 5 ms, as it does to a new
// group volume.
TQAUDIO_API BOOL BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan);
// Current playback rate, volume and panning; any pointer may be NULL.
TQAUDIO_API BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan);
// Sets the channel's flags; only BASS_SAMPLE_LOOP has an effect.
TQAUDIO_API BOOL BASS_ChannelSetFlags(DWORD handle, DWORD flags);
// Plays from the start (restart TRUE or the channel has ended) or resumes where it was, fading in
// over 5 ms as a pause or stop fades out; resumed within that fade, it goes on from where the fade
// is. A restart of what is heard crossfades over 5 ms into the new start.
TQAUDIO_API BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
TQAUDIO_API BOOL BASS_ChannelPause(DWORD handle);
TQAUDIO_API BOOL BASS_ChannelStop(DWORD handle);
// BASS_ACTIVE_STOPPED, BASS_ACTIVE_PLAYING or BASS_ACTIVE_PAUSED; stopped for an invalid handle.
TQAUDIO_API DWORD BASS_ChannelIsActive(DWORD handle);
// The outcome of this thread's last call: BASS_OK or a BASS_ERROR_* code.
TQAUDIO_API int BASS_ErrorGetCode(void);
// Why the last file this thread gave BASS_SampleLoad or BASS_StreamCreateFile was refused
// (BASS_ERROR_FILEFORM), as "not a readable sound file (reason)", for the caller to say with the
// file's name; "" when that file was read. The module itself writes no line for such a file.
TQAUDIO_API const char* TQAudio_FileRefusal(void);
