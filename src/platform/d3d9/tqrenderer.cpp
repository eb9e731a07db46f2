#include "platform/d3d9/tqrenderer.h"

#include "platform/d3d9/tqlinerasterizer.h"
#include "platform/d3d9/tqtrianglerasterizer.h"
#include "platform/d3d9/tqvertexprocessor.h"

namespace tqd3d9 {

namespace {

const uint8_t* VertexAt(const PrimitiveSource& source, UINT n) {
    int64_t index = source.indices
                        ? static_cast<int64_t>(source.baseVertex) + source.indices[source.first + n]
                        : static_cast<int64_t>(source.first) + n;
    return source.vertices + index * kVertexStride;
}

} // namespace

void DrawTriangleList(const RenderState& state, const PrimitiveSource& source) {
    VertexProcessor vertices(state);
    TriangleRasterizer rasterizer(state);
    for (UINT p = 0; p < source.primitiveCount; ++p) {
        ClipVertex clip[3];
        for (UINT k = 0; k < 3; ++k)
            clip[k] = vertices.Transform(VertexAt(source, p * 3 + k));
        ScreenVertex polygon[VertexProcessor::kMaxClipped];
        int count = vertices.ClipTriangle(clip, polygon);
        for (int i = 1; i + 1 < count; ++i) {
            ScreenVertex triangle[3] = {polygon[0], polygon[i], polygon[i + 1]};
            rasterizer.Draw(triangle);
        }
    }
    rasterizer.Finish();
    state.color->MarkChanged();
}

void DrawLineList(const RenderState& state, const PrimitiveSource& source) {
    VertexProcessor vertices(state);
    LineRasterizer rasterizer(state);
    for (UINT p = 0; p < source.primitiveCount; ++p) {
        ClipVertex clip[2] = {vertices.Transform(VertexAt(source, p * 2)),
                              vertices.Transform(VertexAt(source, p * 2 + 1))};
        ScreenVertex line[2];
        if (vertices.ClipLine(clip, line))
            rasterizer.Draw(line);
    }
    state.color->MarkChanged();
}

} // namespace tqd3d9
