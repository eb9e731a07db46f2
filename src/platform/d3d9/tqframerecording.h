// One stretch of recorded drawing: the vertices of each draw as given, with a copy of its render
// state, clears as their rectangles and copies of a finished image. The vertices are cut into chunks of
// primitives that are transformed, clipped and set up on their own, possibly at once on different threads
// (PrepareChunk). Two triangles in a row that the span paths would draw as a pair (a sprite quad)
// are stored as one piece; a pair covering an axis-aligned rectangle as that rectangle and the
// planes of its triangles. The target is cut into bands of rows and every piece is filed under the
// bands its rows touch (the last band also takes every row below it), so each band can then be
// replayed on its own thread: in submission order and limited to the band's rows, which gives every
// pixel the draws one thread would give it.
#pragma once

#include "platform/d3d9/tqcleararea.h"
#include "platform/d3d9/tqquadpair.h"
#include "platform/d3d9/tqrenderer.h"
#include "platform/d3d9/tqrenderstate.h"
#include "platform/d3d9/tqtrianglesetup.h"
#include "platform/d3d9/tqvertexprocessor.h"

#include <cstdint>
#include <vector>

namespace tqd3d9 {

class FrameRecording {
public:
    // The target is cut into `bands` bands.
    explicit FrameRecording(int bands);

    // Rows per band: set by the first draw or clear from its target's height, unless given before.
    // Recordings replayed one after the other on the same bands use the same rows.
    int BandRows() const { return m_bandRows; }
    void UseBandRows(int rows) { m_bandRows = rows; }

    // How many more primitives of `perPrimitive` vertices the recording takes before it should be
    // rasterized; 0 also when no further command fits.
    UINT Room(UINT perPrimitive) const;

    // Starts a draw of triangles (or lines) with this state; returns its command.
    uint32_t StartDraw(bool lines, const RenderState& state);
    // Adds primitives first .. first + count - 1 of `source` to the draw `command`.
    void AddPrimitives(uint32_t command, const PrimitiveSource& source, UINT first, UINT count);
    void AddClear(const ClearArea& area);
    // Copies the 32-bit image, as drawn by everything recorded before, to `destination` (rows of
    // its width).
    void AddCopy(const Image& source, uint32_t* destination);

    int ChunkCount() const { return m_chunkCount; }
    // Chunks that take nothing more: all but the last until Close. They may be prepared on other
    // threads while recording goes on (the recording never moves what they read).
    int ClosedChunks() const { return m_chunkCount > 0 && !m_closed ? m_chunkCount - 1 : m_chunkCount; }
    // Ends the recording: its last chunk takes nothing more.
    void Close();
    // Transforms, clips, sets up and files the chunk's primitives. Closed chunks may be prepared at
    // once on different threads; all are prepared before any band is replayed.
    void PrepareChunk(int chunk);

    // Pixels the prepared pieces may cover, to tell little work from much.
    uint64_t Work() const;
    int BandCount() const { return m_bands; }
    // Draws what the band's rows received, in submission order. Bands may be replayed at once on
    // different threads.
    void ReplayBand(int band) const;
    // Forgets everything, keeping the memory.
    void Clear();

private:
    enum class Kind : uint8_t { kTriangles, kLines, kClear, kCopy };
    struct Command {
        Kind kind;
        // Into m_draws for triangles and lines, into m_clears for a clear, into m_copies for a copy.
        uint32_t index;
    };
    // Consecutive primitives of one command, their vertices from m_vertices[firstVertex] on.
    struct Span {
        uint32_t command;
        uint32_t firstVertex;
        uint32_t primitives;
    };
    // What a triangle piece is: one triangle, a pair (it and the next triangle), a rectangle or a
    // blit.
    enum class Form : uint8_t { kSingle, kPair, kRectangle, kBlit };
    // One piece filed under a band: its command and where it lies in the chunk (the triangle or
    // rectangle, or the first vertex of the line).
    struct BandEntry {
        uint32_t command;
        uint32_t piece;
        Form form;
    };
    // A pair covering a rectangle and the planes its triangles share.
    struct Rectangle {
        SpanPlanes planes;
        PixelRect pixels;
    };
    // A rectangle whose texels map one to one onto its pixels in a constant colour (a sprite):
    // what its planes hold besides, in one cache line instead of three.
    struct alignas(64) Blit {
        // Planes of that kind (IsOneToOneBlit).
        Blit(const SpanPlanes& planes, const PixelRect& pixels);
        // The planes given.
        SpanPlanes Planes() const;

        PixelRect pixels;
        int minX, minY;
        int64_t u, v;
        int32_t a, r, g, b;
        bool linear;
    };
    // What preparing a chunk gives.
    // Aligned to a cache line: chunks next to each other are prepared at once on different threads.
    struct alignas(64) Chunk {
        // Its spans: m_spans[firstSpan] up to, not including, m_spans[endSpan] (set once the chunk
        // is closed).
        size_t firstSpan = 0, endSpan = 0;
        std::vector<TriangleSetup> triangles;
        std::vector<Rectangle> rectangles;
        std::vector<Blit> blits;
        std::vector<ScreenVertex> lines;
        // Bands past bandCount hold nothing (kept for their memory).
        std::vector<std::vector<BandEntry>> bands;
        size_t bandCount = 0;
        uint64_t work = 0;
    };
    // A triangle of the chunk being prepared that waits for its partner: first as given (unset),
    // until the next one shows that the two are no sprite quad, then set up. Set up in place: the
    // held one and room for the next.
    struct Waiting {
        ScreenVertex vertices[3];
        bool unset = false;
        TriangleSetup setups[2];
        // Index of the held one, or -1.
        int held = -1;
        TriangleSetup& Free() { return setups[held == 0 ? 1 : 0]; }
    };
    class BandReplay;

    static UINT PerPrimitive(Kind kind) { return kind == Kind::kLines ? 2 : 3; }
    void AddSpan(const Span& span);
    // Files a triangle: with the unset waiting one as a blit when the two are a sprite quad;
    // else sets it up (SetUpTriangle), or with `pairs` and none held makes it wait unset.
    void AddTriangle(Chunk& chunk, uint32_t command, const RenderState& state, bool pairs, Waiting* waiting,
                     const ScreenVertex* v) const;
    // Sets up a triangle and files it, or with `pairs` files it with the held one as a pair or
    // makes it wait.
    void SetUpTriangle(Chunk& chunk, uint32_t command, const RenderState& state, bool pairs, Waiting* waiting,
                       const ScreenVertex* v) const;
    // A sprite quad found before set-up, filed under the rows it draws.
    void AddBlit(Chunk& chunk, uint32_t command, const RenderState& state, const SpanPlanes& planes,
                 const PixelRect& pixels) const;
    void AddSingle(Chunk& chunk, uint32_t command, const TriangleSetup& setup) const;
    void AddPair(Chunk& chunk, uint32_t command, const TriangleSetup& first,
                 const TriangleSetup& second) const;
    void AddLine(Chunk& chunk, uint32_t command, const RenderState& state, const ScreenVertex* v) const;
    void FileClear(Chunk& chunk, uint32_t command) const;
    void FileCopy(Chunk& chunk, uint32_t command) const;
    size_t BandOfRow(int row) const;
    void File(Chunk& chunk, const BandEntry& entry, int firstRow, int lastRow) const;
    void SetBandLayout(const Image& target);

    int m_bands;
    int m_bandRows = 0;
    UINT m_primitives = 0;
    // Each vector has its most elements reserved from the start: elements are only added, never
    // moved, while closed chunks are prepared on other threads.
    std::vector<Command> m_commands;
    std::vector<RenderState> m_draws;
    std::vector<ClearArea> m_clears;
    struct Copy {
        const Image* source;
        uint32_t* destination;
    };
    std::vector<Copy> m_copies;
    // Vertices as given, kVertexStride bytes each.
    std::vector<uint8_t> m_vertices;
    // The bytes of m_vertices in use.
    size_t m_vertexBytes = 0;
    std::vector<Span> m_spans;
    int m_chunkCount = 0;
    UINT m_chunkPrimitives = 0;
    bool m_closed = false;
    // m_chunkCount in use, the others kept with their memory when the recording is cleared.
    std::vector<Chunk> m_chunks;
};

} // namespace tqd3d9
