#include "platform/win32/tqfilestamp.h"

#include <sys/stat.h>

namespace tqplat {

namespace {

FileStamp StampOf(const struct stat& info) {
    FileStamp stamp;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modifiedSeconds = info.st_mtim.tv_sec;
    stamp.modifiedNanoseconds = info.st_mtim.tv_nsec;
    return stamp;
}

} // namespace

bool operator==(const FileStamp& a, const FileStamp& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modifiedSeconds == b.modifiedSeconds && a.modifiedNanoseconds == b.modifiedNanoseconds;
}

bool ReadFileStamp(const std::string& utf8Path, FileStamp* stamp) {
    struct stat info;
    if (stat(utf8Path.c_str(), &info) != 0)
        return false;
    *stamp = StampOf(info);
    return true;
}

bool ReadOpenFileStamp(FILE* file, FileStamp* stamp) {
    struct stat info;
    if (!file || fstat(fileno(file), &info) != 0)
        return false;
    *stamp = StampOf(info);
    return true;
}

} // namespace tqplat
