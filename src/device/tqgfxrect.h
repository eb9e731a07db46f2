/// @class TQGfxRect
/// TQGfxRect: a float rectangle that can be empty and grows point by point (bounding boxes,
/// control rectangles).
#pragma once

class TQGfxRect {
public:
    /// An empty rectangle with all corners at 0, so that reading them gives defined values.
    TQGfxRect() : x1(0), y1(0), x2(0), y2(0), clean(true) {}
    /// A rectangle with these corners (not empty).
    TQGfxRect(float left, float top, float right, float bottom) { Set(left, top, right, bottom); }

    /// Stores the corners as given (no reordering); the rectangle is no longer empty.
    void Set(float left, float top, float right, float bottom);
    /// Makes the rectangle empty again; the corners keep their values but no longer count.
    void Clear() { clean = true; }
    /// Grows the rectangle to contain (x, y); the first point of an empty rectangle is both corners.
    void AddPoint(float x, float y);
    /// True when x1 <= x < x2 and y1 <= y < y2 (the emptiness flag is not consulted).
    bool HitTest(float x, float y) const;
    /// True when the two rectangles overlap with positive area on both axes; touching edges do not.
    bool Intersect(const TQGfxRect& other) const;

    /// @{
    /// Corners: (x1, y1) top left, (x2, y2) bottom right.
    float x1, y1, x2, y2;
    /// @}
    /// True while empty.
    bool clean;
};
