#include "base/tqlogrepeats.h"

#include <vector>

#include "base/tqlog.h"

namespace {

struct HeldLine {
    TQLog* log;
    std::string context;
    std::string message;
    unsigned long long more;
};

thread_local bool t_summing = false;
thread_local std::vector<HeldLine> t_held;

// 1022 as "1,022".
std::string WithThousands(unsigned long long count) {
    std::string digits = std::to_string(count);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

} // namespace

std::string TQLogAndMore(unsigned long long count) {
    return count ? ", and " + WithThousands(count) + " more." : std::string();
}

TQLogRepeats::TQLogRepeats() : m_bOutermost(!t_summing) {
    t_summing = true;
}

TQLogRepeats::~TQLogRepeats() {
    if (!m_bOutermost)
        return;
    t_summing = false;
    std::vector<HeldLine> held;
    held.swap(t_held);
    for (HeldLine& line : held) {
        if (line.more) {
            if (!line.message.empty() && line.message.back() == '.')
                line.message.pop_back();
            line.message += TQLogAndMore(line.more);
        }
        try {
            line.log->WriteLine(line.context, line.message);
        } catch (...) {
        }
    }
}

bool TQLogRepeats::Take(TQLog* log, const std::string& context, const std::string& message) {
    if (!t_summing)
        return false;
    HeldLine* lastOfPlace = nullptr;
    int fromPlace = 0;
    for (HeldLine& line : t_held) {
        if (line.log != log || line.context != context)
            continue;
        if (line.message == message) {
            ++line.more;
            return true;
        }
        lastOfPlace = &line;
        ++fromPlace;
    }
    if (fromPlace >= kLinesPerPlace)
        ++lastOfPlace->more;
    else
        t_held.push_back(HeldLine{log, context, message, 0});
    return true;
}
