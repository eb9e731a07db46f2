#include "engine/packtestutil.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tqpack-XXXXXX").string();
    if (!mkdtemp(&pattern[0]))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, error);
    std::filesystem::remove_all(m_path, error);
}

WorkingFolder::WorkingFolder(const std::string& path) : m_previous(std::filesystem::current_path().string()) {
    std::filesystem::current_path(path);
}

WorkingFolder::~WorkingFolder() {
    std::error_code error;
    std::filesystem::current_path(m_previous, error);
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes PatternBytes(size_t count, unsigned seed) {
    Bytes bytes(count);
    uint32_t state = seed * 2654435761u + 1;
    for (unsigned char& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<unsigned char>(state >> 23);
    }
    return bytes;
}

Bytes TextBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

uint32_t GetU32(const Bytes& bytes, size_t offset) {
    return uint32_t(bytes.at(offset)) | uint32_t(bytes.at(offset + 1)) << 8 |
           uint32_t(bytes.at(offset + 2)) << 16 | uint32_t(bytes.at(offset + 3)) << 24;
}

void PutU32(Bytes& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<unsigned char>(value >> (8 * i));
}

RawHeader ReadRawHeader(const Bytes& pack) {
    return RawHeader{GetU32(pack, 4), GetU32(pack, 8), GetU32(pack, 12), GetU32(pack, 16)};
}

RawRecord ReadRawRecord(const Bytes& pack, size_t position) {
    std::string name(reinterpret_cast<const char*>(&pack.at(position)));
    return RawRecord{name.substr(0, 128), GetU32(pack, position + 128), GetU32(pack, position + 132)};
}
