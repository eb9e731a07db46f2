// Room a resampler works in, shared by every voice one mixer renders: the input planes of a
// stretch of output and where each output frame reads them, and the kernel blended for the last
// stretch between the sinc table's grids, kept for the next run at that stretch.
#pragma once

#include "platform/audio/tqresamplekernel.h"
#include "platform/audio/tqsinctable.h"

#include <vector>

namespace tqaudio {

struct ResampleWorkspace {
    static constexpr size_t kPlaneFrames = 8192;
    static constexpr size_t kMaxOutputFrames = 512;

    std::vector<float> planes[2] = {std::vector<float>(kPlaneFrames), std::vector<float>(kPlaneFrames)};
    std::vector<FramePosition> positions = std::vector<FramePosition>(kMaxOutputFrames);
    std::vector<float> interleaved = std::vector<float>(2 * kPlaneFrames);
    std::vector<float> bandRows = std::vector<float>(SincTable::kBandRowFloats);
    float bandStretch = 0.0f; // none yet
    int bandTaps = 0;
};

} // namespace tqaudio
