#include "platform/system/tqlogline.h"

#include <cstdio>

namespace tqplat {

void WriteLogLine(const char* prefix, const char* format, va_list args) {
    char line[1024];
    vsnprintf(line, sizeof(line), format, args);
    fprintf(stderr, "%s%s\n", prefix, line);
}

} // namespace tqplat
