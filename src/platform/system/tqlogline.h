// One log line on the standard error stream, as the platform layer and the audio module write them.
#pragma once

#include <cstdarg>

namespace tqplat {

// Writes the prefix, the printf-style message (cut at 1023 bytes) and a newline as one line.
void WriteLogLine(const char* prefix, const char* format, va_list args);

} // namespace tqplat
