#include "base/tqthread.h"

#include <chrono>
#include <string>

#include "base/tqlog.h"
#include "platform/system/tqthreadname.h"

namespace {

const char kSourcePath[] = "lib/project/tqlib/source/base/tqthread";

} // namespace

TQThread::~TQThread() {
    ThreadStop();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_thread.joinable()) // destroyed by its own body
        m_thread.detach();
}

BOOL TQThread::ThreadRun(const char* name, DWORD idleMilliseconds, BOOL loop) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_running.load())
        return FALSE;
    if (m_thread.joinable())
        m_thread.join(); // a body that ended by itself
    m_stop = false;
    m_running = true;
    try {
        std::string threadName = name ? name : "";
        m_thread = std::thread([this, threadName, idleMilliseconds, loop] {
            tqplat::NameCurrentThread(threadName.c_str());
            RunLoop(idleMilliseconds ? idleMilliseconds : 1, loop != 0);
        });
    } catch (const std::exception& error) {
        m_running = false;
        g_tqLogError.SetLogInfo(kSourcePath, "TQThread::ThreadRun", __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Thread create fail. [error=%s]", error.what());
        return FALSE;
    }
    return TRUE;
}

void TQThread::ThreadStop() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        if (!m_thread.joinable() || m_thread.get_id() == std::this_thread::get_id())
            return;
        thread = std::move(m_thread);
    }
    m_wake.notify_all();
    thread.join();
}

void TQThread::RunLoop(DWORD idleMilliseconds, bool loop) {
    while (!m_stop.load()) {
        int result = ThreadProc();
        if (!loop || result == TQTHREAD_END)
            break;
        if (result == TQTHREAD_IDLE && !WaitIdle(idleMilliseconds))
            break;
    }
    m_running = false;
}

// False when a stop was asked for during the pause.
bool TQThread::WaitIdle(DWORD milliseconds) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_wake.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_stop.load(); });
}
