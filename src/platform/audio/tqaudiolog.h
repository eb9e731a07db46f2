// Log lines of the audio module, written to the standard error stream. On the mixing thread a line
// is not written but kept (up to a few dozen, without allocating), for a game-side call to write.
#pragma once

namespace tqaudio {

// Writes "tqaudio: " and the formatted message as one line, or keeps it on the mixing thread.
void LogMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Marks the calling thread as the mixing thread while an object lives.
class MixingThreadScope {
public:
    MixingThreadScope();
    ~MixingThreadScope();
    MixingThreadScope(const MixingThreadScope&) = delete;
    MixingThreadScope& operator=(const MixingThreadScope&) = delete;
};

// Writes the lines the mixing thread kept; from a game-side call.
void WriteMixingThreadLines();

} // namespace tqaudio
