#include "platform/d3d9/tqframerecorder.h"

#include <algorithm>

namespace tqd3d9 {

namespace {

// Below this many pixels of work the calling thread rasterizes alone: waking the workers would
// cost more than they save (a frame of a few sprites).
constexpr uint64_t kSmallWork = uint64_t(1) << 15;

} // namespace

FrameRecorder::FrameRecorder(int threads)
    : m_recordings{FrameRecording(std::max(1, threads)), FrameRecording(std::max(1, threads))},
      m_workers(new WorkerPool(std::max(0, threads - 1))) {}

void FrameRecorder::RecordDraw(bool lines, const RenderState& state, const PrimitiveSource& source) {
    UINT perPrimitive = lines ? 2 : 3;
    MakeRoom(perPrimitive);
    uint32_t command = Recording().StartDraw(lines, state);
    for (UINT done = 0; done < source.primitiveCount;) {
        if (MakeRoom(perPrimitive))
            command = Recording().StartDraw(lines, state);
        UINT count = std::min(source.primitiveCount - done, Recording().Room(perPrimitive));
        Recording().AddPrimitives(command, source, done, count);
        done += count;
    }
    state.color->MarkChanged();
}

void FrameRecorder::RecordTriangles(const RenderState& state, const PrimitiveSource& source) {
    RecordDraw(false, state, source);
}

void FrameRecorder::RecordLines(const RenderState& state, const PrimitiveSource& source) {
    RecordDraw(true, state, source);
}

void FrameRecorder::RecordClear(const ClearArea& area) {
    MakeRoom(1);
    Recording().AddClear(area);
}

bool FrameRecorder::MakeRoom(UINT perPrimitive) {
    if (Recording().Room(perPrimitive) > 0)
        return false;
    HandOff();
    return true;
}

void FrameRecorder::HandOff() {
    m_workers->Wait();
    FrameRecording& full = Recording();
    m_current ^= 1;
    Recording().Clear();
    Prepare(full);
    m_workers->Start(full.BandCount(), [&full](int band) { full.ReplayBand(band); });
}

void FrameRecorder::Prepare(FrameRecording& recording) {
    if (recording.ChunkCount() == 1)
        recording.PrepareChunk(0);
    else
        m_workers->Run(recording.ChunkCount(), [&recording](int chunk) { recording.PrepareChunk(chunk); });
}

void FrameRecorder::Finish() {
    m_workers->Wait();
    FrameRecording& recording = Recording();
    if (recording.Empty())
        return;
    Prepare(recording);
    if (recording.Work() < kSmallWork) {
        for (int band = 0; band < recording.BandCount(); ++band)
            recording.ReplayBand(band);
    } else {
        m_workers->Run(recording.BandCount(), [&recording](int band) { recording.ReplayBand(band); });
    }
    recording.Clear();
}

} // namespace tqd3d9
