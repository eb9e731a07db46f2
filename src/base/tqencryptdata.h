/// @file
/// Key tables handed to the base library at start-up.
///
/// The library keeps the pointer, not a copy: the caller keeps a table alive for as long as it is
/// set (the engine's tables are static data). A NULL table or a size of 0 clears the setting.
/// Thread-safe.
#pragma once

#include "platform/win32/tqwintypes.h"

/// Table for protocol data (65536 bytes as the engine passes it).
void TQSetProtocolEncryptData(const void* table, DWORD size);
/// Table for stored strings (65536 bytes as the engine passes it); TQString::DeCodeString and
/// EnCodeString use it when given no key.
void TQSetStringEncryptData(const void* table, DWORD size);

/// The tables as set (NULL and size 0 when none). size may be NULL.
const unsigned char* TQGetProtocolEncryptData(DWORD* size);
/// The string table as set (NULL and size 0 when none). size may be NULL.
const unsigned char* TQGetStringEncryptData(DWORD* size);
