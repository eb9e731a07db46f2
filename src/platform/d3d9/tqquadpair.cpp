#include "platform/d3d9/tqquadpair.h"

#include "platform/d3d9/tqfixedpoint.h"

#include <algorithm>
#include <cmath>

namespace tqd3d9 {

namespace {

bool HasVertex(const int64_t xs[3], const int64_t ys[3], int64_t x, int64_t y) {
    for (int i = 0; i < 3; ++i)
        if (xs[i] == x && ys[i] == y)
            return true;
    return false;
}

// The first pixel centre at or after a snapped coordinate.
int FirstPixelFrom(int64_t snapped) {
    return static_cast<int>(-FloorDiv(-snapped, 256));
}

// Whether two planes, of triangles whose bounds start at (px, py) and (qx, qy), give the same value
// at every pixel.
bool SamePlane(const AttributePlane& p, int px, int py, const AttributePlane& q, int qx, int qy) {
    return p.dx == q.dx && p.dy == q.dy && p.base + p.dx * (qx - px) + p.dy * (qy - py) == q.base;
}

bool SamePlane(const AttributePlane& p, const TriangleSetup& ps, const AttributePlane& q,
               const TriangleSetup& qs) {
    return SamePlane(p, ps.minX, ps.minY, q, qs.minX, qs.minY);
}

// PairCoversRectangle on snapped corners.
bool CornersCoverRectangle(const int64_t x1[3], const int64_t y1[3], const int64_t x2[3], const int64_t y2[3],
                           PixelRect* pixels) {
    int shared[3], sharedCount = 0, own = -1;
    for (int i = 0; i < 3; ++i) {
        if (HasVertex(x2, y2, x1[i], y1[i]))
            shared[sharedCount++] = i;
        else
            own = i;
    }
    if (sharedCount != 2)
        return false;
    const int64_t xa = x1[shared[0]], ya = y1[shared[0]];
    const int64_t xb = x1[shared[1]], yb = y1[shared[1]];
    if (xa == xb || ya == yb)
        return false;
    // The diagonal's two other corners: one in each triangle.
    const int64_t ox = x1[own], oy = y1[own];
    bool cornerA = ox == xa && oy == yb, cornerB = ox == xb && oy == ya;
    if (!cornerA && !cornerB)
        return false;
    if (!HasVertex(x2, y2, cornerA ? xb : xa, cornerA ? ya : yb))
        return false;
    pixels->left = FirstPixelFrom(std::min(xa, xb));
    pixels->right = FirstPixelFrom(std::max(xa, xb)) - 1;
    pixels->top = FirstPixelFrom(std::min(ya, yb));
    pixels->bottom = FirstPixelFrom(std::max(ya, yb)) - 1;
    return true;
}

// Whether a triangle has one colour everywhere: the same finite value of each channel at its three
// vertices, so set-up gives constant colour planes of exactly those values.
bool OneColour(const ScreenVertex v[3]) {
    for (double ScreenVertex::*channel :
         {&ScreenVertex::a, &ScreenVertex::r, &ScreenVertex::g, &ScreenVertex::b})
        if (!(v[0].*channel == v[1].*channel && v[0].*channel == v[2].*channel &&
              std::isfinite(v[0].*channel)))
            return false;
    return true;
}

// The texture planes set-up gives a triangle.
struct TexturePlanes {
    AttributePlane u, v;
    bool linear;
};

TexturePlanes TexturePlanesOf(const SnappedTriangle& t, const RenderState& state) {
    TexturePlanes p{t.PlaneOf(&ScreenVertex::u, state.texture.width),
                    t.PlaneOf(&ScreenVertex::v, state.texture.height), false};
    p.linear = UsesLinearFilter(p.u, p.v, state);
    return p;
}

} // namespace

bool PairSharesPlanes(const TriangleSetup& s, const TriangleSetup& t) {
    return s.linear == t.linear && SamePlane(s.a, s, t.a, t) && SamePlane(s.r, s, t.r, t) &&
           SamePlane(s.g, s, t.g, t) && SamePlane(s.b, s, t.b, t) && SamePlane(s.u, s, t.u, t) &&
           SamePlane(s.v, s, t.v, t);
}

bool PairCoversRectangle(const TriangleSetup& one, const TriangleSetup& two, PixelRect* pixels) {
    return CornersCoverRectangle(one.snappedX, one.snappedY, two.snappedX, two.snappedY, pixels);
}

bool IsOneToOneBlit(const SpanPlanes& p) {
    constexpr int64_t kTexelStep = 65536;
    auto constant = [](const AttributePlane& plane) {
        return plane.dx == 0 && plane.dy == 0 && plane.base == static_cast<int32_t>(plane.base);
    };
    return constant(p.a) && constant(p.r) && constant(p.g) && constant(p.b) && p.u.dx == kTexelStep &&
           p.u.dy == 0 && p.v.dx == 0 && p.v.dy == kTexelStep;
}

bool FindOneToOneQuad(const ScreenVertex one[3], const ScreenVertex two[3], const RenderState& state,
                      SpanPlanes* planes, PixelRect* pixels) {
    if (!state.texture.pixels || !OneColour(one) || !OneColour(two))
        return false;
    for (double ScreenVertex::*channel :
         {&ScreenVertex::a, &ScreenVertex::r, &ScreenVertex::g, &ScreenVertex::b})
        if (one[0].*channel != two[0].*channel)
            return false;
    SnappedTriangle first, second;
    if (!first.Snap(one, state) || !second.Snap(two, state) ||
        !CornersCoverRectangle(first.x, first.y, second.x, second.y, pixels))
        return false;
    const TexturePlanes p = TexturePlanesOf(first, state), q = TexturePlanesOf(second, state);
    if (p.linear != q.linear || !SamePlane(p.u, first.minX, first.minY, q.u, second.minX, second.minY) ||
        !SamePlane(p.v, first.minX, first.minY, q.v, second.minX, second.minY))
        return false;
    planes->minX = first.minX;
    planes->minY = first.minY;
    planes->a = first.Plane(one[0].a, one[0].a, one[0].a);
    planes->r = first.Plane(one[0].r, one[0].r, one[0].r);
    planes->g = first.Plane(one[0].g, one[0].g, one[0].g);
    planes->b = first.Plane(one[0].b, one[0].b, one[0].b);
    planes->u = p.u;
    planes->v = p.v;
    planes->linear = p.linear;
    return IsOneToOneBlit(*planes);
}

} // namespace tqd3d9
