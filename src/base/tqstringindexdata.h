/// @class TQStringIndexData
/// One entry of a TQStringIndex: its key and its text.
#pragma once

#include "base/tqstring.h"

class TQStringIndexData {
public:
    /// An entry for text (NULL reads as empty) under key.
    TQStringIndexData(ULONGLONG key, const char* text) : m_key(key), m_data(text) {}
    /// The key.
    ULONGLONG GetKey() const { return m_key; }
    /// The text.
    TQString& GetData() { return m_data; }
    /// The text.
    const TQString& GetData() const { return m_data; }

private:
    ULONGLONG m_key;
    TQString m_data;
};
