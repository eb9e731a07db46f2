// WINMM stand-ins: the millisecond clock of the frame loop.
#pragma once

#include "platform/win32/tqwintypes.h"

#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97

// Milliseconds of a monotonic clock, wrapping around at 2^32 (compare with unsigned differences).
// Under the test clock (tqplatformtest.h) it reads the test clock.
DWORD timeGetTime();

// Timer resolution requests: the clock is always 1 ms precise; periods 0 are refused.
UINT timeBeginPeriod(UINT period);
UINT timeEndPeriod(UINT period);
