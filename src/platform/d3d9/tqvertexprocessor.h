// Vertex stage: transforms 24-byte vertices (position, diffuse, one texture coordinate) by
// world x view x projection, clips to 0 <= z <= w and to a guard band around the viewport, and maps
// the result onto the viewport.
#pragma once

#include "platform/d3d9/tqrenderstate.h"

#include <cstdint>

namespace tqd3d9 {

// Bytes of one vertex of the format D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1.
constexpr UINT kVertexStride = 24;
constexpr DWORD kVertexFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// A vertex in clip space with its attributes: colour channels 0..255, texture coordinates as given.
struct ClipVertex {
    double x, y, z, w;
    double a, r, g, b;
    double u, v;
};

// A vertex in pixels of the render target (centres on integers), depth 0..1.
struct ScreenVertex {
    double x, y, z;
    double a, r, g, b;
    double u, v;
};

class VertexProcessor {
public:
    // Most vertices a clipped triangle can have.
    static constexpr int kMaxClipped = 9;

    explicit VertexProcessor(const RenderState& state) : m_state(state) {}

    // Writes in place, member by member (a vertex returned whole would be copied from a temporary).
    void Transform(const uint8_t* vertex, ClipVertex* out) const;
    // Clips a triangle; returns the number of vertices of the convex polygon left (0 when none).
    int ClipTriangle(const ClipVertex in[3], ScreenVertex out[kMaxClipped]) const;
    // Clips a line; false when nothing is left.
    bool ClipLine(const ClipVertex in[2], ScreenVertex out[2]) const;

private:
    // Writes in place, member by member, as Transform.
    void ToScreen(const ClipVertex& v, ScreenVertex* out) const;

    const RenderState& m_state;
};

} // namespace tqd3d9
