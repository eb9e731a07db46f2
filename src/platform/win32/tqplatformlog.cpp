#include "platform/win32/tqplatformlog.h"

#include <cstdarg>
#include <cstdio>

namespace tqplat {

void PlatformLog(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    fprintf(stderr, "tqplat: %s\n", line);
}

} // namespace tqplat
