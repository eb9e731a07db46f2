// Whether two triangles make up one axis-aligned rectangle (the two halves of a sprite quad), from
// their snapped vertices: they share a diagonal and their other two corners complete it.
#pragma once

#include "platform/d3d9/tqtrianglesetup.h"

namespace tqd3d9 {

// Inclusive pixel bounds.
struct PixelRect {
    int left, top, right, bottom;
};

// Whether the two triangles' attribute planes give the same value at every pixel (the two halves
// of a quad), so one span filler serves both.
bool PairSharesPlanes(const TriangleSetup& one, const TriangleSetup& two);

// True when the triangles cover exactly one axis-aligned rectangle; *pixels then holds the pixels
// the two cover together under the fill rule (left and top edges in, right and bottom edges out),
// not yet clipped.
bool PairCoversRectangle(const TriangleSetup& one, const TriangleSetup& two, PixelRect* pixels);

// Whether planes map texels one to one onto pixels in one colour (a sprite drawn unscaled).
bool IsOneToOneBlit(const SpanPlanes& planes);

// Whether two triangles in a row are a sprite quad the span paths draw as a rectangle of one
// colour, one texel per pixel (set up, paired, PairCoversRectangle and IsOneToOneBlit); found from
// the snapped corners and the texture planes alone. *planes and *pixels then hold what set-up would
// give the first triangle and the rectangle. False may also mean that set-up must tell.
bool FindOneToOneQuad(const ScreenVertex one[3], const ScreenVertex two[3], const RenderState& state,
                      SpanPlanes* planes, PixelRect* pixels);

} // namespace tqd3d9
