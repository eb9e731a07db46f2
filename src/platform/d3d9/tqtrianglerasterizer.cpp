#include "platform/d3d9/tqtrianglerasterizer.h"

#include "platform/d3d9/tqd3d9hooks.h"
#include "platform/d3d9/tqrowwalker.h"
#include "platform/d3d9/tqspanfiller.h"

namespace tqd3d9 {

TriangleRasterizer::TriangleRasterizer(const RenderState& state)
    : m_state(state), m_pipeline(state),
      m_fast(!tqplat::D3D9GenericPathInUse() && SpanFiller::Supports(state)) {}

void TriangleRasterizer::Draw(const ScreenVertex v[3]) {
    TriangleSetup setup;
    if (!setup.Setup(v, m_state))
        return;
    if (m_fast)
        DrawSpans(setup);
    else
        DrawGeneric(setup);
}

void TriangleRasterizer::DrawGeneric(const TriangleSetup& setup) {
    m_pipeline.SetLinear(setup.linear);
    for (int y = setup.minY; y <= setup.maxY; ++y)
        for (int x = setup.minX; x <= setup.maxX; ++x)
            if (setup.Covers(x, y))
                m_pipeline.Process(x, y, setup.At(x, y));
}

void TriangleRasterizer::DrawSpans(const TriangleSetup& setup) {
    SpanFiller filler(m_state, setup);
    RowWalker rows(setup);
    int first, last;
    for (int y = setup.minY; y <= setup.maxY; ++y)
        if (rows.NextRow(&first, &last))
            filler.Fill(y, first, last);
}

} // namespace tqd3d9
