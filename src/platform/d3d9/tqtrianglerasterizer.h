// Fills triangles: row spans through the fast span paths when the state allows them, otherwise (or
// when the generic path is forced) every pixel of the bounds tested and shaded one by one.
//
// On the span paths a triangle waits for the next one: when the two have identical attribute planes
// (the two halves of a sprite quad), each row where their spans meet is filled as one span. The
// pixels and their order within a row stay those of drawing the triangles one after the other. When
// the two make up an axis-aligned rectangle, its rows are filled whole with no edge walking.
#pragma once

#include "platform/d3d9/tqpixelpipeline.h"
#include "platform/d3d9/tqquadpair.h"
#include "platform/d3d9/tqspanfiller.h"
#include "platform/d3d9/tqtrianglesetup.h"

namespace tqd3d9 {

class TriangleRasterizer {
public:
    explicit TriangleRasterizer(const RenderState& state);

    // Whether triangles drawn with this state go through the span paths, where two in a row whose
    // planes match (PairSharesPlanes) are drawn as a pair.
    static bool PairsTriangles(const RenderState& state);

    // Draws a triangle, waiting for the next one to pair them. Two that make a sprite quad drawn one
    // texel per pixel (FindOneToOneQuad) go to the rectangle fill without being set up.
    void Draw(const ScreenVertex v[3]);
    // The set-ups below were made with this rasterizer's state (its band rows aside) and already
    // paired where they could be. A triangle on its own:
    void DrawSingle(const TriangleSetup& setup);
    // Two triangles paired (PairsTriangles, PairSharesPlanes), as Draw would pair them:
    void DrawPair(const TriangleSetup& first, const TriangleSetup& second);
    // Draws the rectangle covered by a pair (PairCoversRectangle) with the planes of its triangles.
    void DrawRectangle(const SpanPlanes& planes, const PixelRect& pixels);
    // Draws the triangle still waiting for a partner; call after the last draw.
    void Finish();

private:
    // The rows of the band within a triangle's bounds.
    int FirstRow(int minY) const;
    int LastRow(int maxY) const;
    // On the span paths draws the waiting triangle and this one as a pair when their planes match,
    // else draws the waiting one and this one waits; off them draws this one at once.
    void Pair(const TriangleSetup& setup);
    // Sets the triangle up and pairs it.
    void SetUp(const ScreenVertex v[3]);
    void DrawGeneric(const TriangleSetup& setup);
    void DrawSpans(const TriangleSetup& setup);
    void FillPair(const TriangleSetup& first, const TriangleSetup& second);
    void FillRectangle(const SpanPlanes& planes, const PixelRect& rect);

    const RenderState& m_state;
    PixelPipeline m_pipeline;
    bool m_fast;
    bool m_pending = false;
    TriangleSetup m_waiting;
    // A triangle that would wait, kept as given until the next one shows whether the two are a
    // sprite quad.
    bool m_unset = false;
    ScreenVertex m_unsetVertices[3];
};

} // namespace tqd3d9
