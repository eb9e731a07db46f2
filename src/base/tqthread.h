/// @file
/// A thread with a virtual body, run and stopped by its owner.
///
/// ThreadRun starts a thread (std::thread) that calls ThreadProc() over and over; each result
/// tells the loop what to do next:
/// @code{.unparsed}
///   TQTHREAD_END      (0): end the thread;
///   TQTHREAD_CONTINUE (1): call the body again at once;
///   TQTHREAD_IDLE     (2): call it again after a pause (so a polling body does not spin a core).
/// @endcode
/// ThreadStop asks the loop to end (a pause is cut short), waits for the running body to return
/// and joins the thread; afterwards ThreadRun may start it again.
///
/// A derived class must call ThreadStop in its own destructor, before its members go: the base
/// destructor stops a thread that still runs only as a last resort, when the derived part is
/// already gone. ThreadStop called from the body itself only asks the loop to end.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/win32/tqwintypes.h"

enum {
    TQTHREAD_END = 0,
    TQTHREAD_CONTINUE = 1,
    TQTHREAD_IDLE = 2,
};

/// Base of a thread with a looping virtual body; see tqthread.h.
class TQThread {
public:
    TQThread() = default;
    virtual ~TQThread();
    TQThread(const TQThread&) = delete;
    TQThread& operator=(const TQThread&) = delete;

    /// Starts the thread. name: the thread's name for debuggers (NULL: none; cut to 15 bytes);
    /// idleMilliseconds: the pause after TQTHREAD_IDLE (0: 1 ms); loop: nonzero runs the body until
    /// it ends or ThreadStop, 0 runs it once. FALSE when the thread runs already or cannot start.
    BOOL ThreadRun(const char* name, DWORD idleMilliseconds, BOOL loop);
    /// Asks the loop to end, waits for the body and joins the thread.
    void ThreadStop();
    /// True from ThreadRun until the body has ended.
    bool IsRunning() const { return m_running.load(); }

protected:
    /// The body; returns one of the TQTHREAD_ results.
    virtual int ThreadProc() { return TQTHREAD_END; }
    /// True once ThreadStop was called; a long body may check it.
    bool IsStopRequested() const { return m_stop.load(); }

private:
    void RunLoop(DWORD idleMilliseconds, bool loop);
    bool WaitIdle(DWORD milliseconds);

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    std::mutex m_mutex; // guards m_thread and the idle wait
    std::condition_variable m_wake;
};
