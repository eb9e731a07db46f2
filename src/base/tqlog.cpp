#include "base/tqlog.h"

#include <cstdarg>
#include <cstdio>

#include "base/tqlogrepeats.h"
#include "platform/codepage/tqcodepage.h"

TQLog g_tqLogError("error");
TQLog g_tqLogDebug("debug");

namespace {

struct LogContext {
    const TQLog* log;
    std::string text; // "source:line function: "
};

// Contexts set on this thread, one per logger.
thread_local std::vector<LogContext> t_contexts;

std::string TakeContext(const TQLog* log) {
    for (auto it = t_contexts.begin(); it != t_contexts.end(); ++it) {
        if (it->log == log) {
            std::string text = std::move(it->text);
            t_contexts.erase(it);
            return text;
        }
    }
    return std::string();
}

std::string FormatMessage(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return text;
}

// One line: trailing breaks dropped, inner breaks become blanks.
void MakeSingleLine(std::string& text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
}

} // namespace

TQLog::TQLog(const char* name) : m_name(name ? name : "") {}

TQLog::~TQLog() {
    if (m_file)
        std::fclose(m_file);
}

void TQLog::SetLogInfo(const char* file, const char* function, int line) noexcept {
    try {
        SetContext(std::string(file ? file : "") + ":" + std::to_string(line) + " " +
                   (function ? function : "") + ": ");
    } catch (const std::exception&) {
        TakeContext(this); // a stale context must not go with the next message
    }
}

void TQLog::SetContext(std::string text) {
    for (LogContext& context : t_contexts) {
        if (context.log == this) {
            context.text = std::move(text);
            return;
        }
    }
    t_contexts.push_back(LogContext{this, std::move(text)});
}

void TQLog::Log(const char* format, ...) noexcept {
    va_list args;
    va_start(args, format);
    LogV(format, args);
    va_end(args);
}

void TQLog::LogV(const char* format, va_list args) noexcept {
    try {
        std::string context = TakeContext(this);
        if (!format)
            return;
        std::string message = FormatMessage(format, args);
        if (!TQLogRepeats::Take(this, context, message))
            WriteLine(context, message);
    } catch (...) {
    }
}

void TQLog::WriteLine(const std::string& context, const std::string& message) {
    std::string line = "[" + m_name + "] " + context + message;
    MakeSingleLine(line);
    Write(tqplat::GbkToUtf8(line));
}

TQLog::Sink TQLog::SetSink(Sink sink) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::swap(m_sink, sink);
    return sink;
}

bool TQLog::SetLogFile(const char* path) {
    FILE* file = nullptr;
    if (path && *path) {
        file = std::fopen(path, "a");
        if (!file)
            return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_file)
        std::fclose(m_file);
    m_file = file;
    return true;
}

void TQLog::Write(const std::string& line) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_sink) {
        m_sink(line);
        return;
    }
    FILE* out = m_file ? m_file : stderr;
    std::fprintf(out, "%s\n", line.c_str());
    std::fflush(out);
}

TQLogCapture::TQLogCapture(TQLog& log) : m_log(log) {
    m_previous = m_log.SetSink([this](const std::string& line) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.push_back(line);
    });
}

TQLogCapture::~TQLogCapture() {
    m_log.SetSink(std::move(m_previous));
}

std::vector<std::string> TQLogCapture::Lines() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

bool TQLogCapture::Contains(const std::string& text) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const std::string& line : m_lines) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

void TQLogCapture::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.clear();
}
