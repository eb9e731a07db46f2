// Records the drawing of a frame and rasterizes it on several threads.
//
// Triangles and lines are recorded after transform and clipping, each draw with a copy of its
// render state; clears are recorded as their rectangles. The target is cut into bands of rows and
// every recorded piece is filed under the bands its rows touch. Finishing gives each band to one
// thread, which replays the band's pieces in submission order limited to the band's rows, so every
// pixel sees its draws in the order one thread would draw them and the image is the same.
//
// The recording refers to the images and textures of its draws without holding them: the device
// finishes it before any of them is read, changed or freed by anything else.
#pragma once

#include "platform/d3d9/tqcleararea.h"
#include "platform/d3d9/tqrenderer.h"
#include "platform/d3d9/tqrenderstate.h"
#include "platform/d3d9/tqvertexprocessor.h"
#include "platform/d3d9/tqworkerpool.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tqd3d9 {

class FrameRecorder {
public:
    // Rasterizes on `threads` threads: the calling thread and threads - 1 workers.
    explicit FrameRecorder(int threads);

    bool Empty() const { return m_commands.empty(); }
    void RecordTriangles(const RenderState& state, const PrimitiveSource& source);
    void RecordLines(const RenderState& state, const PrimitiveSource& source);
    void RecordClear(const ClearArea& area);
    // Rasterizes everything recorded, then starts an empty recording. Little work stays on the
    // calling thread.
    void Finish();

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

    uint32_t StartDraw(Kind kind, const RenderState& state);
    // Adds a triangle or line of the draw *command, filed under the bands it may touch. When the
    // recording is full it is finished first and the draw goes on as a new command.
    void AddPiece(Kind kind, const RenderState& state, const ScreenVertex* v, int count, uint32_t* command);
    void File(uint32_t command, uint32_t vertex, int firstRow, int lastRow);
    void SetBandLayout(UINT targetHeight);
    void ReplayBand(int band) const;
    void Replay(const Command& command, const BandEntry* first, const BandEntry* end, int top,
                int bottom) const;

    int m_threads;
    std::unique_ptr<WorkerPool> m_workers;
    int m_bandRows = 0;
    // Pixels the recorded pieces may cover, to tell little work from much.
    uint64_t m_work = 0;
    std::vector<Command> m_commands;
    std::vector<RenderState> m_draws;
    std::vector<ClearArea> m_clears;
    std::vector<ScreenVertex> m_vertices;
    std::vector<std::vector<BandEntry>> m_bands;
};

} // namespace tqd3d9
