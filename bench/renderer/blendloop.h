// The plain scene drawn by one build of the C blend loop (blendframe.h).
#pragma once

#include "blendframe.h"

namespace bench {

class BlendLoop {
public:
    explicit BlendLoop(BlendFrameFunction blendFrame);

    void Use(const std::vector<Placement>& placements) { m_placements = placements; }
    uint32_t Frame();
    const std::vector<uint32_t>& Pixels() const { return m_frame; }

private:
    BlendFrameFunction m_blendFrame;
    std::vector<uint32_t> m_texels;
    std::vector<Placement> m_placements;
    std::vector<uint32_t> m_frame;
};

} // namespace bench
