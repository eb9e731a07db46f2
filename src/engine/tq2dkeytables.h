/// @file
/// The two 65,536-byte key-material tables the engine hands to the base library at start-up, and the
/// default window title stored encoded with the string table.
#pragma once

#include <array>
#include <cstdint>

/// One key-material table.
using TQ2DKeyTable = std::array<unsigned char, 65536>;

/// The protocol table (TQSetProtocolEncryptData).
extern const TQ2DKeyTable g_tq2dProtocolKeyTable;
/// The string table (TQSetStringEncryptData).
extern const TQ2DKeyTable g_tq2dStringKeyTable;

/// The default window title, encoded with the string table (TQString::DeCodeString).
extern const char g_tq2dEncodedTitle[];
