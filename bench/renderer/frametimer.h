// Times a frame function: 10 warm-up frames, then frames until at least the given number of seconds
// have passed; the process's CPU time over the wall time gives the cores used.
#pragma once

#include <cstdint>
#include <functional>

namespace bench {

struct Timing {
    double framesPerSecond;
    double coresUsed;
};

// `frame` returns a pixel read back from its frame; the pixels are kept so that no work is dropped.
Timing TimeFrames(const std::function<uint32_t()>& frame, double seconds);

} // namespace bench
