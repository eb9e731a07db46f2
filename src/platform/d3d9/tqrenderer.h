// Draws lists of triangles or lines from 24-byte vertices: assembles primitives (through 16-bit
// indices when given), runs the vertex stage and hands the pieces to the rasterizers. The caller has
// checked that every vertex and index read lies inside its buffer.
//
// The vertex stage is also offered on its own (ForEachTriangle, ForEachLine), so a recorder can keep
// the transformed, clipped pieces and rasterize them later.
#pragma once

#include "platform/d3d9/tqrenderstate.h"
#include "platform/d3d9/tqvertexprocessor.h"

#include <cstdint>
#include <cstring>

namespace tqd3d9 {

struct PrimitiveSource {
    const uint8_t* vertices;
    // NULL: vertex i of the list is vertices[first + i]; else vertices[baseVertex + indices[first + i]].
    const uint16_t* indices;
    INT baseVertex;
    UINT first;
    UINT primitiveCount;

    const uint8_t* VertexAt(UINT n) const {
        int64_t index =
            indices ? static_cast<int64_t>(baseVertex) + indices[first + n] : static_cast<int64_t>(first) + n;
        return vertices + index * kVertexStride;
    }
};

// Calls visit(const ScreenVertex[3]) for every triangle left after transform and clipping, in order.
template <class Visit>
void ForEachTriangle(const RenderState& state, const PrimitiveSource& source, Visit visit) {
    VertexProcessor vertices(state);
    // This triangle's vertices and the one's before, with where they were read: the second
    // triangle of a quad repeats two corners of the first, transformed once.
    ClipVertex clips[2][3];
    const uint8_t* read[2][3] = {{nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr}};
    for (UINT p = 0; p < source.primitiveCount; ++p) {
        ClipVertex* clip = clips[p & 1];
        const ClipVertex* before = clips[(p & 1) ^ 1];
        const uint8_t** readNow = read[p & 1];
        const uint8_t* const* readBefore = read[(p & 1) ^ 1];
        for (UINT k = 0; k < 3; ++k) {
            readNow[k] = source.VertexAt(p * 3 + k);
            int same = -1;
            for (int j = 0; j < 3 && same < 0; ++j)
                if (readBefore[j] && std::memcmp(readNow[k], readBefore[j], kVertexStride) == 0)
                    same = j;
            if (same >= 0)
                clip[k] = before[same];
            else
                vertices.Transform(readNow[k], &clip[k]);
        }
        ScreenVertex polygon[VertexProcessor::kMaxClipped];
        int count = vertices.ClipTriangle(clip, polygon);
        if (count == 3) {
            // Unclipped: the vertices as they lie, not copied.
            visit(polygon);
            continue;
        }
        for (int i = 1; i + 1 < count; ++i) {
            ScreenVertex triangle[3] = {polygon[0], polygon[i], polygon[i + 1]};
            visit(triangle);
        }
    }
}

// Calls visit(const ScreenVertex[2]) for every line left after transform and clipping, in order.
template <class Visit>
void ForEachLine(const RenderState& state, const PrimitiveSource& source, Visit visit) {
    VertexProcessor vertices(state);
    for (UINT p = 0; p < source.primitiveCount; ++p) {
        ClipVertex clip[2];
        vertices.Transform(source.VertexAt(p * 2), &clip[0]);
        vertices.Transform(source.VertexAt(p * 2 + 1), &clip[1]);
        ScreenVertex line[2];
        if (vertices.ClipLine(clip, line))
            visit(line);
    }
}

void DrawTriangleList(const RenderState& state, const PrimitiveSource& source);
void DrawLineList(const RenderState& state, const PrimitiveSource& source);

} // namespace tqd3d9
