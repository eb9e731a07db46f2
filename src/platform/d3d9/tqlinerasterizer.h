// Draws lines by the diamond rule: a pixel is lit where the line leaves the diamond around its
// centre, so a line lights its first pixel and leaves its last one.
//
// Along the major axis, a line running in the positive direction lights the pixels whose centre c
// satisfies start - 1/2 < c <= end - 1/2 (mirrored for the negative direction); across it, the pixel
// is the one nearest to the line at that centre, a tie going to the larger coordinate. Attributes
// are interpolated linearly along the major axis.
#pragma once

#include "platform/d3d9/tqpixelpipeline.h"
#include "platform/d3d9/tqvertexprocessor.h"

namespace tqd3d9 {

class LineRasterizer {
public:
    explicit LineRasterizer(const RenderState& state) : m_state(state), m_pipeline(state) {}
    void Draw(const ScreenVertex v[2]);

private:
    const RenderState& m_state;
    PixelPipeline m_pipeline;
};

} // namespace tqd3d9
