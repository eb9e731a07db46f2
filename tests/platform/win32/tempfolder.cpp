#include "tempfolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

TempFolder::TempFolder() {
    char pattern[] = "/tmp/tqplat-XXXXXX";
    m_path = mkdtemp(pattern);
}

TempFolder::~TempFolder() {
    std::filesystem::remove_all(m_path);
}

void TempFolder::MakeFolder(const std::string& relative) const {
    std::filesystem::create_directories(m_path + "/" + relative);
}

void TempFolder::WriteFile(const std::string& relative, const std::string& contents) const {
    std::filesystem::path path = m_path + "/" + relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

std::string TempFolder::ReadFile(const std::string& relative) const {
    std::ifstream in(m_path + "/" + relative, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
