/// @class TQLogRepeats
/// TQLogRepeats: one line for a fault that repeats. The first line given is kept and later ones are
/// counted; the line is written once, when the object ends, with ", and N more." in place of its
/// last full stop when the fault repeated (N with thousands separators: "and 1,022 more").
#pragma once

#include <string>

class TQLog;

class TQLogRepeats {
public:
    /// Sums the lines of one fault written to log.
    explicit TQLogRepeats(TQLog& log) : m_log(log) {}
    /// Writes the kept line, if any.
    ~TQLogRepeats();
    TQLogRepeats(const TQLogRepeats&) = delete;
    TQLogRepeats& operator=(const TQLogRepeats&) = delete;

    /// Keeps the message (GBK, with its place in the source) when it is the first, else counts it.
    void Add(const char* file, const char* function, int line, const std::string& message);

private:
    TQLog& m_log;
    std::string m_file, m_function, m_message;
    int m_nLine = 0;
    unsigned long long m_repeats = 0;
    bool m_bKept = false;
};
