// The bytes of a file the caller holds in memory, read by decoders through cursors of their own. A
// read copies under a lock, so a detach (the caller is about to free the memory) waits at most for
// one copy, never for a decode, and reads after it find nothing.
#pragma once

#include <cstdint>
#include <mutex>

namespace tqaudio {

class FileMemory {
public:
    // A read position of one decoder.
    class Cursor {
    public:
        explicit Cursor(FileMemory& memory) : memory_(memory) {}
        int64_t Size() const { return memory_.size_; }
        int64_t Position() const { return position_; }
        // Moves as lseek does (SEEK_SET, SEEK_CUR, SEEK_END), held within the file; the new position.
        int64_t Seek(int64_t offset, int whence);
        // Copies up to `count` bytes from the position on and moves past them; the count copied.
        int64_t Read(void* out, int64_t count);

    private:
        FileMemory& memory_;
        int64_t position_ = 0;
    };

    FileMemory(const void* data, int64_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    FileMemory(const FileMemory&) = delete;
    FileMemory& operator=(const FileMemory&) = delete;

    // From any thread: no read touches the memory once this returns.
    void Detach();
    bool Detached();

private:
    const uint8_t* const data_;
    const int64_t size_;
    std::mutex lock_;
    bool detached_ = false;
};

} // namespace tqaudio
