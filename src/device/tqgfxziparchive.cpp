#include "device/tqgfxziparchive.h"

#include "platform/codepage/tqcodepage.h"
#include "platform/win32/tqpath.h"
#include "platform/win32/tqwintypes.h"

#include <minizip/unzip.h>

#include <cstring>

TQGfxZipArchive::~TQGfxZipArchive() {
    Close();
}

void TQGfxZipArchive::NormaliseName(char* text) {
    size_t left = strlen(text);
    while (left > 0) {
        unsigned char* c = reinterpret_cast<unsigned char*>(text);
        size_t length = tqplat::GbkCharLength(c, left);
        if (length <= 1) {
            if (*c >= 'a' && *c <= 'z')
                *c = static_cast<unsigned char>(*c - 'a' + 'A');
            else if (*c == '/')
                *c = '\\';
            length = 1;
        }
        text += length;
        left -= length;
    }
}

bool TQGfxZipArchive::Refresh(const char* path) {
    tqplat::FileStamp now;
    // The file opened before, still there and unchanged, spares resolving the path anew (which may
    // read whole folders to match names without regard to case).
    if (m_zip && tqplat::ReadFileStamp(m_resolved, &now) && now == m_opened)
        return true;
    Close();
    std::string resolved;
    if (!tqplat::ResolveExistingPath(path, &resolved) || !tqplat::ReadFileStamp(resolved, &now))
        return false;
    m_zip = unzOpen(resolved.c_str());
    if (!m_zip)
        return false;
    m_resolved = resolved;
    m_opened = now;
    IndexEntries();
    return true;
}

bool TQGfxZipArchive::GoTo(const char* wanted) {
    const auto found = m_entries.find(wanted);
    if (!m_zip || found == m_entries.end())
        return false;
    const unz64_file_pos position = {found->second.directoryOffset, found->second.number};
    return unzGoToFilePos64(m_zip, &position) == UNZ_OK;
}

void TQGfxZipArchive::Close() {
    if (m_zip)
        unzClose(m_zip);
    m_zip = nullptr;
    m_entries.clear();
}

// Every entry under its normalised name (cut to MAX_PATH - 1 bytes); the first of equal names wins.
void TQGfxZipArchive::IndexEntries() {
    for (int result = unzGoToFirstFile(m_zip); result == UNZ_OK; result = unzGoToNextFile(m_zip)) {
        char entry[MAX_PATH];
        unz_file_info info;
        unz64_file_pos position;
        if (unzGetCurrentFileInfo(m_zip, &info, entry, sizeof(entry), nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzGetFilePos64(m_zip, &position) != UNZ_OK)
            continue;
        entry[sizeof(entry) - 1] = '\0';
        NormaliseName(entry);
        m_entries.emplace(entry, EntryPosition{position.pos_in_zip_directory, position.num_of_file});
    }
}
