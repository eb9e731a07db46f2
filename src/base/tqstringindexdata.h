// One entry of a TQStringIndex: its key and its text.
#pragma once

#include "base/tqstring.h"

class TQStringIndexData {
public:
    TQStringIndexData(ULONGLONG key, const char* text) : m_key(key), m_data(text) {}
    ULONGLONG GetKey() const { return m_key; }
    TQString& GetData() { return m_data; }
    const TQString& GetData() const { return m_data; }

private:
    ULONGLONG m_key;
    TQString m_data;
};
