// The reads of files that the path resolver is asked for while a scope lives: noted, and, when the
// scope confines them, kept below a set of folders.
//
// A confined read is decided on the path that would be opened, with "." and ".." resolved and a
// relative path taken from the current directory: it must lie below one of the folders (compared
// component by component, without regard to ASCII case), or it is refused before anything is
// looked up; below a folder, the resolver then starts at that folder, so it reads nothing above it.
// Symbolic links inside the folders are followed. Scopes nest (the innermost counts) and hold for
// the thread that made them.
#pragma once

#include <string>
#include <vector>

namespace tqplat {

class OpenScope {
public:
    // Notes every read; with folders (absolute UTF-8 paths; others are left out), also keeps them
    // below those folders.
    explicit OpenScope(const std::vector<std::string>* folders = nullptr);
    ~OpenScope();
    OpenScope(const OpenScope&) = delete;
    OpenScope& operator=(const OpenScope&) = delete;

    // The innermost scope, or NULL.
    static OpenScope* Current();

    // The absolute paths looked for, in order ("/"-separated, "." and ".." resolved).
    const std::vector<std::string>& Tried() const { return m_tried; }
    // The absolute path last refused; empty when none was.
    const std::string& Refused() const { return m_refused; }

    // For the resolver: whether a read of the path (its components; from the root when rooted,
    // else from the current directory, which could not be read) may go on. When it may, *start is
    // the number of leading components that name a folder of the scope (0 when the scope does not
    // confine) and *folder that folder's own spelling ("/", or "" for a path not rooted); the
    // resolver starts there. A confining scope admits no path that is not rooted. Notes the path as
    // tried or refused.
    bool Admit(const std::vector<std::string>& components, bool rooted, size_t* start, std::string* folder);

private:
    struct Folder {
        std::string path;
        std::vector<std::string> components;
    };
    bool m_bConfines;
    std::vector<Folder> m_folders;
    std::vector<std::string> m_tried;
    std::string m_refused;
    OpenScope* m_pOuter;
};

// The components of an absolute or relative UTF-8 path of this system: split at "/", empty and "."
// components dropped, ".." taking away the one before it (or kept at the start of a relative path).
std::vector<std::string> SystemPathComponents(const std::string& path);

} // namespace tqplat
