#include "device/tqgfxrect.h"

#include <cmath>

void TQGfxRect::Set(float left, float top, float right, float bottom) {
    x1 = left;
    y1 = top;
    x2 = right;
    y2 = bottom;
    clean = false;
}

void TQGfxRect::AddPoint(float x, float y) {
    if (clean) {
        Set(x, y, x, y);
        return;
    }
    if (x < x1)
        x1 = x;
    if (x > x2)
        x2 = x;
    if (y < y1)
        y1 = y;
    if (y > y2)
        y2 = y;
}

bool TQGfxRect::HitTest(float x, float y) const {
    return x >= x1 && x < x2 && y >= y1 && y < y2;
}

// Twice the distance of the centres against the sum of the widths (heights), per axis.
bool TQGfxRect::Intersect(const TQGfxRect& other) const {
    return std::fabs((x1 + x2) - (other.x1 + other.x2)) < (x2 - x1) + (other.x2 - other.x1) &&
           std::fabs((y1 + y2) - (other.y1 + other.y2)) < (y2 - y1) + (other.y2 - other.y1);
}
