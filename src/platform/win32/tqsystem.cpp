// KERNEL32 system information and the per-thread last-error value.
#include "platform/win32/tqkernel32.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <sys/time.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

// The folder reported as the system directory: where shared libraries live.
const char kSystemDirectory[] = "\\usr\\lib";

} // namespace

DWORD GetLastError() {
    return t_lastError;
}

void SetLastError(DWORD error) {
    t_lastError = error;
}

BOOL IsDBCSLeadByte(BYTE testChar) {
    return testChar >= 0x81 && testChar <= 0xFE;
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
    UINT length = sizeof(kSystemDirectory) - 1;
    if (buffer == nullptr || size <= length)
        return length + 1; // the size needed, with the NUL
    memcpy(buffer, kSystemDirectory, length + 1);
    return length;
}

// Reports the kernel's version numbers (major.minor.patch) as the system version.
BOOL GetVersionExA(LPOSVERSIONINFOA versionInfo) {
    if (versionInfo == nullptr || versionInfo->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    struct utsname names = {};
    unsigned major = 0, minor = 0, build = 0;
    if (uname(&names) == 0)
        sscanf(names.release, "%u.%u.%u", &major, &minor, &build);
    versionInfo->dwMajorVersion = major;
    versionInfo->dwMinorVersion = minor;
    versionInfo->dwBuildNumber = build;
    versionInfo->dwPlatformId = VER_PLATFORM_WIN32_NT;
    snprintf(versionInfo->szCSDVersion, sizeof(versionInfo->szCSDVersion), "%s", names.sysname);
    return TRUE;
}

void GlobalMemoryStatus(LPMEMORYSTATUS buffer) {
    if (buffer == nullptr)
        return;
    struct sysinfo info;
    memset(buffer, 0, sizeof(*buffer));
    buffer->dwLength = sizeof(*buffer);
    if (sysinfo(&info) != 0)
        return;
    SIZE_T unit = info.mem_unit;
    buffer->dwTotalPhys = info.totalram * unit;
    buffer->dwAvailPhys = (info.freeram + info.bufferram) * unit;
    buffer->dwTotalPageFile = (info.totalram + info.totalswap) * unit;
    buffer->dwAvailPageFile = (info.freeram + info.freeswap) * unit;
    buffer->dwTotalVirtual = buffer->dwTotalPageFile;
    buffer->dwAvailVirtual = buffer->dwAvailPageFile;
    if (info.totalram > 0)
        buffer->dwMemoryLoad =
            static_cast<DWORD>(100 - (100 * (info.freeram + info.bufferram)) / info.totalram);
}

void GetLocalTime(LPSYSTEMTIME systemTime) {
    if (systemTime == nullptr)
        return;
    struct timeval now;
    gettimeofday(&now, nullptr);
    struct tm local;
    time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    systemTime->wYear = static_cast<WORD>(local.tm_year + 1900);
    systemTime->wMonth = static_cast<WORD>(local.tm_mon + 1);
    systemTime->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    systemTime->wDay = static_cast<WORD>(local.tm_mday);
    systemTime->wHour = static_cast<WORD>(local.tm_hour);
    systemTime->wMinute = static_cast<WORD>(local.tm_min);
    systemTime->wSecond = static_cast<WORD>(local.tm_sec);
    systemTime->wMilliseconds = static_cast<WORD>(now.tv_usec / 1000);
}
