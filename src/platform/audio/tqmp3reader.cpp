#include "platform/audio/tqmp3reader.h"

#include <mpg123.h>

#include <cstdio>

namespace tqaudio {

namespace {

ssize_t ReadBytes(void* cursor, void* out, size_t count) {
    return static_cast<ssize_t>(
        static_cast<FileMemory::Cursor*>(cursor)->Read(out, static_cast<int64_t>(count)));
}

off_t SeekBytes(void* cursor, off_t offset, int whence) {
    return static_cast<off_t>(static_cast<FileMemory::Cursor*>(cursor)->Seek(offset, whence));
}

} // namespace

std::unique_ptr<Mp3Reader> Mp3Reader::Open(FileMemory& memory, int rate, int channels) {
    std::unique_ptr<Mp3Reader> reader(new Mp3Reader(memory, channels));
    int error = MPG123_OK;
    reader->handle_ = mpg123_new(nullptr, &error);
    mpg123_handle* handle = reader->handle_;
    if (!handle ||
        mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_FLOAT | MPG123_GAPLESS, 0.0) !=
            MPG123_OK ||
        mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_AUTO_RESAMPLE, 0.0) != MPG123_OK ||
        mpg123_format_none(handle) != MPG123_OK ||
        mpg123_format(handle, rate, channels == 1 ? MPG123_MONO : MPG123_STEREO, MPG123_ENC_FLOAT_32) !=
            MPG123_OK ||
        mpg123_replace_reader_handle(handle, ReadBytes, SeekBytes, nullptr) != MPG123_OK ||
        mpg123_open_handle(handle, &reader->cursor_) != MPG123_OK) {
        return nullptr;
    }
    return reader;
}

Mp3Reader::~Mp3Reader() {
    if (handle_) {
        mpg123_close(handle_);
        mpg123_delete(handle_);
    }
}

size_t Mp3Reader::Read(float* out, size_t frames) {
    const size_t frameBytes = channels_ * sizeof(float);
    unsigned char* to = reinterpret_cast<unsigned char*>(out);
    size_t done = 0; // bytes
    failed_ = false;
    while (done < frames * frameBytes) {
        size_t got = 0;
        const int result = mpg123_read(handle_, to + done, frames * frameBytes - done, &got);
        done += got;
        if (result == MPG123_DONE || (result == MPG123_OK && got == 0)) {
            break;
        }
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            failed_ = true;
            break;
        }
    }
    return done / frameBytes;
}

bool Mp3Reader::Seek(int64_t frame) {
    return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) == frame;
}

} // namespace tqaudio
