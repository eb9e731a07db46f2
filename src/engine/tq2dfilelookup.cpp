#include "engine/tq2dfilelookup.h"

#include <string>
#include <vector>

#include "base/tqlog.h"
#include "engine/tq2dglobal.h"
#include "engine/tq2dpacknamescope.h"
#include "platform/win32/tqpath.h"

namespace {

const char kDescription[] = "description file";

const char* SkipBlanks(const char* name) {
    while (*name == ' ' || *name == '\t')
        ++name;
    return name;
}

// The name as a game wrote it, without surrounding blanks.
TQString Trimmed(const char* name) {
    TQString trimmed(name);
    trimmed.Trim();
    return trimmed;
}

// A relative name as a path of the file system below folder ("/"-separated, for messages).
std::string PathBelow(const std::string& folder, const char* name) {
    std::string path = folder + name;
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    return path;
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

bool StartsAtSystemRoot(const char* name) {
    return IsSeparator(*SkipBlanks(name));
}

// True when name is empty or its last component is a folder: it ends in a separator, "." or "..".
bool EndsAtAFolder(const TQString& name) {
    const char* text = name.GetString();
    const char* last = text + name.GetLength();
    while (last > text && !IsSeparator(last[-1]))
        --last;
    const std::string component(last);
    return component.empty() || component == "." || component == "..";
}

// The disk path tried for a relative name the device resolves (below the program's folder), or
// the absolute path itself.
std::string DeviceTried(const char* name) {
    return TQ2DIsSystemPath(name) ? std::string(Trimmed(name).GetString())
                                  : PathBelow(tqplat::ApplicationFolder(), name);
}

} // namespace

bool TQ2DIsSystemPath(const char* name) {
    return name && *SkipBlanks(name) == '/';
}

bool TQ2DNamesFile(const char* what, const char* name, const char* description, const char* key) {
    const TQString trimmed = Trimmed(name ? name : "");
    if (!EndsAtAFolder(trimmed))
        return true;
    const std::string source = description ? std::string(key) + " of '" + description + "'" : "the name";
    g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dfilelookup", "TQ2DNamesFile", __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "Can't load %s '%s': %s names no file (it is empty or a folder).",
                     what, trimmed.GetString(), source.c_str());
    return false;
}

bool TQ2DResolveDots(const char* name, std::string* resolved) {
    std::vector<std::string> components;
    while (*name) {
        const char* end = name;
        while (*end && !IsSeparator(*end))
            ++end;
        const std::string component(name, end);
        if (component == "..") {
            if (components.empty())
                return false;
            components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        name = *end ? end + 1 : end;
    }
    resolved->clear();
    for (const std::string& component : components)
        *resolved += (resolved->empty() ? "" : "/") + component;
    return true;
}

bool TQ2DRefuseDiskPath(const char* what, const char* name, const char* path) {
    std::string resolved;
    if (!TQ2DPackNameScope::Active() || (!StartsAtSystemRoot(path) && TQ2DResolveDots(path, &resolved)))
        return false;
    g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dfilelookup", "TQ2DRefuseDiskPath", __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX
                     "Can't load %s '%s': a name read from a pack reaches only the packs and "
                     "below the resource folder, not %s.",
                     what, name, path);
    return true;
}

TQString TQ2DDescriptionBase(const char* name, const TQString& key) {
    return TQ2DIsSystemPath(name) ? Trimmed(name) : key;
}

DWORD TQ2DLoadByName(const char* name, const TQString& key, DWORD (TQGfxDevice::*load)(const char*, DWORD),
                     const char* what, const char* (TQGfxDevice::*problem)() const) {
    if (TQ2DRefuseDiskPath(what, name, key))
        return 0;
    // True, after its line, when the loader found the file and could not read it.
    auto unreadable = [&]() {
        const char* wrong = problem ? (g_pTQ2DDevice->*problem)() : "";
        if (!*wrong)
            return false;
        TQ2DLogUnreadable("TQ2DLoadByName", what, name, wrong);
        return true;
    };
    DWORD handle = (g_pTQ2DDevice->*load)(key, 0);
    if (handle || unreadable())
        return handle;
    std::string tried = DeviceTried(key);
    if (TQ2DIsSystemPath(name)) {
        const TQString path = Trimmed(name);
        if (TQ2DRefuseDiskPath(what, name, path))
            return 0;
        if ((handle = (g_pTQ2DDevice->*load)(path, 0)) != 0 || unreadable())
            return handle;
        tried += std::string(", ") + path.GetString();
    }
    TQ2DLogNotLoaded("TQ2DLoadByName", what, name, tried);
    return 0;
}

void* TQ2DLoadResource(const char* name, DWORD* size, const char* what) {
    if (TQ2DRefuseDiskPath(what, name, name))
        return nullptr;
    if (void* data = g_pTQ2DDevice->Resource_Load(name, size))
        return data;
    TQ2DLogNotLoaded("TQ2DLoadResource", what, name, DeviceTried(name));
    return nullptr;
}

bool TQ2DReadDescriptionFile(const char* name, const TQString& key, std::string* content) {
    if (TQ2DRefuseDiskPath(kDescription, name, key))
        return false;
    if (tqplat::ReadWholeFile(key, content))
        return true;
    std::string tried = PathBelow(tqplat::WorkingFolder(), key);
    if (TQ2DIsSystemPath(name)) {
        const TQString path = Trimmed(name);
        if (TQ2DRefuseDiskPath(kDescription, name, path))
            return false;
        content->clear();
        if (tqplat::ReadWholeFile(path, content))
            return true;
        tried += std::string(", ") + path.GetString();
    }
    TQ2DLogNotLoaded("TQ2DReadDescriptionFile", kDescription, name, tried);
    return false;
}

void TQ2DLogUnreadable(const char* function, const char* what, const char* name, const char* problem) {
    g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dfilelookup", function, __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "Can't load %s '%s': %s.", what, name, problem);
}

void TQ2DLogNotLoaded(const char* function, const char* what, const char* name, const std::string& tried) {
    g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dfilelookup", function, __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "Can't load %s '%s': in no pack; tried %s (names match in any case).",
                     what, name, tried.c_str());
}

void TQ2DLogUnreadableSound(const char* function, const char* what, const char* name, unsigned long size) {
    const char* problem = g_pTQ2DDevice->Sound_LoadProblem();
    if (*problem)
        TQ2DLogUnreadable(function, what, name ? name : (std::to_string(size) + " bytes in memory").c_str(),
                          problem);
}
