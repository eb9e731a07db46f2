#include "platform/d3d9/tqtrianglerasterizer.h"

#include "platform/d3d9/tqd3d9hooks.h"
#include "platform/d3d9/tqquadpair.h"
#include "platform/d3d9/tqrowwalker.h"
#include "platform/d3d9/tqspanfiller.h"

#include <algorithm>

namespace tqd3d9 {

namespace {

// The span of a triangle in row y (false outside its rows or when the row is empty).
bool SpanAt(RowWalker& rows, const TriangleSetup& setup, int y, int* first, int* last) {
    return y >= setup.minY && y <= setup.maxY && rows.NextRow(first, last);
}

} // namespace

TriangleRasterizer::TriangleRasterizer(const RenderState& state)
    : m_state(state), m_pipeline(state), m_fast(PairsTriangles(state)) {}

bool TriangleRasterizer::PairsTriangles(const RenderState& state) {
    return !tqplat::D3D9GenericPathInUse() && SpanFiller::Supports(state);
}

void TriangleRasterizer::Finish() {
    if (m_unset) {
        m_unset = false;
        SetUp(m_unsetVertices);
    }
    if (m_pending)
        DrawSpans(m_waiting);
    m_pending = false;
}

void TriangleRasterizer::Draw(const ScreenVertex v[3]) {
    if (m_unset) {
        m_unset = false;
        SpanPlanes planes;
        PixelRect pixels;
        if (FindOneToOneQuad(m_unsetVertices, v, m_state, &planes, &pixels)) {
            FillRectangle(planes, pixels);
            return;
        }
        SetUp(m_unsetVertices);
    }
    if (m_fast && !m_pending) {
        // It would wait for its partner: set up only if the two are no sprite quad.
        std::copy(v, v + 3, m_unsetVertices);
        m_unset = true;
        return;
    }
    SetUp(v);
}

void TriangleRasterizer::SetUp(const ScreenVertex v[3]) {
    TriangleSetup setup;
    if (setup.Setup(v, m_state))
        Pair(setup);
}

void TriangleRasterizer::DrawSingle(const TriangleSetup& setup) {
    Finish();
    if (m_fast)
        DrawSpans(setup);
    else
        DrawGeneric(setup);
}

void TriangleRasterizer::Pair(const TriangleSetup& setup) {
    if (!m_fast) {
        DrawGeneric(setup);
    } else if (!m_pending) {
        m_waiting = setup;
        m_pending = true;
    } else if (PairSharesPlanes(m_waiting, setup)) {
        m_pending = false;
        FillPair(m_waiting, setup);
    } else {
        DrawSpans(m_waiting);
        m_waiting = setup;
    }
}

int TriangleRasterizer::FirstRow(int minY) const {
    return std::max(minY, m_state.bandTop);
}

int TriangleRasterizer::LastRow(int maxY) const {
    return std::min(maxY, m_state.bandBottom - 1);
}

void TriangleRasterizer::DrawGeneric(const TriangleSetup& setup) {
    m_pipeline.SetLinear(setup.linear);
    for (int y = FirstRow(setup.minY); y <= LastRow(setup.maxY); ++y)
        for (int x = setup.minX; x <= setup.maxX; ++x)
            if (setup.Covers(x, y))
                m_pipeline.Process(x, y, setup.At(x, y));
}

void TriangleRasterizer::DrawSpans(const TriangleSetup& setup) {
    SpanFiller filler(m_state, setup);
    int top = FirstRow(setup.minY);
    RowWalker rows(setup, top);
    int first, last;
    for (int y = top; y <= LastRow(setup.maxY); ++y)
        if (rows.NextRow(&first, &last))
            filler.Fill(y, first, last);
    filler.Flush();
}

void TriangleRasterizer::DrawPair(const TriangleSetup& first, const TriangleSetup& second) {
    Finish();
    FillPair(first, second);
}

void TriangleRasterizer::DrawRectangle(const SpanPlanes& planes, const PixelRect& pixels) {
    Finish();
    FillRectangle(planes, pixels);
}

void TriangleRasterizer::FillPair(const TriangleSetup& one, const TriangleSetup& two) {
    PixelRect rect;
    if (PairCoversRectangle(one, two, &rect)) {
        FillRectangle(one, rect);
        return;
    }
    // The planes are equal, so one filler serves both triangles.
    SpanFiller filler(m_state, one);
    int top = FirstRow(std::min(one.minY, two.minY));
    RowWalker rowsOne(one, std::max(one.minY, top)), rowsTwo(two, std::max(two.minY, top));
    for (int y = top; y <= LastRow(std::max(one.maxY, two.maxY)); ++y) {
        int f1, l1, f2, l2;
        bool hasOne = SpanAt(rowsOne, one, y, &f1, &l1);
        bool hasTwo = SpanAt(rowsTwo, two, y, &f2, &l2);
        if (hasOne && hasTwo && (l1 + 1 == f2 || l2 + 1 == f1)) {
            filler.Fill(y, std::min(f1, f2), std::max(l1, l2));
            continue;
        }
        if (hasOne)
            filler.Fill(y, f1, l1);
        if (hasTwo)
            filler.Fill(y, f2, l2);
    }
    filler.Flush();
}

void TriangleRasterizer::FillRectangle(const SpanPlanes& planes, const PixelRect& rect) {
    int left = std::max(rect.left, m_state.clipLeft), right = std::min(rect.right, m_state.clipRight - 1);
    int top = FirstRow(std::max(rect.top, m_state.clipTop));
    int bottom = LastRow(std::min(rect.bottom, m_state.clipBottom - 1));
    if (left <= right && top <= bottom)
        SpanFiller(m_state, planes).FillRect(top, bottom, left, right);
}

} // namespace tqd3d9
