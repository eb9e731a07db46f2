#include "platform/win32/tqopenscope.h"

#include "platform/win32/tqpath.h"

#include <strings.h>

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

} // namespace

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

OpenScope::OpenScope(const std::vector<std::string>* folders)
    : m_bConfines(folders != nullptr), m_pOuter(g_pCurrent) {
    if (folders) {
        for (const std::string& folder : *folders) {
            if (!folder.empty() && folder[0] == '/')
                m_folders.push_back({Joined(SystemPathComponents(folder)), SystemPathComponents(folder)});
        }
    }
    g_pCurrent = this;
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
    folder->assign(rooted ? "/" : components.empty() ? "." : "");
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
