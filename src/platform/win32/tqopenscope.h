// The reads of files that the path resolver is asked for while a scope lives: noted, and, when the
// scope confines them, kept below a set of folders.
//
// A confined read is decided on the path that would be opened, with "." and ".." resolved and a
// relative path taken from the current directory: it must lie below one of the folders (compared
// component by component, without regard to ASCII case), or it is refused before anything is
// looked up; below a folder, the resolver then starts at that folder, so it reads nothing above it.
// Symbolic links inside the folders are followed. Scopes nest (the innermost counts) and hold for
// the thread that made them.
//
// The folders a pack's names may reach are the game's own (GameFolders): the program's folder and
// the folder of every pack the game has registered or attached (GameFolder), each with everything
// below it, whatever the working folder; a folder that is a file-system root, the home folder or
// above it is never one of them.
#pragma once

#include <string>
#include <vector>

namespace tqplat {

class OpenScope {
public:
    // Notes every read; with folders (absolute UTF-8 paths; others are left out), also keeps them
    // below those folders. A scope inside a confining one confines as that one does (so a scope
    // never widens what may be read).
    explicit OpenScope(const std::vector<std::string>* folders = nullptr);
    // Notes every read and, when gameFolders, keeps them below the game's folders (GameFolders):
    // the scope of reading the names a pack holds.
    explicit OpenScope(bool gameFolders);
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
    // else from the current directory, which could not be read) may go on. When it may and the
    // scope confines, *start is the number of leading components that name a folder of the scope and
    // *folder that folder's own spelling: the resolver starts there (else *start is 0 and *folder is
    // left as it is). A confining scope admits no path that is not rooted. Notes the path as tried
    // or refused.
    bool Admit(const std::vector<std::string>& components, bool rooted, size_t* start, std::string* folder);

private:
    // Confines the reads below folders.
    void Keep(const std::vector<std::string>& folders);

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

// Registers, for its lifetime, the folder of the file the engine path names (GBK, relative to the
// working folder) as a game folder: one a pack or zip pack lies in. Nothing when the file cannot be
// found. Registrations of the same folder count; any thread.
class GameFolder {
public:
    explicit GameFolder(const char* filePath);
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

private:
    std::string m_folder; // absolute UTF-8; empty when none was registered
};

// The game's folders, absolute UTF-8 paths: the program's and each registered GameFolder, less any
// that is a file-system root, the home folder or a folder above it.
std::vector<std::string> GameFolders();

// The components of an absolute or relative UTF-8 path of this system: split at "/", empty and "."
// components dropped, ".." taking away the one before it (or kept at the start of a relative path).
std::vector<std::string> SystemPathComponents(const std::string& path);

} // namespace tqplat
