#include "platform/d3d9/tqrowwalker.h"

#include "platform/d3d9/tqfixedpoint.h"

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

} // namespace tqd3d9
