#include "platform/win32/tqplatformlog.h"

#include "platform/system/tqlogline.h"

namespace tqplat {

void PlatformLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteLogLine("tqplat: ", format, args);
    va_end(args);
}

} // namespace tqplat
