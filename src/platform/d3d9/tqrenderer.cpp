#include "platform/d3d9/tqrenderer.h"

#include "platform/d3d9/tqlinerasterizer.h"
#include "platform/d3d9/tqtrianglerasterizer.h"

namespace tqd3d9 {

void DrawTriangleList(const RenderState& state, const PrimitiveSource& source) {
    TriangleRasterizer rasterizer(state);
    ForEachTriangle(state, source,
                    [&rasterizer](const ScreenVertex* triangle) { rasterizer.Draw(triangle); });
    rasterizer.Finish();
    state.color->MarkChanged();
}

void DrawLineList(const RenderState& state, const PrimitiveSource& source) {
    LineRasterizer rasterizer(state);
    ForEachLine(state, source, [&rasterizer](const ScreenVertex* line) { rasterizer.Draw(line); });
    state.color->MarkChanged();
}

} // namespace tqd3d9
