// The step of a voice (source frames per output frame, 32.32 fixed point) as it moves to a new
// value: linearly over a number of output frames, so a pitch change sweeps instead of jumping.
// A glide may be asked to land the position on a whole source frame, by spreading less than one
// frame of extra advance evenly over it, so a voice back at a step of one can pass frames through
// again. The steps are whole-number ramps, so where a glide ends is exact.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tqaudio {

class StepGlide {
public:
    static constexpr int64_t kOne = int64_t(1) << 32;

    // Holds `step` from now on.
    void Set(int64_t step);
    // Moves from the step last taken to `to` over `frames` output frames, starting at a position
    // `fraction` past a source frame; with `land`, the glide ends on a whole source frame.
    void Start(int64_t to, uint32_t fraction, size_t frames, bool land);

    bool Active() const { return done_ < frames_; }
    int64_t Target() const { return to_; }
    // The step last taken.
    int64_t Current() const { return last_; }
    // The largest step the rest of the glide takes.
    int64_t Largest() const;
    // The step to the next output frame, moving the glide on.
    int64_t Next() {
        if (!Active()) {
            return last_ = to_;
        }
        const int64_t before = extra_.value;
        last_ = from_ + ramp_.Next(frames_) + extra_.Next(frames_) - before;
        ++done_;
        return last_;
    }

private:
    // floor(total × m / frames) for m = 1, 2 ... in turn, without a division each time.
    struct Ramp {
        void Start(int64_t total, int64_t frames);
        int64_t Next(int64_t frames) {
            value += quotient;
            carried += remainder;
            if (carried >= frames) {
                carried -= frames;
                value += 1;
            }
            return value;
        }
        int64_t quotient = 0;
        int64_t remainder = 0;
        int64_t carried = 0;
        int64_t value = 0;
    };

    int64_t from_ = kOne;
    int64_t to_ = kOne;
    int64_t last_ = kOne;
    int64_t frames_ = 0;
    int64_t done_ = 0;
    Ramp ramp_;  // the step's rise from from_
    Ramp extra_; // the advance added for landing
};

} // namespace tqaudio
