#include "platform/gdi32/tqgdilog.h"

#include <cstdarg>
#include <cstdio>

namespace tqplat {

void GdiLog(const char* format, ...) {
    std::fputs("gdi32: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
}

} // namespace tqplat
