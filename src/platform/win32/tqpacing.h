// Waiting for a moment of the millisecond clock (timeGetTime) to within microseconds, for pacing
// frames, and waiting for a thread's next message without polling.
//
// A wait until a moment sleeps until kPacingSpin before it and spins the rest, so that it returns
// just after timeGetTime() reaches the moment; the first such sleep lowers the thread's timer slack
// to a microsecond. Under the test clock (tqplatformtest.h) nothing waits: the test clock moves on
// to the moment instead, as Sleep advances it.
#pragma once

#include "platform/win32/tqwintypes.h"

#include <chrono>

namespace tqplat {

// How long before the moment a wait stops sleeping and spins: more than the system usually
// oversleeps (tens of microseconds, up to about 150 under load), a small share of a frame.
constexpr std::chrono::microseconds kPacingSpin{150};

// Returns once timeGetTime() has reached `due`; at once when that is now or in the past (moments
// up to 2^31 ms behind).
void SleepUntilTime(DWORD due);

// As SleepUntilTime, but returns early, with true, when the calling thread has a message to
// retrieve or its display backend an event to pump. Without a message it returns false once
// timeGetTime() has reached `due`.
bool WaitMessageUntilTime(DWORD due);

// Waits up to `timeout` ms for a message or backend event as WaitMessageUntilTime does, without
// the spin at the end (under the test clock, moves it on by `timeout` when nothing is there).
bool WaitMessage(DWORD timeout);

// The moment of the steady clock at which timeGetTime() reaches `time` (taken as at most 2^31 ms
// ahead or behind).
std::chrono::steady_clock::time_point InstantOfTime(DWORD time);

} // namespace tqplat
