// Everything of the platform interface the engine uses: types, USER32, KERNEL32, WINMM, SHELL32.
#pragma once

#include "platform/win32/tqwintypes.h"

#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqshell32.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/tqwinmm.h"
