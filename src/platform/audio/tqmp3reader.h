// Reads the frames of an MP3 file in memory with libmpg123, with the library's own messages off:
// on damaged data it writes nothing to the standard error stream (the decoder that owns the reader
// says what was lost, once). Decodes to floats at the file's rate and channel count, without the
// encoder's padding, as libsndfile, which opened the file, counts its frames.
#pragma once

#include "platform/audio/tqfilememory.h"

#include <cstddef>
#include <cstdint>
#include <memory>

struct mpg123_handle_struct;

namespace tqaudio {

class Mp3Reader {
public:
    // A reader of `memory` (which must outlive it); NULL when libmpg123 cannot open it.
    static std::unique_ptr<Mp3Reader> Open(FileMemory& memory, int rate, int channels);
    ~Mp3Reader();
    Mp3Reader(const Mp3Reader&) = delete;
    Mp3Reader& operator=(const Mp3Reader&) = delete;

    // Up to `frames` interleaved frames; fewer at the end, or where damaged data stops it (Failed).
    size_t Read(float* out, size_t frames);
    // Moves to `frame`; false when it cannot.
    bool Seek(int64_t frame);
    // Whether the last read stopped at damaged data.
    bool Failed() const { return failed_; }

private:
    Mp3Reader(FileMemory& memory, int channels) : cursor_(memory), channels_(channels) {}

    FileMemory::Cursor cursor_;
    const int channels_;
    mpg123_handle_struct* handle_ = nullptr;
    bool failed_ = false;
};

} // namespace tqaudio
