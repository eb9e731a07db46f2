#include "platform/win32/tqpath.h"

#include "platform/codepage/tqcodepage.h"
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqopenscope.h"
#include "platform/win32/tqplatformlog.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace tqplat {
namespace {

// Longest GBK path accepted and longest file-system path produced, in bytes.
const size_t kMaxPathBytes = PATH_MAX - 1;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

struct SplitPath {
    bool absolute = false;
    std::vector<std::string> components; // UTF-8; "." and ".." resolved (".." kept only at the start)
};

// Where the path starts and its components (PathComponents), converted to UTF-8.
SplitPath Split(const char* path, size_t length) {
    SplitPath split;
    const PathStart start = ReadPathStart(path, length);
    split.absolute = start.absolute;
    for (const std::string& component :
         PathComponents(path + start.rest, length - start.rest, start.absolute))
        split.components.push_back(GbkToUtf8(component));
    return split;
}

// The split path from the root: a relative one below the current directory.
// False when the current directory cannot be read.
bool FromTheRoot(const SplitPath& split, std::vector<std::string>* components) {
    if (split.absolute) {
        *components = split.components;
        return true;
    }
    std::string path = WorkingFolder();
    for (const std::string& component : split.components)
        path += component + "/";
    *components = SystemPathComponents(path);
    return path[0] == '/';
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& base, const std::string& component) {
    if (base.empty())
        return component;
    if (base == "/")
        return base + component;
    return base + "/" + component;
}

// The entry of `folder` equal to `component` without regard to ASCII case; the first in byte order
// when several match, so the choice does not depend on the directory's order.
bool FindCaseless(const std::string& folder, const std::string& component, std::string* found) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return false;
    std::vector<std::string> matches;
    while (struct dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, component.c_str()) == 0)
            matches.push_back(entry->d_name);
    }
    closedir(dir);
    if (matches.empty())
        return false;
    *found = *std::min_element(matches.begin(), matches.end());
    return true;
}

// Resolves one component below `base`: as written when it exists, else without regard to case.
bool ResolveComponent(const std::string& base, const std::string& component, std::string* resolved) {
    std::string exact = Join(base, component);
    if (Exists(exact)) {
        *resolved = exact;
        return true;
    }
    std::string match;
    if (!FindCaseless(base, component, &match))
        return false;
    *resolved = Join(base, match);
    return true;
}

// Where resolving starts and the components it resolves from there: as written, or, for a read
// within an OpenScope, from the root or from the scope's folder holding the path. False, with
// ERROR_ACCESS_DENIED, when the scope refuses the read.
bool StartResolving(const SplitPath& split, bool noted, std::string* current,
                    std::vector<std::string>* rest) {
    OpenScope* scope = noted ? OpenScope::Current() : nullptr;
    std::vector<std::string> components = split.components;
    const bool rooted = scope ? FromTheRoot(split, &components) : split.absolute;
    *current = rooted ? "/" : components.empty() ? "." : "";
    size_t start = 0;
    if (scope && !scope->Admit(components, rooted, &start, current)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    rest->assign(components.begin() + static_cast<std::ptrdiff_t>(start), components.end());
    return true;
}

// noted: a read an OpenScope notes (and may confine).
bool Resolve(const char* path, bool lastMayBeMissing, bool noted, std::string* utf8Path) {
    if (path == nullptr || path[0] == '\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    size_t length = strnlen(path, kMaxPathBytes + 1);
    if (length > kMaxPathBytes) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    std::string current;
    std::vector<std::string> components;
    if (!StartResolving(Split(path, length), noted, &current, &components))
        return false;
    for (size_t i = 0; i < components.size(); ++i) {
        const std::string& component = components[i];
        bool last = i + 1 == components.size();
        if (!ResolveComponent(current, component, &current)) {
            if (!(last && lastMayBeMissing)) {
                SetLastError(last ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
                return false;
            }
            current = Join(current, component);
        }
    }
    if (current.size() > kMaxPathBytes) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    *utf8Path = current;
    return true;
}

// open(2) flags for an fopen mode; false for a mode fopen would not take.
bool FlagsForMode(const char* mode, int* flags, bool* mustExist) {
    if (mode == nullptr)
        return false;
    bool plus = strchr(mode, '+') != nullptr;
    switch (mode[0]) {
    case 'r':
        *flags = plus ? O_RDWR : O_RDONLY;
        *mustExist = true;
        return true;
    case 'w':
        *flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
        *mustExist = false;
        return true;
    case 'a':
        *flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
        *mustExist = false;
        return true;
    default:
        return false;
    }
}

} // namespace

std::vector<std::string> PathComponents(const char* path, size_t length, bool absolute) {
    std::vector<std::string> components;
    std::string component;
    for (size_t i = 0; i < length;) {
        const size_t n = GbkCharLength(reinterpret_cast<const unsigned char*>(path + i), length - i);
        if (n == 1 && IsSeparator(path[i])) {
            AddPathComponent(&components, absolute, component);
            component.clear();
        } else {
            component.append(path + i, n);
        }
        i += n;
    }
    AddPathComponent(&components, absolute, component);
    return components;
}

void AddPathComponent(std::vector<std::string>* components, bool absolute, std::string component) {
    if (component.empty() || component == ".")
        return;
    if (component != "..")
        components->push_back(std::move(component));
    else if (!components->empty() && components->back() != "..")
        components->pop_back();
    else if (!absolute)
        components->push_back(std::move(component));
}

PathStart ReadPathStart(const char* path, size_t length) {
    PathStart start;
    if (length >= 2 && path[1] == ':' && isalpha(static_cast<unsigned char>(path[0]))) {
        start.absolute = true;
        start.rest = 2;
    } else {
        start.absolute = length > 0 && IsSeparator(path[0]);
    }
    return start;
}

bool IsAbsolutePath(const char* path) {
    return path && ReadPathStart(path, strnlen(path, 2)).absolute;
}

bool ResolveExistingPath(const char* path, std::string* utf8Path) {
    return Resolve(path, false, false, utf8Path);
}

bool ResolvePathForWrite(const char* path, std::string* utf8Path) {
    return Resolve(path, true, false, utf8Path);
}

bool ResolvePathToOpen(const char* path, bool mayCreate, std::string* utf8Path) {
    return Resolve(path, mayCreate, !mayCreate, utf8Path);
}

void SplitFolderAndName(const char* path, std::string* folder, std::string* name) {
    size_t length = path == nullptr ? 0 : strlen(path);
    size_t cut = 0;
    for (size_t i = 0; i < length;) {
        size_t n = GbkCharLength(reinterpret_cast<const unsigned char*>(path + i), length - i);
        if (n == 1 && IsSeparator(path[i]))
            cut = i + 1;
        i += n;
    }
    folder->assign(path == nullptr ? "" : path, cut);
    name->assign(path == nullptr ? "" : path + cut, length - cut);
}

int OpenRegularFile(const std::string& utf8Path, int flags, int createMode) {
    int fd = open(utf8Path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, createMode);
    if (fd < 0)
        return -1;
    struct stat st = {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        int error = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
        close(fd);
        errno = error;
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

FILE* OpenFile(const char* path, const char* mode) {
    int flags = 0;
    bool mustExist = true;
    if (!FlagsForMode(mode, &flags, &mustExist)) {
        PlatformLog("OpenFile: mode refused");
        return nullptr;
    }
    std::string resolved;
    if (!ResolvePathToOpen(path, !mustExist, &resolved))
        return nullptr;
    int fd = OpenRegularFile(resolved, flags);
    if (fd < 0)
        return nullptr;
    FILE* file = fdopen(fd, mode);
    if (file == nullptr)
        close(fd);
    return file;
}

bool ReadWholeFile(const char* path, std::string* content) {
    std::string resolved;
    if (!ResolvePathToOpen(path, false, &resolved))
        return false;
    size_t size = 0;
    void* data = ReadResolvedFile(resolved, std::string().max_size(), &size);
    if (!data)
        return false;
    content->append(static_cast<const char*>(data), size);
    free(data);
    return true;
}

void* ReadResolvedFile(const std::string& utf8Path, size_t limit, size_t* size) {
    const int fd = OpenRegularFile(utf8Path, O_RDONLY);
    if (fd < 0)
        return nullptr;
    struct stat st = {};
    void* data = nullptr;
    int error = EFBIG;
    if (fstat(fd, &st) == 0 && static_cast<uint64_t>(st.st_size) <= limit) {
        const size_t length = static_cast<size_t>(st.st_size);
        data = malloc(length ? length : 1);
        error = ENOMEM;
        size_t filled = 0;
        ssize_t got = 1;
        while (data && filled < length &&
               (got = read(fd, static_cast<char*>(data) + filled, length - filled)) > 0)
            filled += static_cast<size_t>(got);
        if (data && filled < length) {
            error = got < 0 ? errno : EIO;
            free(data);
            data = nullptr;
        }
        *size = filled;
    }
    close(fd);
    if (!data)
        errno = error;
    return data;
}

const char* WhyNotRead(int error) {
    switch (error) {
    case ENXIO:
        return "it is not a regular file";
    case EISDIR:
        return "it is a folder";
    case EFBIG:
        return "it is too large";
    default:
        return strerror(error);
    }
}

std::string ProgramPath() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    return n > 0 ? std::string(buffer, n) : std::string();
}

std::string ApplicationFolder() {
    std::string exe = ProgramPath();
    if (exe.empty())
        return "./";
    return exe.substr(0, exe.rfind('/') + 1);
}

std::string WorkingFolder() {
    char folder[PATH_MAX];
    return getcwd(folder, sizeof(folder)) ? std::string(folder) + "/" : std::string("./");
}

} // namespace tqplat
