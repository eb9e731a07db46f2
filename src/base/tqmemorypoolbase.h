/// @file
/// Fixed-size block pool, the base of the per-class pools.
///
/// SetChunkSize(blocksPerChunk, elementSize): the pool hands out blocks of elementSize bytes (rounded
/// up so that every block is aligned for any object), carved from chunks of blocksPerChunk blocks
/// each (8192 for the class pools). A chunk is taken from the heap when every block is in use and
/// is carved lazily, so memory of blocks never used is never touched. Chunks are kept until the
/// pool is destroyed; freed blocks are reused first.
///
/// A request larger than the element size (an array, a derived class) gets memory of its own from
/// the general heap; FreeMemory tells the two apart by address. Before SetChunkSize every request
/// goes to the heap. AllocateMemory returns NULL when memory is exhausted and never throws.
/// FreeMemory(NULL) does nothing; an address the pool did not hand out, or one already freed, is
/// refused and logged instead of corrupting the pool. All members are thread-safe.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "platform/win32/tqwintypes.h"

/// Thread-safe pool of fixed-size blocks; see tqmemorypoolbase.h.
class TQMemoryPoolBase {
public:
    TQMemoryPoolBase();
    virtual ~TQMemoryPoolBase();
    TQMemoryPoolBase(const TQMemoryPoolBase&) = delete;
    TQMemoryPoolBase& operator=(const TQMemoryPoolBase&) = delete;

    /// A block for size bytes (heap memory when larger than a block); NULL when out of memory.
    void* AllocateMemory(size_t size) noexcept;
    /// Gives back memory from AllocateMemory; NULL does nothing, a foreign or freed address is logged.
    void FreeMemory(void* p) noexcept;

    /// True when p lies in one of this pool's chunks.
    bool Owns(const void* p) const;
    /// Blocks handed out and not yet freed, counting the heap requests.
    size_t GetLiveCount() const;
    /// Size of one block after rounding (0 before SetChunkSize).
    size_t GetBlockSize() const;

protected:
    /// Sets the block layout; allowed once, before the first chunk exists (later calls are
    /// ignored and logged). chunkParameter counts the blocks per chunk (0 reads as 1).
    void SetChunkSize(DWORD chunkParameter, DWORD elementSize);

private:
    struct FreeDeleter {
        void operator()(unsigned char* p) const noexcept;
    };
    struct Chunk {
        std::unique_ptr<unsigned char[], FreeDeleter> memory;
        std::vector<bool> used; // one flag per block
        size_t carved = 0;      // blocks handed out at least once
    };
    struct FreeBlockLink {
        FreeBlockLink* next;
    };

    void* AllocateBlock() noexcept;
    void* AllocateFromHeap(size_t size) noexcept;
    bool AddChunk() noexcept;
    Chunk* FindChunk(const void* p) const;
    size_t BlockIndex(const Chunk& chunk, const void* p) const;
    void FreeBlock(Chunk& chunk, void* p);

    mutable std::mutex m_mutex;
    size_t m_blockSize = 0;
    size_t m_blocksPerChunk = 0;
    std::map<const unsigned char*, std::unique_ptr<Chunk>> m_chunks; // by start address
    Chunk* m_current = nullptr;                                      // chunk still being carved
    FreeBlockLink* m_freeBlocks = nullptr;                           // list threaded through the freed blocks
    std::unordered_set<void*> m_heapBlocks;
    size_t m_liveBlocks = 0;
};
