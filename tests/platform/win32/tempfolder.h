// A fresh temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // UTF-8 path of the folder, without a trailing '/'.
    const std::string& Path() const { return m_path; }
    // Creates a file (and its folders) below the folder, `relative` in UTF-8 with '/'.
    void WriteFile(const std::string& relative, const std::string& contents) const;
    void MakeFolder(const std::string& relative) const;
    std::string ReadFile(const std::string& relative) const;

private:
    std::string m_path;
};
