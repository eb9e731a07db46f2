// GetPrivateProfileStringA and WritePrivateProfileStringA over IniFile.
#include "platform/win32/tqinifile.h"
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqpath.h"
#include "platform/win32/tqplatformlog.h"

#include <cstring>

namespace {

// Copies text cut to the buffer, NUL-terminated; the number of characters copied.
DWORD CopyCut(const std::string& text, LPSTR buffer, DWORD size) {
    DWORD n = text.size() < size ? static_cast<DWORD>(text.size()) : size - 1;
    memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n;
}

// Copies a list of names, each NUL-terminated, then a final NUL. When the list does not fit, it is
// cut, still ends with two NULs, and the result is size - 2.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::string list;
    for (const std::string& name : names)
        list += name + '\0';
    if (list.size() + 1 <= size) {
        memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<DWORD>(list.size());
    }
    memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

std::string TrimmedDefault(LPCSTR defaultValue) {
    std::string text = defaultValue == nullptr ? "" : defaultValue;
    size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

} // namespace

DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue, LPSTR returned,
                               DWORD size, LPCSTR fileName) {
    if (returned == nullptr || size == 0)
        return 0;
    tqplat::IniFile ini;
    std::string path;
    if (fileName != nullptr && tqplat::ResolveExistingPath(fileName, &path))
        ini.Load(path);
    if (appName == nullptr)
        return CopyList(ini.SectionNames(), returned, size);
    if (keyName == nullptr)
        return CopyList(ini.KeyNames(appName), returned, size);
    std::string value;
    if (!ini.Get(appName, keyName, &value))
        value = TrimmedDefault(defaultValue);
    return CopyCut(value, returned, size);
}

BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value, LPCSTR fileName) {
    std::string path;
    if (appName == nullptr || fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!tqplat::ResolvePathForWrite(fileName, &path))
        return FALSE;
    tqplat::IniFile ini;
    ini.Load(path);
    if (keyName == nullptr)
        ini.DeleteSection(appName);
    else if (value == nullptr)
        ini.DeleteKey(appName, keyName);
    else
        ini.Set(appName, keyName, value);
    if (!ini.Save(path)) {
        tqplat::PlatformLog("WritePrivateProfileStringA: cannot write '%s'", path.c_str());
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}
