// Walks a triangle row by row from a given row of its bounds, giving the inside pixels of each row with
// integer steps only: each edge's bound is kept as a quotient and remainder that advance by fixed
// amounts per row, so the pixels are exactly those TriangleSetup::Covers accepts.
#pragma once

#include "platform/d3d9/tqtrianglesetup.h"

namespace tqd3d9 {

class RowWalker {
public:
    // Starts at row firstRow (minY..maxY of the setup).
    RowWalker(const TriangleSetup& setup, int firstRow);
    // The first and last inside pixel of the current row (false when it has none); then moves down.
    bool NextRow(int* first, int* last);

private:
    // For an edge a * px + N(py) >= 0 with N(py) = b * py + c: q = floor(N / |a|), r = N - q * |a|.
    // a > 0 bounds px from below by -q, a < 0 from above by q; a = 0 tests N >= 0 for the whole row.
    struct EdgeBound {
        int64_t a;
        int64_t q, r;
        int64_t stepQ, stepR, divisor;
    };

    EdgeBound m_edges[3];
    int64_t m_minX, m_maxX;
};

} // namespace tqd3d9
