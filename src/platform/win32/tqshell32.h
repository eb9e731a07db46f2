// SHELL32 stand-ins: opening a file or address with the desktop's default application.
#pragma once

#include "platform/win32/tqwintypes.h"

#define SE_ERR_FNF 2
#define SE_ERR_NOASSOC 31

// Opens `file` (GBK: a path, resolved when it names an existing file, or an address such as
// "http://...") with xdg-open, started directly (never through a shell). The result is above 32 on
// success; SE_ERR_FNF for a missing target, SE_ERR_NOASSOC when the opener cannot be started.
// The verb, parameters and folder are not used.
HINSTANCE ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT showCommand);
