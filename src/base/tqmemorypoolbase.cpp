#include "base/tqmemorypoolbase.h"

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <new>

#include "base/tqlog.h"

namespace {

constexpr size_t kBlockAlignment = alignof(std::max_align_t);
const char kSourcePath[] = "lib/project/tqlib/source/base/tqmemorypoolbase";

size_t RoundUpToAlignment(size_t size) {
    size_t rounded = (size + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
    return rounded ? rounded : kBlockAlignment;
}

void LogPoolError(const char* function, int line, const char* message, const void* p) {
    g_tqLogError.SetLogInfo(kSourcePath, function, line);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "%s [p=%p]", message, p);
}

} // namespace

void TQMemoryPoolBase::FreeDeleter::operator()(unsigned char* p) const noexcept {
    std::free(p);
}

TQMemoryPoolBase::TQMemoryPoolBase() = default;

TQMemoryPoolBase::~TQMemoryPoolBase() {
    for (void* p : m_heapBlocks)
        std::free(p);
}

void TQMemoryPoolBase::SetChunkSize(DWORD chunkParameter, DWORD elementSize) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_chunks.empty()) {
        LogPoolError("TQMemoryPoolBase::SetChunkSize", __LINE__, "Chunk size set after use.", this);
        return;
    }
    m_blockSize = RoundUpToAlignment(elementSize);
    m_blocksPerChunk = chunkParameter ? chunkParameter : 1;
}

void* TQMemoryPoolBase::AllocateMemory(size_t size) noexcept {
    std::lock_guard<std::mutex> lock(m_mutex);
    void* p = (m_blockSize && size <= m_blockSize) ? AllocateBlock() : AllocateFromHeap(size);
    if (p)
        ++m_liveBlocks;
    return p;
}

void TQMemoryPoolBase::FreeMemory(void* p) noexcept {
    if (!p)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (Chunk* chunk = FindChunk(p)) {
        FreeBlock(*chunk, p);
        return;
    }
    auto heapBlock = m_heapBlocks.find(p);
    if (heapBlock == m_heapBlocks.end()) {
        LogPoolError("TQMemoryPoolBase::FreeMemory", __LINE__, "Free of unknown memory.", p);
        return;
    }
    m_heapBlocks.erase(heapBlock);
    std::free(p);
    --m_liveBlocks;
}

bool TQMemoryPoolBase::Owns(const void* p) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return FindChunk(p) != nullptr;
}

size_t TQMemoryPoolBase::GetLiveCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_liveBlocks;
}

size_t TQMemoryPoolBase::GetBlockSize() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_blockSize;
}

// A freed block first, else the next uncarved block of the current chunk, else a new chunk.
void* TQMemoryPoolBase::AllocateBlock() noexcept {
    if (m_freeBlocks) {
        FreeBlockLink* link = m_freeBlocks;
        m_freeBlocks = link->next;
        Chunk* chunk = FindChunk(link);
        chunk->used[BlockIndex(*chunk, link)] = true;
        return link;
    }
    if ((!m_current || m_current->carved == m_blocksPerChunk) && !AddChunk())
        return nullptr;
    size_t index = m_current->carved++;
    m_current->used[index] = true;
    return m_current->memory.get() + index * m_blockSize;
}

void* TQMemoryPoolBase::AllocateFromHeap(size_t size) noexcept {
    if (size > static_cast<size_t>(PTRDIFF_MAX)) // no object can be this large
        return nullptr;
    void* p = std::malloc(size ? size : 1);
    if (!p)
        return nullptr;
    try {
        m_heapBlocks.insert(p);
    } catch (...) {
        std::free(p);
        return nullptr;
    }
    return p;
}

bool TQMemoryPoolBase::AddChunk() noexcept {
    if (m_blocksPerChunk > SIZE_MAX / m_blockSize)
        return false;
    try {
        auto chunk = std::make_unique<Chunk>();
        chunk->memory.reset(static_cast<unsigned char*>(std::malloc(m_blocksPerChunk * m_blockSize)));
        if (!chunk->memory)
            return false;
        chunk->used.assign(m_blocksPerChunk, false);
        Chunk* added = chunk.get();
        m_chunks.emplace(chunk->memory.get(), std::move(chunk));
        m_current = added;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

TQMemoryPoolBase::Chunk* TQMemoryPoolBase::FindChunk(const void* p) const {
    const auto* address = static_cast<const unsigned char*>(p);
    auto after = m_chunks.upper_bound(address);
    if (after == m_chunks.begin())
        return nullptr;
    Chunk* chunk = std::prev(after)->second.get();
    return address < chunk->memory.get() + m_blocksPerChunk * m_blockSize ? chunk : nullptr;
}

size_t TQMemoryPoolBase::BlockIndex(const Chunk& chunk, const void* p) const {
    return static_cast<size_t>(static_cast<const unsigned char*>(p) - chunk.memory.get()) / m_blockSize;
}

void TQMemoryPoolBase::FreeBlock(Chunk& chunk, void* p) {
    size_t index = BlockIndex(chunk, p);
    if (chunk.memory.get() + index * m_blockSize != p || !chunk.used[index]) {
        LogPoolError("TQMemoryPoolBase::FreeMemory", __LINE__, "Free of a block not in use.", p);
        return;
    }
    chunk.used[index] = false;
    m_freeBlocks = new (p) FreeBlockLink{m_freeBlocks};
    --m_liveBlocks;
}
