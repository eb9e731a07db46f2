// What the game last asked of a channel, as its voice reads it: counts of the calls that change
// what plays, so the mix sees each one even when several come between two of its passes, and the
// values it plays with.
#pragma once

#include <cstdint>

namespace tqaudio {

struct VoiceControls {
    uint32_t commands = 0; // Play, Pause and Stop calls so far
    uint32_t restarts = 0; // plays from the start so far
    bool playing = false;
    bool loop = false;
    bool released = false; // the channel is gone: the voice fades out and finishes
    double rate = 0.0;     // source frames per second
    float left = 1.0f;     // gains of the two sides
    float right = 1.0f;
};

} // namespace tqaudio
