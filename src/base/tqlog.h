/// @file
/// Loggers of the base library.
///
/// A logger writes one UTF-8 line per message. The caller first gives the context with SetLogInfo
/// (source path, function name, line), then calls Log with a printf-style format whose text is GBK
/// bytes. The context is kept per thread, so two threads logging at once never mix their contexts,
/// and it applies to the next Log on the same thread only.
///
/// A line reads "[name] source:line function: message", or "[name] message" without context. The
/// message is formatted to any length (never cut), converted from GBK to UTF-8, trailing line breaks
/// are dropped and inner line breaks become blanks, so each message is exactly one line.
///
/// Destination, in order of precedence: a sink callback (SetSink), a file (SetLogFile, appended to
/// and flushed per line), otherwise standard error. TQLogCapture installs a sink that collects the
/// lines, for tests. All members are thread-safe.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

/// A named logger; tqlog.h gives the line format and the destinations.
class TQLog {
public:
    /// Receives each finished line (UTF-8, no line break). Called under the logger's lock: a sink
    /// must not log to the same logger.
    using Sink = std::function<void(const std::string& line)>;

    /// name: the tag at the head of every line, e.g. "error".
    explicit TQLog(const char* name);
    ~TQLog();
    TQLog(const TQLog&) = delete;
    TQLog& operator=(const TQLog&) = delete;

    /// Context of the next Log on this thread. NULL texts read as empty.
    void SetLogInfo(const char* file, const char* function, int line) noexcept;
    /// Formats and writes one message (GBK text). A NULL format writes nothing. Logging never
    /// throws: a message that cannot be built (no memory) or a sink that throws is dropped.
    void Log(const char* format, ...) noexcept __attribute__((format(printf, 2, 3)));
    /// Log with a va_list.
    void LogV(const char* format, va_list args) noexcept;

    /// Sends lines to the sink; an empty sink sends them to the file or standard error again.
    /// Returns the sink it replaces.
    Sink SetSink(Sink sink);
    /// Appends lines to the file at path (a file-system name); NULL or empty goes back to standard
    /// error. Returns false when the file cannot be opened (the destination is then unchanged).
    bool SetLogFile(const char* path);

private:
    friend class TQLogRepeats;

    void SetContext(std::string text);
    // Writes the line of a message (GBK) after its context.
    void WriteLine(const std::string& context, const std::string& message);
    void Write(const std::string& line);

    std::string m_name;
    std::mutex m_mutex;
    Sink m_sink;
    FILE* m_file = nullptr;
};

/// Collects the lines of a logger for as long as it lives; restores the logger's sink afterwards.
class TQLogCapture {
public:
    /// Starts collecting the lines of log (replacing its sink until destroyed).
    explicit TQLogCapture(TQLog& log);
    ~TQLogCapture();
    TQLogCapture(const TQLogCapture&) = delete;
    TQLogCapture& operator=(const TQLogCapture&) = delete;

    /// Copy of the lines collected so far.
    std::vector<std::string> Lines() const;
    /// True when some collected line contains text (UTF-8).
    bool Contains(const std::string& text) const;
    /// Forgets the lines collected so far.
    void Clear();

private:
    TQLog& m_log;
    TQLog::Sink m_previous;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

/// The library's two loggers: errors (tag "error") and diagnostics (tag "debug").
extern TQLog g_tqLogError;
/// Diagnostics logger (tag "debug").
extern TQLog g_tqLogDebug;

/// GBK prefix that starts the engine's error messages.
#define TQLOG_ERROR_PREFIX "\xb4\xed\xc1\xcb\xd1\xbd"
