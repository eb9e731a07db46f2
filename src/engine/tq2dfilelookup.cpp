#include "engine/tq2dfilelookup.h"

#include <functional>
#include <string>
#include <vector>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/tqlog.h"
#include "base/tqlogname.h"
#include "engine/tq2dglobal.h"
#include "engine/tq2dpack.h"
#include "engine/tq2dpacknamescope.h"
#include "platform/win32/tqkernel32.h"
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

void LogRefused(const char* function, const char* what, const char* name, const std::string& path) {
    g_tqLogError.SetLogInfo(kSourcePath, function, __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "Can't load %s '%s': %s.", what, TQLogShortName(name).c_str(),
                     TQLogPackNameRefusal(path).c_str());
}

// Logs one line for function: what could not be loaded, under which name, and the disk paths tried.
void LogNotLoaded(const char* function, const char* what, const char* name, const std::string& tried) {
    g_tqLogError.SetLogInfo(kSourcePath, function, __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "Can't load %s '%s': in no pack; tried %s (names match in any case).",
                     what, TQLogShortName(name).c_str(), tried.c_str());
}

// Reads name through read, under each of paths in turn, until one reads. The platform notes the
// disk paths looked for and, while the names are a pack's, refuses those outside the game's
// folders: a refusal ends the attempts, and so does a failure before the disk (a path too long)
// and a file found that cannot be read (read sets the problem). One line for a failure: the
// refusal, the problem, or the paths tried (none when nothing was).
bool ReadFromDisk(const char* function, const char* what, const char* name,
                  const std::vector<TQString>& paths,
                  const std::function<bool(const char* path, std::string* problem)>& read) {
    std::string tried;
    for (const TQString& path : paths) {
        // Noted, and kept to the game's folders while the names are a pack's.
        const tqplat::OpenScope scope(TQ2DPackNameScope::Active());
        std::string problem;
        if (read(path, &problem))
            return true;
        if (!scope.Refused().empty()) {
            LogRefused(function, what, name, scope.Refused());
            return false;
        }
        if (!problem.empty()) {
            TQ2DLogUnreadable(function, what, name, problem.c_str());
            return false;
        }
        if (scope.Tried().empty())
            break;
        for (const std::string& disk : scope.Tried())
            tried += (tried.empty() ? "" : ", ") + TQLogShortSystemPath(disk);
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
                     what, TQLogShortName(trimmed).c_str(), source.c_str());
    return false;
}

TQString TQ2DDescriptionBase(const char* name, const TQString& key) {
    return TQ2DIsSystemPath(name) ? Trimmed(name) : key;
}

bool TQ2DFindFile(const char* name, const TQString& key, const char* what, TQ2DFoundFile* file) {
    file->identity = TQ2DPackEntryOf(key);
    file->packName = key;
    file->device = TQGfxDevice::FoundResource();
    if (!file->identity.empty())
        return true;
    return g_pTQ2DDevice &&
           ReadFromDisk("TQ2DFindFile", what, name, PathsOf(name, key), [&](const char* path, std::string*) {
               if (g_pTQ2DDevice->Resource_Find(path, &file->device) == TQGfxDevice::kResourceNone)
                   return false;
               file->identity = file->device.identity;
               return true;
           });
}

bool TQ2DReadFound(const char* name, const TQ2DFoundFile& file, const char* what, TQString* bytes) {
    const char* problem = "its pack could not give it";
    if (file.device.kind == TQGfxDevice::kResourceNone) {
        if (TQ2DPackGetFile(file.packName, *bytes))
            return true;
    } else {
        DWORD size = 0;
        void* data = g_pTQ2DDevice->Resource_Read(file.device, &size);
        const bool copied = data && bytes->SetBuffer(size);
        if (copied)
            std::memcpy(bytes->GetBuffer(), data, size);
        g_pTQ2DDevice->Resource_Free(data);
        if (copied)
            return true;
        problem = data ? "out of memory" : g_pTQ2DDevice->Resource_LoadProblem();
        if (!*problem)
            problem = "it could not be read";
    }
    TQ2DLogUnreadable("TQ2DReadFound", what, name, problem);
    return false;
}

void* TQ2DLoadResource(const char* name, DWORD* size, const char* what) {
    void* data = nullptr;
    ReadFromDisk("TQ2DLoadResource", what, name, {TQString(TQ2DResourceNamePart(name))},
                 [&](const char* path, std::string* problem) {
                     data = g_pTQ2DDevice->Resource_Load(path, size);
                     *problem = g_pTQ2DDevice->Resource_LoadProblem();
                     return data != nullptr;
                 });
    return data;
}

bool TQ2DReadDescriptionFile(const char* name, const TQString& key, std::string* content) {
    return ReadFromDisk("TQ2DReadDescriptionFile", kDescription, name, PathsOf(name, key),
                        [&](const char* path, std::string* problem) {
                            std::string resolved;
                            if (!tqplat::ResolvePathToOpen(path, false, &resolved)) {
                                if (GetLastError() == ERROR_FILENAME_EXCED_RANGE)
                                    *problem = "its path is too long";
                                return false;
                            }
                            size_t size = 0;
                            void* data = tqplat::ReadResolvedFile(resolved, content->max_size(), &size);
                            if (!data) {
                                *problem = tqplat::WhyNotRead(errno);
                                return false;
                            }
                            content->assign(static_cast<const char*>(data), size);
                            std::free(data);
                            return true;
                        });
}

void TQ2DLogUnreadable(const char* function, const char* what, const char* name, const char* problem) {
    g_tqLogError.SetLogInfo(kSourcePath, function, __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "Can't load %s '%s': %s.", what, TQLogShortName(name).c_str(),
                     problem);
}

void TQ2DLogUnreadableSound(const char* function, const char* what, const char* name, unsigned long size) {
    const char* problem = g_pTQ2DDevice->Sound_LoadProblem();
    if (*problem)
        TQ2DLogUnreadable(function, what, name ? name : (std::to_string(size) + " bytes in memory").c_str(),
                          problem);
}
