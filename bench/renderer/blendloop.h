// The plain scene as a plain C loop: the disc's texels blended straight into the frame with the
// renderer's arithmetic (alpha test >= 1, SRCALPHA/INVSRCALPHA rounded as in tqpixelmath.h), so
// its frame must equal the engine's exactly.
#pragma once

#include "spritescene.h"

namespace bench {

class BlendLoop {
public:
    BlendLoop();

    void Use(const std::vector<Placement>& placements) { m_placements = placements; }
    uint32_t Frame();
    const std::vector<uint32_t>& Pixels() const { return m_frame; }

private:
    std::vector<uint32_t> m_texels;
    std::vector<Placement> m_placements;
    std::vector<uint32_t> m_frame;
};

} // namespace bench
