// The generic per-pixel path: texture stage 0, alpha test, depth test and write, blending, and the
// write in any colour format. The fast span paths must give exactly what this gives.
#pragma once

#include "platform/d3d9/tqrenderstate.h"

#include <cstdint>

namespace tqd3d9 {

// Attributes of one pixel, 16.16 fixed point: diffuse channels (0..255), texture coordinates in
// texels, depth (0..65535).
struct Fragment {
    int64_t a, r, g, b;
    int64_t u, v;
    int64_t z;
};

class PixelPipeline {
public:
    explicit PixelPipeline(const RenderState& state) : m_state(state) {}

    // Chooses bilinear (true) or point sampling for the primitive being drawn.
    void SetLinear(bool linear) { m_linear = linear; }
    // Shades the pixel (x, y) and writes it when it passes the tests.
    void Process(int x, int y, const Fragment& fragment) const;

    // Texture stage 0: colour and alpha operations on the texel and the diffuse colour.
    // Unknown operations act as MODULATE; arguments other than TEXTURE read the diffuse colour.
    static uint32_t Combine(const RenderState& state, uint32_t texel, uint32_t diffuse);
    static bool Compare(DWORD func, uint32_t value, uint32_t reference);
    // min(255, round((src * srcFactor + dst * destFactor) / 255)) per channel.
    static uint32_t Blend(const RenderState& state, uint32_t src, uint32_t dst);

private:
    const RenderState& m_state;
    bool m_linear = false;
};

} // namespace tqd3d9
