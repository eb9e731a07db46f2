// Records the drawing of a frame and rasterizes it on several threads.
//
// The calling thread records the draws as given (FrameRecording). Each chunk of a recording is
// prepared (transformed, clipped, set up and filed under bands of rows) as soon as it is full,
// while the rest is recorded; once a recording holds many primitives it is handed off and the next
// one is recorded. Handed-off recordings are replayed band by band. The workers do both, and the
// calling thread whenever it waits. A band of a recording is replayed once all of the recording is
// prepared and the same band of the recording before is drawn, so every pixel keeps the order of
// its draws with no pause between recordings. Bands of the oldest recording go first, so its slot
// is soon free for recording again; among them a thread takes the band it drew last, whose rows
// are still in its cache. Finish returns when all is drawn; a little work stays on the calling
// thread and wakes no worker.
//
// Recordings refer to the images and textures of their draws without holding them: the device
// finishes before any of them is read, changed or freed by anything else.
#pragma once

#include "platform/d3d9/tqcleararea.h"
#include "platform/d3d9/tqframerecording.h"
#include "platform/d3d9/tqrenderer.h"
#include "platform/d3d9/tqrenderstate.h"
#include "platform/d3d9/tqworkerpool.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace tqd3d9 {

class FrameRecorder {
public:
    // Rasterizes on `threads` threads: the calling thread and threads - 1 workers.
    explicit FrameRecorder(int threads);
    // Draws what is left, then stops and joins the workers.
    ~FrameRecorder();
    FrameRecorder(const FrameRecorder&) = delete;
    FrameRecorder& operator=(const FrameRecorder&) = delete;

    void RecordTriangles(const RenderState& state, const PrimitiveSource& source);
    void RecordLines(const RenderState& state, const PrimitiveSource& source);
    void RecordClear(const ClearArea& area);
    // Copies the 32-bit image, once everything recorded before is drawn on it, to `destination`
    // (rows of its width), band by band with the rest.
    void RecordCopy(const Image& source, uint32_t* destination);
    // Rasterizes everything recorded and returns once it is drawn.
    void Finish();

private:
    // A recording and, once handed off, its progress; the progress is read and changed under
    // m_mutex.
    struct Slot {
        explicit Slot(int bands) : recording(bands) {}
        FrameRecording recording;
        // Chunks claimed for preparing, offered to be prepared and prepared; chunks in all once
        // handed off (-1 before).
        int nextChunk = 0;
        int offeredChunks = 0;
        int preparedChunks = 0;
        int chunks = -1;
        int bandsLeft = 0;
    };
    // A piece of work on a recording: preparing a chunk or replaying a band.
    struct Task {
        enum class Kind : uint8_t { kNone, kPrepare, kReplay } kind = Kind::kNone;
        Slot* slot = nullptr;
        int index = 0;
    };

    // The slot of the recording with this hand-off number.
    Slot& SlotOf(uint64_t sequence) { return *m_slots[sequence % m_slots.size()]; }
    FrameRecording& Current() { return SlotOf(m_handedOff).recording; }
    // Hands the recording off when it has no room for a command or a primitive of `perPrimitive`
    // vertices; true when a new recording was started.
    bool MakeRoom(UINT perPrimitive);
    void RecordDraw(bool lines, const RenderState& state, const PrimitiveSource& source);
    // Queues the recording being recorded, waits for a free slot and starts recording in it.
    void HandOff();
    // Lets the workers prepare the closed chunks of the recording being recorded.
    void OfferClosedChunks();
    // Starts the recording in the current slot.
    void OpenCurrent();
    // Queues the recording being recorded, `prepared` when its chunks are done, and wakes the
    // workers.
    void Queue(bool prepared);
    // Finishes a recording that was never handed off on the calling thread alone.
    void DrawAlone(FrameRecording& recording);
    // Starts recording afresh once everything is drawn.
    void Restart();

    // Who sleeps: a worker, the calling thread or nobody.
    enum class Sleeper : uint8_t { kNone, kWorker, kCaller };

    // Under m_mutex: a task to run, or none; `preferredBand` is the band this thread drew last.
    Task Claim(int preferredBand);
    Task ClaimReplay(int preferredBand);
    Task ClaimPrepare();
    bool BandReady(int band);
    Slot* SlotToPrepare();
    bool HasReadyTask();
    // Under m_mutex: whom to wake for a ready task, a worker before the calling thread.
    Sleeper SleeperForWork() const;
    void Wake(Sleeper sleeper);
    // Under m_mutex: sleeps until woken.
    void Sleep(std::unique_lock<std::mutex>& lock, bool worker);
    // Under m_mutex: records that the task is done; true when that drew a recording completely
    // (its slot is free), which the calling thread may be waiting for.
    bool Complete(const Task& task);
    static void Run(const Task& task);
    void WorkerLoop();
    // Runs tasks on this thread (a worker or the calling thread) until `done` holds (checked under
    // m_mutex).
    template <typename Done> void HelpUntil(std::unique_lock<std::mutex>& lock, bool worker, Done done);

    int m_bands;
    // Rows per band of the recordings queued since the last Finish (0 before the first draw).
    int m_bandRows = 0;
    std::vector<std::unique_ptr<Slot>> m_slots;
    // Recordings handed off and recordings completely drawn since the recorder started; the one
    // being recorded has the number m_handedOff, its slot taken while m_recordingOpen.
    uint64_t m_handedOff = 0;
    uint64_t m_drawn = 0;
    bool m_recordingOpen = true;
    // Chunks of the recording being recorded offered so far (read by the calling thread only).
    int m_offeredChunks = 0;
    // For each band: the hand-off number of the next recording to replay in it, and whether a
    // thread replays it now.
    std::vector<uint64_t> m_bandNext;
    std::vector<uint8_t> m_bandBusy;
    std::mutex m_mutex;
    // Sleeping workers, woken one at a time for ready tasks and all when they are to stop.
    std::condition_variable m_workerWake;
    int m_sleepingWorkers = 0;
    // The calling thread sleeps while it waits for a free slot or for everything to be drawn.
    std::condition_variable m_callerWake;
    bool m_callerSleeping = false;
    bool m_stopping = false;
    // Declared last: the workers start once everything else is set up.
    std::unique_ptr<WorkerPool> m_workers;
};

} // namespace tqd3d9
