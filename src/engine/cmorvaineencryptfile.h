/// @class CMorvaineEncryptFile
/// Enciphering and deciphering byte stream over a C FILE, read chunk by chunk.
///
/// The cipher substitutes every byte: it is combined by XOR with a cycling key and passed through
/// one of 30 constant permutation tables, chosen by a hash of the stored file's name. Enciphered
/// data has exactly the length of the plain data. Byte i of a stream (from 0) uses key character
/// (i + 1) mod key length; the key position runs on across chunks, so the chunk size never changes
/// the output.
///
/// Use: Open (a file of one's own) or Attach (a stretch of somebody else's file), then ReadEncrypt
/// or ReadDecrypt repeatedly until it returns 0. The chunk pointer handed out stays valid until the
/// next read, Open, Attach or the stream's destruction.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "containers/tqmemorypooltmpl.h"
#include "engine/cmorvainecipher.h"
#include "platform/win32/tqwintypes.h"

class CMorvaineEncryptFile {
public:
    CMorvaineEncryptFile();
    virtual ~CMorvaineEncryptFile();
    /// A stream owns its buffer and possibly its file: it is never copied.
    CMorvaineEncryptFile(const CMorvaineEncryptFile&) = delete;
    CMorvaineEncryptFile& operator=(const CMorvaineEncryptFile&) = delete;

    /// Closes a file the stream owns, then takes a key of 1 to 63 characters (the key position
    /// starts again). An empty or longer key returns false and leaves the old key in place.
    bool SetKey(const char* key);

    /// Opens the file at path (through the platform's path resolver) for reading; the stream owns
    /// it. The stream covers the whole file. False when it cannot be opened or is 4 GiB or larger.
    bool Open(const char* path, int tableIndex);

    /// Reads size bytes of file from offset on; the file stays its owner's. False when the seek
    /// fails (later reads then return 0).
    bool Attach(FILE* file, unsigned offset, unsigned size, int tableIndex);

    /// Next chunk of at most n bytes, enciphered (ReadEncrypt) or deciphered (ReadDecrypt) in the
    /// stream's buffer. Returns the chunk's length and sets *out to it; 0 (and *out NULL) at the
    /// end of the stream, without a file, or after a short read of the file has been handed out.
    unsigned ReadEncrypt(unsigned char** out, unsigned n);
    /// Deciphering form of ReadEncrypt.
    unsigned ReadDecrypt(unsigned char** out, unsigned n);
    /// Deciphers the next bytes (at most n) straight into destination, as the same number of
    /// ReadDecrypt calls would give them, without the stream's buffer. Returns how many.
    unsigned ReadDecryptTo(unsigned char* destination, unsigned n);

    /// Bytes of the file that belong to the stream (set by Open and Attach).
    DWORD GetSize() const { return m_dwSize; }

    /// Size of the file at path (through the resolver); 0 when it cannot be had or is 4 GiB or more.
    static unsigned GetFileSize(const char* path);
    /// Table used for a stored name (the pack's normalised form): 0..29.
    static int GetTableIndex(const char* name);
    /// Number of cipher tables (30).
    static int GetTableCount();
    /// Size of an open file; false when the file system cannot tell or it is 4 GiB or more.
    static bool GetOpenFileSize(FILE* file, DWORD* size);

    TQ_DECLARE_MEMORY_POOL(CMorvaineEncryptFile)

private:
    void CloseOwnedFile();
    void Start(FILE* file, unsigned size, int tableIndex);
    bool EnsureChunkCapacity(unsigned n);
    DWORD Remaining() const;
    unsigned ReadChunk(unsigned char** out, unsigned n, MorvaineCipherDirection direction);
    unsigned ReadInto(unsigned char* destination, unsigned wanted, MorvaineCipherDirection direction);

    std::unique_ptr<unsigned char[]> m_pChunk; // buffer of the last chunk handed out
    unsigned m_nChunkCapacity = 0;
    char m_szKey[64];
    int m_nKeyLength = 0;
    MorvaineCipherKey m_Key; // the key repeated, for the transform
    FILE* m_pFile = nullptr;
    int m_nTableIndex = 0;
    int m_nKeyPos = 0;               // key character used for the last byte
    DWORD m_dwSize = 0;              // bytes of the file that belong to the stream
    DWORD m_dwDone = 0;              // bytes handed out so far
    unsigned char m_abyTable[256];   // the table in use
    unsigned char m_abyInverse[256]; // its inverse
    bool m_bAttached = false;
};
