/// @file
/// TQGfxZipArchive: a zip pack kept open between lookups, its entries indexed by normalised name, so
/// that a lookup costs one check of the file and one jump instead of opening the archive and reading
/// its whole central directory. Before each lookup the file that was opened is checked (device,
/// inode, size, modification time); a pack replaced or removed on disk is reopened from its path or
/// skipped, as it would be when opened anew. (A rewrite keeping the size within one tick of the file
/// system's clock goes unnoticed, and so does a file of another spelling of the path created while
/// the opened one stays.)
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/win32/tqfilestamp.h"

/// An open zip pack with its entries indexed by normalised name; see tqgfxziparchive.h.
class TQGfxZipArchive {
public:
    TQGfxZipArchive() = default;
    ~TQGfxZipArchive();
    TQGfxZipArchive(const TQGfxZipArchive&) = delete;
    TQGfxZipArchive& operator=(const TQGfxZipArchive&) = delete;

    /// Upper-cases ASCII letters and turns `/` into `\`, leaving the trail bytes of GBK characters
    /// alone: the form in which pack paths and entry names are compared.
    static void NormaliseName(char* text);

    /// Makes the archive that the engine path `path` names open and indexed, reopening it when the
    /// file changed since. False when it cannot be opened (then nothing is open).
    bool Refresh(const char* path);
    /// Moves to the first entry (in the archive's order) whose normalised name equals `wanted`.
    bool GoTo(const char* wanted);
    /// The size of the open archive's file in bytes.
    uint64_t FileSize() const { return static_cast<uint64_t>(m_opened.size); }
    /// The resolved (UTF-8) path of the open archive's file.
    const std::string& Path() const { return m_resolved; }
    /// The open archive (a minizip unzFile), positioned by GoTo; NULL when none is open.
    void* Handle() const { return m_zip; }

private:
    void Close();
    void IndexEntries();

    // Where an entry's record lies in the central directory, and its number.
    struct EntryPosition {
        uint64_t directoryOffset;
        uint64_t number;
    };

    void* m_zip = nullptr;
    std::string m_resolved;
    tqplat::FileStamp m_opened;
    std::unordered_map<std::string, EntryPosition> m_entries;
};
