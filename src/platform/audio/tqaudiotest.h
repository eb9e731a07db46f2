// Test entry points of the audio module, exported beside the functions the device binds.
#pragma once

#include "platform/audio/tqaudio.h"

// BASS_Init flag for device 0: the silent output does not advance the mix by itself, so only
// TQAudioTest_Render moves the channels forward.
#define TQAUDIO_TEST_MANUAL_CLOCK 0x80000000u

// Renders `frames` frames of the mix, interleaved stereo floats, into `out` (2 × frames values)
// and advances every playing channel by as much, in passes of at most 1,024 frames, each once the
// decode thread has filled every stream's and music's buffer. Returns the frames rendered (0
// before BASS_Init).
TQAUDIO_API DWORD TQAudioTest_Render(float* out, DWORD frames);

// Calls `begin` and `end` (both or neither) on the rendering thread around every mix pass, the
// output's or a test's, from now on; NULL stops. For counting what a pass does.
TQAUDIO_API void TQAudioTest_WatchPasses(void (*begin)(void), void (*end)(void));

// Resampling kernels picked from now on use at most this instruction set: 0 portable code, 1 SSE2,
// 2 AVX2 with FMA, 3 no limit (the processor's best). Lets tests compare every kernel the
// processor runs.
TQAUDIO_API void TQAudioTest_LimitKernels(int level);
