// Draws lists of triangles or lines from 24-byte vertices: assembles primitives (through 16-bit
// indices when given), runs the vertex stage and hands the pieces to the rasterizers. The caller has
// checked that every vertex and index read lies inside its buffer.
#pragma once

#include "platform/d3d9/tqrenderstate.h"

#include <cstdint>

namespace tqd3d9 {

struct PrimitiveSource {
    const uint8_t* vertices;
    // NULL: vertex i of the list is vertices[first + i]; else vertices[baseVertex + indices[first + i]].
    const uint16_t* indices;
    INT baseVertex;
    UINT first;
    UINT primitiveCount;
};

void DrawTriangleList(const RenderState& state, const PrimitiveSource& source);
void DrawLineList(const RenderState& state, const PrimitiveSource& source);

} // namespace tqd3d9
