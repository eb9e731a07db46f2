/// @class TQGfxFramePacer
/// TQGfxFramePacer: when the frame loop's next frame is due, and how many frames the last second
/// held.
///
/// At a fixed rate n the frames are due on a grid of slots k / n seconds after the grid's start
/// (rounded up to the millisecond clock), so n frames run each second on average, whatever the
/// millisecond rounding. A late frame takes the latest slot that has come: the next one stays on
/// the grid, and after a stall one frame runs, never a burst of frames to catch up. Without a fixed
/// rate a frame is due one millisecond after the last one started.
///
/// Frames are counted in whole seconds of the clock, each frame in the second its slot (without a
/// fixed rate, its start) falls in; at a fixed rate a second thus never holds more than n frames.
#pragma once

#include "platform/win32/tqwintypes.h"

#include <cstdint>

class TQGfxFramePacer {
public:
    /// Starts anew at now: the grid, the last frame's start and the counting window; no frames
    /// counted. The first frame is due at once.
    void Reset(DWORD now);
    /// fps > 0 paces to fps frames a second on a grid starting at the last frame's start; 0 and
    /// below run free.
    void SetRate(int fps);
    /// The moment of the millisecond clock at which the next frame is due.
    DWORD NextFrameDue() const;
    /// Records a frame starting at now (at or after NextFrameDue()); returns the milliseconds since
    /// the previous frame started.
    DWORD StartFrame(DWORD now);
    /// The frames counted in the last whole second that has ended; 0 before one has.
    int FramesPerSecond() const { return m_framesPerSecond; }
    /// The interval of the fixed rate in seconds, 0 when the rate is not fixed.
    float FixedInterval() const { return m_rate > 0 ? 1.0f / static_cast<float>(m_rate) : 0.0f; }

private:
    DWORD SlotTime(int64_t slot) const;
    int64_t LatestSlotAt(DWORD now) const;
    void RebaseGrid();
    void Count(DWORD stamp);

    int m_rate = 0;
    DWORD m_gridStart = 0;
    int64_t m_slot = -1; // the slot of the last frame; slot 0 is at the grid's start
    DWORD m_lastStart = 0;
    DWORD m_windowStart = 0;
    int m_framesInWindow = 0;
    int m_framesPerSecond = 0;
};
