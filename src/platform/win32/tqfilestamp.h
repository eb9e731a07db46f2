/// @file
/// What tells a file on disk apart from another and from its own earlier content: where it lies,
/// its size and its last modification, to the nanosecond.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tqplat {

/// A file's identity and state as the file system reports them.
struct FileStamp {
    uint64_t device = 0;             ///< The device the file lies on.
    uint64_t inode = 0;              ///< The file's number on that device.
    int64_t size = 0;                ///< Size in bytes.
    int64_t modifiedSeconds = 0;     ///< Last modification: whole seconds since the epoch,
    int64_t modifiedNanoseconds = 0; ///< and nanoseconds past them.
};

/// Whether two stamps are of the same file in the same state.
bool operator==(const FileStamp& a, const FileStamp& b);

/// The stamp of the file a resolved (UTF-8) path names, links followed. False when it cannot be read.
bool ReadFileStamp(const std::string& utf8Path, FileStamp* stamp);
/// The stamp of an open file. False when it cannot be read.
bool ReadOpenFileStamp(FILE* file, FileStamp* stamp);

} // namespace tqplat
