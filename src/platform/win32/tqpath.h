// The one path resolver behind every disk access of the engine and the platform layer.
//
// Engine paths are GBK bytes; '\' and '/' both separate; what a path starts at is told by
// ReadPathStart alone. "." and ".." are resolved on the text, before the file system is asked (so a
// ".." takes away the component before it, a link or not, and never climbs above the root). Each
// component that does not exist as written is matched without regard to ASCII case (an exact match
// is taken first). The result is a UTF-8 path for the file system.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tqplat {

// Where a path starts: the one answer of the resolver, the device and the engine's look-up.
struct PathStart {
    bool absolute = false; // from the file-system root, else from the current directory
    size_t rest = 0;       // offset of the first byte after the drive, if any
};

// A path is absolute when it begins with "/" or "\" (so also "//" and "\\server\share") or with a
// drive "X:" (an ASCII letter and a colon, a separator after it or not: "C:/a", "c:a"); a drive
// stands for the root. Everything else is relative.
PathStart ReadPathStart(const char* path, size_t length);
// ReadPathStart(path).absolute for a NUL-terminated path; false for NULL.
bool IsAbsolutePath(const char* path);

// The components of a GBK path (from its first byte; see ReadPathStart for where it starts), split
// at '\' and '/' but never at a trail byte of a GBK character, "." and ".." resolved by
// AddPathComponent: the one reading of a path's components for the resolver and the packs.
std::vector<std::string> PathComponents(const char* path, size_t length, bool absolute);

// Adds one component to a path's components, "." and ".." resolved on the text: an empty one and
// "." add nothing; ".." takes away the component before it, stays at the start of a relative path
// and is dropped at the root of an absolute one.
void AddPathComponent(std::vector<std::string>* components, bool absolute, std::string component);

// Resolves a path whose every component exists. False when a component is missing, the path is
// empty or NULL, or it is longer than the platform allows.
bool ResolveExistingPath(const char* path, std::string* utf8Path);

// Resolves a path for creating or writing: the folders must exist (matched as above); the last
// component is matched when it exists and otherwise kept as written.
bool ResolvePathForWrite(const char* path, std::string* utf8Path);

// Resolves a path about to be opened for reading (mayCreate false) or writing. Reads are noted by
// the innermost OpenScope and, when it confines them, refused (ERROR_ACCESS_DENIED) before the file
// system is asked when the path does not lie below one of its folders.
bool ResolvePathToOpen(const char* path, bool mayCreate, std::string* utf8Path);

// fopen through the resolver ("r" modes need an existing file; "w"/"a" modes may create the last
// component). NULL on failure, with errno telling why a file found could not be opened (EISDIR for
// a directory, ENXIO for a FIFO or device, which are refused); the caller, which knows what the
// file is, says so.
FILE* OpenFile(const char* path, const char* mode);

// Appends the whole content of an existing file found through the resolver; false when it cannot
// be opened or a read fails (errno as for ReadResolvedFile when it was found).
bool ReadWholeFile(const char* path, std::string* content);

// The whole content of the regular file at a resolved (UTF-8) path, in memory from malloc (free
// it), *size its length: a file read where it was found, without resolving its name again. NULL,
// with errno set, when it cannot be opened (see OpenRegularFile), is larger than limit bytes
// (EFBIG), memory runs out (ENOMEM) or a read fails.
void* ReadResolvedFile(const std::string& utf8Path, size_t limit, size_t* size);

// What the errno of a failed ReadResolvedFile says of the file, for a log line: "it is not a
// regular file" (ENXIO), "it is a folder" (EISDIR), "it is too large" (EFBIG), else strerror's text.
const char* WhyNotRead(int error);

// Full path of the running program as UTF-8; empty when it cannot be read.
std::string ProgramPath();

// Folder of the running program, with a trailing '/', as UTF-8.
std::string ApplicationFolder();

// The current directory, with a trailing '/', as UTF-8; "./" when it cannot be read.
std::string WorkingFolder();

} // namespace tqplat

namespace tqplat {

// Splits a GBK path at its last separator ('\' or '/', never a trail byte of a GBK character):
// `folder` keeps the separator ("" when there is none), `name` is the rest.
void SplitFolderAndName(const char* path, std::string* folder, std::string* name);

// Opens a resolved (UTF-8) path with open(2) flags, refusing anything but a regular file (a
// directory, FIFO or device fails with EISDIR / ENXIO) without blocking on it. -1 on failure.
int OpenRegularFile(const std::string& utf8Path, int flags, int createMode = 0644);

} // namespace tqplat
