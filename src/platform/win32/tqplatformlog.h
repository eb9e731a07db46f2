// Failure messages of the platform layer, written to standard error as UTF-8 lines.
#pragma once

namespace tqplat {

// printf-style; the line is prefixed with "tqplat: " and ended with a newline.
void PlatformLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace tqplat
