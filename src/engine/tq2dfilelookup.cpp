#include "engine/tq2dfilelookup.h"

#include <functional>
#include <string>
#include <vector>

#include "base/tqlog.h"
#include "engine/tq2dglobal.h"
#include "engine/tq2dpack.h"
#include "engine/tq2dpacknamescope.h"
#include "platform/win32/tqopenscope.h"
#include "platform/win32/tqpath.h"

namespace {

const char kSourcePath[] = "lib/project/dozaz2i/source/tq2dfilelookup";
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

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
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

// The paths a name is read under: its normalised key, then, for an absolute path of this system,
// that path.
std::vector<TQString> PathsOf(const char* name, const TQString& key) {
    std::vector<TQString> paths = {key};
    if (TQ2DIsSystemPath(name))
        paths.push_back(Trimmed(name));
    return paths;
}

// The folders a pack's names may be read below: the program's and the working folder.
std::vector<std::string> ResourceFolders() {
    return {tqplat::ApplicationFolder(), tqplat::WorkingFolder()};
}

void LogRefused(const char* function, const char* what, const char* name, const std::string& path) {
    g_tqLogError.SetLogInfo(kSourcePath, function, __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX
                     "Can't load %s '%s': a name read from a pack reaches only the packs and below the "
                     "program's and the working folder, not %s.",
                     what, name, path.c_str());
}

// Logs one line for function: what could not be loaded, under which name, and the disk paths tried.
void LogNotLoaded(const char* function, const char* what, const char* name, const std::string& tried) {
    g_tqLogError.SetLogInfo(kSourcePath, function, __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "Can't load %s '%s': in no pack; tried %s (names match in any case).",
                     what, name, tried.c_str());
}

// Reads name through read, under each of paths in turn, until one reads. The platform notes the
// disk paths looked for and, while the names are a pack's, refuses those outside the resource
// folders: a refusal ends the attempts, and so does a failure before the disk (a path too long, an
// entry of the device's zip packs that does not read: the device said why). One line for a failure:
// the refusal, or the paths tried (none when nothing was).
bool ReadFromDisk(const char* function, const char* what, const char* name,
                  const std::vector<TQString>& paths, const std::function<bool(const char*)>& read) {
    const bool confined = TQ2DPackNameScope::Active();
    const std::vector<std::string> folders = confined ? ResourceFolders() : std::vector<std::string>();
    std::string tried;
    for (const TQString& path : paths) {
        tqplat::OpenScope scope(confined ? &folders : nullptr);
        if (read(path))
            return true;
        if (!scope.Refused().empty()) {
            LogRefused(function, what, name, scope.Refused());
            return false;
        }
        if (scope.Tried().empty())
            break;
        for (const std::string& disk : scope.Tried())
            tried += (tried.empty() ? "" : ", ") + disk;
    }
    if (!tried.empty())
        LogNotLoaded(function, what, name, tried);
    return false;
}

} // namespace

bool TQ2DIsSystemPath(const char* name) {
    return name && tqplat::IsAbsolutePath(SkipBlanks(name));
}

bool TQ2DNamesFile(const char* what, const char* name, const char* description, const char* key) {
    const TQString trimmed = Trimmed(name ? name : "");
    if (!EndsAtAFolder(trimmed))
        return true;
    const std::string source = description ? std::string(key) + " of '" + description + "'" : "the name";
    g_tqLogError.SetLogInfo(kSourcePath, "TQ2DNamesFile", __LINE__);
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

TQString TQ2DDescriptionBase(const char* name, const TQString& key) {
    return TQ2DIsSystemPath(name) ? Trimmed(name) : key;
}

DWORD TQ2DLoadByName(const char* name, const TQString& key, DWORD (TQGfxDevice::*load)(const char*, DWORD),
                     const char* what, const char* (TQGfxDevice::*problem)() const) {
    DWORD handle = 0;
    // A file the loader found but could not read ends the attempts as a load does, with its own line.
    ReadFromDisk("TQ2DLoadByName", what, name, PathsOf(name, key), [&](const char* path) {
        if ((handle = (g_pTQ2DDevice->*load)(path, 0)) != 0)
            return true;
        const char* wrong = problem ? (g_pTQ2DDevice->*problem)() : "";
        if (*wrong)
            TQ2DLogUnreadable("TQ2DLoadByName", what, name, wrong);
        return *wrong != 0;
    });
    return handle;
}

void* TQ2DLoadResource(const char* name, DWORD* size, const char* what) {
    void* data = nullptr;
    ReadFromDisk(
        "TQ2DLoadResource", what, name, {TQString(TQ2DResourceNamePart(name))},
        [&](const char* path) { return (data = g_pTQ2DDevice->Resource_Load(path, size)) != nullptr; });
    return data;
}

bool TQ2DReadDescriptionFile(const char* name, const TQString& key, std::string* content) {
    return ReadFromDisk("TQ2DReadDescriptionFile", kDescription, name, PathsOf(name, key),
                        [&](const char* path) {
                            content->clear();
                            return tqplat::ReadWholeFile(path, content);
                        });
}

void TQ2DLogUnreadable(const char* function, const char* what, const char* name, const char* problem) {
    g_tqLogError.SetLogInfo(kSourcePath, function, __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "Can't load %s '%s': %s.", what, name, problem);
}

void TQ2DLogUnreadableSound(const char* function, const char* what, const char* name, unsigned long size) {
    const char* problem = g_pTQ2DDevice->Sound_LoadProblem();
    if (*problem)
        TQ2DLogUnreadable(function, what, name ? name : (std::to_string(size) + " bytes in memory").c_str(),
                          problem);
}
