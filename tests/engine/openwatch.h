// Watches the files the process opens: open, open64, openat, openat64, fopen, fopen64 and opendir
// are interposed (in the program that links openwatch.cpp), and while an OpenWatch lives every path
// they are given that lies outside its folders is noted. Paths are compared component by component
// after "." and ".." are resolved, a relative one taken from the working folder (or, for openat,
// from the folder its descriptor names). One thread; watches do not nest.
#pragma once

#include <string>
#include <vector>

class OpenWatch {
public:
    // folders: absolute paths.
    explicit OpenWatch(const std::vector<std::string>& folders);
    ~OpenWatch();
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    // The paths opened outside the folders, as they were given, with the function given them.
    const std::vector<std::string>& Outside() const { return m_outside; }

    // For the interposed functions: notes path when it lies outside the folders of the live watch.
    static void Check(const char* function, int dirfd, const char* path);

private:
    std::vector<std::vector<std::string>> m_folders;
    std::vector<std::string> m_outside;
};
