#include "platform/audio/tqresampler.h"

#include "platform/audio/tqsinctable.h"

#include <algorithm>
#include <cmath>

namespace tqaudio {

namespace {

// Steps between these cover every playback rate at every mix rate.
constexpr double kMinStep = 1.0 / 2048.0;
constexpr double kMaxStep = 64.0;
constexpr int64_t kOne = StepGlide::kOne;
// Zero frames after the input: vector kernels read up to seven frames past their reach.
constexpr int64_t kSlackFrames = 8;
constexpr int64_t kPlaneFrames = ResampleWorkspace::kPlaneFrames;

void Deinterleave(const float* frames, size_t count, float* left, float* right) {
    for (size_t i = 0; i < count; ++i) {
        left[i] = frames[2 * i];
        right[i] = frames[2 * i + 1];
    }
}

// Output frames a gliding step takes through one kernel, stretched for the largest step among them:
// the whole glide while the stretch moves by kSmallGlide or less, else runs of kGlideRun.
constexpr size_t kGlideRun = 128;
constexpr float kSmallGlide = 1.0f / 32;

size_t GlideRun(const StepGlide& glide) {
    const float moves = std::fabs(KernelStretch(glide.Target()) - KernelStretch(glide.Current()));
    return moves <= kSmallGlide ? Resampler::kGlideFrames : kGlideRun;
}

// Filters a run of frames at one stretch through its kernel: for a stretch between, the rows the
// workspace blended for it, blended again only when the stretch differs from the last run's.
void FilterRun(float stretch, const float* const* planes, int channels, ResampleWorkspace& work, size_t count,
               float* out) {
    const SincTable& table = SincTable::Get();
    if (stretch == 1.0f) {
        PickFilter(KernelWidth::kUnit)(table.Row(0), planes, channels, work.positions.data(), count, out);
    } else if (stretch == SincTable::kWidest) {
        PickFilter(KernelWidth::kWidest)(table.WideRow(0), planes, channels, work.positions.data(), count,
                                         out);
    } else {
        if (work.bandStretch != stretch) {
            work.bandTaps = BlendBand(stretch, work.bandRows.data());
            work.bandStretch = stretch;
        }
        PickFilter(KernelWidth::kBand, work.bandTaps)(work.bandRows.data(), planes, channels,
                                                      work.positions.data(), count, out);
    }
}

void Advance(int64_t step, int64_t* index, uint32_t* fraction) {
    const int64_t sum = *fraction + step;
    *index += sum >> 32;
    *fraction = static_cast<uint32_t>(sum);
}

} // namespace

void Resampler::BuildTables() {
    SincTable::Get();
}

Resampler::Resampler() {
    BuildTables();
}

void Resampler::Reset() {
    started_ = false;
}

bool Resampler::PassesThrough() const {
    return !step_.Active() && step_.Target() == kOne && fraction_ == 0;
}

void Resampler::SetStep(double step) {
    const int64_t fixed = std::llround(std::clamp(step, kMinStep, kMaxStep) * 0x1p32);
    if (!started_) {
        started_ = true;
        index_ = read_ = historyStart_ = 0;
        fraction_ = 0;
        end_ = std::numeric_limits<int64_t>::max();
        step_.Set(fixed);
    } else if (fixed != step_.Target()) {
        step_.Start(fixed, fraction_, kGlideFrames, fixed == kOne);
    }
}

int Resampler::Reach() const {
    return KernelReach(KernelStretch(std::max(step_.Current(), step_.Target())));
}

size_t Resampler::Produce(AudioSource& source, float* out, size_t frames, double step, bool loop,
                          ResampleWorkspace& work) {
    channels_ = source.Channels();
    SetStep(step);
    if (loop) {
        end_ = std::numeric_limits<int64_t>::max(); // a loop set after the end was read plays on
    }
    const float* planes[2] = {work.planes[0].data(), work.planes[1].data()};
    size_t done = 0;
    while (done < frames && index_ < end_) {
        const bool through = PassesThrough();
        int64_t first = 0, high = 0;
        float stretch = 1.0f;
        const size_t planned =
            Plan(std::min(frames - done, work.positions.size()), work, &first, &high, &stretch);
        Fill(source, loop, first, high, work);
        size_t n = planned;
        while (n > 0 && first + work.positions[n - 1].Index() >= end_) {
            --n;
        }
        float* to = out + 2 * done;
        if (through) {
            for (size_t j = 0; j < n; ++j) {
                to[2 * j] = planes[0][work.positions[j].Index()];
                to[2 * j + 1] = planes[channels_ - 1][work.positions[j].Index()];
            }
        } else {
            FilterRun(stretch, planes, channels_, work, n, to);
        }
        done += n;
        KeepHistory(first, work);
    }
    return done;
}

// The count is held to what fits the planes at the largest step the frames may take, and the
// input is taken to reach as far as the widest kernel among them does.
size_t Resampler::Plan(size_t frames, ResampleWorkspace& work, int64_t* first, int64_t* end, float* stretch) {
    const bool through = PassesThrough();
    const int64_t largest = step_.Largest();
    const int reach = through ? 0 : KernelReach(KernelStretch(largest));
    const int64_t start = index_;
    // the first frame the kernels read; frames read before it are kept as history, and frames not
    // yet read before it are read and dropped, so the planes never span a source that fell behind
    const int64_t low = std::min(index_, index_ - reach + 1);
    const int64_t room = static_cast<int64_t>(ResampleWorkspace::kPlaneFrames) - kSlackFrames -
                         (std::max(read_, index_) - low) - 2 * reach - 2;
    const size_t n = std::clamp<size_t>(static_cast<size_t>(std::max<int64_t>(room, 1) * kOne / largest), 1,
                                        step_.Active() ? std::min(frames, GlideRun(step_)) : frames);
    const int32_t offset = static_cast<int32_t>(start - low);
    FramePosition* positions = work.positions.data();
    // positions relative to the planes' first frame, in 32.32 fixed point
    const int64_t from = (static_cast<int64_t>(offset) << 32) + fraction_;
    int64_t advance = 0;
    int64_t steepest = 0; // the largest step among the frames
    if (!step_.Active()) {
        steepest = step_.Next();
        for (size_t j = 0; j < n; ++j) {
            positions[j].at = from + static_cast<int64_t>(j) * steepest;
        }
        advance = static_cast<int64_t>(n) * steepest;
    } else {
        for (size_t j = 0; j < n; ++j) {
            const int64_t step = step_.Next();
            positions[j].at = from + advance;
            steepest = std::max(steepest, step);
            advance += step;
        }
    }
    *stretch = through ? 1.0f : KernelStretch(steepest);
    Advance(advance, &index_, &fraction_);
    *first = low;
    *end = std::max(read_, start + positions[n - 1].Index() - offset + reach + 1);
    return n;
}

size_t Resampler::ReadSource(AudioSource& source, bool loop, float* out, size_t frames) {
    size_t n = 0;
    bool rewound = false;
    while (n < frames) {
        const size_t got = source.Read(out + n * channels_, frames - n);
        if (got > 0) {
            n += got;
            rewound = false;
        } else if (loop && !rewound) {
            source.Rewind();
            rewound = true;
        } else {
            break;
        }
    }
    return n;
}

// The planes from `first`: silence before the history kept, the history, then frames read from
// the source (those before `first` are read and dropped), and silence past the source's end.
void Resampler::Fill(AudioSource& source, bool loop, int64_t first, int64_t end, ResampleWorkspace& work) {
    const int64_t historyFrom = std::max(first, historyStart_);
    for (int c = 0; c < channels_; ++c) {
        float* plane = work.planes[c].data();
        std::fill(plane, plane + std::max<int64_t>(0, std::min(historyStart_, end) - first), 0.0f);
        if (historyFrom < read_) {
            std::copy(history_[c].begin() + (historyFrom - historyStart_),
                      history_[c].begin() + (read_ - historyStart_), plane + (historyFrom - first));
        }
    }
    while (read_ < end && read_ < end_) {
        // frames before `first` are read to be dropped
        const int64_t skipped = std::max<int64_t>(0, first - read_);
        const size_t wanted = static_cast<size_t>(
            std::min<int64_t>({end - read_, skipped ? skipped : kPlaneFrames, kPlaneFrames}));
        const bool direct = channels_ == 1 && !skipped;
        float* to = direct ? work.planes[0].data() + (read_ - first) : work.interleaved.data();
        const size_t got = ReadSource(source, loop, to, wanted);
        if (!direct && !skipped) {
            Deinterleave(work.interleaved.data(), got, work.planes[0].data() + (read_ - first),
                         work.planes[1].data() + (read_ - first));
        }
        read_ += static_cast<int64_t>(got);
        if (got < wanted) {
            end_ = read_;
        }
    }
    const int64_t filled = std::max(read_, first) - first;
    for (int c = 0; c < channels_; ++c) {
        const int64_t last = std::max(filled, end - first) + kSlackFrames;
        std::fill(work.planes[c].data() + filled, work.planes[c].data() + last, 0.0f);
    }
}

// Keeps the frames from the kernel's reach before the next output frame up to the last read: never
// more than the room holds, as the read runs at most one reach past the next output frame.
void Resampler::KeepHistory(int64_t first, const ResampleWorkspace& work) {
    const int64_t last = std::max(first, read_);
    historyStart_ = std::clamp(index_ - Reach() + 1, std::max(first, last - kHistoryFrames), last);
    for (int c = 0; c < channels_; ++c) {
        const float* plane = work.planes[c].data();
        std::copy(plane + (historyStart_ - first), plane + (last - first), history_[c].begin());
    }
}

} // namespace tqaudio
