// Log lines of the audio module, written to the standard error stream. On the mixing thread a line
// is not written but kept (up to a few dozen, without allocating), for a game-side call to write.
#pragma once

#include <string>

namespace tqaudio {

// A file's name (GBK, as the game names files) as log lines show it: UTF-8, and when long, "..."
// and its last bytes, which hold the file's own name.
std::string LoggedName(const char* gbk);

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
