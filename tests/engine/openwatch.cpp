#include "openwatch.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>

#include "platform/win32/tqopenscope.h"
#include "platform/win32/tqpath.h"

namespace {

OpenWatch* g_pWatch = nullptr;
bool g_bChecking = false; // what the check itself opens is not checked

bool Below(const std::vector<std::string>& folder, const std::vector<std::string>& path) {
    if (folder.size() > path.size())
        return false;
    for (size_t i = 0; i < folder.size(); ++i) {
        if (folder[i] != path[i])
            return false;
    }
    return true;
}

// The absolute form of a path given to open or openat.
std::string Absolute(int dirfd, const char* path) {
    if (path[0] == '/')
        return path;
    char link[64], folder[4096];
    std::snprintf(link, sizeof(link), "/proc/self/fd/%d", dirfd);
    const ssize_t n = dirfd == AT_FDCWD ? -1 : readlink(link, folder, sizeof(folder) - 1);
    return (n > 0 ? std::string(folder, static_cast<size_t>(n)) + "/" : tqplat::WorkingFolder()) + path;
}

template <typename F> F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// The mode argument of open and openat, present when a file may be created.
mode_t ModeOf(int flags, va_list args) {
    return (flags & (O_CREAT | O_TMPFILE)) ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

} // namespace

OpenWatch::OpenWatch(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders)
        m_folders.push_back(tqplat::SystemPathComponents(folder));
    g_pWatch = this;
}

OpenWatch::~OpenWatch() {
    g_pWatch = nullptr;
}

void OpenWatch::Check(const char* function, int dirfd, const char* path) {
    if (!g_pWatch || g_bChecking || !path)
        return;
    g_bChecking = true;
    const std::vector<std::string> components = tqplat::SystemPathComponents(Absolute(dirfd, path));
    bool inside = false;
    for (const std::vector<std::string>& folder : g_pWatch->m_folders)
        inside = inside || Below(folder, components);
    if (!inside)
        g_pWatch->m_outside.push_back(std::string(function) + " " + path);
    g_bChecking = false;
}

extern "C" {

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    OpenWatch::Check("open", AT_FDCWD, path);
    static auto next = Next<int (*)(const char*, int, ...)>("open");
    return next(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    OpenWatch::Check("open64", AT_FDCWD, path);
    static auto next = Next<int (*)(const char*, int, ...)>("open64");
    return next(path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    OpenWatch::Check("openat", dirfd, path);
    static auto next = Next<int (*)(int, const char*, int, ...)>("openat");
    return next(dirfd, path, flags, mode);
}

int openat64(int dirfd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    OpenWatch::Check("openat64", dirfd, path);
    static auto next = Next<int (*)(int, const char*, int, ...)>("openat64");
    return next(dirfd, path, flags, mode);
}

FILE* fopen(const char* path, const char* mode) {
    OpenWatch::Check("fopen", AT_FDCWD, path);
    static auto next = Next<FILE* (*)(const char*, const char*)>("fopen");
    return next(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
    OpenWatch::Check("fopen64", AT_FDCWD, path);
    static auto next = Next<FILE* (*)(const char*, const char*)>("fopen64");
    return next(path, mode);
}

DIR* opendir(const char* path) {
    OpenWatch::Check("opendir", AT_FDCWD, path);
    static auto next = Next<DIR* (*)(const char*)>("opendir");
    return next(path);
}

} // extern "C"
