#include "platform/audio/tqaudiolog.h"

#include <cstdarg>
#include <cstdio>

namespace tqaudio {

void LogMessage(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    fprintf(stderr, "tqaudio: %s\n", text);
}

} // namespace tqaudio
