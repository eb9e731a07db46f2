// One stretch of recorded drawing: triangles and lines after transform and clipping, each draw
// with a copy of its render state, and clears as their rectangles. The target is cut into bands of
// rows and every piece is filed under the bands its rows touch, so each band can be replayed on its
// own thread: in submission order and limited to the band's rows, which gives every pixel the
// draws one thread would give it.
#pragma once

#include "platform/d3d9/tqcleararea.h"
#include "platform/d3d9/tqrenderstate.h"
#include "platform/d3d9/tqvertexprocessor.h"

#include <cstdint>
#include <vector>

namespace tqd3d9 {

class FrameRecording {
public:
    // Bands are cut so that each of `threads` threads gets a few.
    explicit FrameRecording(int threads) : m_threads(threads) {}

    bool Empty() const { return m_commands.empty(); }
    // Pixels the recorded pieces may cover, to tell little work from much.
    uint64_t Work() const { return m_work; }
    // Pixels of the target drawn to (0 while empty).
    uint64_t TargetPixels() const { return m_targetPixels; }
    // Whether a new command, or `vertices` more vertices, would pass what a recording holds.
    bool Full(size_t vertices) const;

    // Starts a draw of triangles (or lines) with this state; returns its command.
    uint32_t StartDraw(bool lines, const RenderState& state);
    // Adds a triangle (3 vertices) or a line (2) to the draw `command`.
    void AddPiece(uint32_t command, const ScreenVertex* v, int count);
    void AddClear(const ClearArea& area);

    int BandCount() const { return static_cast<int>(m_bands.size()); }
    // Draws what the band's rows received, in submission order. Bands may be replayed at once on
    // different threads.
    void ReplayBand(int band) const;
    // Forgets everything, keeping the memory.
    void Clear();

private:
    enum class Kind : uint8_t { kTriangles, kLines, kClear };
    struct Command {
        Kind kind;
        // Into m_draws for triangles and lines, into m_clears for a clear.
        uint32_t index;
    };
    // One piece filed under a band: the command it belongs to and its first vertex.
    struct BandEntry {
        uint32_t command;
        uint32_t vertex;
    };

    void File(uint32_t command, uint32_t vertex, int firstRow, int lastRow);
    void SetBandLayout(const Image& target);
    void Replay(const Command& command, const BandEntry* first, const BandEntry* end, int top,
                int bottom) const;

    int m_threads;
    int m_bandRows = 0;
    uint64_t m_targetPixels = 0;
    uint64_t m_work = 0;
    std::vector<Command> m_commands;
    std::vector<RenderState> m_draws;
    std::vector<ClearArea> m_clears;
    std::vector<ScreenVertex> m_vertices;
    std::vector<std::vector<BandEntry>> m_bands;
};

} // namespace tqd3d9
