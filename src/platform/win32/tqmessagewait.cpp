// Waiting for the calling thread's next message without polling: messages posted to its queue wake
// the wait through the queue; display events through the backend, which waits on the display
// connection when the thread is the one that pumps it.
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqmessagequeue.h"
#include "platform/win32/tqpacing.h"
#include "platform/win32/tqplatformtest.h"
#include "platform/win32/video/tqvideodriver.h"

namespace tqplat {
namespace {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A backend waits in whole milliseconds and may end up to one late: before a moment that must be
// kept it stops this much short, and the rest is slept precisely.
constexpr milliseconds kBackendMargin{1};

// Waits up to `backendWait` for a backend event, or, when the backend has none for this thread,
// until `until` for a posted message. True when something came. While the backend waits, only
// its events end the wait (messages are posted on the thread that pumps them).
bool WaitForInput(milliseconds backendWait, SteadyClock::time_point until) {
    if (MessageQueue::Current().Pending())
        return true;
    if (backendWait.count() <= 0)
        return false;
    const int backend = ActiveVideoDriver().waitEvents(static_cast<int>(backendWait.count()));
    if (backend < 0)
        return MessageQueue::Current().WaitUntil(until);
    return backend > 0 || MessageQueue::Current().Pending();
}

} // namespace

bool WaitMessageUntilTime(DWORD due) {
    if (TestClockEnabled()) {
        if (MessageQueue::Current().Pending())
            return true;
        SleepUntilTime(due);
        return false;
    }
    const SteadyClock::time_point wake = InstantOfTime(due) - kPacingSpin;
    const auto backendWait =
        std::chrono::duration_cast<milliseconds>(wake - SteadyClock::now()) - kBackendMargin;
    if (WaitForInput(backendWait, wake))
        return true;
    SleepUntilTime(due);
    return false;
}

bool WaitMessage(DWORD timeout) {
    if (TestClockEnabled()) {
        if (MessageQueue::Current().Pending())
            return true;
        Sleep(timeout);
        return false;
    }
    const milliseconds wait(timeout);
    return WaitForInput(wait, SteadyClock::now() + wait);
}

} // namespace tqplat
