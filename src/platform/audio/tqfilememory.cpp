#include "platform/audio/tqfilememory.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tqaudio {

int64_t FileMemory::Cursor::Seek(int64_t offset, int whence) {
    const int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? position_ : Size();
    position_ = std::clamp<int64_t>(base + offset, 0, Size());
    return position_;
}

int64_t FileMemory::Cursor::Read(void* out, int64_t count) {
    const std::lock_guard<std::mutex> lock(memory_.lock_);
    const int64_t n = memory_.detached_ ? 0 : std::clamp<int64_t>(count, 0, Size() - position_);
    if (n > 0) {
        memcpy(out, memory_.data_ + position_, static_cast<size_t>(n));
        position_ += n;
    }
    return n;
}

void FileMemory::Detach() {
    const std::lock_guard<std::mutex> lock(lock_);
    detached_ = true;
}

bool FileMemory::Detached() {
    const std::lock_guard<std::mutex> lock(lock_);
    return detached_;
}

} // namespace tqaudio
