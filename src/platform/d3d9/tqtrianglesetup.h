// Triangle setup: snapped edge functions with the top-left fill rule, the pixel bounds within the
// clip rectangle, and 16.16 attribute planes.
//
// Vertices snap to 1/256 pixel; pixel centres lie on integer coordinates. A pixel is inside when
// every edge function is >= 0; an edge that is neither a top nor a left edge carries a bias of -1,
// so pixels exactly on it belong to the neighbouring triangle. Attribute planes are worked out in
// double precision once per triangle and then evaluated with integers only.
#pragma once

#include "platform/d3d9/tqpixelpipeline.h"
#include "platform/d3d9/tqvertexprocessor.h"

#include <cstdint>

namespace tqd3d9 {

// a * px + b * py + c for pixel (px, py).
struct EdgeFunction {
    int64_t a, b, c;
    int64_t At(int64_t px, int64_t py) const { return a * px + b * py + c; }
};

// value(px, py) = base + dx * (px - originX) + dy * (py - originY).
struct AttributePlane {
    int64_t base, dx, dy;
};

// What the span paths read of a triangle: its attribute planes (depth aside) and their origin.
struct SpanPlanes {
    // The top left of the triangle's pixel bounds; the planes are relative to it.
    int minX, minY;
    AttributePlane a, r, g, b, u, v;
    // Bilinear sampling for this triangle (the filter for its texel-to-pixel ratio).
    bool linear;
};

// The first steps of set-up, all a sprite quad needs besides its texture planes: the vertices
// snapped and put in the winding the edges use, the pixel bounds within the clip rectangle, and the
// planes of attributes over them.
class SnappedTriangle {
public:
    // False when the triangle is degenerate or covers no pixel of the clip rectangle.
    bool Snap(const ScreenVertex v[3], const RenderState& state);
    // The vertices in winding order.
    const ScreenVertex& Vertex(int i) const { return *m_vertex[i]; }
    // The plane through an attribute's values at the vertices in winding order.
    AttributePlane Plane(double a0, double a1, double a2) const;
    // The plane of a vertex member times `scale` (a texture coordinate times the texture's size).
    AttributePlane PlaneOf(double ScreenVertex::*member, double scale) const {
        return Plane(m_vertex[0]->*member * scale, m_vertex[1]->*member * scale,
                     m_vertex[2]->*member * scale);
    }

    // Snapped to 1/256 pixel, in winding order.
    int64_t x[3], y[3];
    // Inclusive pixel bounds.
    int minX, minY, maxX, maxY;

private:
    const ScreenVertex* m_vertex[3];
    double m_px0, m_py0, m_ex1, m_ey1, m_ex2, m_ey2, m_inverseDet;
};

// Point or bilinear sampling for a triangle with these texture planes: the filter for its
// texel-to-pixel ratio.
bool UsesLinearFilter(const AttributePlane& u, const AttributePlane& v, const RenderState& state);

struct TriangleSetup : SpanPlanes {
    // False when the triangle is degenerate or covers no pixel of the clip rectangle.
    bool Setup(const ScreenVertex v[3], const RenderState& state);

    // The fragment at pixel (px, py).
    Fragment At(int px, int py) const;
    // Whether pixel (px, py) is inside the triangle.
    bool Covers(int px, int py) const {
        return edges[0].At(px, py) >= 0 && edges[1].At(px, py) >= 0 && edges[2].At(px, py) >= 0;
    }

    EdgeFunction edges[3];
    // The vertices snapped to 1/256 pixel, in the winding the edges use.
    int64_t snappedX[3], snappedY[3];
    // Inclusive pixel bounds, from (minX, minY).
    int maxX, maxY;
    AttributePlane z;
};

} // namespace tqd3d9
