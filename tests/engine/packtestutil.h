// Helpers of the pack tests: a scratch folder, raw file bytes and the pack's on-disk numbers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

// A fresh folder below the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Absolute path of name inside the folder.
    std::string Path(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Root() const { return m_path; }

private:
    std::string m_path;
};

// Changes the working folder for as long as it lives.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& path);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::string m_previous;
};

void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);
Bytes PatternBytes(size_t count, unsigned seed);
Bytes TextBytes(const std::string& text);

uint32_t GetU32(const Bytes& bytes, size_t offset);
void PutU32(Bytes& bytes, size_t offset, uint32_t value);

// Header fields as stored: file-table offset, free-table offset, file count, free count.
struct RawHeader {
    uint32_t fileTable, freeTable, fileCount, freeCount;
    bool operator==(const RawHeader& o) const {
        return fileTable == o.fileTable && freeTable == o.freeTable && fileCount == o.fileCount &&
               freeCount == o.freeCount;
    }
};
RawHeader ReadRawHeader(const Bytes& pack);

// A record as stored at a byte position: its name (up to the NUL), offset and size.
struct RawRecord {
    std::string name;
    uint32_t offset, size;
};
RawRecord ReadRawRecord(const Bytes& pack, size_t position);
