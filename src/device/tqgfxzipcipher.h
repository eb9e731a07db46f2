/// @class TQGfxZipCipher
/// The traditional PKWARE cipher of password-protected zip entries, decrypting side. The system's
/// minizip is built without it, so entries are read raw and deciphered here.
#pragma once

#include <cstddef>
#include <cstdint>

class TQGfxZipCipher {
public:
    /// Size of the encryption header in front of every encrypted entry.
    static constexpr size_t kHeaderSize = 12;

    /// Starts the key stream from password (NULL reads as empty).
    explicit TQGfxZipCipher(const char* password);

    /// Deciphers size bytes in place, continuing the key stream.
    void Decrypt(uint8_t* data, size_t size);

private:
    void UpdateKeys(uint8_t plain);

    uint32_t m_keys[3];
};
