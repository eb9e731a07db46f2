#include "spritescene.h"

#include <algorithm>
#include <cmath>

namespace bench {

std::vector<uint32_t> DiscTexels() {
    std::vector<uint32_t> texels(kDisc * kDisc);
    const double radius = kDisc / 2.0;
    for (int y = 0; y < kDisc; ++y)
        for (int x = 0; x < kDisc; ++x) {
            double distance = std::hypot(x + 0.5 - radius, y + 0.5 - radius);
            auto alpha = static_cast<uint32_t>(std::lround(std::max(0.0, 255.0 * (1.0 - distance / radius))));
            texels[y * kDisc + x] =
                alpha << 24 | static_cast<uint32_t>(x * 8) << 16 | static_cast<uint32_t>(y * 8) << 8 | 0xC0u;
        }
    return texels;
}

std::vector<Placement> Placements(SceneKind kind, int count) {
    // A turned, scaled square reaches at most half its diagonal from its centre.
    const int margin = kind == SceneKind::kRot ? static_cast<int>(std::ceil(kDisc * kRotScale * 0.7072)) : 0;
    const int spanX = kind == SceneKind::kRot ? kFrameWidth - 2 * margin : kFrameWidth - kDisc;
    const int spanY = kind == SceneKind::kRot ? kFrameHeight - 2 * margin : kFrameHeight - kDisc;
    uint32_t state = 12345;
    auto next = [&state](int span) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<uint32_t>(span + 1));
    };
    std::vector<Placement> placements(count);
    for (Placement& p : placements) {
        p.x = margin + next(spanX);
        p.y = margin + next(spanY);
        p.angle = static_cast<float>(next(3599) * 3.14159265358979 / 1800.0);
    }
    return placements;
}

int SpriteArea(SceneKind kind) {
    int side = kind == SceneKind::kRot ? static_cast<int>(kDisc * kRotScale) : kDisc;
    return side * side;
}

const char* SceneName(SceneKind kind) {
    return kind == SceneKind::kRot ? "rot" : "plain";
}

} // namespace bench
