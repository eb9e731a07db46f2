#include "platform/d3d9/tqquadpair.h"

#include "platform/d3d9/tqfixedpoint.h"

#include <algorithm>

namespace tqd3d9 {

namespace {

bool HasVertex(const TriangleSetup& s, int64_t x, int64_t y) {
    for (int i = 0; i < 3; ++i)
        if (s.snappedX[i] == x && s.snappedY[i] == y)
            return true;
    return false;
}

// The first pixel centre at or after a snapped coordinate.
int FirstPixelFrom(int64_t snapped) {
    return static_cast<int>(-FloorDiv(-snapped, 256));
}

// Whether two planes give the same value at every pixel.
bool SamePlane(const AttributePlane& p, const TriangleSetup& ps, const AttributePlane& q,
               const TriangleSetup& qs) {
    return p.dx == q.dx && p.dy == q.dy &&
           p.base + p.dx * (qs.minX - ps.minX) + p.dy * (qs.minY - ps.minY) == q.base;
}

} // namespace

bool PairSharesPlanes(const TriangleSetup& s, const TriangleSetup& t) {
    return s.linear == t.linear && SamePlane(s.a, s, t.a, t) && SamePlane(s.r, s, t.r, t) &&
           SamePlane(s.g, s, t.g, t) && SamePlane(s.b, s, t.b, t) && SamePlane(s.u, s, t.u, t) &&
           SamePlane(s.v, s, t.v, t);
}

bool PairCoversRectangle(const TriangleSetup& one, const TriangleSetup& two, PixelRect* pixels) {
    int shared[3], sharedCount = 0, own = -1;
    for (int i = 0; i < 3; ++i) {
        if (HasVertex(two, one.snappedX[i], one.snappedY[i]))
            shared[sharedCount++] = i;
        else
            own = i;
    }
    if (sharedCount != 2)
        return false;
    const int64_t xa = one.snappedX[shared[0]], ya = one.snappedY[shared[0]];
    const int64_t xb = one.snappedX[shared[1]], yb = one.snappedY[shared[1]];
    if (xa == xb || ya == yb)
        return false;
    // The diagonal's two other corners: one in each triangle.
    const int64_t ox = one.snappedX[own], oy = one.snappedY[own];
    bool cornerA = ox == xa && oy == yb, cornerB = ox == xb && oy == ya;
    if (!cornerA && !cornerB)
        return false;
    if (!HasVertex(two, cornerA ? xb : xa, cornerA ? ya : yb))
        return false;
    pixels->left = FirstPixelFrom(std::min(xa, xb));
    pixels->right = FirstPixelFrom(std::max(xa, xb)) - 1;
    pixels->top = FirstPixelFrom(std::min(ya, yb));
    pixels->bottom = FirstPixelFrom(std::max(ya, yb)) - 1;
    return true;
}

} // namespace tqd3d9
