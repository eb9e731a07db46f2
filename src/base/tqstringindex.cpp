#include "base/tqstringindex.h"

#include <iterator>

BOOL TQStringIndex::InsertData(ULONGLONG key, const char* text, int flag) {
    auto found = m_entries.find(key);
    if (found == m_entries.end()) {
        m_entries.emplace(key, TQStringIndexData(key, text));
        return TRUE;
    }
    if (flag)
        return FALSE;
    found->second.GetData() = text;
    return TRUE;
}

BOOL TQStringIndex::DeleteData(ULONGLONG key) {
    return m_entries.erase(key) ? TRUE : FALSE;
}

TQString* TQStringIndex::FindData(ULONGLONG key) {
    auto found = m_entries.find(key);
    return found == m_entries.end() ? nullptr : &found->second.GetData();
}

TQString* TQStringIndex::FindDataIndex(DWORD index) {
    TQStringIndexData* entry = FindDataIndexPtr(index);
    return entry ? &entry->GetData() : nullptr;
}

TQStringIndexData* TQStringIndex::FindDataIndexPtr(DWORD index) {
    if (index >= m_entries.size())
        return nullptr;
    return &std::next(m_entries.begin(), index)->second;
}
