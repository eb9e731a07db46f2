#include "blendloop.h"

namespace bench {

BlendLoop::BlendLoop(BlendFrameFunction blendFrame)
    : m_blendFrame(blendFrame), m_texels(DiscTexels()), m_frame(kFrameWidth * kFrameHeight) {}

uint32_t BlendLoop::Frame() {
    m_blendFrame(m_frame.data(), m_texels.data(), m_placements.data(), m_placements.size());
    return m_frame[m_frame.size() / 2 + kFrameWidth / 2];
}

} // namespace bench
