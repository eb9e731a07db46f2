#include "platform/d3d9/tqlinerasterizer.h"

#include "platform/d3d9/tqfixedpoint.h"

#include <algorithm>
#include <cmath>

namespace tqd3d9 {

namespace {

// One attribute at both ends, 16.16.
struct LineAttribute {
    int64_t start, end;
    int64_t At(int64_t num, int64_t den) const {
        // The product can pass 64 bits for extreme texture coordinates.
        return start + static_cast<int64_t>(static_cast<__int128>(end - start) * num / den);
    }
};

} // namespace

void LineRasterizer::Draw(const ScreenVertex v[2]) {
    int64_t x0 = RoundHalfUp(v[0].x * 256), y0 = RoundHalfUp(v[0].y * 256);
    int64_t x1 = RoundHalfUp(v[1].x * 256), y1 = RoundHalfUp(v[1].y * 256);
    bool xMajor = std::llabs(x1 - x0) >= std::llabs(y1 - y0);
    // Work along the major axis as "s" and across it as "t".
    int64_t s0 = xMajor ? x0 : y0, s1 = xMajor ? x1 : y1;
    int64_t t0 = xMajor ? y0 : x0, t1 = xMajor ? y1 : x1;
    int64_t ds = s1 - s0;
    if (ds == 0)
        return;
    int64_t first, last;
    if (ds > 0) {
        first = FloorDiv(s0 - 128, 256) + 1;
        last = FloorDiv(s1 - 128, 256);
    } else {
        first = -FloorDiv(-(s1 + 128), 256);
        last = -FloorDiv(-(s0 + 128), 256) - 1;
    }
    double tw = m_state.texture.width, th = m_state.texture.height;
    LineAttribute a{ToFixed16(v[0].a), ToFixed16(v[1].a)}, r{ToFixed16(v[0].r), ToFixed16(v[1].r)};
    LineAttribute g{ToFixed16(v[0].g), ToFixed16(v[1].g)}, b{ToFixed16(v[0].b), ToFixed16(v[1].b)};
    LineAttribute u{ToFixed16(v[0].u * tw), ToFixed16(v[1].u * tw)},
        w{ToFixed16(v[0].v * th), ToFixed16(v[1].v * th)};
    LineAttribute z{ToFixed16(v[0].z * 65535.0), ToFixed16(v[1].z * 65535.0)};
    m_pipeline.SetLinear(m_state.magLinear);
    for (int64_t s = first; s <= last; ++s) {
        int64_t num = s * 256 - s0;
        int64_t t = FloorDiv(t0 * 256 + (t1 - t0) * num * 256 / ds + 128 * 256, 256 * 256);
        int64_t px = xMajor ? s : t, py = xMajor ? t : s;
        if (px < m_state.clipLeft || px >= m_state.clipRight ||
            py < std::max(m_state.clipTop, m_state.bandTop) ||
            py >= std::min(m_state.clipBottom, m_state.bandBottom))
            continue;
        Fragment f{a.At(num, ds), r.At(num, ds), g.At(num, ds), b.At(num, ds),
                   u.At(num, ds), w.At(num, ds), z.At(num, ds)};
        m_pipeline.Process(static_cast<int>(px), static_cast<int>(py), f);
    }
}

} // namespace tqd3d9
