#include "base/tqlogrepeats.h"

#include "base/tqlog.h"

namespace {

// 1022 as "1,022".
std::string WithThousands(unsigned long long count) {
    std::string digits = std::to_string(count);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

} // namespace

TQLogRepeats::~TQLogRepeats() {
    if (!m_bKept)
        return;
    std::string message = m_message;
    if (m_repeats > 0) {
        if (!message.empty() && message.back() == '.')
            message.pop_back();
        message += ", and " + WithThousands(m_repeats) + " more.";
    }
    m_log.SetLogInfo(m_file.c_str(), m_function.c_str(), m_nLine);
    m_log.Log("%s", message.c_str());
}

void TQLogRepeats::Add(const char* file, const char* function, int line, const std::string& message) {
    if (m_bKept) {
        ++m_repeats;
        return;
    }
    m_bKept = true;
    m_file = file ? file : "";
    m_function = function ? function : "";
    m_nLine = line;
    m_message = message;
}
