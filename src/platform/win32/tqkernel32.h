/// @file
/// KERNEL32 stand-ins: files, find-file enumeration, private-profile (ini) files, modules, sleeping,
/// system information and the last-error value. Paths are GBK and go through the resolver (tqpath.h).
/// This reference leaves the declarations out: names, values and meanings are as on the platform.
#pragma once

#include "platform/win32/tqwintypes.h"

/// @cond PLATFORM_DECLARATIONS
// Errors kept by SetLastError / GetLastError.
#define ERROR_SUCCESS 0
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_NO_MORE_FILES 18
#define ERROR_READ_FAULT 30
#define ERROR_FILE_EXISTS 80
#define ERROR_INVALID_PARAMETER 87
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_MOD_NOT_FOUND 126
#define ERROR_PROC_NOT_FOUND 127
#define ERROR_FILENAME_EXCED_RANGE 206

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)

// CreateFileA access, sharing, disposition and flags.
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_FLAG_RANDOM_ACCESS 0x10000000
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
typedef SYSTEMTIME* LPSYSTEMTIME;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
typedef OSVERSIONINFOA* LPOSVERSIONINFOA;
#define VER_PLATFORM_WIN32_NT 2

struct MEMORYSTATUS {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    SIZE_T dwTotalPhys;
    SIZE_T dwAvailPhys;
    SIZE_T dwTotalPageFile;
    SIZE_T dwAvailPageFile;
    SIZE_T dwTotalVirtual;
    SIZE_T dwAvailVirtual;
};
typedef MEMORYSTATUS* LPMEMORYSTATUS;

// Last error of the calling thread.
DWORD GetLastError();
void SetLastError(DWORD error);

// Modules. GetModuleHandleA(NULL) is the running program; other names find a loaded module.
// GetModuleFileNameA gives the running program's full path in GBK with '\' separators, so that
// code cutting at the last backslash finds the application folder. LoadLibraryA finds modules
// built into the platform layer first (tqmodules.h), then shared objects: "name.dll" is looked for
// as "libname.so" (lower case; "bass.dll" is the audio module "libtqaudio.so") in the application
// folder, beside the shared object holding the platform layer, then by the default dlopen search.
// A name ending in ".so" is searched for as given; a name with a folder is looked for in that
// folder only (through the resolver).
HMODULE GetModuleHandleA(LPCSTR moduleName);
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
HMODULE LoadLibraryA(LPCSTR fileName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);

// Files: regular files only (directories, FIFOs and devices are refused). Handles are checked:
// a closed or unknown handle fails with ERROR_INVALID_HANDLE.
HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
BOOL CloseHandle(HANDLE object);

// Enumeration of one folder: wildcards '*' and '?' matched without regard to ASCII case, names in
// sorted order, never "." or "..". Names are returned in GBK.
HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData);
BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData);
BOOL FindClose(HANDLE findFile);

// Private-profile (ini) files with the platform's rules: sections and keys compared without regard
// to case, values trimmed of blanks and of one pair of surrounding quotes, a NULL key lists the keys
// of a section and a NULL section the sections (each NUL-terminated, then a final NUL), a NULL value
// deletes a key and a NULL key a whole section. Results are cut to the buffer size. A file name
// without a folder is taken from the current folder.
DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue, LPSTR returned,
                               DWORD size, LPCSTR fileName);
BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value, LPCSTR fileName);

// Clock and sleeping. Under the test clock (tqplatformtest.h) Sleep advances it instead of waiting.
DWORD GetTickCount();
void Sleep(DWORD milliseconds);
DWORD SleepEx(DWORD milliseconds, BOOL alertable);

// Text in the system code page (936): a lead byte (0x81 to 0xFE) starts a double-byte character;
// every other byte, 0x80 (the euro sign) among them, is a character of its own.
BOOL IsDBCSLeadByte(BYTE testChar);

// System information.
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
BOOL GetVersionExA(LPOSVERSIONINFOA versionInfo);
void GlobalMemoryStatus(LPMEMORYSTATUS buffer);
void GetLocalTime(LPSYSTEMTIME systemTime);
/// @endcond
