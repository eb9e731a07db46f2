#include "platform/d3d9/tqframerecording.h"

#include "platform/d3d9/tqlinerasterizer.h"
#include "platform/d3d9/tqtrianglerasterizer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tqd3d9 {

namespace {

// More bands than threads even out scenes whose work is not spread evenly over the target.
constexpr int kBandsPerThread = 2;
constexpr int kMinBandRows = 16;
// Clearing a pixel costs about this fraction of drawing one.
constexpr uint64_t kClearedPixelsPerDrawn = 16;
// The most vertices and commands one recording holds.
constexpr size_t kMaxVertices = size_t(1) << 18;
constexpr size_t kMaxCommands = size_t(1) << 14;

} // namespace

bool FrameRecording::Full(size_t vertices) const {
    return m_commands.size() >= kMaxCommands || m_vertices.size() + vertices > kMaxVertices;
}

uint32_t FrameRecording::StartDraw(bool lines, const RenderState& state) {
    if (m_bandRows == 0)
        SetBandLayout(*state.color);
    m_draws.push_back(state);
    m_commands.push_back(
        Command{lines ? Kind::kLines : Kind::kTriangles, static_cast<uint32_t>(m_draws.size() - 1)});
    return static_cast<uint32_t>(m_commands.size() - 1);
}

void FrameRecording::AddPiece(uint32_t command, const ScreenVertex* v, int count) {
    const RenderState& state = m_draws[m_commands[command].index];
    double top = v[0].y, bottom = v[0].y, left = v[0].x, right = v[0].x;
    for (int i = 1; i < count; ++i) {
        top = std::min(top, v[i].y);
        bottom = std::max(bottom, v[i].y);
        left = std::min(left, v[i].x);
        right = std::max(right, v[i].x);
    }
    // The rows and columns the piece may touch, a pixel to spare for the snapping of its vertices.
    double firstRow = std::max<double>(state.clipTop, std::floor(top) - 1);
    double lastRow = std::min<double>(state.clipBottom - 1, std::ceil(bottom) + 1);
    double firstColumn = std::max<double>(state.clipLeft, std::floor(left) - 1);
    double lastColumn = std::min<double>(state.clipRight - 1, std::ceil(right) + 1);
    if (!(firstRow <= lastRow && firstColumn <= lastColumn))
        return;
    uint32_t vertex = static_cast<uint32_t>(m_vertices.size());
    m_vertices.insert(m_vertices.end(), v, v + count);
    m_work += static_cast<uint64_t>((lastRow - firstRow + 1) * (lastColumn - firstColumn + 1));
    File(command, vertex, static_cast<int>(firstRow), static_cast<int>(lastRow));
}

void FrameRecording::AddClear(const ClearArea& area) {
    const Image* image = area.color ? area.color : area.depth;
    if (!image)
        return;
    if (m_bandRows == 0)
        SetBandLayout(*image);
    m_clears.push_back(area);
    m_commands.push_back(Command{Kind::kClear, static_cast<uint32_t>(m_clears.size() - 1)});
    uint32_t command = static_cast<uint32_t>(m_commands.size() - 1);
    LONG top = std::numeric_limits<LONG>::max(), bottom = std::numeric_limits<LONG>::min();
    uint64_t pixels = 0;
    for (const RECT* rect :
         {area.color ? &area.colorRect : nullptr, area.depth ? &area.depthRect : nullptr}) {
        if (!rect || rect->top >= rect->bottom || rect->left >= rect->right)
            continue;
        top = std::min(top, rect->top);
        bottom = std::max(bottom, rect->bottom);
        pixels += uint64_t(rect->bottom - rect->top) * uint64_t(rect->right - rect->left);
    }
    if (top < bottom)
        File(command, 0, top, bottom - 1);
    m_work += pixels / kClearedPixelsPerDrawn;
}

void FrameRecording::File(uint32_t command, uint32_t vertex, int firstRow, int lastRow) {
    size_t lastBand = static_cast<size_t>(lastRow / m_bandRows);
    if (m_bands.size() <= lastBand)
        m_bands.resize(lastBand + 1);
    for (size_t band = static_cast<size_t>(firstRow / m_bandRows); band <= lastBand; ++band)
        m_bands[band].push_back(BandEntry{command, vertex});
}

void FrameRecording::SetBandLayout(const Image& target) {
    int bands = m_threads * kBandsPerThread;
    m_bandRows = std::max(kMinBandRows, static_cast<int>((target.Height() + bands - 1) / bands));
    m_targetPixels = uint64_t(target.Width()) * target.Height();
}

void FrameRecording::Clear() {
    m_commands.clear();
    m_draws.clear();
    m_clears.clear();
    m_vertices.clear();
    for (std::vector<BandEntry>& band : m_bands)
        band.clear();
    m_work = 0;
    m_bandRows = 0;
    m_targetPixels = 0;
}

void FrameRecording::ReplayBand(int band) const {
    const std::vector<BandEntry>& entries = m_bands[band];
    int top = band * m_bandRows, bottom = top + m_bandRows;
    for (size_t i = 0; i < entries.size();) {
        size_t end = i + 1;
        while (end < entries.size() && entries[end].command == entries[i].command)
            ++end;
        Replay(m_commands[entries[i].command], entries.data() + i, entries.data() + end, top, bottom);
        i = end;
    }
}

void FrameRecording::Replay(const Command& command, const BandEntry* first, const BandEntry* end, int top,
                            int bottom) const {
    if (command.kind == Kind::kClear) {
        m_clears[command.index].Fill(top, bottom);
        return;
    }
    RenderState state = m_draws[command.index];
    state.bandTop = std::max(state.bandTop, top);
    state.bandBottom = std::min(state.bandBottom, bottom);
    if (command.kind == Kind::kLines) {
        LineRasterizer rasterizer(state);
        for (const BandEntry* e = first; e != end; ++e)
            rasterizer.Draw(&m_vertices[e->vertex]);
        return;
    }
    TriangleRasterizer rasterizer(state);
    for (const BandEntry* e = first; e != end; ++e)
        rasterizer.Draw(&m_vertices[e->vertex]);
    rasterizer.Finish();
}

} // namespace tqd3d9
