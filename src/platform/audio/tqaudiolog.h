// Log lines of the audio module, written to the standard error stream.
#pragma once

namespace tqaudio {

// Writes "tqaudio: " and the formatted message as one line.
void LogMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace tqaudio
