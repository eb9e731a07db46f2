/// @file
/// A resource pack file: many enciphered stored files, a table of their names, offsets and sizes,
/// and a table of free blocks left by removed files.
///
/// File layout (numbers unsigned 32-bit little-endian):
/// @code{.unparsed}
///   0   header (20 bytes): "MORV", file-table offset, free-table offset, file count, free count
///   20  data area: the stored files, each enciphered by CMorvaineEncryptFile with the table its
///       name chooses; free blocks lie between them
///   file table: file-count records in ascending byte order of the names, then directly after it
///   free table: free-count records
/// @endcode
/// A record (136 bytes) holds a NUL-terminated name (128 bytes), the offset of the stored bytes
/// counted from the end of the header, and their size.
///
/// Names are normalised (NormalizePath) before every use: no leading or trailing slashes, `\` as
/// separator, ASCII letters upper case. Names are limited to 127 bytes and pack paths to 511; longer
/// ones are refused. A pack that the file system lets us open only for reading is read normally;
/// the writing operations then fail. Damaged packs (tables or records outside the file, names
/// without NUL) are refused when opened, without writing to them.
#pragma once

#include <cstdio>
#include <list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "containers/tqmemorypooltmpl.h"
#include "platform/win32/tqwintypes.h"

class CMorvaineEncryptFile;

/// The 20-byte header of a pack file.
struct tagMorvainePackHeader {
    /// "MORV".
    char szMagic[4];
    /// Offset of the file table from the start of the file.
    DWORD dwFileTableOffset;
    /// Offset of the free table from the start of the file.
    DWORD dwFreeTableOffset;
    /// Records in the file table.
    DWORD dwFileCount;
    /// Records in the free table.
    DWORD dwFreeCount;
};
static_assert(sizeof(tagMorvainePackHeader) == 20, "the pack header is 20 bytes in the file");

/// A record of the file table or the free table.
struct tagMorvainePackFileInfo {
    /// NUL-terminated normalised name (empty in a free record).
    char szName[128];
    DWORD dwOffset; ///< from the end of the header
    /// Bytes stored.
    DWORD dwSize;
};
static_assert(sizeof(tagMorvainePackFileInfo) == 136, "a pack record is 136 bytes in the file");

enum {
    MORVAINE_PACK_HEADER_SIZE = 20,
    MORVAINE_PACK_RECORD_SIZE = 136,
    MORVAINE_PACK_MAX_NAME = 127,
    MORVAINE_PACK_MAX_PATH = 511,
};

/// A resource pack file; see cmorvainepack.h.
class CMorvainePack {
public:
    /// Deciphered bytes of a stored file: {size, data}; data is NULL when there is none.
    typedef std::pair<unsigned, unsigned char*> FileData;
    /// Records by normalised name.
    typedef std::map<std::string, tagMorvainePackFileInfo> FileTable;
    /// Free blocks.
    typedef std::list<tagMorvainePackFileInfo> FreeList;

    CMorvainePack();
    virtual ~CMorvainePack();
    /// A pack owns its file, stream and cache: it is never copied.
    CMorvainePack(const CMorvainePack&) = delete;
    CMorvainePack& operator=(const CMorvainePack&) = delete;

    /// Opens the pack at path ("rb+", else read-only) and reads its tables. An existing empty file
    /// becomes an empty pack. False for a missing file, a damaged pack, or an empty read-only file.
    /// With readOnly the file is only ever opened for reading, so that nothing is written to it.
    bool SetPackage(const char* path, bool readOnly = false);

    /// The stored file's deciphered bytes, or {0, NULL}. The buffer belongs to the pack's cache and
    /// lives until ReleaseCache, Close or the file's removal. A stored file of 0 bytes gives
    /// {0, non-NULL}.
    FileData GetFile(const char* name);
    /// True when the open pack stores name; reads nothing and logs nothing.
    bool HasFile(const char* name) const;
    /// The path the pack was opened under.
    const char* GetPath() const { return m_szPath; }
    /// Frees every buffer GetFile handed out.
    void ReleaseCache();

    /// Stores the file at sourcePath under name: in the first free block large enough, else at the
    /// end of the data area. False without a writable open pack, for an empty or over-long name,
    /// a name already stored, an unreadable source, or a failed write.
    bool AddFile(const char* sourcePath, const char* name);
    /// Forgets a stored file; its bytes become a free block. The file never shrinks.
    bool RemoveFile(const char* name);
    /// Key of the cipher for later reads and writes (1 to 63 characters).
    bool SetKey(const char* key);

    /// Closes the file and empties the cache; the tables stay until the next SetPackage.
    void Close();

    /// Normalises a stored name or pack path in place (see above).
    static void NormalizePath(char* name);
    /// Change the ASCII letters only; other bytes (GBK among them) stay.
    static void ToUpper(std::string& text);
    /// Lower-case form of ToUpper.
    static void ToLower(std::string& text);

    /// What the pack holds, for tools and checks.
    const tagMorvainePackHeader& GetHeader() const { return m_Header; }
    /// The file table.
    const FileTable& GetFileTable() const { return m_mapFile; }
    /// The free table.
    const FreeList& GetFreeList() const { return m_listFree; }
    /// True when the file is open for reading only.
    bool IsReadOnly() const { return m_bReadOnly; }

    TQ_DECLARE_MEMORY_POOL(CMorvainePack)

private:
    bool OpenFile(const char* path, bool readOnly);
    bool ReadHeader();
    bool CreateEmptyPack();
    bool CheckHeader() const;
    bool ReadTables();
    bool ReadRecords(DWORD offset, DWORD count, std::vector<tagMorvainePackFileInfo>* records);
    bool LoadFile(const std::string& name);
    bool CheckWritable(const char* function) const;
    bool PlaceNewFile(DWORD size, tagMorvainePackFileInfo* record, FreeList::iterator* block);
    bool WriteStoredBytes(const tagMorvainePackFileInfo& record);
    void CommitNewFile(const tagMorvainePackFileInfo& record, FreeList::iterator block);
    bool WriteHeader();
    bool WriteFileTable();
    bool WriteRecord(const tagMorvainePackFileInfo& record);
    bool WriteHeaderAndTables();
    void FreeCacheEntry(const std::string& name);

    char m_szPath[512];
    FILE* m_pFile = nullptr;
    CMorvaineEncryptFile* m_pStream = nullptr;
    DWORD m_dwFileSize = 0;
    tagMorvainePackHeader m_Header;
    FileTable m_mapFile;
    FreeList m_listFree;
    std::map<std::string, unsigned char*> m_mapCache; // owned arrays
    bool m_bReadOnly = false;
};
