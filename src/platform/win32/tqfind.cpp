// FindFirstFileA / FindNextFileA / FindClose: a sorted snapshot of one folder's matching entries.
#include "platform/codepage/tqcodepage.h"
#include "platform/win32/tqhandletable.h"
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqpath.h"
#include "platform/win32/tqplatformlog.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace {

class FindObject : public tqplat::KernelObject {
public:
    std::vector<WIN32_FIND_DATAA> entries;
    size_t next = 0;
};

size_t CharLength(const std::string& text, size_t at) {
    return tqplat::GbkCharLength(reinterpret_cast<const unsigned char*>(text.data() + at), text.size() - at);
}

bool SameChar(const std::string& a, size_t i, size_t n, const std::string& b, size_t j, size_t m) {
    if (n != m)
        return false;
    if (n == 1)
        return tolower(static_cast<unsigned char>(a[i])) == tolower(static_cast<unsigned char>(b[j]));
    return a.compare(i, n, b, j, m) == 0;
}

// Wildcard match over GBK characters: '*' any run, '?' one character, letters without regard to
// ASCII case. After a mismatch only the last '*' seen takes one more character and matching resumes
// behind it, so the work stays within pattern length times name length whatever the pattern.
bool Matches(const std::string& pattern, const std::string& name) {
    const size_t none = std::string::npos;
    size_t p = 0, s = 0;
    size_t afterStar = none, starTakenTo = 0;
    while (s < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            afterStar = ++p;
            starTakenTo = s;
            continue;
        }
        size_t sn = CharLength(name, s);
        if (p < pattern.size()) {
            size_t pn = CharLength(pattern, p);
            if (pattern[p] == '?' || SameChar(pattern, p, pn, name, s, sn)) {
                p += pn;
                s += sn;
                continue;
            }
        }
        if (afterStar == none)
            return false;
        starTakenTo += CharLength(name, starTakenTo);
        p = afterStar;
        s = starTakenTo;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// "*.*" and "name.*" also match names without an extension, as on the platform.
bool MatchesPattern(const std::string& pattern, const std::string& name) {
    if (Matches(pattern, name))
        return true;
    size_t n = pattern.size();
    return n >= 2 && pattern.compare(n - 2, 2, ".*") == 0 && name.find('.') == std::string::npos &&
           Matches(pattern.substr(0, n - 2), name);
}

FILETIME ToFileTime(time_t seconds) {
    const uint64_t kEpochDifference = 11644473600ull; // seconds from 1601 to 1970
    uint64_t ticks = (static_cast<uint64_t>(seconds) + kEpochDifference) * 10000000ull;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

bool FillFindData(const std::string& folder, const char* utf8Name, const std::string& gbkName,
                  WIN32_FIND_DATAA* data) {
    struct stat st;
    std::string full = (folder == "/" ? "" : folder) + "/" + utf8Name;
    if (stat(full.c_str(), &st) != 0)
        return false;
    memset(data, 0, sizeof(*data));
    data->dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (access(full.c_str(), W_OK) != 0 && !S_ISDIR(st.st_mode))
        data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
    data->ftCreationTime = ToFileTime(st.st_ctime);
    data->ftLastAccessTime = ToFileTime(st.st_atime);
    data->ftLastWriteTime = ToFileTime(st.st_mtime);
    memcpy(data->cFileName, gbkName.data(), gbkName.size());
    return true;
}

std::vector<WIN32_FIND_DATAA> ListMatches(const std::string& folder, const std::string& pattern) {
    std::vector<WIN32_FIND_DATAA> entries;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return entries;
    while (struct dirent* entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
            continue;
        std::string gbk = tqplat::Utf8ToGbk(entry->d_name);
        if (gbk.size() >= MAX_PATH) {
            tqplat::PlatformLog("FindFirstFileA: name too long, skipped: %s", entry->d_name);
            continue;
        }
        WIN32_FIND_DATAA data;
        if (MatchesPattern(pattern, gbk) && FillFindData(folder, entry->d_name, gbk, &data))
            entries.push_back(data);
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const WIN32_FIND_DATAA& a, const WIN32_FIND_DATAA& b) {
        int order = strcasecmp(a.cFileName, b.cFileName);
        return order != 0 ? order < 0 : strcmp(a.cFileName, b.cFileName) < 0;
    });
    return entries;
}

} // namespace

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData) {
    if (fileName == nullptr || findData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string folderGbk, pattern, folder;
    tqplat::SplitFolderAndName(fileName, &folderGbk, &pattern);
    if (pattern.empty() ||
        !tqplat::ResolveExistingPath(folderGbk.empty() ? "." : folderGbk.c_str(), &folder)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_unique<FindObject>();
    search->entries = ListMatches(folder, pattern);
    if (search->entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *findData = search->entries[0];
    search->next = 1;
    return tqplat::HandleTable::Instance().Add(std::move(search));
}

BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData) {
    FindObject* search = tqplat::HandleTable::Instance().Get<FindObject>(findFile);
    if (search == nullptr || findData == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (search->next >= search->entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *findData = search->entries[search->next++];
    return TRUE;
}

BOOL FindClose(HANDLE findFile) {
    if (!tqplat::HandleTable::Instance().Close<FindObject>(findFile)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
