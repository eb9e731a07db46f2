#include "platform/d3d9/tqframerecorder.h"

#include <algorithm>

namespace tqd3d9 {

namespace {

// Below this many pixels of work the calling thread rasterizes alone: waking the workers would
// cost more than they save (a frame of a few sprites).
constexpr uint64_t kSmallWork = uint64_t(1) << 15;
// A recording covering the target this many times over goes to the workers while the next one is
// recorded.
constexpr uint64_t kHandOffCoverage = 8;

} // namespace

FrameRecorder::FrameRecorder(int threads)
    : m_recordings{FrameRecording(std::max(1, threads)), FrameRecording(std::max(1, threads))},
      m_workers(new WorkerPool(std::max(0, threads - 1))) {}

template <class ForEach>
void FrameRecorder::RecordDraw(bool lines, int vertices, const RenderState& state,
                               const PrimitiveSource& source, ForEach forEach) {
    MakeRoom(0);
    uint32_t command = Recording().StartDraw(lines, state);
    forEach(state, source, [&](const ScreenVertex* piece) {
        if (MakeRoom(vertices))
            command = Recording().StartDraw(lines, state);
        Recording().AddPiece(command, piece, vertices);
    });
    state.color->MarkChanged();
}

void FrameRecorder::RecordTriangles(const RenderState& state, const PrimitiveSource& source) {
    RecordDraw(false, 3, state, source, [](auto&&... args) { ForEachTriangle(args...); });
}

void FrameRecorder::RecordLines(const RenderState& state, const PrimitiveSource& source) {
    RecordDraw(true, 2, state, source, [](auto&&... args) { ForEachLine(args...); });
}

void FrameRecorder::RecordClear(const ClearArea& area) {
    MakeRoom(0);
    Recording().AddClear(area);
}

bool FrameRecorder::MakeRoom(size_t vertices) {
    const FrameRecording& recording = Recording();
    bool large = !recording.Empty() && recording.Work() >= kHandOffCoverage * recording.TargetPixels();
    if (!large && !recording.Full(vertices))
        return false;
    HandOff();
    return true;
}

void FrameRecorder::HandOff() {
    m_workers->Wait();
    FrameRecording& full = Recording();
    m_current ^= 1;
    Recording().Clear();
    m_workers->Start(full.BandCount(), [&full](int band) { full.ReplayBand(band); });
}

void FrameRecorder::Finish() {
    m_workers->Wait();
    FrameRecording& recording = Recording();
    if (recording.Empty())
        return;
    if (recording.Work() < kSmallWork) {
        for (int band = 0; band < recording.BandCount(); ++band)
            recording.ReplayBand(band);
    } else {
        m_workers->Run(recording.BandCount(), [&recording](int band) { recording.ReplayBand(band); });
    }
    recording.Clear();
}

} // namespace tqd3d9
