#include "platform/d3d9/tqtrianglesetup.h"

#include "platform/d3d9/tqfixedpoint.h"

#include <algorithm>
#include <cmath>

namespace tqd3d9 {

namespace {

constexpr double kSubpixel = 256.0;

int64_t Snap(double coordinate) {
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

bool TriangleSetup::Setup(const ScreenVertex in[3], const RenderState& state) {
    const ScreenVertex* v[3] = {&in[0], &in[1], &in[2]};
    int64_t x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = Snap(v[i]->x);
        y[i] = Snap(v[i]->y);
    }
    int64_t area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    if (area == 0)
        return false;
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(x[1], x[2]);
        std::swap(y[1], y[2]);
    }
    for (int i = 0; i < 3; ++i) {
        edges[i] = MakeEdge(x[i], y[i], x[(i + 1) % 3], y[(i + 1) % 3]);
        snappedX[i] = x[i];
        snappedY[i] = y[i];
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
    double px[3], py[3];
    for (int i = 0; i < 3; ++i) {
        px[i] = x[i] / kSubpixel;
        py[i] = y[i] / kSubpixel;
    }
    double ex1 = px[1] - px[0], ey1 = py[1] - py[0], ex2 = px[2] - px[0], ey2 = py[2] - py[0];
    double inverseDet = 1.0 / (ex1 * ey2 - ex2 * ey1);
    auto plane = [&](double a0, double a1, double a2) {
        double dadx = ((a1 - a0) * ey2 - (a2 - a0) * ey1) * inverseDet;
        double dady = ((a2 - a0) * ex1 - (a1 - a0) * ex2) * inverseDet;
        double base = a0 + dadx * (minX - px[0]) + dady * (minY - py[0]);
        return AttributePlane{ToFixed16(base), ToFixed16(dadx), ToFixed16(dady)};
    };
    double tw = state.texture.width, th = state.texture.height, zs = 65535.0;
    a = plane(v[0]->a, v[1]->a, v[2]->a);
    r = plane(v[0]->r, v[1]->r, v[2]->r);
    g = plane(v[0]->g, v[1]->g, v[2]->g);
    b = plane(v[0]->b, v[1]->b, v[2]->b);
    // Texture coordinates matter only with a texture, depth only with a depth buffer.
    const AttributePlane none = {0, 0, 0};
    u = state.texture.pixels ? plane(v[0]->u * tw, v[1]->u * tw, v[2]->u * tw) : none;
    this->v = state.texture.pixels ? plane(v[0]->v * th, v[1]->v * th, v[2]->v * th) : none;
    z = state.depth ? plane(v[0]->z * zs, v[1]->z * zs, v[2]->z * zs) : none;

    int64_t texelsPerPixel =
        std::max({std::llabs(u.dx), std::llabs(u.dy), std::llabs(this->v.dx), std::llabs(this->v.dy)});
    linear = texelsPerPixel > 65536 ? state.minLinear : state.magLinear;
    return true;
}

Fragment TriangleSetup::At(int px, int py) const {
    int64_t ox = px - minX, oy = py - minY;
    auto eval = [ox, oy](const AttributePlane& p) { return p.base + p.dx * ox + p.dy * oy; };
    return Fragment{eval(a), eval(r), eval(g), eval(b), eval(u), eval(v), eval(z)};
}

} // namespace tqd3d9
