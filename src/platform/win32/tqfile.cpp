// CreateFileA, ReadFile, GetFileSize and CloseHandle over file descriptors.
#include "platform/win32/tqhandletable.h"
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqpath.h"
#include "platform/win32/tqplatformlog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

class FileObject : public tqplat::KernelObject {
public:
    explicit FileObject(int fd) : m_fd(fd) {}
    ~FileObject() override { close(m_fd); }
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

DWORD ErrorFromErrno(int error) {
    switch (error) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

bool FlagsForCreate(DWORD access, DWORD disposition, int* flags) {
    bool read = (access & GENERIC_READ) != 0;
    bool write = (access & GENERIC_WRITE) != 0;
    *flags = read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    switch (disposition) {
    case OPEN_EXISTING:
        return true;
    case OPEN_ALWAYS:
        *flags |= O_CREAT;
        return true;
    case CREATE_NEW:
        *flags |= O_CREAT | O_EXCL;
        return true;
    case CREATE_ALWAYS:
        *flags |= O_CREAT | O_TRUNC;
        return true;
    case TRUNCATE_EXISTING:
        *flags |= O_TRUNC;
        return write;
    default:
        return false;
    }
}

} // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creationDisposition,
                   DWORD, HANDLE) {
    int flags = 0;
    if (!FlagsForCreate(access, creationDisposition, &flags)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path;
    const bool mayCreate = (flags & O_CREAT) != 0;
    if (!tqplat::ResolvePathToOpen(fileName, mayCreate, &path))
        return INVALID_HANDLE_VALUE;
    int fd = tqplat::OpenRegularFile(path, flags);
    if (fd < 0) {
        int error = errno;
        tqplat::PlatformLog("CreateFileA: cannot open '%s': %s", path.c_str(), strerror(error));
        SetLastError(ErrorFromErrno(error));
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return tqplat::HandleTable::Instance().Add(std::make_unique<FileObject>(fd));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED) {
    if (bytesRead != nullptr)
        *bytesRead = 0;
    FileObject* object = tqplat::HandleTable::Instance().Get<FileObject>(file);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (buffer == nullptr && bytesToRead > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD total = 0;
    while (total < bytesToRead) {
        ssize_t n = read(object->Fd(), static_cast<char*>(buffer) + total, bytesToRead - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            SetLastError(ERROR_READ_FAULT);
            return FALSE;
        }
        if (n == 0)
            break;
        total += static_cast<DWORD>(n);
    }
    if (bytesRead != nullptr)
        *bytesRead = total;
    return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
    FileObject* object = tqplat::HandleTable::Instance().Get<FileObject>(file);
    struct stat st;
    if (object == nullptr || fstat(object->Fd(), &st) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (fileSizeHigh != nullptr)
        *fileSizeHigh = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

BOOL CloseHandle(HANDLE object) {
    if (!tqplat::HandleTable::Instance().Close(object)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
