/// @class TQStringIndex
/// Texts kept under 64-bit keys, in ascending (unsigned) key order.
///
/// Positions count from 0 in key order. Stored texts keep their address until they are deleted,
/// so a pointer from FindData stays valid across other insertions. Copies are deep.
#pragma once

#include <map>

#include "base/tqstringindexdata.h"

class TQStringIndex {
public:
    /// Stores text (NULL reads as empty) under key. When the key exists, flag 0 replaces its text
    /// and any other flag keeps the old text and returns FALSE.
    BOOL InsertData(ULONGLONG key, const char* text, int flag);
    /// FALSE when the key is absent.
    BOOL DeleteData(ULONGLONG key);
    /// Removes every entry.
    void RemoveAll() { m_entries.clear(); }
    /// Text under key, NULL when absent.
    TQString* FindData(ULONGLONG key);
    /// Number of entries.
    DWORD GetCount() const { return static_cast<DWORD>(m_entries.size()); }
    /// Text or entry at a position, NULL when out of range.
    TQString* FindDataIndex(DWORD index);
    /// Entry (key and text) at a position, NULL when out of range.
    TQStringIndexData* FindDataIndexPtr(DWORD index);

private:
    std::map<ULONGLONG, TQStringIndexData> m_entries;
};
