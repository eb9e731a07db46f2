// Reads a source at any step (source frames per output frame), producing stereo; a mono source
// goes to both sides. Each output frame is filtered from the source frames around its position
// through the sinc table, the kernel stretched by the step when it is above one so the cut-off
// follows the lower rate, up to its widest (SincTable::kWidest), so a voice costs about the same at
// any pitch. A step change glides to the new step over one mixer block, through one kernel
// stretched for the largest step of the glide (its cut-off never above the lower rate's), or of
// each short run of it when the stretch moves much; one back to a step of exactly one lands on a
// whole frame, and from there frames pass through unconverted.
// What a voice keeps between calls is its position, its step and the few frames the kernel
// reaches back to, in room of a fixed size.
#pragma once

#include "platform/audio/tqaudiosource.h"
#include "platform/audio/tqresampleworkspace.h"
#include "platform/audio/tqsinctable.h"
#include "platform/audio/tqstepglide.h"

#include <array>
#include <cstdint>
#include <limits>

namespace tqaudio {

class Resampler {
public:
    // Output frames a step change takes to glide to the new step.
    static constexpr size_t kGlideFrames = 512;

    // Builds the filter tables if they are not yet: the system does when its output opens, so
    // neither a game's first play nor the mixing thread waits for them.
    static void BuildTables();

    // Made with its voice on the game's side, where the filter tables are built if they are still
    // not, so the mixing thread never builds them.
    Resampler();

    // Starts again from the source's current position, with silence before it, at the step of the
    // next call.
    void Reset();
    // Writes up to `frames` stereo frames to `out` (room for 2 × frames floats); fewer only when
    // the source has ended (and `loop` is false).
    size_t Produce(AudioSource& source, float* out, size_t frames, double step, bool loop,
                   ResampleWorkspace& work);
    // Frames pass through unconverted.
    bool PassesThrough() const;

private:
    // The most frames kept: the widest kernel's reach on both sides of a position.
    static constexpr int64_t kHistoryFrames = 2 * (SincTable::kWidest * SincTable::kHalf + 1);

    void SetStep(double step);
    // Plans up to `frames` output frames into work.positions, moving the position on: the count
    // planned, the input frames they read from `*first` up to `*end`, and in `*stretch` how far
    // their kernel is stretched (while the step glides, for the largest step among them).
    size_t Plan(size_t frames, ResampleWorkspace& work, int64_t* first, int64_t* end, float* stretch);
    // Fills the planes with the input frames from `first` up to `end`.
    void Fill(AudioSource& source, bool loop, int64_t first, int64_t end, ResampleWorkspace& work);
    size_t ReadSource(AudioSource& source, bool loop, float* out, size_t frames);
    void KeepHistory(int64_t first, const ResampleWorkspace& work);
    int Reach() const;

    bool started_ = false;
    int channels_ = 1;
    int64_t index_ = 0;     // the source frame at or before the next output frame
    uint32_t fraction_ = 0; // how far past it, 32.32 fixed point
    StepGlide step_;
    int64_t read_ = 0; // frames read from the source
    int64_t end_ = std::numeric_limits<int64_t>::max();
    int64_t historyStart_ = 0; // the source frame history_ starts at; it runs up to read_
    std::array<float, kHistoryFrames> history_[2] = {}; // per channel, written once as it is made
};

} // namespace tqaudio
