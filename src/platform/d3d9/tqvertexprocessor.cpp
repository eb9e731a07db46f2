#include "platform/d3d9/tqvertexprocessor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tqd3d9 {

namespace {

// Half-size of the guard band in viewport widths; keeps screen coordinates small enough for the
// rasterizer's 64-bit edge functions.
constexpr double kGuardBand = 8.0;
constexpr int kPlaneCount = 6;

// Signed distance to clip plane i; inside when >= 0. Inlined so that the test of every vertex
// against every plane, done for each triangle on the drawing thread, needs no calls.
inline __attribute__((always_inline)) double PlaneDistance(const ClipVertex& v, int plane) {
    switch (plane) {
    case 0:
        return v.z;
    case 1:
        return v.w - v.z;
    case 2:
        return v.x + kGuardBand * v.w;
    case 3:
        return kGuardBand * v.w - v.x;
    case 4:
        return v.y + kGuardBand * v.w;
    default:
        return kGuardBand * v.w - v.y;
    }
}

ClipVertex Lerp(const ClipVertex& p, const ClipVertex& q, double t) {
    auto mix = [t](double a, double b) { return a + (b - a) * t; };
    return ClipVertex{mix(p.x, q.x), mix(p.y, q.y), mix(p.z, q.z), mix(p.w, q.w), mix(p.a, q.a),
                      mix(p.r, q.r), mix(p.g, q.g), mix(p.b, q.b), mix(p.u, q.u), mix(p.v, q.v)};
}

// The point where the edge p-q crosses a plane (signed distances dp, dq of opposite signs),
// interpolated from the end nearer to the plane so that huge coordinates do not cancel out.
// The clipped coordinate is then put exactly on the plane.
ClipVertex PlaneCrossing(const ClipVertex& p, double dp, const ClipVertex& q, double dq, int plane) {
    ClipVertex c = std::fabs(dp) <= std::fabs(dq) ? Lerp(p, q, dp / (dp - dq)) : Lerp(q, p, dq / (dq - dp));
    switch (plane) {
    case 0:
        c.z = 0;
        break;
    case 1:
        c.z = c.w;
        break;
    case 2:
        c.x = -kGuardBand * c.w;
        break;
    case 3:
        c.x = kGuardBand * c.w;
        break;
    case 4:
        c.y = -kGuardBand * c.w;
        break;
    default:
        c.y = kGuardBand * c.w;
        break;
    }
    return c;
}

// Sutherland-Hodgman against one plane.
int ClipPolygon(const ClipVertex* in, int count, int plane, ClipVertex* out) {
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const ClipVertex& p = in[i];
        const ClipVertex& q = in[(i + 1) % count];
        double dp = PlaneDistance(p, plane), dq = PlaneDistance(q, plane);
        if (dp >= 0)
            out[n++] = p;
        if ((dp >= 0) != (dq >= 0))
            out[n++] = PlaneCrossing(p, dp, q, dq, plane);
    }
    return n;
}

bool AllInside(const ClipVertex* v, int count) {
    for (int i = 0; i < count; ++i) {
        if (!(v[i].w > 0))
            return false;
        for (int plane = 0; plane < kPlaneCount; ++plane)
            if (PlaneDistance(v[i], plane) < 0)
                return false;
    }
    return true;
}

// Positions with NaN or infinity cannot be clipped; such primitives are dropped.
bool AllFinite(const ClipVertex* v, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(v[i].x) || !std::isfinite(v[i].y) || !std::isfinite(v[i].z) ||
            !std::isfinite(v[i].w))
            return false;
    return true;
}

} // namespace

void VertexProcessor::Transform(const uint8_t* vertex, ClipVertex* out) const {
    float pos[3], tex[2];
    uint32_t color;
    std::memcpy(pos, vertex, sizeof(pos));
    std::memcpy(&color, vertex + 12, sizeof(color));
    std::memcpy(tex, vertex + 16, sizeof(tex));
    const auto& m = m_state.transform;
    const double in[4] = {pos[0], pos[1], pos[2], 1.0};
    double position[4];
    for (int c = 0; c < 4; ++c)
        position[c] = in[0] * m[0][c] + in[1] * m[1][c] + in[2] * m[2][c] + in[3] * m[3][c];
    out->x = position[0];
    out->y = position[1];
    out->z = position[2];
    out->w = position[3];
    out->a = static_cast<double>(color >> 24);
    out->r = static_cast<double>((color >> 16) & 0xFF);
    out->g = static_cast<double>((color >> 8) & 0xFF);
    out->b = static_cast<double>(color & 0xFF);
    out->u = tex[0];
    out->v = tex[1];
}

void VertexProcessor::ToScreen(const ClipVertex& v, ScreenVertex* out) const {
    const D3DVIEWPORT9& vp = m_state.viewport;
    // Orthographic projections leave w at 1, where dividing changes nothing.
    const bool affine = v.w == 1.0;
    double x = affine ? v.x : v.x / v.w, y = affine ? v.y : v.y / v.w, z = affine ? v.z : v.z / v.w;
    out->x = vp.X + (x + 1.0) * vp.Width * 0.5;
    out->y = vp.Y + (1.0 - y) * vp.Height * 0.5;
    out->z = vp.MinZ + z * (vp.MaxZ - vp.MinZ);
    out->a = v.a;
    out->r = v.r;
    out->g = v.g;
    out->b = v.b;
    out->u = v.u;
    out->v = v.v;
}

int VertexProcessor::ClipTriangle(const ClipVertex in[3], ScreenVertex out[kMaxClipped]) const {
    if (!AllFinite(in, 3))
        return 0;
    if (AllInside(in, 3)) {
        for (int i = 0; i < 3; ++i)
            ToScreen(in[i], &out[i]);
        return 3;
    }
    ClipVertex bufA[kMaxClipped + 1], bufB[kMaxClipped + 1];
    std::copy(in, in + 3, bufA);
    int count = 3;
    ClipVertex* src = bufA;
    ClipVertex* dst = bufB;
    for (int plane = 0; plane < kPlaneCount && count > 0; ++plane) {
        count = ClipPolygon(src, count, plane, dst);
        std::swap(src, dst);
    }
    count = std::min(count, kMaxClipped);
    for (int i = 0; i < count; ++i) {
        if (!(src[i].w > 0))
            return 0;
        ToScreen(src[i], &out[i]);
    }
    return count >= 3 ? count : 0;
}

bool VertexProcessor::ClipLine(const ClipVertex in[2], ScreenVertex out[2]) const {
    if (!AllFinite(in, 2))
        return false;
    ClipVertex p = in[0], q = in[1];
    for (int plane = 0; plane < kPlaneCount; ++plane) {
        double dp = PlaneDistance(p, plane), dq = PlaneDistance(q, plane);
        if (dp < 0 && dq < 0)
            return false;
        if (dp < 0)
            p = PlaneCrossing(p, dp, q, dq, plane);
        else if (dq < 0)
            q = PlaneCrossing(p, dp, q, dq, plane);
    }
    if (!(p.w > 0) || !(q.w > 0))
        return false;
    ToScreen(p, &out[0]);
    ToScreen(q, &out[1]);
    return true;
}

} // namespace tqd3d9
