#include "platform/d3d9/tqspanfiller.h"

#include "platform/d3d9/tqpixelmath.h"
#include "platform/d3d9/tqtexturesampler.h"

#include <algorithm>

namespace tqd3d9 {

namespace {

bool ReadsTextureAndDiffuse(DWORD arg1, DWORD arg2) {
    return (arg1 & 0xF) == D3DTA_TEXTURE && (arg2 & 0xF) != D3DTA_TEXTURE;
}

bool IsConstant(const AttributePlane& p) {
    return p.dx == 0 && p.dy == 0;
}

// Packed blends, equal per channel to PixelPipeline::Blend for these factors.
inline uint32_t BlendAlphaInv(uint32_t src, uint32_t dst) {
    uint32_t a = src >> 24, ia = 255 - a;
    uint32_t rb = Div255Lanes((src & 0x00FF00FFu) * a + (dst & 0x00FF00FFu) * ia);
    uint32_t ag = Div255Lanes(((src >> 8) & 0x00FF00FFu) * a + ((dst >> 8) & 0x00FF00FFu) * ia);
    return rb | (ag << 8);
}

inline uint32_t SaturatingAddLanes(uint32_t x, uint32_t y) {
    uint32_t sum = x + y;
    uint32_t carry = sum & 0x01000100u;
    return (sum | (carry - (carry >> 8))) & 0x00FF00FFu;
}

inline uint32_t BlendAlphaOne(uint32_t src, uint32_t dst) {
    uint32_t a = src >> 24;
    uint32_t rb = SaturatingAddLanes(Div255Lanes((src & 0x00FF00FFu) * a), dst & 0x00FF00FFu);
    uint32_t ag = SaturatingAddLanes(Div255Lanes(((src >> 8) & 0x00FF00FFu) * a), (dst >> 8) & 0x00FF00FFu);
    return rb | (ag << 8);
}

} // namespace

bool SpanFiller::Supports(const RenderState& s) {
    D3DFORMAT format = s.color->Format();
    bool target = (format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8) && !s.depth;
    bool stage =
        ReadsTextureAndDiffuse(s.colorArg1, s.colorArg2) &&
        ReadsTextureAndDiffuse(s.alphaArg1, s.alphaArg2) &&
        (s.colorOp == D3DTOP_MODULATE || s.colorOp == D3DTOP_ADD || s.colorOp == D3DTOP_SELECTARG1) &&
        (s.alphaOp == D3DTOP_MODULATE || s.alphaOp == D3DTOP_SELECTARG1);
    bool blend = !s.blend || (s.srcBlend == D3DBLEND_SRCALPHA &&
                              (s.destBlend == D3DBLEND_INVSRCALPHA || s.destBlend == D3DBLEND_ONE));
    bool test = !s.alphaTest || s.alphaFunc == D3DCMP_GREATEREQUAL || s.alphaFunc == D3DCMP_ALWAYS;
    return target && stage && blend && test;
}

SpanFiller::SpanFiller(const RenderState& state, const TriangleSetup& setup)
    : m_state(state), m_setup(setup), m_texelShift(0) {
    const AttributePlane &u = setup.u, &v = setup.v;
    bool oneToOne = u.dx == 65536 && u.dy == 0 && v.dx == 0 && v.dy == 65536;
    if (!state.texture.pixels) {
        m_texMode = kNoTexture;
    } else if (oneToOne && !setup.linear) {
        m_texMode = kOneToOne;
    } else if (oneToOne && ((u.base - 0x8000) & 0xFF00) == 0 && ((v.base - 0x8000) & 0xFF00) == 0) {
        // Bilinear weights of 0 on texel centres: the same texel as point sampling half a texel in.
        m_texMode = kOneToOne;
        m_texelShift = 0x8000;
    } else {
        m_texMode = setup.linear ? kLinear : kPoint;
    }
    m_blend = !state.blend ? kOpaque : state.destBlend == D3DBLEND_ONE ? kAlphaOne : kAlphaInv;
    m_colorAdd = state.colorOp == D3DTOP_ADD;
    m_colorSelect = state.colorOp == D3DTOP_SELECTARG1;
    m_alphaSelect = state.alphaOp == D3DTOP_SELECTARG1;
    m_constantDiffuse =
        IsConstant(setup.a) && IsConstant(setup.r) && IsConstant(setup.g) && IsConstant(setup.b);
    m_diffuse = PackArgb(FixedToInt(setup.a.base, 255), FixedToInt(setup.r.base, 255),
                         FixedToInt(setup.g.base, 255), FixedToInt(setup.b.base, 255));
    m_alphaRef = state.alphaTest && state.alphaFunc == D3DCMP_GREATEREQUAL ? state.alphaRef : 0;
    m_storeMask = state.color->Format() == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
}

void SpanFiller::Fill(int y, int first, int last) const {
    switch (m_texMode * 3 + m_blend) {
#define TQ_SPAN_CASE(T, B)                                                                                   \
    case T * 3 + B:                                                                                          \
        FillSpan<T, B>(y, first, last);                                                                      \
        break;
        TQ_SPAN_CASE(kNoTexture, kOpaque)
        TQ_SPAN_CASE(kNoTexture, kAlphaInv)
        TQ_SPAN_CASE(kNoTexture, kAlphaOne)
        TQ_SPAN_CASE(kOneToOne, kOpaque)
        TQ_SPAN_CASE(kOneToOne, kAlphaInv)
        TQ_SPAN_CASE(kOneToOne, kAlphaOne)
        TQ_SPAN_CASE(kPoint, kOpaque)
        TQ_SPAN_CASE(kPoint, kAlphaInv)
        TQ_SPAN_CASE(kPoint, kAlphaOne)
        TQ_SPAN_CASE(kLinear, kOpaque)
        TQ_SPAN_CASE(kLinear, kAlphaInv)
        TQ_SPAN_CASE(kLinear, kAlphaOne)
#undef TQ_SPAN_CASE
    }
}

template <SpanFiller::TexMode T, SpanFiller::BlendKind B>
void SpanFiller::FillSpan(int y, int first, int last) const {
    const TriangleSetup& s = m_setup;
    const TextureView& tex = m_state.texture;
    int64_t ox = first - s.minX, oy = y - s.minY;
    auto start = [ox, oy](const AttributePlane& p) { return p.base + p.dx * ox + p.dy * oy; };
    int64_t ca = start(s.a), cr = start(s.r), cg = start(s.g), cb = start(s.b);
    int64_t u = start(s.u), v = start(s.v);
    const uint32_t* texRow = nullptr;
    int tx = 0;
    if (T == kOneToOne) {
        tx = WrapIndex((u - m_texelShift) >> 16, tex.width);
        texRow =
            tex.pixels + static_cast<size_t>(WrapIndex((v - m_texelShift) >> 16, tex.height)) * tex.width;
    }
    uint32_t* out = reinterpret_cast<uint32_t*>(m_state.color->Row(y)) + first;
    for (int x = first; x <= last; ++x, ++out) {
        uint32_t texel;
        if (T == kNoTexture) {
            texel = 0xFFFFFFFFu;
        } else if (T == kOneToOne) {
            texel = texRow[tx];
            if (++tx == tex.width)
                tx = 0;
        } else if (T == kPoint) {
            texel = SamplePoint(tex, u, v);
        } else {
            texel = SampleLinear(tex, u, v);
        }
        uint32_t diffuse = m_diffuse;
        if (!m_constantDiffuse) {
            diffuse =
                PackArgb(FixedToInt(ca, 255), FixedToInt(cr, 255), FixedToInt(cg, 255), FixedToInt(cb, 255));
            ca += s.a.dx;
            cr += s.r.dx;
            cg += s.g.dx;
            cb += s.b.dx;
        }
        if (T == kPoint || T == kLinear) {
            u += s.u.dx;
            v += s.v.dx;
        }
        uint32_t color;
        if (m_colorSelect) {
            color = texel & 0x00FFFFFFu;
        } else if (m_colorAdd) {
            color = PackArgb(0, std::min(255u, ChannelR(texel) + ChannelR(diffuse)),
                             std::min(255u, ChannelG(texel) + ChannelG(diffuse)),
                             std::min(255u, ChannelB(texel) + ChannelB(diffuse)));
        } else if ((diffuse & 0x00FFFFFFu) == 0x00FFFFFFu) {
            color = texel & 0x00FFFFFFu;
        } else {
            color =
                PackArgb(0, Mul8(ChannelR(texel), ChannelR(diffuse)),
                         Mul8(ChannelG(texel), ChannelG(diffuse)), Mul8(ChannelB(texel), ChannelB(diffuse)));
        }
        uint32_t alpha = m_alphaSelect ? ChannelA(texel) : Mul8(ChannelA(texel), ChannelA(diffuse));
        if (alpha < m_alphaRef)
            continue;
        color |= alpha << 24;
        if (B == kAlphaInv)
            color = BlendAlphaInv(color, *out | m_storeMask);
        else if (B == kAlphaOne)
            color = BlendAlphaOne(color, *out | m_storeMask);
        *out = color | m_storeMask;
    }
}

} // namespace tqd3d9
