/// @class TQLogRepeats
/// TQLogRepeats: one line for a fault that repeats. While the outermost of these lives on a thread,
/// the lines the thread writes to any logger are held and summed: a line equal to one held (same
/// logger, same place in the source, same text) is counted instead of written again, and so is a
/// line from a place that already holds kLinesPerPlace different ones (counted on the last of them).
/// When it ends, every line held is written once, in the order they came, with ", and N more." in
/// place of its last full stop when it stood for N more ("and 1,022 more"). The readers of
/// description files and resource scripts hold one while they read, so a file repeating a fault a
/// thousand times gives one line for it.
#pragma once

#include <string>

class TQLog;

class TQLogRepeats {
public:
    /// Most different lines held from one place of the source.
    static const int kLinesPerPlace = 16;

    /// Starts summing on this thread, unless an enclosing one already does.
    TQLogRepeats();
    /// The outermost writes the lines held.
    ~TQLogRepeats();
    TQLogRepeats(const TQLogRepeats&) = delete;
    TQLogRepeats& operator=(const TQLogRepeats&) = delete;

    /// For TQLog: true when a summing scope of this thread took the line (its context, "place: ",
    /// and its message) to write it later.
    static bool Take(TQLog* log, const std::string& context, const std::string& message);

private:
    bool m_bOutermost;
};

/// ", and N more." with N written with thousands separators (", and 1,022 more."); empty for 0.
std::string TQLogAndMore(unsigned long long count);
