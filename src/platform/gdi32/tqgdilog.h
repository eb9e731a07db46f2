// Failure messages of the GDI layer, written to standard error.
#pragma once

namespace tqplat {

void GdiLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace tqplat
