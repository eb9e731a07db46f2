#include "platform/d3d9/tqframerecorder.h"

#include <algorithm>
#include <utility>

namespace tqd3d9 {

namespace {

// Below this many pixels of work the calling thread rasterizes alone: waking the workers would
// cost more than they save (a frame of a few sprites).
constexpr uint64_t kSmallWork = uint64_t(1) << 15;

} // namespace

FrameRecorder::FrameRecorder(int threads)
    : m_recordings{FrameRecording(std::max(1, threads)), FrameRecording(std::max(1, threads)),
                   FrameRecording(std::max(1, threads))},
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
    // The job under way rasterizes the recording before the prepared one and prepares that one.
    m_workers->Wait();
    FrameRecording* prepared = m_prepared;
    m_prepared = &Recording();
    m_current = (m_current + 1) % kRecordings;
    // Rasterized by the job just ended.
    Recording().Clear();
    StartJob(prepared, m_prepared);
}

void FrameRecorder::StartJob(FrameRecording* rasterize, FrameRecording* prepare) {
    int bands = rasterize ? rasterize->BandCount() : 0;
    int chunks = prepare ? prepare->ChunkCount() : 0;
    // Bands first: their tasks are the longer ones, the chunks fill the gaps at the end.
    m_workers->Start(bands + chunks, [rasterize, prepare, bands](int task) {
        if (task < bands)
            rasterize->ReplayBand(task);
        else
            prepare->PrepareChunk(task - bands);
    });
}

void FrameRecorder::RunJob(FrameRecording* rasterize, FrameRecording* prepare) {
    StartJob(rasterize, prepare);
    m_workers->Wait();
}

void FrameRecorder::Finish() {
    m_workers->Wait();
    FrameRecording& recording = Recording();
    if (m_prepared || recording.ChunkCount() > 1)
        RunJob(std::exchange(m_prepared, nullptr), &recording);
    else if (recording.ChunkCount() == 1)
        recording.PrepareChunk(0);
    if (recording.Work() < kSmallWork) {
        for (int band = 0; band < recording.BandCount(); ++band)
            recording.ReplayBand(band);
    } else {
        RunJob(&recording, nullptr);
    }
    recording.Clear();
}

} // namespace tqd3d9
