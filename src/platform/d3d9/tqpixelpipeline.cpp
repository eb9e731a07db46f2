#include "platform/d3d9/tqpixelpipeline.h"

#include "platform/d3d9/tqpixelformat.h"
#include "platform/d3d9/tqpixelmath.h"
#include "platform/d3d9/tqtexturesampler.h"

#include <algorithm>
#include <cstring>

namespace tqd3d9 {

static uint32_t ApplyOp(DWORD op, uint32_t arg1, uint32_t arg2) {
    switch (op) {
    case D3DTOP_SELECTARG1:
        return arg1;
    case D3DTOP_SELECTARG2:
        return arg2;
    case D3DTOP_ADD:
        return std::min(255u, arg1 + arg2);
    default:
        return Mul8(arg1, arg2);
    }
}

static uint32_t PickArg(DWORD arg, uint32_t texel, uint32_t diffuse) {
    return (arg & 0xF) == D3DTA_TEXTURE ? texel : diffuse;
}

uint32_t PixelPipeline::Combine(const RenderState& state, uint32_t texel, uint32_t diffuse) {
    if (state.colorOp == D3DTOP_DISABLE)
        return diffuse;
    uint32_t c1 = PickArg(state.colorArg1, texel, diffuse), c2 = PickArg(state.colorArg2, texel, diffuse);
    uint32_t r = ApplyOp(state.colorOp, ChannelR(c1), ChannelR(c2));
    uint32_t g = ApplyOp(state.colorOp, ChannelG(c1), ChannelG(c2));
    uint32_t b = ApplyOp(state.colorOp, ChannelB(c1), ChannelB(c2));
    uint32_t a = ChannelA(diffuse);
    if (state.alphaOp != D3DTOP_DISABLE) {
        uint32_t a1 = PickArg(state.alphaArg1, texel, diffuse), a2 = PickArg(state.alphaArg2, texel, diffuse);
        a = ApplyOp(state.alphaOp, ChannelA(a1), ChannelA(a2));
    }
    return PackArgb(a, r, g, b);
}

bool PixelPipeline::Compare(DWORD func, uint32_t value, uint32_t reference) {
    switch (func) {
    case D3DCMP_NEVER:
        return false;
    case D3DCMP_LESS:
        return value < reference;
    case D3DCMP_EQUAL:
        return value == reference;
    case D3DCMP_LESSEQUAL:
        return value <= reference;
    case D3DCMP_GREATER:
        return value > reference;
    case D3DCMP_NOTEQUAL:
        return value != reference;
    case D3DCMP_GREATEREQUAL:
        return value >= reference;
    default:
        return true;
    }
}

static uint32_t BlendFactor(DWORD factor, uint32_t srcChannel, uint32_t srcAlpha) {
    switch (factor) {
    case D3DBLEND_ZERO:
        return 0;
    case D3DBLEND_SRCCOLOR:
        return srcChannel;
    case D3DBLEND_INVSRCCOLOR:
        return 255 - srcChannel;
    case D3DBLEND_SRCALPHA:
        return srcAlpha;
    case D3DBLEND_INVSRCALPHA:
        return 255 - srcAlpha;
    default:
        return 255;
    }
}

uint32_t PixelPipeline::Blend(const RenderState& state, uint32_t src, uint32_t dst) {
    uint32_t srcAlpha = ChannelA(src), out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
        uint32_t sum =
            s * BlendFactor(state.srcBlend, s, srcAlpha) + d * BlendFactor(state.destBlend, s, srcAlpha);
        out |= std::min(255u, Div255(sum)) << shift;
    }
    return out;
}

void PixelPipeline::Process(int x, int y, const Fragment& f) const {
    const RenderState& s = m_state;
    uint32_t diffuse =
        PackArgb(FixedToInt(f.a, 255), FixedToInt(f.r, 255), FixedToInt(f.g, 255), FixedToInt(f.b, 255));
    uint32_t texel = m_linear ? SampleLinear(s.texture, f.u, f.v) : SamplePoint(s.texture, f.u, f.v);
    uint32_t color = Combine(s, texel, diffuse);
    if (s.alphaTest && !Compare(s.alphaFunc, ChannelA(color), s.alphaRef))
        return;
    uint16_t* depth = nullptr;
    uint32_t z = FixedToInt(f.z, 65535);
    if (s.depth) {
        depth = reinterpret_cast<uint16_t*>(s.depth->Row(y)) + x;
        if (!Compare(s.depthFunc, z, *depth))
            return;
    }
    D3DFORMAT format = s.color->Format();
    uint8_t* pixel = s.color->Row(y) + x * BytesPerPixel(format);
    if (s.blend)
        color = Blend(s, color, LoadArgb(format, pixel));
    StoreArgb(format, pixel, color);
    if (depth && s.depthWrite)
        *depth = static_cast<uint16_t>(z);
}

} // namespace tqd3d9
