#include "platform/d3d9/tqspanfiller.h"

#include "platform/d3d9/tqpixelmath.h"
#include "platform/d3d9/tqrowbilinear.h"
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

// Bilinear texels of `count` pixels at one texel per pixel from column tx of the two rows, wrapping
// at the texture's width; returns the column after the last.
int BilinearRun(BilinearRowFunction bilinearRow, uint32_t* out, int count, const uint32_t* row0,
                const uint32_t* row1, int width, int tx, uint32_t fx, uint32_t fy) {
    int i = 0;
    while (i < count) {
        int run = std::min(count - i, width - 1 - tx);
        if (run > 0) {
            bilinearRow(out + i, row0 + tx, row1 + tx, run, fx, fy);
            i += run;
            tx += run;
        } else {
            out[i++] = BilinearTexel(row0[tx], row0[0], row1[tx], row1[0], fx, fy);
            tx = 0;
        }
    }
    return tx;
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

SpanFiller::SpanFiller(const RenderState& state, const SpanPlanes& setup)
    : m_state(state), m_setup(setup), m_texelShift(0) {
    const AttributePlane &u = setup.u, &v = setup.v;
    bool oneToOne = u.dx == 65536 && u.dy == 0 && v.dx == 0 && v.dy == 65536;
    TexMode texMode;
    if (!state.texture.pixels) {
        texMode = kNoTexture;
    } else if (oneToOne && !setup.linear) {
        texMode = kOneToOne;
    } else if (oneToOne && ((u.base - 0x8000) & 0xFF00) == 0 && ((v.base - 0x8000) & 0xFF00) == 0) {
        // Bilinear weights of 0 on texel centres: the same texel as point sampling half a texel in.
        texMode = kOneToOne;
        m_texelShift = 0x8000;
    } else if (oneToOne) {
        texMode = kLinearStep;
    } else {
        texMode = setup.linear ? kLinear : kPoint;
    }
    m_blend = !state.blend                      ? RowBlend::kOpaque
              : state.destBlend == D3DBLEND_ONE ? RowBlend::kAlphaOne
                                                : RowBlend::kAlphaInv;
    m_blendRow = PickBlendRow(m_blend);
    m_blendRect = PickBlendRect(m_blend);
    m_linearRuns = PickLinearRuns();
    m_bilinearRow = PickBilinearRow();
    m_colorAdd = state.colorOp == D3DTOP_ADD;
    m_colorSelect = state.colorOp == D3DTOP_SELECTARG1;
    m_alphaSelect = state.alphaOp == D3DTOP_SELECTARG1;
    m_constantDiffuse =
        IsConstant(setup.a) && IsConstant(setup.r) && IsConstant(setup.g) && IsConstant(setup.b);
    m_diffuse = PackArgb(FixedToInt(setup.a.base, 255), FixedToInt(setup.r.base, 255),
                         FixedToInt(setup.g.base, 255), FixedToInt(setup.b.base, 255));
    m_alphaRef = state.alphaTest && state.alphaFunc == D3DCMP_GREATEREQUAL ? state.alphaRef : 0;
    m_storeMask = state.color->Format() == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
    // Texels of alpha 0 stay alpha 0 through the stage; blending or the alpha test then drops them.
    m_skipTransparent = state.blend || m_alphaRef >= 1;
    bool whiteDiffuse = m_constantDiffuse && m_diffuse == 0xFFFFFFFFu;
    bool straight = (m_colorSelect || (!m_colorAdd && whiteDiffuse)) && (m_alphaSelect || whiteDiffuse);
    m_blitsTexels = texMode == kOneToOne && straight;
    m_straight = straight;
    m_queues = texMode == kLinear;
    switch (texMode) {
    case kNoTexture:
        m_fill = Pick<kNoTexture>(straight);
        break;
    case kOneToOne:
        m_fill = Pick<kOneToOne>(straight);
        break;
    case kLinearStep:
        m_fill = Pick<kLinearStep>(straight);
        break;
    case kPoint:
        m_fill = Pick<kPoint>(straight);
        break;
    default:
        m_fill = nullptr;
        break;
    }
}

template <SpanFiller::TexMode T> SpanFiller::SpanFunction SpanFiller::Pick(bool straight) {
    return straight ? &SpanFiller::FillSpan<T, true> : &SpanFiller::FillSpan<T, false>;
}

void SpanFiller::Fill(int y, int first, int last) {
    if (!m_queues) {
        (this->*m_fill)(y, first, last);
        return;
    }
    // Spans longer than the queue go in pieces.
    for (int x = first; x <= last;) {
        if (m_queuedCount == kMaxQueued || m_queuedPixels == kMaxQueuedPixels)
            Flush();
        const int count = std::min(last - x + 1, kMaxQueuedPixels - m_queuedPixels);
        Queue(y, x, count);
        x += count;
    }
}

void SpanFiller::Queue(int y, int first, int count) {
    m_queued[m_queuedCount++] = QueuedSpan{y, first, count};
    m_queuedPixels += count;
}

void SpanFiller::Flush() {
    if (m_queuedCount == 0)
        return;
    const SpanPlanes& s = m_setup;
    LinearRun runs[kMaxQueued];
    for (int i = 0; i < m_queuedCount; ++i) {
        const QueuedSpan& span = m_queued[i];
        const int64_t ox = span.first - s.minX, oy = span.y - s.minY;
        runs[i] = LinearRun{s.u.base + s.u.dx * ox + s.u.dy * oy, s.v.base + s.v.dx * ox + s.v.dy * oy,
                            s.u.dx, s.v.dx, span.count};
    }
    uint32_t texels[kMaxQueuedPixels];
    m_linearRuns(m_state.texture, runs, m_queuedCount, m_skipTransparent, texels);
    uint32_t* spanTexels = texels;
    for (int i = 0; i < m_queuedCount; ++i) {
        const QueuedSpan& span = m_queued[i];
        if (!m_straight)
            ShadeTexels(spanTexels, span.count, span.first - s.minX, span.y - s.minY);
        m_blendRow(reinterpret_cast<uint32_t*>(m_state.color->Row(span.y)) + span.first, spanTexels,
                   span.count, m_alphaRef, m_storeMask);
        spanTexels += span.count;
    }
    m_queuedCount = 0;
    m_queuedPixels = 0;
}

// Stage 0 for a texel and a diffuse colour, equal to PixelPipeline::Combine for the supported ops.
uint32_t SpanFiller::Shade(uint32_t texel, uint32_t diffuse) const {
    uint32_t color;
    if (m_colorSelect) {
        color = texel & 0x00FFFFFFu;
    } else if (m_colorAdd) {
        color = PackArgb(0, std::min(255u, ChannelR(texel) + ChannelR(diffuse)),
                         std::min(255u, ChannelG(texel) + ChannelG(diffuse)),
                         std::min(255u, ChannelB(texel) + ChannelB(diffuse)));
    } else {
        color = PackArgb(0, Mul8(ChannelR(texel), ChannelR(diffuse)),
                         Mul8(ChannelG(texel), ChannelG(diffuse)), Mul8(ChannelB(texel), ChannelB(diffuse)));
    }
    uint32_t alpha = m_alphaSelect ? ChannelA(texel) : Mul8(ChannelA(texel), ChannelA(diffuse));
    return color | (alpha << 24);
}

void SpanFiller::ShadeTexels(uint32_t* texels, int count, int64_t ox, int64_t oy) const {
    if (m_constantDiffuse) {
        for (int i = 0; i < count; ++i)
            texels[i] = Shade(texels[i], m_diffuse);
        return;
    }
    const SpanPlanes& s = m_setup;
    auto start = [ox, oy](const AttributePlane& p) { return p.base + p.dx * ox + p.dy * oy; };
    int64_t ca = start(s.a), cr = start(s.r), cg = start(s.g), cb = start(s.b);
    for (int i = 0; i < count; ++i) {
        const uint32_t diffuse =
            PackArgb(FixedToInt(ca, 255), FixedToInt(cr, 255), FixedToInt(cg, 255), FixedToInt(cb, 255));
        ca += s.a.dx;
        cr += s.r.dx;
        cg += s.g.dx;
        cb += s.b.dx;
        texels[i] = Shade(texels[i], diffuse);
    }
}

void SpanFiller::FillRect(int top, int bottom, int first, int last) {
    if (!m_blitsTexels) {
        for (int y = top; y <= bottom; ++y)
            Fill(y, first, last);
        Flush();
        return;
    }
    // One texel per pixel: u does not change down the rectangle and v steps one texel per row.
    const TextureView& tex = m_state.texture;
    const int64_t ox = first - m_setup.minX, oy = top - m_setup.minY;
    const AttributePlane &u = m_setup.u, &v = m_setup.v;
    const int tx = WrapIndex((u.base + u.dx * ox + u.dy * oy - m_texelShift) >> 16, tex.width);
    int ty = WrapIndex((v.base + v.dx * ox + v.dy * oy - m_texelShift) >> 16, tex.height);
    const int count = last - first + 1, firstRun = std::min(count, tex.width - tx);
    const ptrdiff_t pitch = static_cast<ptrdiff_t>(m_state.color->Pitch() / sizeof(uint32_t));
    for (int y = top; y <= bottom; ty = 0) {
        // The rows down to the texture's last, then on from its first; in each, the columns to the
        // texture's right edge, then on from its left edge.
        const int rows = std::min(bottom - y + 1, tex.height - ty);
        uint32_t* out = reinterpret_cast<uint32_t*>(m_state.color->Row(y)) + first;
        const uint32_t* texRow = tex.pixels + static_cast<size_t>(ty) * tex.width;
        m_blendRect(out, pitch, texRow + tx, tex.width, firstRun, rows, m_alphaRef, m_storeMask);
        for (int done = firstRun; done < count; done += tex.width)
            m_blendRect(out + done, pitch, texRow, tex.width, std::min(count - done, tex.width), rows,
                        m_alphaRef, m_storeMask);
        y += rows;
    }
}

void SpanFiller::CopyTexelRuns(uint32_t* out, int count, int64_t u, int64_t v) const {
    const TextureView& tex = m_state.texture;
    int tx = WrapIndex((u - m_texelShift) >> 16, tex.width);
    const uint32_t* texRow =
        tex.pixels + static_cast<size_t>(WrapIndex((v - m_texelShift) >> 16, tex.height)) * tex.width;
    while (count > 0) {
        int run = std::min(count, tex.width - tx);
        m_blendRow(out, texRow + tx, run, m_alphaRef, m_storeMask);
        out += run;
        count -= run;
        tx = 0;
    }
}

template <SpanFiller::TexMode T, bool Straight> void SpanFiller::FillSpan(int y, int first, int last) const {
    const SpanPlanes& s = m_setup;
    const TextureView tex = m_state.texture;
    const int64_t ox = first - s.minX, oy = y - s.minY;
    auto start = [ox, oy](const AttributePlane& p) { return p.base + p.dx * ox + p.dy * oy; };
    int64_t u = start(s.u), v = start(s.v);
    uint32_t* out = reinterpret_cast<uint32_t*>(m_state.color->Row(y)) + first;
    int count = last - first + 1;
    if (T == kOneToOne && Straight) {
        CopyTexelRuns(out, count, u, v);
        return;
    }
    const int64_t du = s.u.dx, dv = s.v.dx;
    const uint32_t *texRow = nullptr, *nextRow = nullptr;
    int tx = 0;
    uint32_t fx = 0, fy = 0;
    if (T == kOneToOne) {
        tx = WrapIndex((u - m_texelShift) >> 16, tex.width);
        texRow =
            tex.pixels + static_cast<size_t>(WrapIndex((v - m_texelShift) >> 16, tex.height)) * tex.width;
    } else if (T == kLinearStep) {
        int64_t su = u - 0x8000, sv = v - 0x8000;
        fx = static_cast<uint32_t>(su >> 8) & 0xFF;
        fy = static_cast<uint32_t>(sv >> 8) & 0xFF;
        tx = WrapIndex(su >> 16, tex.width);
        int ty = WrapIndex(sv >> 16, tex.height);
        texRow = tex.pixels + static_cast<size_t>(ty) * tex.width;
        nextRow = tex.pixels + static_cast<size_t>(ty + 1 == tex.height ? 0 : ty + 1) * tex.width;
    }
    constexpr int kChunk = 64;
    uint32_t colors[kChunk];
    for (int done = 0; done < count;) {
        int n = std::min(count - done, kChunk);
        if (T == kLinearStep) {
            tx = BilinearRun(m_bilinearRow, colors, n, texRow, nextRow, tex.width, tx, fx, fy);
        } else {
            for (int i = 0; i < n; ++i) {
                if (T == kNoTexture) {
                    colors[i] = 0xFFFFFFFFu;
                } else if (T == kOneToOne) {
                    colors[i] = texRow[tx];
                    if (++tx == tex.width)
                        tx = 0;
                } else {
                    colors[i] = SamplePoint(tex, u, v);
                    u += du;
                    v += dv;
                }
            }
        }
        if (!Straight)
            ShadeTexels(colors, n, ox + done, oy);
        m_blendRow(out + done, colors, n, m_alphaRef, m_storeMask);
        done += n;
    }
}

} // namespace tqd3d9
