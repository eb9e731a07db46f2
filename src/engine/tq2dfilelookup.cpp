#include "engine/tq2dfilelookup.h"

#include <string>

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

// True when a ".." component takes the path above the folder it starts at.
bool ClimbsAboveStart(const char* path) {
    int depth = 0;
    while (*path) {
        const char* end = path;
        while (*end && !IsSeparator(*end))
            ++end;
        const std::string component(path, end);
        if (component == "..")
            --depth;
        else if (!component.empty() && component != ".")
            ++depth;
        if (depth < 0)
            return true;
        path = *end ? end + 1 : end;
    }
    return false;
}

} // namespace

bool TQ2DIsSystemPath(const char* name) {
    return name && *SkipBlanks(name) == '/';
}

bool TQ2DRefuseDiskPath(const char* what, const char* name, const char* path) {
    if (!TQ2DPackNameScope::Active() || (!StartsAtSystemRoot(path) && !ClimbsAboveStart(path)))
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
                     const char* what) {
    if (TQ2DRefuseDiskPath(what, name, key))
        return 0;
    DWORD handle = (g_pTQ2DDevice->*load)(key, 0);
    if (handle)
        return handle;
    std::string tried = PathBelow(tqplat::ApplicationFolder(), key);
    if (TQ2DIsSystemPath(name)) {
        const TQString path = Trimmed(name);
        if (TQ2DRefuseDiskPath(what, name, path))
            return 0;
        if ((handle = (g_pTQ2DDevice->*load)(path, 0)) != 0)
            return handle;
        tried += std::string(", ") + path.GetString();
    }
    TQ2DLogNotLoaded("TQ2DLoadByName", what, name, tried);
    return 0;
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

void TQ2DLogNotLoaded(const char* function, const char* what, const char* name, const std::string& tried) {
    g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dfilelookup", function, __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "Can't load %s '%s': in no pack; tried %s (names match in any case).",
                     what, name, tried.c_str());
}
