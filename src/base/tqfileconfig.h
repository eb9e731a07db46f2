/// @file
/// Reader of configuration text (every description file).
///
/// The text is lines of KEY=VALUE, split at line feeds; a CR before the line feed and a UTF-8 byte
/// order mark at the start are ignored. Keys and values are trimmed of white space, keys compare
/// without regard to ASCII case, a key that appears again replaces the earlier value. Lines whose
/// first non-blank character is '#' are comments; lines without '=' or with an empty key are
/// ignored. An absent key reads as the empty text, or 0 as a number.
///
/// Copies are deep.
#pragma once

#include <map>
#include <string>

#include "base/tqstring.h"

/// LoadFileConfig flag: data is a buffer even when its length is 0 (an empty file from a pack).
constexpr int TQFILECONFIG_FROM_MEMORY = 1;

/// KEY=VALUE configuration text; tqfileconfig.h gives the syntax.
class TQFileConfig {
public:
    TQFileConfig() = default;
    virtual ~TQFileConfig() = default;
    /// Copies are deep.
    TQFileConfig(const TQFileConfig&) = default;
    /// Deep copy.
    TQFileConfig& operator=(const TQFileConfig&) = default;

    /// Replaces the configuration by the text of a buffer or a file:
    /// - length > 0, or flag TQFILECONFIG_FROM_MEMORY: data points to length bytes of text;
    /// - otherwise data is a path (GBK), read from the file system as it is written.
    /// Nonzero on success; on failure (NULL data, unreadable file) the configuration is unchanged.
    BOOL LoadFileConfig(const char* data, DWORD length, int flag);

    /// Value text of key (NULL reads as the empty key).
    TQString GetConfig(const char* key) const;
    /// Value of key as a number (TQString::GetValue): 0 when absent or not a number.
    LONGLONG GetConfigNum(const char* key) const;
    /// Number of keys held.
    DWORD GetCount() const { return static_cast<DWORD>(m_values.size()); }

private:
    void Parse(const char* text, size_t length);
    void ParseLine(const char* line, size_t length);

    std::map<std::string, TQString> m_values; // by upper-cased key
};
