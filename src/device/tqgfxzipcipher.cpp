#include "device/tqgfxzipcipher.h"

#include <zlib.h>

namespace {

// One step of the CRC-32 the cipher mixes its keys with.
uint32_t CrcStep(uint32_t crc, uint8_t byte) {
    return static_cast<uint32_t>(get_crc_table()[(crc ^ byte) & 0xFF]) ^ (crc >> 8);
}

} // namespace

TQGfxZipCipher::TQGfxZipCipher(const char* password) : m_keys{0x12345678u, 0x23456789u, 0x34567890u} {
    for (const char* c = password; c && *c; ++c)
        UpdateKeys(static_cast<uint8_t>(*c));
}

void TQGfxZipCipher::UpdateKeys(uint8_t plain) {
    m_keys[0] = CrcStep(m_keys[0], plain);
    m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFF)) * 134775813u + 1u;
    m_keys[2] = CrcStep(m_keys[2], static_cast<uint8_t>(m_keys[1] >> 24));
}

void TQGfxZipCipher::Decrypt(uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        uint32_t temp = (m_keys[2] & 0xFFFF) | 2u;
        data[i] = static_cast<uint8_t>(data[i] ^ (((temp * (temp ^ 1u)) >> 8) & 0xFF));
        UpdateKeys(data[i]);
    }
}
