// Walks a triangle row by row from a given row of its bounds, giving the inside pixels of each row with
// integer steps only: each edge's bound is kept as a quotient and remainder that advance by fixed
// amounts per row, so the pixels are exactly those TriangleSetup::Covers accepts.
#pragma once

#include "platform/d3d9/tqtrianglesetup.h"

#include <algorithm>

namespace tqd3d9 {

class RowWalker {
public:
    // Starts at row firstRow (minY..maxY of the setup).
    RowWalker(const TriangleSetup& setup, int firstRow);
    // The first and last inside pixel of the current row (false when it has none); then moves down.
    // Inline, so that the caller's loop keeps the walker's state in registers.
    bool NextRow(int* first, int* last) {
        int64_t lo = m_minX, hi = m_maxX;
        // Every edge steps down, whatever the others give.
        const bool inside0 = Advance(m_edges[0], &lo, &hi);
        const bool inside1 = Advance(m_edges[1], &lo, &hi);
        const bool inside2 = Advance(m_edges[2], &lo, &hi);
        *first = static_cast<int>(lo);
        *last = static_cast<int>(hi);
        return inside0 && inside1 && inside2 && lo <= hi;
    }

private:
    // For an edge a * px + N(py) >= 0 with N(py) = b * py + c: q = floor(N / |a|), r = N - q * |a|.
    // a > 0 bounds px from below by -q, a < 0 from above by q; a = 0 tests N >= 0 for the whole row.
    struct EdgeBound {
        int64_t a;
        int64_t q, r;
        int64_t stepQ, stepR, divisor;
    };

    // Applies an edge's bound for the current row to lo..hi (false when a horizontal edge leaves the
    // whole row outside), then steps the edge down one row.
    static bool Advance(EdgeBound& bound, int64_t* lo, int64_t* hi) {
        const int64_t q = bound.q, r = bound.r + bound.stepR;
        bool inside = true;
        if (bound.a > 0)
            *lo = std::max(*lo, -q);
        else if (bound.a < 0)
            *hi = std::min(*hi, q);
        else
            inside = q >= 0;
        // All ones when the remainder carries: no branch, as carries come in no pattern a predictor learns.
        const int64_t carry = -static_cast<int64_t>(r >= bound.divisor);
        bound.q = q + bound.stepQ - carry;
        bound.r = r - (carry & bound.divisor);
        return inside;
    }

    EdgeBound m_edges[3];
    int64_t m_minX, m_maxX;
};

} // namespace tqd3d9
