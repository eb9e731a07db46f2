#include "platform/d3d9/tqframerecording.h"

#include "platform/d3d9/tqlinerasterizer.h"
#include "platform/d3d9/tqtrianglerasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace tqd3d9 {

namespace {

constexpr int kMinBandRows = 16;
// Clearing a pixel costs about this fraction of drawing one.
constexpr uint64_t kClearedPixelsPerDrawn = 16;
// Primitives transformed and clipped as one task.
constexpr UINT kChunkPrimitives = 512;
// A recording of this many primitives is rasterized while the next one is recorded.
constexpr UINT kHandOffPrimitives = 8192;
// The most vertices, commands, spans and chunks one recording holds.
constexpr size_t kMaxVertices = 3 * kHandOffPrimitives;
constexpr size_t kMaxCommands = 4096;
constexpr size_t kMaxChunks = kHandOffPrimitives / kChunkPrimitives + 1;
// A span per command, and a command may be cut where chunks end.
constexpr size_t kMaxSpans = kMaxCommands + kMaxChunks;

// One texel per pixel in 16.16.
constexpr int64_t kTexelStep = 65536;

// Reads a byte of every cache line of a piece of `bytes` bytes, so the piece is in this thread's
// cache when it is replayed.
void Touch(const void* piece, size_t bytes) {
    constexpr size_t kLine = 64;
    const volatile uint8_t* p = static_cast<const uint8_t*>(piece);
    for (size_t offset = 0; offset < bytes; offset += kLine)
        p[offset];
    p[bytes - 1];
}

} // namespace

// Replays the entries of one band, one rasterizer for each run of entries of the same command, also
// where the run goes on in the next chunk.
class FrameRecording::BandReplay {
public:
    BandReplay(const FrameRecording& recording, int band)
        : m_recording(recording), m_top(band * recording.m_bandRows),
          m_bottom(band + 1 < recording.m_bands ? m_top + recording.m_bandRows
                                                : std::numeric_limits<int>::max()) {}
    ~BandReplay() { EndRun(); }

    void Replay(const BandEntry& entry, const Chunk& chunk) {
        if (entry.command != m_command)
            StartRun(entry.command);
        if (m_triangles)
            ReplayTriangles(entry, chunk);
        else if (m_lines)
            m_lines->Draw(&chunk.lines[entry.piece]);
        else
            ReplayArea(m_recording.m_commands[entry.command]);
    }

    // Brings in what Replay will read for the entry: the pieces were written by other threads,
    // and reading them all in one pass, where the reads overlap, costs far less than waiting for
    // each in the middle of drawing.
    void Touch(const BandEntry& entry, const Chunk& chunk) const {
        Kind kind = m_recording.m_commands[entry.command].kind;
        if (kind == Kind::kTriangles && entry.form == Form::kBlit)
            tqd3d9::Touch(chunk.blits.data() + entry.piece, sizeof(Blit));
        else if (kind == Kind::kTriangles && entry.form == Form::kRectangle)
            tqd3d9::Touch(chunk.rectangles.data() + entry.piece, sizeof(Rectangle));
        else if (kind == Kind::kTriangles)
            tqd3d9::Touch(chunk.triangles.data() + entry.piece,
                          (entry.form == Form::kPair ? 2 : 1) * sizeof(TriangleSetup));
        else if (kind == Kind::kLines)
            tqd3d9::Touch(chunk.lines.data() + entry.piece, 2 * sizeof(ScreenVertex));
    }

private:
    // A clear or a copy, limited to the band's rows.
    void ReplayArea(const Command& command) const {
        if (command.kind == Kind::kClear) {
            m_recording.m_clears[command.index].Fill(m_top, m_bottom);
            return;
        }
        const Copy& copy = m_recording.m_copies[command.index];
        UINT height = copy.source->Height();
        copy.source->CopyRowsTo(copy.destination, std::min<UINT>(m_top, height),
                                std::min<UINT>(m_bottom, height));
    }

    void ReplayTriangles(const BandEntry& entry, const Chunk& chunk) {
        if (entry.form == Form::kBlit) {
            const Blit& blit = chunk.blits[entry.piece];
            m_triangles->DrawRectangle(blit.Planes(), blit.pixels);
        } else if (entry.form == Form::kRectangle) {
            const Rectangle& rectangle = chunk.rectangles[entry.piece];
            m_triangles->DrawRectangle(rectangle.planes, rectangle.pixels);
        } else if (entry.form == Form::kPair) {
            m_triangles->DrawPair(chunk.triangles[entry.piece], chunk.triangles[entry.piece + 1]);
        } else {
            m_triangles->DrawSingle(chunk.triangles[entry.piece]);
        }
    }

    void StartRun(uint32_t command) {
        EndRun();
        m_command = command;
        const Command& c = m_recording.m_commands[command];
        if (c.kind == Kind::kClear || c.kind == Kind::kCopy)
            return;
        m_state = m_recording.m_draws[c.index];
        m_state.bandTop = std::max(m_state.bandTop, m_top);
        m_state.bandBottom = std::min(m_state.bandBottom, m_bottom);
        if (c.kind == Kind::kLines)
            m_lines.emplace(m_state);
        else
            m_triangles.emplace(m_state);
    }

    void EndRun() {
        if (m_triangles)
            m_triangles->Finish();
        m_triangles.reset();
        m_lines.reset();
    }

    const FrameRecording& m_recording;
    int m_top, m_bottom;
    // None at first: commands are fewer than kMaxCommands.
    uint32_t m_command = std::numeric_limits<uint32_t>::max();
    RenderState m_state;
    std::optional<TriangleRasterizer> m_triangles;
    std::optional<LineRasterizer> m_lines;
};

FrameRecording::Blit::Blit(const SpanPlanes& p, const PixelRect& rect)
    : pixels(rect), minX(p.minX), minY(p.minY), u(p.u.base), v(p.v.base), a(static_cast<int32_t>(p.a.base)),
      r(static_cast<int32_t>(p.r.base)), g(static_cast<int32_t>(p.g.base)), b(static_cast<int32_t>(p.b.base)),
      linear(p.linear) {}

SpanPlanes FrameRecording::Blit::Planes() const {
    SpanPlanes p;
    p.minX = minX;
    p.minY = minY;
    p.a = AttributePlane{a, 0, 0};
    p.r = AttributePlane{r, 0, 0};
    p.g = AttributePlane{g, 0, 0};
    p.b = AttributePlane{b, 0, 0};
    p.u = AttributePlane{u, kTexelStep, 0};
    p.v = AttributePlane{v, 0, kTexelStep};
    p.linear = linear;
    return p;
}

FrameRecording::FrameRecording(int bands) : m_bands(bands) {
    m_commands.reserve(kMaxCommands);
    m_draws.reserve(kMaxCommands);
    m_clears.reserve(kMaxCommands);
    m_copies.reserve(kMaxCommands);
    m_vertices.reserve(kMaxVertices * kVertexStride);
    m_spans.reserve(kMaxSpans);
    m_chunks.reserve(kMaxChunks);
}

UINT FrameRecording::Room(UINT perPrimitive) const {
    if (m_commands.size() >= kMaxCommands || m_primitives >= kHandOffPrimitives)
        return 0;
    size_t vertices = (kMaxVertices - m_vertexBytes / kVertexStride) / perPrimitive;
    return static_cast<UINT>(std::min<size_t>(vertices, kHandOffPrimitives - m_primitives));
}

uint32_t FrameRecording::StartDraw(bool lines, const RenderState& state) {
    if (m_bandRows == 0)
        SetBandLayout(*state.color);
    m_draws.push_back(state);
    m_commands.push_back(
        Command{lines ? Kind::kLines : Kind::kTriangles, static_cast<uint32_t>(m_draws.size() - 1)});
    return static_cast<uint32_t>(m_commands.size() - 1);
}

void FrameRecording::AddPrimitives(uint32_t command, const PrimitiveSource& source, UINT first, UINT count) {
    UINT perPrimitive = PerPrimitive(m_commands[command].kind);
    size_t start = m_vertexBytes;
    m_vertexBytes += size_t(count) * perPrimitive * kVertexStride;
    // Grown (and filled) only the first time so many are recorded: the memory is kept.
    if (m_vertices.size() < m_vertexBytes)
        m_vertices.resize(m_vertexBytes);
    uint8_t* out = m_vertices.data() + start;
    if (source.indices) {
        for (UINT n = first * perPrimitive; n < (first + count) * perPrimitive; ++n, out += kVertexStride)
            std::memcpy(out, source.VertexAt(n), kVertexStride);
    } else {
        std::memcpy(out, source.VertexAt(first * perPrimitive), size_t(count) * perPrimitive * kVertexStride);
    }
    m_primitives += count;
    uint32_t vertex = static_cast<uint32_t>(start / kVertexStride);
    while (count > 0) {
        // What the open chunk still takes; a full one is followed by a new one.
        UINT take = std::min(count, kChunkPrimitives - m_chunkPrimitives % kChunkPrimitives);
        AddSpan(Span{command, vertex, take});
        count -= take;
        vertex += take * perPrimitive;
    }
}

void FrameRecording::AddSpan(const Span& span) {
    if (m_chunkCount == 0 || m_chunkPrimitives == kChunkPrimitives) {
        if (m_chunkCount > 0)
            m_chunks[m_chunkCount - 1].endSpan = m_spans.size();
        if (m_chunks.size() == static_cast<size_t>(m_chunkCount))
            m_chunks.emplace_back();
        m_chunks[m_chunkCount++].firstSpan = m_spans.size();
        m_chunkPrimitives = 0;
    }
    m_spans.push_back(span);
    m_chunkPrimitives += span.primitives;
}

void FrameRecording::Close() {
    if (m_chunkCount > 0)
        m_chunks[m_chunkCount - 1].endSpan = m_spans.size();
    m_closed = true;
}

void FrameRecording::AddClear(const ClearArea& area) {
    const Image* image = area.color ? area.color : area.depth;
    if (!image)
        return;
    if (m_bandRows == 0)
        SetBandLayout(*image);
    m_clears.push_back(area);
    m_commands.push_back(Command{Kind::kClear, static_cast<uint32_t>(m_clears.size() - 1)});
    AddSpan(Span{static_cast<uint32_t>(m_commands.size() - 1), 0, 0});
}

void FrameRecording::AddCopy(const Image& source, uint32_t* destination) {
    if (m_bandRows == 0)
        SetBandLayout(source);
    m_copies.push_back(Copy{&source, destination});
    m_commands.push_back(Command{Kind::kCopy, static_cast<uint32_t>(m_copies.size() - 1)});
    AddSpan(Span{static_cast<uint32_t>(m_commands.size() - 1), 0, 0});
}

void FrameRecording::PrepareChunk(int chunk) {
    Chunk& out = m_chunks[chunk];
    for (size_t i = out.firstSpan; i < out.endSpan; ++i) {
        const Span& span = m_spans[i];
        const Command& command = m_commands[span.command];
        if (command.kind == Kind::kClear) {
            FileClear(out, span.command);
            continue;
        }
        if (command.kind == Kind::kCopy) {
            FileCopy(out, span.command);
            continue;
        }
        const RenderState& state = m_draws[command.index];
        PrimitiveSource source{m_vertices.data() + size_t(span.firstVertex) * kVertexStride, nullptr, 0, 0,
                               span.primitives};
        if (command.kind == Kind::kLines) {
            ForEachLine(state, source, [&](const ScreenVertex* v) { AddLine(out, span.command, state, v); });
            continue;
        }
        bool pairs = TriangleRasterizer::PairsTriangles(state);
        Waiting waiting;
        ForEachTriangle(state, source, [&](const ScreenVertex* v) {
            AddTriangle(out, span.command, state, pairs, &waiting, v);
        });
        if (waiting.unset)
            SetUpTriangle(out, span.command, state, pairs, &waiting, waiting.vertices);
        if (waiting.held >= 0)
            AddSingle(out, span.command, waiting.setups[waiting.held]);
    }
}

void FrameRecording::AddTriangle(Chunk& chunk, uint32_t command, const RenderState& state, bool pairs,
                                 Waiting* waiting, const ScreenVertex* v) const {
    if (waiting->unset) {
        waiting->unset = false;
        SpanPlanes planes;
        PixelRect pixels;
        if (FindOneToOneQuad(waiting->vertices, v, state, &planes, &pixels)) {
            AddBlit(chunk, command, state, planes, pixels);
            return;
        }
        SetUpTriangle(chunk, command, state, pairs, waiting, waiting->vertices);
    }
    if (pairs && waiting->held < 0) {
        // It would wait for its partner: set up only if the two are no sprite quad.
        std::copy(v, v + 3, waiting->vertices);
        waiting->unset = true;
        return;
    }
    SetUpTriangle(chunk, command, state, pairs, waiting, v);
}

void FrameRecording::AddBlit(Chunk& chunk, uint32_t command, const RenderState& state,
                             const SpanPlanes& planes, const PixelRect& pixels) const {
    const int top = std::max(pixels.top, state.clipTop),
              bottom = std::min(pixels.bottom, state.clipBottom - 1);
    const int left = std::max(pixels.left, state.clipLeft),
              right = std::min(pixels.right, state.clipRight - 1);
    if (top > bottom || left > right)
        return;
    chunk.work += uint64_t(bottom - top + 1) * uint64_t(right - left + 1);
    chunk.blits.emplace_back(planes, pixels);
    File(chunk, BandEntry{command, static_cast<uint32_t>(chunk.blits.size() - 1), Form::kBlit}, top, bottom);
}

void FrameRecording::SetUpTriangle(Chunk& chunk, uint32_t command, const RenderState& state, bool pairs,
                                   Waiting* waiting, const ScreenVertex* v) const {
    TriangleSetup& setup = waiting->Free();
    if (!setup.Setup(v, state))
        return;
    chunk.work += uint64_t(setup.maxY - setup.minY + 1) * uint64_t(setup.maxX - setup.minX + 1);
    int index = static_cast<int>(&setup - waiting->setups);
    if (!pairs) {
        AddSingle(chunk, command, setup);
    } else if (waiting->held < 0) {
        waiting->held = index;
    } else if (PairSharesPlanes(waiting->setups[waiting->held], setup)) {
        AddPair(chunk, command, waiting->setups[waiting->held], setup);
        waiting->held = -1;
    } else {
        AddSingle(chunk, command, waiting->setups[waiting->held]);
        waiting->held = index;
    }
}

void FrameRecording::AddSingle(Chunk& chunk, uint32_t command, const TriangleSetup& setup) const {
    chunk.triangles.push_back(setup);
    File(chunk, BandEntry{command, static_cast<uint32_t>(chunk.triangles.size() - 1), Form::kSingle},
         setup.minY, setup.maxY);
}

void FrameRecording::AddPair(Chunk& chunk, uint32_t command, const TriangleSetup& first,
                             const TriangleSetup& second) const {
    int firstRow = std::min(first.minY, second.minY), lastRow = std::max(first.maxY, second.maxY);
    PixelRect pixels;
    if (PairCoversRectangle(first, second, &pixels) && IsOneToOneBlit(first)) {
        chunk.blits.emplace_back(first, pixels);
        File(chunk, BandEntry{command, static_cast<uint32_t>(chunk.blits.size() - 1), Form::kBlit}, firstRow,
             lastRow);
        return;
    }
    if (PairCoversRectangle(first, second, &pixels)) {
        chunk.rectangles.push_back(Rectangle{first, pixels});
        File(chunk, BandEntry{command, static_cast<uint32_t>(chunk.rectangles.size() - 1), Form::kRectangle},
             firstRow, lastRow);
        return;
    }
    chunk.triangles.push_back(first);
    chunk.triangles.push_back(second);
    File(chunk, BandEntry{command, static_cast<uint32_t>(chunk.triangles.size() - 2), Form::kPair}, firstRow,
         lastRow);
}

void FrameRecording::AddLine(Chunk& chunk, uint32_t command, const RenderState& state,
                             const ScreenVertex* v) const {
    // The rows and columns the line may touch, a pixel to spare for the snapping of its ends.
    double firstRow = std::max<double>(state.clipTop, std::floor(std::min(v[0].y, v[1].y)) - 1);
    double lastRow = std::min<double>(state.clipBottom - 1, std::ceil(std::max(v[0].y, v[1].y)) + 1);
    double firstColumn = std::max<double>(state.clipLeft, std::floor(std::min(v[0].x, v[1].x)) - 1);
    double lastColumn = std::min<double>(state.clipRight - 1, std::ceil(std::max(v[0].x, v[1].x)) + 1);
    if (!(firstRow <= lastRow && firstColumn <= lastColumn))
        return;
    chunk.work += static_cast<uint64_t>((lastRow - firstRow + 1) * (lastColumn - firstColumn + 1));
    chunk.lines.insert(chunk.lines.end(), v, v + 2);
    File(chunk, BandEntry{command, static_cast<uint32_t>(chunk.lines.size() - 2), Form::kSingle},
         static_cast<int>(firstRow), static_cast<int>(lastRow));
}

void FrameRecording::FileClear(Chunk& chunk, uint32_t command) const {
    const ClearArea& area = m_clears[m_commands[command].index];
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
        File(chunk, BandEntry{command, 0, Form::kSingle}, top, bottom - 1);
    chunk.work += pixels / kClearedPixelsPerDrawn;
}

size_t FrameRecording::BandOfRow(int row) const {
    return static_cast<size_t>(std::min(row / m_bandRows, m_bands - 1));
}

void FrameRecording::FileCopy(Chunk& chunk, uint32_t command) const {
    const Image& source = *m_copies[m_commands[command].index].source;
    File(chunk, BandEntry{command, 0, Form::kSingle}, 0, static_cast<int>(source.Height()) - 1);
    chunk.work += uint64_t(source.Width()) * source.Height() / kClearedPixelsPerDrawn;
}

void FrameRecording::File(Chunk& chunk, const BandEntry& entry, int firstRow, int lastRow) const {
    size_t lastBand = BandOfRow(lastRow);
    if (chunk.bands.size() <= lastBand)
        chunk.bands.resize(lastBand + 1);
    chunk.bandCount = std::max(chunk.bandCount, lastBand + 1);
    for (size_t band = BandOfRow(firstRow); band <= lastBand; ++band)
        chunk.bands[band].push_back(entry);
}

void FrameRecording::SetBandLayout(const Image& target) {
    m_bandRows = std::max(kMinBandRows, static_cast<int>((target.Height() + m_bands - 1) / m_bands));
}

uint64_t FrameRecording::Work() const {
    uint64_t work = 0;
    for (int chunk = 0; chunk < ChunkCount(); ++chunk)
        work += m_chunks[chunk].work;
    return work;
}

void FrameRecording::Clear() {
    for (int chunk = 0; chunk < ChunkCount(); ++chunk) {
        Chunk& c = m_chunks[chunk];
        c.triangles.clear();
        c.rectangles.clear();
        c.blits.clear();
        c.lines.clear();
        for (size_t band = 0; band < c.bandCount; ++band)
            c.bands[band].clear();
        c.bandCount = 0;
        c.work = 0;
    }
    m_commands.clear();
    m_draws.clear();
    m_clears.clear();
    m_copies.clear();
    m_vertexBytes = 0;
    m_spans.clear();
    m_chunkCount = 0;
    m_chunkPrimitives = 0;
    m_closed = false;
    m_primitives = 0;
    m_bandRows = 0;
}

void FrameRecording::ReplayBand(int band) const {
    BandReplay replay(*this, band);
    for (int chunk = 0; chunk < ChunkCount(); ++chunk) {
        const Chunk& c = m_chunks[chunk];
        if (static_cast<size_t>(band) >= c.bandCount)
            continue;
        const std::vector<BandEntry>& entries = c.bands[band];
        for (const BandEntry& entry : entries)
            replay.Touch(entry, c);
        for (const BandEntry& entry : entries)
            replay.Replay(entry, c);
    }
}

} // namespace tqd3d9
