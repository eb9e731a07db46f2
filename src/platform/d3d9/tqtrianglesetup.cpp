#include "platform/d3d9/tqtrianglesetup.h"

#include "platform/d3d9/tqfixedpoint.h"

#include <algorithm>
#include <cmath>

namespace tqd3d9 {

namespace {

constexpr double kSubpixel = 256.0;

int64_t SnapCoordinate(double coordinate) {
    return RoundHalfUp(coordinate * kSubpixel);
}

int64_t CeilDiv(int64_t n, int64_t d) {
    return -FloorDiv(-n, d);
}

// Edge from (xa, ya) to (xb, yb), positive inside for the winding chosen in Setup.
EdgeFunction MakeEdge(int64_t xa, int64_t ya, int64_t xb, int64_t yb) {
    int64_t dx = xb - xa, dy = yb - ya;
    bool topLeft = dy < 0 || (dy == 0 && dx > 0);
    return EdgeFunction{-dy * 256, dx * 256, dy * xa - dx * ya - (topLeft ? 0 : 1)};
}

} // namespace

bool SnappedTriangle::Snap(const ScreenVertex in[3], const RenderState& state) {
    m_vertex[0] = &in[0];
    m_vertex[1] = &in[1];
    m_vertex[2] = &in[2];
    for (int i = 0; i < 3; ++i) {
        x[i] = SnapCoordinate(in[i].x);
        y[i] = SnapCoordinate(in[i].y);
    }
    int64_t area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    if (area == 0)
        return false;
    if (area < 0) {
        std::swap(m_vertex[1], m_vertex[2]);
        std::swap(x[1], x[2]);
        std::swap(y[1], y[2]);
    }
    minX = static_cast<int>(std::max<int64_t>(state.clipLeft, CeilDiv(*std::min_element(x, x + 3), 256)));
    minY = static_cast<int>(std::max<int64_t>(state.clipTop, CeilDiv(*std::min_element(y, y + 3), 256)));
    maxX =
        static_cast<int>(std::min<int64_t>(state.clipRight - 1, FloorDiv(*std::max_element(x, x + 3), 256)));
    maxY =
        static_cast<int>(std::min<int64_t>(state.clipBottom - 1, FloorDiv(*std::max_element(y, y + 3), 256)));
    if (minX > maxX || minY > maxY)
        return false;
    // Planes in pixel units from the snapped positions.
    m_px0 = x[0] / kSubpixel;
    m_py0 = y[0] / kSubpixel;
    m_ex1 = x[1] / kSubpixel - m_px0;
    m_ey1 = y[1] / kSubpixel - m_py0;
    m_ex2 = x[2] / kSubpixel - m_px0;
    m_ey2 = y[2] / kSubpixel - m_py0;
    m_inverseDet = 1.0 / (m_ex1 * m_ey2 - m_ex2 * m_ey1);
    return true;
}

AttributePlane SnappedTriangle::Plane(double a0, double a1, double a2) const {
    // A constant attribute gives zero steps and its value exactly: no need to work them out.
    if (a0 == a1 && a0 == a2 && std::isfinite(a0))
        return AttributePlane{ToFixed16(a0), 0, 0};
    double dadx = ((a1 - a0) * m_ey2 - (a2 - a0) * m_ey1) * m_inverseDet;
    double dady = ((a2 - a0) * m_ex1 - (a1 - a0) * m_ex2) * m_inverseDet;
    double base = a0 + dadx * (minX - m_px0) + dady * (minY - m_py0);
    return AttributePlane{ToFixed16(base), ToFixed16(dadx), ToFixed16(dady)};
}

bool UsesLinearFilter(const AttributePlane& u, const AttributePlane& v, const RenderState& state) {
    int64_t texelsPerPixel =
        std::max({std::llabs(u.dx), std::llabs(u.dy), std::llabs(v.dx), std::llabs(v.dy)});
    return texelsPerPixel > 65536 ? state.minLinear : state.magLinear;
}

bool TriangleSetup::Setup(const ScreenVertex in[3], const RenderState& state) {
    SnappedTriangle t;
    if (!t.Snap(in, state))
        return false;
    for (int i = 0; i < 3; ++i) {
        edges[i] = MakeEdge(t.x[i], t.y[i], t.x[(i + 1) % 3], t.y[(i + 1) % 3]);
        snappedX[i] = t.x[i];
        snappedY[i] = t.y[i];
    }
    minX = t.minX;
    minY = t.minY;
    maxX = t.maxX;
    maxY = t.maxY;
    a = t.PlaneOf(&ScreenVertex::a, 1.0);
    r = t.PlaneOf(&ScreenVertex::r, 1.0);
    g = t.PlaneOf(&ScreenVertex::g, 1.0);
    b = t.PlaneOf(&ScreenVertex::b, 1.0);
    // Texture coordinates matter only with a texture, depth only with a depth buffer.
    const AttributePlane none = {0, 0, 0};
    u = state.texture.pixels ? t.PlaneOf(&ScreenVertex::u, state.texture.width) : none;
    v = state.texture.pixels ? t.PlaneOf(&ScreenVertex::v, state.texture.height) : none;
    z = state.depth ? t.PlaneOf(&ScreenVertex::z, 65535.0) : none;
    linear = UsesLinearFilter(u, v, state);
    return true;
}

Fragment TriangleSetup::At(int px, int py) const {
    int64_t ox = px - minX, oy = py - minY;
    auto eval = [ox, oy](const AttributePlane& p) { return p.base + p.dx * ox + p.dy * oy; };
    return Fragment{eval(a), eval(r), eval(g), eval(b), eval(u), eval(v), eval(z)};
}

} // namespace tqd3d9
