// Records the drawing of a frame and rasterizes it on several threads.
//
// The calling thread records the draws as given (FrameRecording). Once a recording holds many
// primitives it is handed to the workers, which transform and clip it chunk by chunk while they
// rasterize the recording handed over before, band by band; meanwhile the calling thread records
// the next. Recordings are rasterized one after the other, so every pixel keeps the order of its
// draws. Finish rasterizes what is left and returns when all is drawn; little work stays on the
// calling thread.
//
// Recordings refer to the images and textures of their draws without holding them: the device
// finishes before any of them is read, changed or freed by anything else.
#pragma once

#include "platform/d3d9/tqcleararea.h"
#include "platform/d3d9/tqframerecording.h"
#include "platform/d3d9/tqrenderer.h"
#include "platform/d3d9/tqrenderstate.h"
#include "platform/d3d9/tqworkerpool.h"

#include <memory>

namespace tqd3d9 {

class FrameRecorder {
public:
    // Rasterizes on `threads` threads: the calling thread and threads - 1 workers.
    explicit FrameRecorder(int threads);

    void RecordTriangles(const RenderState& state, const PrimitiveSource& source);
    void RecordLines(const RenderState& state, const PrimitiveSource& source);
    void RecordClear(const ClearArea& area);
    // Rasterizes everything recorded and returns once it is drawn.
    void Finish();

private:
    FrameRecording& Recording() { return m_recordings[m_current]; }
    // Hands the recording to the workers when it has no room for a command or a primitive of
    // `perPrimitive` vertices; true when a new recording was started.
    bool MakeRoom(UINT perPrimitive);
    void HandOff();
    // Starts a job that rasterizes one recording (or none) and prepares another (or none).
    void StartJob(FrameRecording* rasterize, FrameRecording* prepare);
    void RunJob(FrameRecording* rasterize, FrameRecording* prepare);
    void RecordDraw(bool lines, const RenderState& state, const PrimitiveSource& source);

    // The one being recorded, the one prepared by the job under way (then rasterized by the next
    // job) and the one that job rasterizes.
    static constexpr int kRecordings = 3;
    FrameRecording m_recordings[kRecordings];
    int m_current = 0;
    FrameRecording* m_prepared = nullptr;
    // Declared last: the workers stop before the recordings go.
    std::unique_ptr<WorkerPool> m_workers;
};

} // namespace tqd3d9
