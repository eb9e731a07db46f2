#include "engine/cmorvaineencryptfile.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "engine/cmorvainetables.h"
#include "platform/win32/tqfilestamp.h"
#include "platform/win32/tqpath.h"

TQ_IMPLEMENT_MEMORY_POOL(CMorvaineEncryptFile)

namespace {

const char kDefaultKey[] = "VentoraK";
const size_t kMaxKeyLength = 63;

// Whether a file of `size` bytes can be handled: sizes are 32-bit.
bool FitsInSize(int64_t size) {
    return size >= 0 && size <= 0xFFFFFFFFLL;
}

} // namespace

CMorvaineEncryptFile::CMorvaineEncryptFile() {
    std::memcpy(m_szKey, kDefaultKey, sizeof(kDefaultKey));
    m_nKeyLength = static_cast<int>(std::strlen(kDefaultKey));
    m_Key.Set(m_szKey, m_nKeyLength);
    Start(nullptr, 0, 0);
}

CMorvaineEncryptFile::~CMorvaineEncryptFile() {
    CloseOwnedFile();
}

void CMorvaineEncryptFile::CloseOwnedFile() {
    if (m_pFile && !m_bAttached)
        fclose(m_pFile);
    m_pFile = nullptr;
    m_bAttached = false;
}

bool CMorvaineEncryptFile::SetKey(const char* key) {
    CloseOwnedFile();
    const size_t length = key ? std::strlen(key) : 0;
    if (length == 0 || length > kMaxKeyLength)
        return false;
    m_nKeyPos = 0;
    m_nKeyLength = static_cast<int>(length);
    std::memcpy(m_szKey, key, length + 1);
    m_Key.Set(m_szKey, m_nKeyLength);
    return true;
}

// Common part of Open and Attach: the stream starts at its first byte with the given table.
void CMorvaineEncryptFile::Start(FILE* file, unsigned size, int tableIndex) {
    m_pFile = file;
    m_dwSize = size;
    m_dwDone = 0;
    m_nKeyPos = 0;
    m_nTableIndex = ((tableIndex % MORVAINE_TABLE_COUNT) + MORVAINE_TABLE_COUNT) % MORVAINE_TABLE_COUNT;
    const uint32_t* table = g_morvaineCipherTables[m_nTableIndex];
    for (int i = 0; i < 256; ++i) {
        m_abyTable[i] = static_cast<unsigned char>(table[i]);
        m_abyInverse[m_abyTable[i]] = static_cast<unsigned char>(i);
    }
}

bool CMorvaineEncryptFile::Open(const char* path, int tableIndex) {
    CloseOwnedFile();
    FILE* file = tqplat::OpenFile(path, "rb");
    if (!file)
        return false;
    DWORD size = 0;
    if (!GetOpenFileSize(file, &size)) {
        fclose(file);
        return false;
    }
    Start(file, size, tableIndex);
    return true;
}

bool CMorvaineEncryptFile::Attach(FILE* file, unsigned offset, unsigned size, int tableIndex) {
    CloseOwnedFile();
    m_bAttached = true;
    Start(file, size, tableIndex);
    if (file && fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0)
        return true;
    m_dwDone = m_dwSize; // nothing can be read from a file that could not be positioned
    return false;
}

unsigned CMorvaineEncryptFile::ReadEncrypt(unsigned char** out, unsigned n) {
    return ReadChunk(out, n, MORVAINE_ENCIPHER);
}

unsigned CMorvaineEncryptFile::ReadDecrypt(unsigned char** out, unsigned n) {
    return ReadChunk(out, n, MORVAINE_DECIPHER);
}

bool CMorvaineEncryptFile::EnsureChunkCapacity(unsigned n) {
    if (m_pChunk && m_nChunkCapacity >= n)
        return true;
    m_pChunk.reset(new (std::nothrow) unsigned char[n]);
    m_nChunkCapacity = m_pChunk ? n : 0;
    return m_pChunk != nullptr;
}

unsigned CMorvaineEncryptFile::ReadDecryptTo(unsigned char* destination, unsigned n) {
    return ReadInto(destination, std::min<DWORD>(n, Remaining()), MORVAINE_DECIPHER);
}

DWORD CMorvaineEncryptFile::Remaining() const {
    return m_pFile ? m_dwSize - std::min(m_dwDone, m_dwSize) : 0;
}

unsigned CMorvaineEncryptFile::ReadChunk(unsigned char** out, unsigned n, MorvaineCipherDirection direction) {
    *out = nullptr;
    const unsigned wanted = std::min<DWORD>(n, Remaining());
    if (wanted == 0 || !EnsureChunkCapacity(wanted))
        return 0;
    const unsigned got = ReadInto(m_pChunk.get(), wanted, direction);
    if (got != 0)
        *out = m_pChunk.get();
    return got;
}

unsigned CMorvaineEncryptFile::ReadInto(unsigned char* destination, unsigned wanted,
                                        MorvaineCipherDirection direction) {
    if (wanted == 0)
        return 0;
    const unsigned got = static_cast<unsigned>(fread(destination, 1, wanted, m_pFile));
    // Only bytes really read are handed out; a short read ends the stream.
    m_dwDone = got < wanted ? m_dwSize : m_dwDone + got;
    MorvaineTransform(destination, got, direction == MORVAINE_ENCIPHER ? m_abyTable : m_abyInverse, m_Key,
                      &m_nKeyPos, direction);
    return got;
}

unsigned CMorvaineEncryptFile::GetFileSize(const char* path) {
    std::string resolved;
    tqplat::FileStamp stamp;
    if (!tqplat::ResolveExistingPath(path, &resolved) || !tqplat::ReadFileStamp(resolved, &stamp) ||
        !FitsInSize(stamp.size))
        return 0;
    return static_cast<unsigned>(stamp.size);
}

int CMorvaineEncryptFile::GetTableIndex(const char* name) {
    uint32_t h = 0;
    for (const char* p = name; p && *p; ++p) {
        // Characters count as signed bytes: 0x80 and above are negative.
        h = (h << 4) + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*p)));
        const uint32_t g = h & 0xF0000000u;
        if (g != 0) {
            h ^= g >> 24;
            h &= ~g;
        }
    }
    return static_cast<int>((h & 0x7FFFFFFFu) % MORVAINE_TABLE_COUNT);
}

int CMorvaineEncryptFile::GetTableCount() {
    return MORVAINE_TABLE_COUNT;
}

bool CMorvaineEncryptFile::GetOpenFileSize(FILE* file, DWORD* size) {
    tqplat::FileStamp stamp;
    if (!tqplat::ReadOpenFileStamp(file, &stamp) || !FitsInSize(stamp.size))
        return false;
    *size = static_cast<DWORD>(stamp.size);
    return true;
}
