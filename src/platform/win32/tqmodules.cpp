// Modules: the running program, modules built into the platform layer and shared objects loaded at
// run time, behind GetModuleHandleA, GetModuleFileNameA, LoadLibraryA, GetProcAddress and
// FreeLibrary.
#include "platform/win32/tqmodules.h"

#include "platform/codepage/tqcodepage.h"
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqpath.h"
#include "platform/win32/tqplatformlog.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>

namespace tqplat {
namespace {

struct Module {
    std::string key;          // lower-case file name as asked for ("imm32.dll")
    std::string path;         // UTF-8 path of a shared object; the key for the others
    BuiltinProcLookup lookup; // built-in module
    void* library;            // shared object (dlopen handle)
    int references;
};

// The program's own module has a fixed handle; loaded modules get values that are never reused.
const uintptr_t kProgramModule = 0x400000;

class ModuleTable {
public:
    static ModuleTable& Instance() {
        static ModuleTable table;
        return table;
    }

    std::mutex mutex;
    std::map<std::string, BuiltinProcLookup> builtins;
    std::map<uintptr_t, Module> loaded;
    uintptr_t next = kProgramModule;

    HMODULE Add(const Module& module) {
        next += 0x10000;
        loaded[next] = module;
        return reinterpret_cast<HMODULE>(next);
    }

    HMODULE FindLoaded(bool (*same)(const Module&, const void*), const void* what) {
        for (auto& entry : loaded) {
            if (same(entry.second, what)) {
                ++entry.second.references;
                return reinterpret_cast<HMODULE>(entry.first);
            }
        }
        return nullptr;
    }

    Module* Get(HMODULE module) {
        auto it = loaded.find(reinterpret_cast<uintptr_t>(module));
        return it == loaded.end() ? nullptr : &it->second;
    }
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return tolower(c); });
    return text;
}

bool EndsWith(const std::string& text, const char* suffix) {
    size_t n = strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

// "name.dll" (or "name") becomes "libname.so"; the audio library's name becomes our audio module.
std::string SharedObjectName(const std::string& key) {
    std::string stem = EndsWith(key, ".dll") ? key.substr(0, key.size() - 4) : key;
    if (stem == "bass")
        stem = "tqaudio";
    return "lib" + stem + ".so";
}

// Folder of the shared object (or program) that holds the platform layer, with a trailing '/'.
std::string PlatformFolder() {
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&SharedObjectName), &info) == 0 || info.dli_fname == nullptr)
        return std::string();
    std::string path = info.dli_fname;
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void* OpenShared(const std::string& path, std::string* opened) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library != nullptr)
        *opened = path;
    return library;
}

// Application folder, then the platform layer's folder, then the default search.
void* OpenByName(const std::string& fileName, std::string* opened) {
    for (const std::string& folder : {ApplicationFolder(), PlatformFolder()}) {
        if (!folder.empty() && access((folder + fileName).c_str(), F_OK) == 0)
            if (void* library = OpenShared(folder + fileName, opened))
                return library;
    }
    return OpenShared(fileName, opened);
}

// A name without a folder is searched for (a ".so" name as given, "name.dll" mapped); a name with
// a folder is loaded from that folder through the resolver.
void* OpenModuleFile(const char* name, const std::string& key, std::string* opened) {
    std::string folder, base;
    SplitFolderAndName(name, &folder, &base);
    bool sharedObjectName = EndsWith(key, ".so") || key.find(".so.") != std::string::npos;
    std::string fileName = sharedObjectName ? base : SharedObjectName(key);
    if (folder.empty())
        return OpenByName(fileName, opened);
    std::string path;
    if (!ResolveExistingPath((folder + fileName).c_str(), &path))
        return nullptr;
    return OpenShared(path.find('/') == std::string::npos ? "./" + path : path, opened);
}

bool SameLibrary(const Module& module, const void* library) {
    return module.library == library;
}

bool SameKey(const Module& module, const void* key) {
    return module.key == *static_cast<const std::string*>(key);
}

std::string BaseKey(const char* name) {
    std::string folder, base;
    SplitFolderAndName(name, &folder, &base);
    return Lower(base);
}

// A UTF-8 file-system path as the engine sees paths: GBK with '\' separators.
std::string EnginePath(const std::string& utf8) {
    std::string gbk = Utf8ToGbk(utf8);
    for (size_t i = 0; i < gbk.size();) {
        size_t n = GbkCharLength(reinterpret_cast<const unsigned char*>(gbk.data() + i), gbk.size() - i);
        if (gbk[i] == '/')
            gbk[i] = '\\';
        i += n;
    }
    return gbk;
}

} // namespace

void RegisterBuiltinModule(const char* name, BuiltinProcLookup lookup) {
    if (name == nullptr || lookup == nullptr)
        return;
    ModuleTable& table = ModuleTable::Instance();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.builtins[Lower(name)] = lookup;
}

} // namespace tqplat

using tqplat::Module;
using tqplat::ModuleTable;

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName == nullptr)
        return reinterpret_cast<HMODULE>(tqplat::kProgramModule);
    ModuleTable& table = ModuleTable::Instance();
    std::lock_guard<std::mutex> lock(table.mutex);
    std::string key = tqplat::BaseKey(moduleName);
    for (auto& entry : table.loaded) {
        if (entry.second.key == key)
            return reinterpret_cast<HMODULE>(entry.first);
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    std::string path;
    if (module == nullptr || module == reinterpret_cast<HMODULE>(tqplat::kProgramModule)) {
        path = tqplat::EnginePath(tqplat::ProgramPath());
    } else {
        ModuleTable& table = ModuleTable::Instance();
        std::lock_guard<std::mutex> lock(table.mutex);
        Module* found = table.Get(module);
        if (found == nullptr) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return 0;
        }
        path = found->library != nullptr ? tqplat::EnginePath(found->path) : found->key;
    }
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() >= size) {
        memcpy(fileName, path.data(), size - 1);
        fileName[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    memcpy(fileName, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

HMODULE LoadLibraryA(LPCSTR fileName) {
    if (fileName == nullptr || fileName[0] == '\0' || strnlen(fileName, MAX_PATH) >= MAX_PATH) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ModuleTable& table = ModuleTable::Instance();
    std::lock_guard<std::mutex> lock(table.mutex);
    std::string key = tqplat::BaseKey(fileName);
    auto builtin = table.builtins.find(key);
    if (builtin != table.builtins.end()) {
        if (HMODULE loaded = table.FindLoaded(tqplat::SameKey, &key))
            return loaded;
        return table.Add(Module{key, key, builtin->second, nullptr, 1});
    }
    std::string opened;
    void* library = tqplat::OpenModuleFile(fileName, key, &opened);
    if (library == nullptr) {
        const char* error = dlerror();
        tqplat::PlatformLog("LoadLibraryA: '%s' not found%s%s", fileName, error ? ": " : "",
                            error ? error : "");
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (HMODULE loaded = table.FindLoaded(tqplat::SameLibrary, library)) {
        dlclose(library); // the module record holds one reference of its own
        return loaded;
    }
    return table.Add(Module{key, opened, nullptr, library, 1});
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    // Names only: a value below 0x10000 would be an ordinal, which no module here has.
    if (procName == nullptr || reinterpret_cast<uintptr_t>(procName) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    ModuleTable& table = ModuleTable::Instance();
    std::unique_lock<std::mutex> lock(table.mutex);
    Module* found = table.Get(module);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    FARPROC proc = found->lookup != nullptr ? found->lookup(procName)
                                            : reinterpret_cast<FARPROC>(dlsym(found->library, procName));
    if (proc == nullptr)
        SetLastError(ERROR_PROC_NOT_FOUND);
    return proc;
}

BOOL FreeLibrary(HMODULE module) {
    ModuleTable& table = ModuleTable::Instance();
    std::lock_guard<std::mutex> lock(table.mutex);
    Module* found = table.Get(module);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--found->references > 0)
        return TRUE;
    if (found->library != nullptr)
        dlclose(found->library);
    table.loaded.erase(reinterpret_cast<uintptr_t>(module));
    return TRUE;
}
