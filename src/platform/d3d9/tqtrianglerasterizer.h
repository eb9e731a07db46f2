// Fills triangles: row spans through the fast span paths when the state allows them, otherwise (or
// when the generic path is forced) every pixel of the bounds tested and shaded one by one.
#pragma once

#include "platform/d3d9/tqpixelpipeline.h"
#include "platform/d3d9/tqtrianglesetup.h"

namespace tqd3d9 {

class TriangleRasterizer {
public:
    explicit TriangleRasterizer(const RenderState& state);
    void Draw(const ScreenVertex v[3]);

private:
    void DrawGeneric(const TriangleSetup& setup);
    void DrawSpans(const TriangleSetup& setup);

    const RenderState& m_state;
    PixelPipeline m_pipeline;
    bool m_fast;
};

} // namespace tqd3d9
