// The scene every path of the renderer bench draws: an 800 x 600 frame cleared to one colour, then
// N copies of one 32 x 32 soft disc at fixed pseudo-random places with default alpha blending.
// `plain` draws them unscaled at whole pixels; `rot` turns each by its own angle and scales it 1.5x
// about its centre with linear filtering.
#pragma once

#include <cstdint>
#include <vector>

namespace bench {

constexpr int kFrameWidth = 800;
constexpr int kFrameHeight = 600;
constexpr int kDisc = 32;
constexpr float kRotScale = 1.5f;
constexpr uint32_t kClearColor = 0xFF203050u;

enum class SceneKind { kPlain, kRot };

// A sprite's place: its top-left pixel (plain) or its centre (rot), and its angle in radians (rot).
struct Placement {
    int x, y;
    float angle;
};

// The disc's texels, 0xAARRGGBB rows: alpha 255 at the centre falling to 0 at radius 16, colour a
// gradient so that misplaced texels show.
std::vector<uint32_t> DiscTexels();

// `count` placements, the same on every run, keeping every sprite inside the frame.
std::vector<Placement> Placements(SceneKind kind, int count);

// Pixels a sprite covers, for Mpix/s: 32 x 32 plain, 48 x 48 turned.
int SpriteArea(SceneKind kind);

const char* SceneName(SceneKind kind);

} // namespace bench
