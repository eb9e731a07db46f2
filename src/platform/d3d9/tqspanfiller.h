// The fast span paths: one row of a triangle at a time, tailored to the texture access (none, one
// texel per pixel, bilinear at one texel per pixel, sampled) and to whether stage 0 changes the
// texel; runs of shaded pixels then go through the row blend (tqrowblend.h). For 32-bit targets
// without depth. They give exactly the pixels of the generic path.
#pragma once

#include "platform/d3d9/tqrowbilinear.h"
#include "platform/d3d9/tqrowblend.h"
#include "platform/d3d9/tqtrianglesetup.h"

namespace tqd3d9 {

class SpanFiller {
public:
    // Whether the state suits the fast paths: an A8R8G8B8 or X8R8G8B8 target, no depth buffer,
    // stage 0 reading TEXTURE and DIFFUSE with colour MODULATE, ADD or SELECTARG1 and alpha MODULATE
    // or SELECTARG1, blending off, SRCALPHA/INVSRCALPHA or SRCALPHA/ONE, alpha test off or
    // GREATEREQUAL.
    static bool Supports(const RenderState& state);

    SpanFiller(const RenderState& state, const SpanPlanes& setup);
    // Draws pixels first..last of row y. Bilinear spans at any step wait, so that their texels are
    // sampled together (their lanes filled across the ends of rows); Flush samples them all, then
    // blends them in the order given.
    void Fill(int y, int first, int last);
    // Draws the spans still waiting; call after the last Fill.
    void Flush();
    // Draws pixels first..last of rows top..bottom, a rectangle the planes hold for (the two halves
    // of a quad). Texels passed straight through one to one blend whole texture rows.
    void FillRect(int top, int bottom, int first, int last);

    // kOneToOne: one texel per pixel; kLinearStep: one texel per pixel between texel centres, so the
    // bilinear weights stay the same along the span.
    enum TexMode { kNoTexture, kOneToOne, kLinearStep, kPoint, kLinear };

private:
    typedef void (SpanFiller::*SpanFunction)(int y, int first, int last) const;

    // Straight: the stage passes the texel through unchanged (opaque white diffuse, or SELECTARG1).
    template <TexMode T, bool Straight> void FillSpan(int y, int first, int last) const;
    // One texel per pixel passed straight through: runs of texels go to the row blend as they are.
    void CopyTexelRuns(uint32_t* out, int count, int64_t u, int64_t v) const;
    template <TexMode T> static SpanFunction Pick(bool straight);
    uint32_t Shade(uint32_t texel, uint32_t diffuse) const;
    // Stage 0 on `count` texels in place, for the pixels from (ox, oy) on relative to the planes' origin.
    void ShadeTexels(uint32_t* texels, int count, int64_t ox, int64_t oy) const;
    // A bilinear span at any step waits for Flush.
    void Queue(int y, int first, int count);

    // The most spans and pixels that wait at once.
    static constexpr int kMaxQueued = 64;
    static constexpr int kMaxQueuedPixels = 1024;
    struct QueuedSpan {
        int y, first, count;
    };

    const RenderState& m_state;
    const SpanPlanes& m_setup;
    SpanFunction m_fill;
    RowBlend m_blend;
    BlendRowFunction m_blendRow;
    BlendRectFunction m_blendRect;
    LinearRunsFunction m_linearRuns;
    BilinearRowFunction m_bilinearRow;
    // Pixels of alpha 0 leave the target unchanged.
    bool m_skipTransparent;
    bool m_blitsTexels;
    // Stage 0 passes texels through unchanged.
    bool m_straight;
    // Spans wait for Flush (bilinear at any step).
    bool m_queues;
    QueuedSpan m_queued[kMaxQueued];
    int m_queuedCount = 0, m_queuedPixels = 0;
    bool m_colorAdd, m_colorSelect, m_alphaSelect;
    bool m_constantDiffuse;
    uint32_t m_diffuse;
    uint32_t m_alphaRef;
    uint32_t m_storeMask;
    // Half a texel when a linear filter samples texel centres exactly.
    int64_t m_texelShift;
};

} // namespace tqd3d9
