#include "engine/cmorvainepack.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "base/tqlog.h"
#include "engine/cmorvaineencryptfile.h"
#include "platform/codepage/tqcodepage.h"
#include "platform/win32/tqpath.h"

TQ_IMPLEMENT_MEMORY_POOL(CMorvainePack)

namespace {

const char kSourcePath[] = "lib/project/dozaz2i/source/cmorvainepack";
// Line reported for an exception caught while a pack is opened.
const int kSetPackageExceptionLine = 324;
const char kMagic[4] = {'M', 'O', 'R', 'V'};
// Deciphering goes straight into the cached buffer in large chunks (the output does not depend on
// the chunk size); enciphering reads the source in the usual 512-byte chunks.
const unsigned kDecipherChunk = 64 * 1024;
const unsigned kEncipherChunk = 512;
const uint64_t kMaxPackSize = 0xFFFFFFFFull;
// "Open error, please retry...", printed when a source file cannot be opened.
const char kOpenErrorMessage[] = "\xb4\xf2\xbf\xaa\xb4\xed\xce\xf3\xa3\xac\xc7\xeb\xd6\xd8\xca\xd4...\n";

void LogError(const char* function, int line, const char* format, ...) __attribute__((format(printf, 3, 4)));

void LogError(const char* function, int line, const char* format, ...) {
    g_tqLogError.SetLogInfo(kSourcePath, function, line);
    va_list args;
    va_start(args, format);
    g_tqLogError.LogV(format, args);
    va_end(args);
}

void PutU32(unsigned char* p, DWORD value) {
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
    p[2] = static_cast<unsigned char>(value >> 16);
    p[3] = static_cast<unsigned char>(value >> 24);
}

DWORD GetU32(const unsigned char* p) {
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}

void EncodeHeader(const tagMorvainePackHeader& header, unsigned char* out) {
    std::memcpy(out, header.szMagic, 4);
    PutU32(out + 4, header.dwFileTableOffset);
    PutU32(out + 8, header.dwFreeTableOffset);
    PutU32(out + 12, header.dwFileCount);
    PutU32(out + 16, header.dwFreeCount);
}

tagMorvainePackHeader DecodeHeader(const unsigned char* in) {
    tagMorvainePackHeader header;
    std::memcpy(header.szMagic, in, 4);
    header.dwFileTableOffset = GetU32(in + 4);
    header.dwFreeTableOffset = GetU32(in + 8);
    header.dwFileCount = GetU32(in + 12);
    header.dwFreeCount = GetU32(in + 16);
    return header;
}

void EncodeRecord(const tagMorvainePackFileInfo& record, unsigned char* out) {
    std::memcpy(out, record.szName, sizeof(record.szName));
    PutU32(out + 128, record.dwOffset);
    PutU32(out + 132, record.dwSize);
}

tagMorvainePackFileInfo DecodeRecord(const unsigned char* in) {
    tagMorvainePackFileInfo record;
    std::memcpy(record.szName, in, sizeof(record.szName));
    record.dwOffset = GetU32(in + 128);
    record.dwSize = GetU32(in + 132);
    return record;
}

tagMorvainePackHeader EmptyPackHeader() {
    tagMorvainePackHeader header;
    std::memcpy(header.szMagic, kMagic, 4);
    header.dwFileTableOffset = MORVAINE_PACK_HEADER_SIZE;
    header.dwFreeTableOffset = MORVAINE_PACK_HEADER_SIZE;
    header.dwFileCount = 0;
    header.dwFreeCount = 0;
    return header;
}

bool IsSlash(char c) {
    return c == '\\' || c == '/';
}

// Copies a caller's name into a record-sized buffer and normalises it; over-long names are refused.
bool CopyName(const char* name, char (&normalized)[128], const char* function) {
    if (!name)
        return false;
    const size_t length = std::strlen(name);
    if (length > MORVAINE_PACK_MAX_NAME) {
        LogError(function, __LINE__, TQLOG_ERROR_PREFIX "Name too long. [length=%zu]", length);
        return false;
    }
    std::memcpy(normalized, name, length + 1);
    CMorvainePack::NormalizePath(normalized);
    return true;
}

// The record's name: the normalised name, its NUL, then random filler.
void FillRecordName(tagMorvainePackFileInfo* record, const char* name) {
    const size_t length = std::strlen(name);
    std::memcpy(record->szName, name, length + 1);
    for (size_t i = length + 1; i < sizeof(record->szName); ++i)
        record->szName[i] = static_cast<char>(rand() % 256);
}

} // namespace

CMorvainePack::CMorvainePack() : m_pStream(new CMorvaineEncryptFile) {
    std::memset(m_szPath, 0, sizeof(m_szPath));
    m_Header = EmptyPackHeader();
}

CMorvainePack::~CMorvainePack() {
    Close();
    delete m_pStream;
}

bool CMorvainePack::SetPackage(const char* path, bool readOnly) {
    Close();
    m_mapFile.clear();
    m_listFree.clear();
    try {
        if (!m_pStream || !OpenFile(path, readOnly))
            return false;
        if (ReadHeader() && ReadTables())
            return true;
    } catch (...) {
        LogError("CMorvainePack::SetPackage", kSetPackageExceptionLine, TQLOG_ERROR_PREFIX);
    }
    Close();
    m_mapFile.clear();
    m_listFree.clear();
    return false;
}

bool CMorvainePack::OpenFile(const char* path, bool readOnly) {
    const size_t length = path ? std::strlen(path) : 0;
    if (length == 0 || length > MORVAINE_PACK_MAX_PATH) {
        LogError("CMorvainePack::SetPackage", __LINE__, TQLOG_ERROR_PREFIX "Bad pack path. [length=%zu]",
                 length);
        return false;
    }
    std::memcpy(m_szPath, path, length + 1);
    m_bReadOnly = false;
    m_pFile = readOnly ? nullptr : tqplat::OpenFile(path, "rb+");
    if (!m_pFile) {
        m_pFile = tqplat::OpenFile(path, "rb");
        m_bReadOnly = m_pFile != nullptr;
    }
    if (!m_pFile)
        LogError("CMorvainePack::SetPackage", __LINE__, TQLOG_ERROR_PREFIX "Can't open pack. [path=%s]",
                 path);
    return m_pFile != nullptr;
}

bool CMorvainePack::ReadHeader() {
    // The size comes from the open file itself: only a real size of 0 makes a new pack.
    DWORD size = 0;
    if (!CMorvaineEncryptFile::GetOpenFileSize(m_pFile, &size)) {
        LogError("CMorvainePack::ReadHeader", __LINE__, TQLOG_ERROR_PREFIX "Can't get pack size. [path=%s]",
                 m_szPath);
        return false;
    }
    if (size == 0)
        return CreateEmptyPack();
    unsigned char bytes[MORVAINE_PACK_HEADER_SIZE];
    if (size < MORVAINE_PACK_HEADER_SIZE || fseeko(m_pFile, 0, SEEK_SET) != 0 ||
        fread(bytes, 1, sizeof(bytes), m_pFile) != sizeof(bytes)) {
        LogError("CMorvainePack::ReadHeader", __LINE__,
                 TQLOG_ERROR_PREFIX "Pack header unreadable. [path=%s]", m_szPath);
        return false;
    }
    m_Header = DecodeHeader(bytes);
    m_dwFileSize = size;
    if (!CheckHeader()) {
        LogError("CMorvainePack::ReadHeader", __LINE__, TQLOG_ERROR_PREFIX "Bad pack header. [path=%s]",
                 m_szPath);
        return false;
    }
    return true;
}

bool CMorvainePack::CreateEmptyPack() {
    if (m_bReadOnly) {
        LogError("CMorvainePack::ReadHeader", __LINE__, TQLOG_ERROR_PREFIX "Empty read-only pack. [path=%s]",
                 m_szPath);
        return false;
    }
    m_Header = EmptyPackHeader();
    m_dwFileSize = MORVAINE_PACK_HEADER_SIZE;
    return fseeko(m_pFile, 0, SEEK_SET) == 0 && WriteHeader() && fflush(m_pFile) == 0;
}

// The tables must lie, one after the other, between the header and the end of the file.
bool CMorvainePack::CheckHeader() const {
    const uint64_t fileTable = m_Header.dwFileTableOffset;
    const uint64_t freeTable = m_Header.dwFreeTableOffset;
    return std::memcmp(m_Header.szMagic, kMagic, 4) == 0 && fileTable >= MORVAINE_PACK_HEADER_SIZE &&
           freeTable == fileTable + uint64_t(MORVAINE_PACK_RECORD_SIZE) * m_Header.dwFileCount &&
           freeTable + uint64_t(MORVAINE_PACK_RECORD_SIZE) * m_Header.dwFreeCount <= m_dwFileSize;
}

bool CMorvainePack::ReadTables() {
    std::vector<tagMorvainePackFileInfo> files;
    std::vector<tagMorvainePackFileInfo> frees;
    if (!ReadRecords(m_Header.dwFileTableOffset, m_Header.dwFileCount, &files) ||
        !ReadRecords(m_Header.dwFreeTableOffset, m_Header.dwFreeCount, &frees))
        return false;
    for (const tagMorvainePackFileInfo& record : files)
        m_mapFile[record.szName] = record; // a later record of the same name wins
    m_listFree.assign(frees.begin(), frees.end());
    // Records of one name have become one: the header in memory counts the table as it will be
    // written back, so the free table written after it is found again.
    m_Header.dwFileCount = static_cast<DWORD>(m_mapFile.size());
    m_Header.dwFreeTableOffset =
        m_Header.dwFileTableOffset + MORVAINE_PACK_RECORD_SIZE * m_Header.dwFileCount;
    return true;
}

// Reads count records; each needs a NUL in its name and must lie inside the data area.
bool CMorvainePack::ReadRecords(DWORD offset, DWORD count, std::vector<tagMorvainePackFileInfo>* records) {
    const uint64_t dataEnd = m_Header.dwFileTableOffset - MORVAINE_PACK_HEADER_SIZE;
    if (fseeko(m_pFile, static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    records->reserve(count);
    unsigned char bytes[MORVAINE_PACK_RECORD_SIZE];
    for (DWORD i = 0; i < count; ++i) {
        if (fread(bytes, 1, sizeof(bytes), m_pFile) != sizeof(bytes)) {
            LogError("CMorvainePack::SetPackage", __LINE__,
                     TQLOG_ERROR_PREFIX "Pack table unreadable. [path=%s]", m_szPath);
            return false;
        }
        const tagMorvainePackFileInfo record = DecodeRecord(bytes);
        if (!std::memchr(record.szName, 0, sizeof(record.szName)) ||
            uint64_t(record.dwOffset) + record.dwSize > dataEnd) {
            LogError("CMorvainePack::SetPackage", __LINE__,
                     TQLOG_ERROR_PREFIX "Bad pack record. [path=%s, index=%u]", m_szPath, i);
            return false;
        }
        records->push_back(record);
    }
    return true;
}

CMorvainePack::FileData CMorvainePack::GetFile(const char* name) {
    char normalized[128];
    if (!m_pFile || !CopyName(name, normalized, "CMorvainePack::GetFile"))
        return FileData(0, nullptr);
    const FileTable::const_iterator record = m_mapFile.find(normalized);
    if (record == m_mapFile.end())
        return FileData(0, nullptr);
    std::map<std::string, unsigned char*>::const_iterator cached = m_mapCache.find(normalized);
    if (cached == m_mapCache.end()) {
        if (!LoadFile(normalized))
            return FileData(0, nullptr);
        cached = m_mapCache.find(normalized);
    }
    return FileData(record->second.dwSize, cached->second);
}

bool CMorvainePack::HasFile(const char* name) const {
    if (!m_pFile || !name || std::strlen(name) > MORVAINE_PACK_MAX_NAME)
        return false;
    char normalized[128];
    std::strcpy(normalized, name);
    NormalizePath(normalized);
    return m_mapFile.count(normalized) != 0;
}

bool CMorvainePack::LoadFile(const std::string& name) {
    const tagMorvainePackFileInfo& record = m_mapFile.at(name);
    std::unique_ptr<unsigned char[]> buffer(
        new (std::nothrow) unsigned char[std::max<DWORD>(record.dwSize, 1)]);
    if (!buffer) {
        LogError("CMorvainePack::LoadFile", __LINE__, TQLOG_ERROR_PREFIX "Out of memory. [size=%u]",
                 record.dwSize);
        return false;
    }
    m_pStream->Attach(m_pFile, record.dwOffset + MORVAINE_PACK_HEADER_SIZE, record.dwSize,
                      CMorvaineEncryptFile::GetTableIndex(name.c_str()));
    DWORD total = 0;
    while (total < record.dwSize) {
        const unsigned got =
            m_pStream->ReadDecryptTo(buffer.get() + total, std::min(record.dwSize - total, kDecipherChunk));
        if (got == 0)
            break;
        total += got;
    }
    if (total != record.dwSize) {
        LogError("CMorvainePack::LoadFile", __LINE__,
                 TQLOG_ERROR_PREFIX "Short read. [name=%s, size=%u, read=%u]", name.c_str(), record.dwSize,
                 total);
        return false;
    }
    m_mapCache[name] = buffer.release();
    return true;
}

void CMorvainePack::ReleaseCache() {
    for (auto& entry : m_mapCache)
        delete[] entry.second;
    m_mapCache.clear();
}

void CMorvainePack::FreeCacheEntry(const std::string& name) {
    const auto cached = m_mapCache.find(name);
    if (cached == m_mapCache.end())
        return;
    delete[] cached->second;
    m_mapCache.erase(cached);
}

bool CMorvainePack::CheckWritable(const char* function) const {
    if (!m_pFile)
        return false;
    if (m_bReadOnly)
        LogError(function, __LINE__, TQLOG_ERROR_PREFIX "Pack is read-only. [path=%s]", m_szPath);
    return !m_bReadOnly;
}

bool CMorvainePack::AddFile(const char* sourcePath, const char* name) {
    char normalized[128];
    if (!CheckWritable("CMorvainePack::AddFile") || !sourcePath ||
        !CopyName(name, normalized, "CMorvainePack::AddFile") || normalized[0] == '\0' ||
        m_mapFile.count(normalized) != 0)
        return false;
    if (!m_pStream->Open(sourcePath, CMorvaineEncryptFile::GetTableIndex(normalized))) {
        fputs(tqplat::GbkToUtf8(kOpenErrorMessage).c_str(), stdout);
        LogError("CMorvainePack::AddFile", __LINE__, TQLOG_ERROR_PREFIX "Can't open source. [path=%s]",
                 sourcePath);
        return false;
    }
    tagMorvainePackFileInfo record;
    FillRecordName(&record, normalized);
    FreeList::iterator block;
    if (!PlaceNewFile(m_pStream->GetSize(), &record, &block))
        return false;
    if (!WriteStoredBytes(record)) {
        // Appending overwrites the old tables: put them back as they were.
        WriteHeaderAndTables();
        return false;
    }
    CommitNewFile(record, block);
    return WriteHeaderAndTables();
}

// First free block large enough, else the end of the data area (where the file table starts).
bool CMorvainePack::PlaceNewFile(DWORD size, tagMorvainePackFileInfo* record, FreeList::iterator* block) {
    record->dwSize = size;
    *block = std::find_if(m_listFree.begin(), m_listFree.end(),
                          [size](const tagMorvainePackFileInfo& free) { return free.dwSize >= size; });
    if (*block != m_listFree.end()) {
        record->dwOffset = (*block)->dwOffset;
        return true;
    }
    const uint64_t tablesSize =
        uint64_t(MORVAINE_PACK_RECORD_SIZE) * (uint64_t(m_Header.dwFileCount) + 1 + m_Header.dwFreeCount);
    if (uint64_t(m_Header.dwFileTableOffset) + size + tablesSize > kMaxPackSize) {
        LogError("CMorvainePack::AddFile", __LINE__, TQLOG_ERROR_PREFIX "Pack would exceed 4 GiB. [size=%u]",
                 size);
        return false;
    }
    record->dwOffset = m_Header.dwFileTableOffset - MORVAINE_PACK_HEADER_SIZE;
    return true;
}

bool CMorvainePack::WriteStoredBytes(const tagMorvainePackFileInfo& record) {
    if (fseeko(m_pFile, static_cast<off_t>(record.dwOffset) + MORVAINE_PACK_HEADER_SIZE, SEEK_SET) != 0)
        return false;
    DWORD total = 0;
    unsigned char* chunk = nullptr;
    while (total < record.dwSize) {
        const unsigned got = m_pStream->ReadEncrypt(&chunk, kEncipherChunk);
        if (got == 0 || !chunk || fwrite(chunk, 1, got, m_pFile) != got)
            break;
        total += got;
    }
    if (total == record.dwSize)
        return true;
    LogError("CMorvainePack::AddFile", __LINE__,
             TQLOG_ERROR_PREFIX "Short copy. [name=%s, size=%u, copied=%u]", record.szName, record.dwSize,
             total);
    return false;
}

void CMorvainePack::CommitNewFile(const tagMorvainePackFileInfo& record, FreeList::iterator block) {
    if (block != m_listFree.end()) {
        // The rest of the block goes to the end of the free list, even when nothing is left.
        tagMorvainePackFileInfo rest = *block;
        rest.dwOffset += record.dwSize;
        rest.dwSize -= record.dwSize;
        m_listFree.erase(block);
        m_listFree.push_back(rest);
        m_Header.dwFreeTableOffset += MORVAINE_PACK_RECORD_SIZE;
    } else {
        m_Header.dwFileTableOffset += record.dwSize;
        m_Header.dwFreeTableOffset += record.dwSize + MORVAINE_PACK_RECORD_SIZE;
    }
    m_Header.dwFileCount += 1;
    m_mapFile[record.szName] = record;
}

bool CMorvainePack::RemoveFile(const char* name) {
    char normalized[128];
    if (!CheckWritable("CMorvainePack::RemoveFile") ||
        !CopyName(name, normalized, "CMorvainePack::RemoveFile"))
        return false;
    const FileTable::iterator record = m_mapFile.find(normalized);
    if (record == m_mapFile.end())
        return false;
    FreeCacheEntry(record->first);
    m_listFree.push_back(record->second);
    m_mapFile.erase(record);
    m_Header.dwFileCount -= 1;
    m_Header.dwFreeCount += 1;
    m_Header.dwFreeTableOffset -= MORVAINE_PACK_RECORD_SIZE;
    return WriteHeaderAndTables();
}

bool CMorvainePack::SetKey(const char* key) {
    return m_pStream && m_pStream->SetKey(key);
}

bool CMorvainePack::WriteHeader() {
    unsigned char bytes[MORVAINE_PACK_HEADER_SIZE];
    EncodeHeader(m_Header, bytes);
    return fwrite(bytes, 1, sizeof(bytes), m_pFile) == sizeof(bytes);
}

bool CMorvainePack::WriteRecord(const tagMorvainePackFileInfo& record) {
    unsigned char bytes[MORVAINE_PACK_RECORD_SIZE];
    EncodeRecord(record, bytes);
    return fwrite(bytes, 1, sizeof(bytes), m_pFile) == sizeof(bytes);
}

bool CMorvainePack::WriteFileTable() {
    if (fseeko(m_pFile, static_cast<off_t>(m_Header.dwFileTableOffset), SEEK_SET) != 0)
        return false;
    for (const auto& entry : m_mapFile)
        if (!WriteRecord(entry.second))
            return false;
    if (fseeko(m_pFile, static_cast<off_t>(m_Header.dwFreeTableOffset), SEEK_SET) != 0)
        return false;
    for (const tagMorvainePackFileInfo& free : m_listFree)
        if (!WriteRecord(free))
            return false;
    return true;
}

bool CMorvainePack::WriteHeaderAndTables() {
    const bool written =
        fseeko(m_pFile, 0, SEEK_SET) == 0 && WriteHeader() && WriteFileTable() && fflush(m_pFile) == 0;
    if (!written) {
        LogError("CMorvainePack::WriteFileTable", __LINE__, TQLOG_ERROR_PREFIX "Write failed. [path=%s]",
                 m_szPath);
        return false;
    }
    const uint64_t end =
        m_Header.dwFreeTableOffset + uint64_t(MORVAINE_PACK_RECORD_SIZE) * m_Header.dwFreeCount;
    m_dwFileSize = static_cast<DWORD>(std::max<uint64_t>(m_dwFileSize, end));
    return true;
}

void CMorvainePack::Close() {
    if (m_pFile)
        fclose(m_pFile);
    m_pFile = nullptr;
    ReleaseCache();
}

void CMorvainePack::NormalizePath(char* name) {
    if (!name)
        return;
    size_t begin = 0;
    size_t end = std::strlen(name);
    while (begin < end && IsSlash(name[begin]))
        ++begin;
    while (end > begin && IsSlash(name[end - 1]))
        --end;
    std::string text(name + begin, end - begin);
    std::replace(text.begin(), text.end(), '/', '\\');
    ToUpper(text);
    std::memcpy(name, text.c_str(), text.size() + 1);
}

void CMorvainePack::ToUpper(std::string& text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

void CMorvainePack::ToLower(std::string& text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}
