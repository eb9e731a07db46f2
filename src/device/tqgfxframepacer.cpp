#include "device/tqgfxframepacer.h"

#include <algorithm>

namespace {

const DWORD kSecondMs = 1000;

// Milliseconds from `from` to `to` on the wrapping clock; negative when `to` comes first.
int32_t Between(DWORD from, DWORD to) {
    return static_cast<int32_t>(to - from);
}

} // namespace

void TQGfxFramePacer::Reset(DWORD now) {
    m_gridStart = m_lastStart = m_windowStart = now;
    m_slot = -1; // the first frame is due at once, in slot 0
    m_framesInWindow = m_framesPerSecond = 0;
}

void TQGfxFramePacer::SetRate(int fps) {
    const int rate = std::max(fps, 0);
    if (rate == m_rate)
        return;
    m_rate = rate;
    m_gridStart = m_lastStart;
    m_slot = 0;
}

DWORD TQGfxFramePacer::NextFrameDue() const {
    return m_rate > 0 ? SlotTime(m_slot + 1) : m_lastStart + 1;
}

DWORD TQGfxFramePacer::StartFrame(DWORD now) {
    const DWORD interval = now - m_lastStart;
    m_lastStart = now;
    if (m_rate <= 0) {
        Count(now);
        return interval;
    }
    const int64_t latest = LatestSlotAt(now);
    if (latest < 0 || latest - m_slot > m_rate) {
        // More than a second behind (or so long that the clock's difference wrapped): the grid
        // starts again at this frame.
        m_gridStart = now;
        m_slot = 0;
    } else {
        m_slot = std::max(m_slot + 1, latest);
    }
    Count(SlotTime(m_slot));
    RebaseGrid();
    return interval;
}

// The moment of a slot: slot / rate seconds after the grid's start, rounded up to the millisecond.
DWORD TQGfxFramePacer::SlotTime(int64_t slot) const {
    return m_gridStart + static_cast<DWORD>((slot * kSecondMs + m_rate - 1) / m_rate);
}

// The last slot whose moment is at or before now; -1 when now does not follow the grid's start.
int64_t TQGfxFramePacer::LatestSlotAt(DWORD now) const {
    const int32_t elapsed = Between(m_gridStart, now);
    return elapsed < 0 ? -1 : static_cast<int64_t>(elapsed) * m_rate / kSecondMs;
}

// Every rate slots make exactly one second: the grid's start moves on by whole seconds so that its
// numbers stay small.
void TQGfxFramePacer::RebaseGrid() {
    const int64_t seconds = m_slot / m_rate;
    m_gridStart += static_cast<DWORD>(seconds * kSecondMs);
    m_slot -= seconds * m_rate;
}

// Counts a frame in the second of the clock that holds stamp; a frame of a later second closes the
// seconds before it (one that does not follow them, after the clock's difference wrapped, starts
// the seconds anew).
void TQGfxFramePacer::Count(DWORD stamp) {
    const int32_t since = Between(m_windowStart, stamp);
    const int32_t second = static_cast<int32_t>(kSecondMs);
    if (since < 0 || since >= second) {
        const int32_t seconds = since / second;
        m_framesPerSecond = seconds == 1 ? m_framesInWindow : 0;
        m_windowStart = since < 0 ? stamp : m_windowStart + static_cast<DWORD>(seconds) * kSecondMs;
        m_framesInWindow = 0;
    }
    ++m_framesInWindow;
}
