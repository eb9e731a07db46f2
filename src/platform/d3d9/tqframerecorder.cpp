#include "platform/d3d9/tqframerecorder.h"

#include <algorithm>

namespace tqd3d9 {

namespace {

// Below this many pixels of work the calling thread rasterizes alone: waking the workers would
// cost more than they save (a frame of a few sprites).
constexpr uint64_t kSmallWork = uint64_t(1) << 15;
// More bands than threads even out scenes whose work is not spread evenly over the target.
constexpr int kBandsPerThread = 2;
// Recordings in flight: the one being recorded and those handed off. When all are handed off the
// calling thread draws until one is free.
constexpr size_t kSlots = 4;

} // namespace

FrameRecorder::FrameRecorder(int threads)
    : m_bands(std::max(1, threads) * kBandsPerThread), m_bandNext(m_bands, 0), m_bandBusy(m_bands, 0) {
    for (size_t i = 0; i < kSlots; ++i)
        m_slots.emplace_back(new Slot(m_bands));
    m_workers.reset(new WorkerPool(std::max(0, threads - 1), [this](int) { WorkerLoop(); }));
}

FrameRecorder::~FrameRecorder() {
    Finish();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_workerWake.notify_all();
    m_workers.reset();
}

void FrameRecorder::RecordDraw(bool lines, const RenderState& state, const PrimitiveSource& source) {
    UINT perPrimitive = lines ? 2 : 3;
    MakeRoom(perPrimitive);
    uint32_t command = Current().StartDraw(lines, state);
    for (UINT done = 0; done < source.primitiveCount;) {
        if (MakeRoom(perPrimitive))
            command = Current().StartDraw(lines, state);
        UINT count = std::min(source.primitiveCount - done, Current().Room(perPrimitive));
        Current().AddPrimitives(command, source, done, count);
        OfferClosedChunks();
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
    Current().AddClear(area);
    OfferClosedChunks();
}

void FrameRecorder::RecordCopy(const Image& source, uint32_t* destination) {
    MakeRoom(1);
    Current().AddCopy(source, destination);
    OfferClosedChunks();
}

bool FrameRecorder::MakeRoom(UINT perPrimitive) {
    if (Current().Room(perPrimitive) > 0)
        return false;
    HandOff();
    return true;
}

void FrameRecorder::HandOff() {
    if (Current().BandRows() != 0)
        m_bandRows = Current().BandRows();
    Queue(false);
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        HelpUntil(lock, false, [this] { return m_handedOff - m_drawn < m_slots.size(); });
    }
    // Drawn completely: nobody else reads it any more.
    Current().Clear();
    Current().UseBandRows(m_bandRows);
    OpenCurrent();
}

void FrameRecorder::OpenCurrent() {
    m_offeredChunks = 0;
    std::lock_guard<std::mutex> lock(m_mutex);
    Slot& slot = SlotOf(m_handedOff);
    slot.nextChunk = 0;
    slot.offeredChunks = 0;
    slot.preparedChunks = 0;
    slot.chunks = -1;
    m_recordingOpen = true;
}

void FrameRecorder::OfferClosedChunks() {
    int closed = Current().ClosedChunks();
    if (closed == m_offeredChunks)
        return;
    m_offeredChunks = closed;
    Sleeper sleeper;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        SlotOf(m_handedOff).offeredChunks = closed;
        sleeper = SleeperForWork();
    }
    Wake(sleeper);
}

void FrameRecorder::Queue(bool prepared) {
    Current().Close();
    Sleeper sleeper;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Slot& slot = SlotOf(m_handedOff);
        slot.chunks = slot.offeredChunks = slot.recording.ChunkCount();
        if (prepared)
            slot.nextChunk = slot.preparedChunks = slot.chunks;
        slot.bandsLeft = m_bands;
        m_recordingOpen = false;
        ++m_handedOff;
        sleeper = SleeperForWork();
    }
    // Outside the lock, so the thread woken does not wait for it at once.
    Wake(sleeper);
}

void FrameRecorder::Finish() {
    FrameRecording& recording = Current();
    bool queued;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        queued = m_handedOff != m_drawn;
    }
    bool prepared = false;
    if (!queued && recording.ChunkCount() <= 1) {
        // Nothing offered yet: this thread prepares it.
        recording.Close();
        if (recording.ChunkCount() == 1)
            recording.PrepareChunk(0);
        if (recording.Work() < kSmallWork) {
            DrawAlone(recording);
            return;
        }
        prepared = true;
    }
    if (recording.ChunkCount() > 0)
        Queue(prepared);
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        HelpUntil(lock, false, [this] { return m_drawn == m_handedOff; });
    }
    Restart();
}

void FrameRecorder::DrawAlone(FrameRecording& recording) {
    for (int band = 0; band < recording.BandCount(); ++band)
        recording.ReplayBand(band);
    Restart();
}

void FrameRecorder::Restart() {
    // The next frame lays its bands out on its own target.
    m_bandRows = 0;
    Current().Clear();
    OpenCurrent();
}

FrameRecorder::Task FrameRecorder::Claim(int preferredBand) {
    // Preparing first: the bands of a recording wait for all of its chunks, so a recording is best
    // prepared while the bands of the one before still keep every thread busy.
    Task task = ClaimPrepare();
    return task.kind != Task::Kind::kNone ? task : ClaimReplay(preferredBand);
}

bool FrameRecorder::BandReady(int band) {
    uint64_t sequence = m_bandNext[band];
    return !m_bandBusy[band] && sequence < m_handedOff && SlotOf(sequence).preparedChunks == SlotOf(sequence).chunks;
}

FrameRecorder::Slot* FrameRecorder::SlotToPrepare() {
    // The recordings handed off, then the one being recorded.
    for (uint64_t sequence = m_drawn; sequence <= m_handedOff; ++sequence) {
        Slot& slot = SlotOf(sequence);
        if (sequence == m_handedOff && !m_recordingOpen)
            break;
        if (slot.nextChunk < slot.offeredChunks)
            return &slot;
    }
    return nullptr;
}

bool FrameRecorder::HasReadyTask() {
    if (SlotToPrepare())
        return true;
    for (int band = 0; band < m_bands; ++band)
        if (BandReady(band))
            return true;
    return false;
}

FrameRecorder::Task FrameRecorder::ClaimReplay(int preferredBand) {
    // The oldest recording first, so its slot is soon free for recording; among its bands the
    // preferred one, then the next ones.
    int chosen = -1;
    for (int i = 0; i < m_bands; ++i) {
        int band = (preferredBand + i) % m_bands;
        if (BandReady(band) && (chosen < 0 || m_bandNext[band] < m_bandNext[chosen]))
            chosen = band;
    }
    if (chosen < 0)
        return Task{};
    m_bandBusy[chosen] = 1;
    return Task{Task::Kind::kReplay, &SlotOf(m_bandNext[chosen]), chosen};
}

FrameRecorder::Task FrameRecorder::ClaimPrepare() {
    Slot* slot = SlotToPrepare();
    return slot ? Task{Task::Kind::kPrepare, slot, slot->nextChunk++} : Task{};
}

bool FrameRecorder::Complete(const Task& task) {
    Slot& slot = *task.slot;
    if (task.kind == Task::Kind::kPrepare) {
        // Once all are, its bands are ready where the recording before is drawn.
        ++slot.preparedChunks;
        return false;
    }
    m_bandBusy[task.index] = 0;
    ++m_bandNext[task.index];
    // Recordings are drawn in order: each band of one waits for the same band of the one before.
    if (--slot.bandsLeft > 0)
        return false;
    ++m_drawn;
    return true;
}

void FrameRecorder::Run(const Task& task) {
    if (task.kind == Task::Kind::kPrepare)
        task.slot->recording.PrepareChunk(task.index);
    else
        task.slot->recording.ReplayBand(task.index);
}

FrameRecorder::Sleeper FrameRecorder::SleeperForWork() const {
    if (m_sleepingWorkers > 0)
        return Sleeper::kWorker;
    return m_callerSleeping ? Sleeper::kCaller : Sleeper::kNone;
}

void FrameRecorder::Wake(Sleeper sleeper) {
    if (sleeper == Sleeper::kWorker)
        m_workerWake.notify_one();
    else if (sleeper == Sleeper::kCaller)
        m_callerWake.notify_one();
}

void FrameRecorder::Sleep(std::unique_lock<std::mutex>& lock, bool worker) {
    if (worker) {
        ++m_sleepingWorkers;
        m_workerWake.wait(lock);
        --m_sleepingWorkers;
    } else {
        m_callerSleeping = true;
        m_callerWake.wait(lock);
        m_callerSleeping = false;
    }
}

template <typename Done>
void FrameRecorder::HelpUntil(std::unique_lock<std::mutex>& lock, bool worker, Done done) {
    int band = 0;
    while (!done()) {
        Task task = Claim(band);
        if (task.kind == Task::Kind::kNone) {
            Sleep(lock, worker);
            continue;
        }
        if (task.kind == Task::Kind::kReplay)
            band = task.index;
        // Sleepers are woken one at a time, each by a thread that found a task and more ready:
        // waking one costs its waker little, waking all at once would cost one thread much.
        Sleeper sleeper = HasReadyTask() ? SleeperForWork() : Sleeper::kNone;
        lock.unlock();
        Wake(sleeper);
        Run(task);
        lock.lock();
        // A freed slot or the last recording drawn is what the calling thread may wait for.
        if (Complete(task) && m_callerSleeping) {
            lock.unlock();
            m_callerWake.notify_one();
            lock.lock();
        }
    }
}

void FrameRecorder::WorkerLoop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    HelpUntil(lock, true, [this] { return m_stopping; });
}

} // namespace tqd3d9
