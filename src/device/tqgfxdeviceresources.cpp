// TQGfxDevice: loading whole files from zip packs and the disk, paths, folder enumeration.
#include "device/tqgfxdevice.h"

#include "base/tqlog.h"
#include "base/tqlogname.h"
#include "device/tqgfxziparchive.h"
#include "device/tqgfxzipcipher.h"
#include "platform/win32/tqopenscope.h"
#include "platform/win32/tqpath.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kSourceFile[] = "lib/project/dozaz2i/source/base/tqgfxdevice";

// Deflate makes at most 1032 bytes of one (and storing makes one of one): an entry claiming more
// than that of the bytes it has is damaged, and its claimed size is never allocated.
bool SizeIsPossible(uint64_t uncompressed, uint64_t compressed) {
    return uncompressed / 1032 <= compressed;
}

bool IsRelative(const char* name) {
    return !tqplat::IsAbsolutePath(name);
}

// Reads length bytes of the open entry into a buffer that grows with the data really read (from
// 64 KiB, doubling), so the size a damaged entry claims never reserves memory by itself. NULL when the
// entry gives fewer bytes or memory runs out.
uint8_t* ReadEntryBytes(unzFile zip, DWORD length) {
    const uint64_t kFirstPiece = 64 * 1024, kLargestRead = 1u << 30;
    uint8_t* data = nullptr;
    uint64_t filled = 0;
    do {
        uint64_t capacity = std::min<uint64_t>(length, std::max(kFirstPiece, filled * 2));
        void* grown = realloc(data, capacity ? capacity : 1);
        if (!grown) {
            free(data);
            return nullptr;
        }
        data = static_cast<uint8_t*>(grown);
        while (filled < capacity) {
            unsigned piece = static_cast<unsigned>(std::min(capacity - filled, kLargestRead));
            if (unzReadCurrentFile(zip, data + filled, piece) != static_cast<int>(piece)) {
                free(data);
                return nullptr;
            }
            filled += piece;
        }
    } while (filled < length);
    return data;
}

// Reads a plain entry whole. A short read, a CRC mismatch or any error frees the buffer and gives
// NULL.
void* ReadPlainEntry(unzFile zip, const unz_file_info& info, DWORD* size) {
    if (!SizeIsPossible(info.uncompressed_size, info.compressed_size) || unzOpenCurrentFile(zip) != UNZ_OK)
        return nullptr;
    DWORD length = static_cast<DWORD>(info.uncompressed_size);
    uint8_t* data = ReadEntryBytes(zip, length);
    // Reading one byte more proves the entry ends where its header says; closing checks the CRC.
    char extra;
    bool complete = data && unzReadCurrentFile(zip, &extra, 1) == 0;
    if (unzCloseCurrentFile(zip) != UNZ_OK || !complete) {
        free(data);
        return nullptr;
    }
    *size = length;
    return data;
}

// Inflates raw deflate data into exactly length bytes of out (which holds length + 1).
bool InflateExactly(const uint8_t* in, size_t inSize, void* out, DWORD length) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(in);
    stream.avail_in = static_cast<uInt>(inSize);
    stream.next_out = static_cast<Bytef*>(out);
    stream.avail_out = length + 1;
    bool ok = inflate(&stream, Z_FINISH) == Z_STREAM_END && stream.total_out == length;
    inflateEnd(&stream);
    return ok;
}

// Reads the open entry's raw bytes in pieces, so that memory grows only with the data the archive
// really holds, whatever size its header claims. False on a read error.
bool ReadRawEntry(unzFile zip, std::vector<uint8_t>* raw) {
    uint8_t piece[16384];
    for (;;) {
        int read = unzReadCurrentFile(zip, piece, sizeof(piece));
        if (read < 0)
            return false;
        if (read == 0)
            return true;
        raw->insert(raw->end(), piece, piece + read);
    }
}

// Reads an encrypted entry raw, deciphers it with the password and unpacks it. A wrong password
// fails the header check (*wrongPassword) or the CRC; nothing undeciphered is handed out.
void* ReadEncryptedEntry(unzFile zip, const unz_file_info& info, const char* password, DWORD* size,
                         bool* wrongPassword) {
    const size_t header = TQGfxZipCipher::kHeaderSize;
    bool stored = info.compression_method == 0;
    if (info.compressed_size < header || (!stored && info.compression_method != Z_DEFLATED))
        return nullptr;
    int method = 0, level = 0;
    if (unzOpenCurrentFile2(zip, &method, &level, 1) != UNZ_OK)
        return nullptr;
    std::vector<uint8_t> raw;
    bool complete = ReadRawEntry(zip, &raw) && raw.size() == info.compressed_size;
    unzCloseCurrentFile(zip);
    if (!complete)
        return nullptr;
    TQGfxZipCipher cipher(password);
    cipher.Decrypt(raw.data(), raw.size());
    uint8_t check =
        (info.flag & 8) ? static_cast<uint8_t>(info.dosDate >> 8) : static_cast<uint8_t>(info.crc >> 24);
    if ((*wrongPassword = raw[header - 1] != check))
        return nullptr;
    DWORD length = static_cast<DWORD>(info.uncompressed_size);
    if (!SizeIsPossible(length, raw.size() - header))
        return nullptr;
    void* data = malloc(static_cast<size_t>(length) + 1);
    if (!data)
        return nullptr;
    const uint8_t* body = raw.data() + header;
    size_t bodySize = raw.size() - header;
    bool ok = stored ? bodySize == length : InflateExactly(body, bodySize, data, length);
    if (ok && stored)
        memcpy(data, body, length);
    if (!ok || crc32(0, static_cast<const Bytef*>(data), length) != info.crc) {
        free(data);
        return nullptr;
    }
    *size = length;
    return data;
}

// Reads the current entry whole; an encrypted one needs the pack's password (*wrongPassword when it
// is missing or does not open the entry).
void* ReadCurrentEntry(unzFile zip, const char* password, uint64_t archiveSize, DWORD* size,
                       bool* wrongPassword) {
    unz_file_info info;
    if (unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return nullptr;
    // A resource's size is 32-bit: a larger entry is damaged or not one of ours; so is one whose
    // data is larger than the whole archive.
    if (info.uncompressed_size > 0xFFFFFFFFu || info.compressed_size > 0xFFFFFFFFu ||
        info.compressed_size > archiveSize)
        return nullptr;
    if (info.flag & 1)
        return (*wrongPassword = !password) ? nullptr
                                            : ReadEncryptedEntry(zip, info, password, size, wrongPassword);
    return ReadPlainEntry(zip, info, size);
}

} // namespace

// A path that does not fit is not cut (that would name another file): it gives "", which names none.
char* TQGfxDevice::Resource_MakePath(const char* name) {
    const std::string full = IsRelative(name) ? std::string(m_szAppPath) + name : std::string(name);
    if (full.size() >= sizeof(m_szPath)) {
        g_tqLogError.SetLogInfo(kSourceFile, "TQGfxDevice::Resource_MakePath", __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Can't use '%s': its path is %zu bytes long, at most %zu.",
                         TQLogShortName(name).c_str(), full.size(), sizeof(m_szPath) - 1);
        m_szPath[0] = '\0';
        return m_szPath;
    }
    memcpy(m_szPath, full.c_str(), full.size() + 1);
    for (char* c = m_szPath; *c; ++c) {
        if (*c == '/')
            *c = '\\';
    }
    return m_szPath;
}

bool TQGfxDevice::Resource_AttachPack(const char* path, const char* password) {
    if (!path)
        return false;
    char* full = Resource_MakePath(path);
    TQGfxZipArchive::NormaliseName(full);
    for (const ZipPack& pack : m_packs) {
        if (strcmp(pack.path, full) == 0)
            return false;
    }
    ZipPack pack;
    pack.archive = std::make_shared<TQGfxZipArchive>();
    if (!pack.archive->Refresh(full))
        return false;
    snprintf(pack.path, sizeof(pack.path), "%s", full);
    snprintf(pack.password, sizeof(pack.password), "%s", password ? password : "");
    pack.folder = std::make_shared<tqplat::GameFolder>(full);
    m_packs.insert(m_packs.begin(), pack);
    return true;
}

void TQGfxDevice::Resource_RemovePack(const char* path) {
    if (!path)
        return;
    char* full = Resource_MakePath(path);
    TQGfxZipArchive::NormaliseName(full);
    for (auto it = m_packs.begin(); it != m_packs.end(); ++it) {
        if (strcmp(it->path, full) == 0) {
            m_packs.erase(it);
            return;
        }
    }
}

void TQGfxDevice::Resource_RemoveAllPacks() {
    m_packs.clear();
}

// The first pack, the most recently attached first, holding the relative name's entry, positioned
// on it; NULL when none does.
const TQGfxDevice::ZipPack* TQGfxDevice::FindInPacks(const char* name) {
    char wanted[MAX_PATH];
    snprintf(wanted, sizeof(wanted), "%s", name);
    TQGfxZipArchive::NormaliseName(wanted);
    for (const ZipPack& pack : m_packs) {
        if (pack.archive->Refresh(pack.path) && pack.archive->GoTo(wanted))
            return &pack;
    }
    return nullptr;
}

TQGfxDevice::ResourceFound TQGfxDevice::Resource_Find(const char* name, FoundResource* found) {
    *found = FoundResource();
    m_resourceLoadProblem.clear();
    if (!name)
        return kResourceNone;
    if (IsRelative(name)) {
        if (const ZipPack* pack = FindInPacks(name)) {
            found->entry = name;
            TQGfxZipArchive::NormaliseName(&found->entry[0]);
            found->pack = pack->path;
            found->password = pack->password;
            found->archive = pack->archive;
            found->identity = "zip:" + pack->archive->Path() + "|" + found->entry;
            return found->kind = kResourceZipEntry;
        }
    }
    const char* path = Resource_MakePath(name);
    if (!*path || !tqplat::ResolvePathToOpen(path, false, &found->path)) {
        g_tqLogDebug.SetLogInfo(kSourceFile, "TQGfxDevice::Resource_Load", 2529);
        g_tqLogDebug.Log(TQLOG_ERROR_PREFIX "Open/Create fail. [lpszFileName='%s', dwErrorCode=%d]",
                         TQLogShortName(name).c_str(), static_cast<int>(GetLastError()));
        return kResourceNone;
    }
    found->identity = "disk:" + found->path;
    return found->kind = kResourceDiskFile;
}

// The entry, read through its archive (positioned on it anew, the archive being shared); a password
// that does not open it is said.
void* TQGfxDevice::ReadZipEntry(const FoundResource& found, DWORD* size) {
    TQGfxZipArchive& archive = *found.archive;
    if (!archive.Refresh(found.pack.c_str()) || !archive.GoTo(found.entry.c_str()))
        return nullptr;
    const char* password = found.password.empty() ? nullptr : found.password.c_str();
    bool wrongPassword = false;
    void* data = ReadCurrentEntry(archive.Handle(), password, archive.FileSize(), size, &wrongPassword);
    if (wrongPassword)
        m_resourceLoadProblem =
            std::string(password ? "the password does not open zip pack '"
                                 : "it is encrypted and no password was given for zip pack '") +
            archive.Path() + "'";
    else if (!data)
        m_resourceLoadProblem = "its entry in zip pack '" + archive.Path() + "' does not read (damaged)";
    return data;
}

// The file at its resolved path; a file of 4 GB or more does not fit a resource's 32-bit size.
void* TQGfxDevice::ReadDiskFile(const FoundResource& found, DWORD* size) {
    size_t length = 0;
    void* data = tqplat::ReadResolvedFile(found.path, 0xFFFFFFFFu, &length);
    if (!data) {
        m_resourceLoadProblem = tqplat::WhyNotRead(errno);
        return nullptr;
    }
    *size = static_cast<DWORD>(length);
    return data;
}

void* TQGfxDevice::Resource_Read(const FoundResource& found, DWORD* size) {
    m_resourceLoadProblem.clear();
    DWORD length = 0;
    void* data = found.kind == kResourceZipEntry   ? ReadZipEntry(found, &length)
                 : found.kind == kResourceDiskFile ? ReadDiskFile(found, &length)
                                                   : nullptr;
    if (data && size)
        *size = length;
    return data;
}

void* TQGfxDevice::Resource_Load(const char* name, DWORD* size) {
    if (!name)
        return nullptr;
    FoundResource found;
    void* data = Resource_Find(name, &found) != kResourceNone ? Resource_Read(found, size) : nullptr;
    if (!data) {
        char text[256];
        snprintf(text, sizeof(text), "Can't load resource: %s", name);
        PostError(text);
    }
    return data;
}

void TQGfxDevice::Resource_Free(void* data) {
    free(data);
}

bool TQGfxDevice::FindDataMatches(bool folders) const {
    bool directory = (m_findData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!folders)
        return !directory;
    return directory && strcmp(m_findData.cFileName, ".") != 0 && strcmp(m_findData.cFileName, "..") != 0;
}

char* TQGfxDevice::EnumNext(const char* wildcard, bool folders) {
    if (wildcard) {
        if (m_hSearch)
            FindClose(m_hSearch);
        m_hSearch = nullptr;
        HANDLE search = FindFirstFileA(Resource_MakePath(wildcard), &m_findData);
        if (search == INVALID_HANDLE_VALUE || !search)
            return nullptr;
        m_hSearch = search;
        if (FindDataMatches(folders))
            return m_findData.cFileName;
    }
    if (!m_hSearch)
        return nullptr;
    while (FindNextFileA(m_hSearch, &m_findData)) {
        if (FindDataMatches(folders))
            return m_findData.cFileName;
    }
    FindClose(m_hSearch);
    m_hSearch = nullptr;
    return nullptr;
}

char* TQGfxDevice::Resource_EnumFiles(const char* wildcard) {
    return EnumNext(wildcard, false);
}

char* TQGfxDevice::Resource_EnumFolders(const char* wildcard) {
    return EnumNext(wildcard, true);
}
