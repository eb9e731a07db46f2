#include "platform/audio/tqaudiolog.h"

#include "platform/system/tqlogline.h"

namespace tqaudio {

void LogMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    tqplat::WriteLogLine("tqaudio: ", format, args);
    va_end(args);
}

} // namespace tqaudio
