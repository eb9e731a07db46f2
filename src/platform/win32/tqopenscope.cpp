#include "platform/win32/tqopenscope.h"

#include "platform/win32/tqpath.h"

#include <pwd.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace tqplat {
namespace {

thread_local OpenScope* g_pCurrent = nullptr; // scopes are per thread

std::string Joined(const std::vector<std::string>& components, bool rooted = true) {
    std::string path;
    for (const std::string& component : components)
        path += (path.empty() && !rooted ? "" : "/") + component;
    return path.empty() ? (rooted ? "/" : ".") : path;
}

// True when folder's components begin components, without regard to ASCII case.
bool Holds(const std::vector<std::string>& folder, const std::vector<std::string>& components) {
    if (folder.size() > components.size())
        return false;
    for (size_t i = 0; i < folder.size(); ++i) {
        if (strcasecmp(folder[i].c_str(), components[i].c_str()) != 0)
            return false;
    }
    return true;
}

// Registered game folders, one entry per registration.
std::mutex g_gameFoldersLock;
std::vector<std::string> g_gameFolders;

// The home folders of the user: $HOME and the password database's (read once).
std::vector<std::vector<std::string>> HomeFolders() {
    static const std::string database = [] {
        const struct passwd* user = getpwuid(getuid());
        return std::string(user && user->pw_dir ? user->pw_dir : "");
    }();
    std::vector<std::vector<std::string>> homes;
    for (const char* home : std::vector<const char*>{getenv("HOME"), database.c_str()}) {
        if (home && home[0] == '/')
            homes.push_back(SystemPathComponents(home));
    }
    return homes;
}

// A folder that holds a whole home (a root, the home folder, a folder above it) is no game's own.
bool HoldsAHome(const std::vector<std::string>& folder, const std::vector<std::vector<std::string>>& homes) {
    return folder.empty() ||
           std::any_of(homes.begin(), homes.end(),
                       [&](const std::vector<std::string>& home) { return Holds(folder, home); });
}

} // namespace

GameFolder::GameFolder(const char* filePath) {
    std::string resolved;
    if (!ResolveExistingPath(filePath, &resolved))
        return;
    if (resolved[0] != '/')
        resolved = WorkingFolder() + resolved;
    m_folder = Joined(SystemPathComponents(resolved + "/.."));
    const std::lock_guard<std::mutex> lock(g_gameFoldersLock);
    g_gameFolders.push_back(m_folder);
}

GameFolder::~GameFolder() {
    if (m_folder.empty())
        return;
    const std::lock_guard<std::mutex> lock(g_gameFoldersLock);
    g_gameFolders.erase(std::find(g_gameFolders.begin(), g_gameFolders.end(), m_folder));
}

std::vector<std::string> GameFolders() {
    std::vector<std::string> candidates = {ApplicationFolder()};
    {
        const std::lock_guard<std::mutex> lock(g_gameFoldersLock);
        candidates.insert(candidates.end(), g_gameFolders.begin(), g_gameFolders.end());
    }
    const std::vector<std::vector<std::string>> homes = HomeFolders();
    std::vector<std::string> folders;
    for (const std::string& folder : candidates) {
        if (folder[0] == '/' && !HoldsAHome(SystemPathComponents(folder), homes) &&
            std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    return folders;
}

std::vector<std::string> SystemPathComponents(const std::string& path) {
    std::vector<std::string> components;
    const bool absolute = !path.empty() && path[0] == '/';
    size_t begin = 0;
    while (begin <= path.size()) {
        size_t end = path.find('/', begin);
        if (end == std::string::npos)
            end = path.size();
        AddPathComponent(&components, absolute, path.substr(begin, end - begin));
        begin = end + 1;
    }
    return components;
}

OpenScope::OpenScope(const std::vector<std::string>* folders) : m_bConfines(false), m_pOuter(g_pCurrent) {
    if (folders) {
        Keep(*folders);
    } else if (m_pOuter && m_pOuter->m_bConfines) {
        m_bConfines = true;
        m_folders = m_pOuter->m_folders;
    }
    g_pCurrent = this;
}

OpenScope::OpenScope(bool gameFolders) : OpenScope(nullptr) {
    if (gameFolders)
        Keep(GameFolders());
}

void OpenScope::Keep(const std::vector<std::string>& folders) {
    m_bConfines = true;
    m_folders.clear();
    for (const std::string& folder : folders) {
        if (!folder.empty() && folder[0] == '/')
            m_folders.push_back({Joined(SystemPathComponents(folder)), SystemPathComponents(folder)});
    }
}

OpenScope::~OpenScope() {
    g_pCurrent = m_pOuter;
}

OpenScope* OpenScope::Current() {
    return g_pCurrent;
}

bool OpenScope::Admit(const std::vector<std::string>& components, bool rooted, size_t* start,
                      std::string* folder) {
    const std::string path = Joined(components, rooted);
    *start = 0;
    if (m_bConfines) {
        const Folder* holder = nullptr;
        for (const Folder& candidate : m_folders) {
            if (rooted && Holds(candidate.components, components))
                holder = &candidate;
        }
        if (!holder) {
            m_refused = path;
            return false;
        }
        *start = holder->components.size();
        *folder = holder->path;
    }
    m_tried.push_back(path);
    return true;
}

} // namespace tqplat
