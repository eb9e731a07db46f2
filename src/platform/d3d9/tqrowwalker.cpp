#include "platform/d3d9/tqrowwalker.h"

#include "platform/d3d9/tqfixedpoint.h"

#include <algorithm>

namespace tqd3d9 {

RowWalker::RowWalker(const TriangleSetup& setup, int firstRow) : m_minX(setup.minX), m_maxX(setup.maxX) {
    for (int i = 0; i < 3; ++i) {
        const EdgeFunction& e = setup.edges[i];
        EdgeBound& bound = m_edges[i];
        int64_t n = e.b * firstRow + e.c;
        bound.a = e.a;
        bound.divisor = e.a == 0 ? 1 : (e.a > 0 ? e.a : -e.a);
        bound.q = FloorDiv(n, bound.divisor);
        bound.r = n - bound.q * bound.divisor;
        bound.stepQ = FloorDiv(e.b, bound.divisor);
        bound.stepR = e.b - bound.stepQ * bound.divisor;
    }
}

bool RowWalker::NextRow(int* first, int* last) {
    int64_t lo = m_minX, hi = m_maxX;
    bool rowInside = true;
    for (EdgeBound& bound : m_edges) {
        if (bound.a > 0)
            lo = std::max(lo, -bound.q);
        else if (bound.a < 0)
            hi = std::min(hi, bound.q);
        else if (bound.q < 0)
            rowInside = false;
        bound.q += bound.stepQ;
        bound.r += bound.stepR;
        if (bound.r >= bound.divisor) {
            bound.q += 1;
            bound.r -= bound.divisor;
        }
    }
    *first = static_cast<int>(lo);
    *last = static_cast<int>(hi);
    return rowInside && lo <= hi;
}

} // namespace tqd3d9
