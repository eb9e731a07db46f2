/// @file
/// The pack cipher's 30 permutation tables of 0..255 (constant data, generated; see
/// tools/gen_cipher_tables.py). Each entry is a 32-bit value of which only the low byte is used.
#pragma once

#include <cstdint>

enum { MORVAINE_TABLE_COUNT = 30 };

/// The tables, by index (CMorvaineEncryptFile::GetTableIndex).
extern const uint32_t g_morvaineCipherTables[MORVAINE_TABLE_COUNT][256];
