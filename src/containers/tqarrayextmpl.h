/// @file
/// Growable array of plain values (float in this system), each separately allocated, with a
/// default value that answers reads of invalid indexes.
///
/// Slots exist up to the capacity, not just up to the size, as in TQArrayTmpl. Sizes above
/// kTQArrayMaxSize (containers/tqarrayslots.h) are refused; a grow step of 0 counts as 1. Failures
/// are reported by the result and a log line on g_tqLogError. Copying copies the values; a copy
/// that runs out of memory is logged and leaves the copy empty (copy construction) or the target
/// unchanged (assignment).
#pragma once

#include <new>

#include "base/tqlog.h"
#include "containers/tqarrayslots.h"
#include "containers/tqcontainerlog.h"
#include "containers/tqtypename.h"
#include "platform/win32/tqwintypes.h"

/// Growable array of separately allocated plain values; see tqarrayextmpl.h.
template <class T> class TQArrayExTmpl {
public:
    TQArrayExTmpl() noexcept = default;
    /// Deep copy (empty when memory runs out, logged).
    TQArrayExTmpl(const TQArrayExTmpl& other);
    /// Deep copy; the target is unchanged when memory runs out (logged).
    TQArrayExTmpl& operator=(const TQArrayExTmpl& other);
    virtual ~TQArrayExTmpl() { DeleteAll(); }

    /// Sets size and grow step; above the capacity the table grows to dwCount slots, each empty one
    /// receiving a value T() (0.0). 0, changing nothing, on failure.
    BOOL SetSize(DWORD dwCount, DWORD dwGrow);
    /// Number of values in use.
    DWORD GetSize() const noexcept { return m_dwSize; }
    /// Stores the value, growing past the end; 1 on success.
    BOOL SetAt(DWORD dwIndex, T value);
    /// The stored value of a valid index, else the default value.
    T* GetAt(DWORD dwIndex) noexcept;
    /// Releases every value and the table; size 0, capacity 0, grow step 4.
    void DeleteAll();
    /// True when dwIndex is below the size and the table exists, and its value exists unless bAllowEmpty.
    BOOL IsValidIndex(DWORD dwIndex, BOOL bAllowEmpty) const noexcept;
    /// Makes the index writable, growing when it is at or past the size; 1 when its value exists.
    BOOL EnsureIndex(DWORD dwIndex);

private:
    BOOL Grow(DWORD dwCount);
    bool CloneValues(const TQArrayExTmpl& other, T**& ppTable) const;
    static void LogError(const char* member, int line, const char* format, DWORD dwCount = 0,
                         DWORD dwIndex = 0);

    DWORD m_dwSize = 0;
    DWORD m_dwCapacity = 0;
    DWORD m_dwGrow = 4;
    T** m_ppValue = nullptr;
    T m_DefaultValue = T();

    friend struct TQContainerProbe;
};

template <class T>
TQArrayExTmpl<T>::TQArrayExTmpl(const TQArrayExTmpl& other) : m_DefaultValue(other.m_DefaultValue) {
    if (!CloneValues(other, m_ppValue)) {
        LogError("TQArrayExTmpl", __LINE__, TQLOG_ERROR_PREFIX "Copy fail.");
        return;
    }
    m_dwSize = other.m_dwSize;
    m_dwCapacity = other.m_dwCapacity;
    m_dwGrow = other.m_dwGrow;
}

template <class T> TQArrayExTmpl<T>& TQArrayExTmpl<T>::operator=(const TQArrayExTmpl& other) {
    if (this == &other)
        return *this;
    T** ppTable = nullptr;
    if (!CloneValues(other, ppTable)) {
        LogError("operator=", __LINE__, TQLOG_ERROR_PREFIX "Copy fail.");
        return *this;
    }
    DeleteAll();
    m_ppValue = ppTable;
    m_dwSize = other.m_dwSize;
    m_dwCapacity = other.m_dwCapacity;
    m_dwGrow = other.m_dwGrow;
    m_DefaultValue = other.m_DefaultValue;
    return *this;
}

template <class T> BOOL TQArrayExTmpl<T>::SetSize(DWORD dwCount, DWORD dwGrow) {
    try {
        if (dwCount > m_dwCapacity && !Grow(dwCount))
            return 0;
        m_dwSize = dwCount;
        m_dwGrow = dwGrow;
        return 1;
    } catch (...) {
        LogError("SetSize", 128, TQLOG_ERROR_PREFIX "SetSize fail.");
        return 0;
    }
}

template <class T> BOOL TQArrayExTmpl<T>::SetAt(DWORD dwIndex, T value) {
    if (!EnsureIndex(dwIndex))
        return 0;
    *m_ppValue[dwIndex] = value;
    return 1;
}

template <class T> T* TQArrayExTmpl<T>::GetAt(DWORD dwIndex) noexcept {
    return IsValidIndex(dwIndex, 0) ? m_ppValue[dwIndex] : &m_DefaultValue;
}

template <class T> void TQArrayExTmpl<T>::DeleteAll() {
    try {
        if (m_ppValue) {
            for (DWORD i = 0; i < m_dwCapacity; ++i) {
                delete m_ppValue[i];
                m_ppValue[i] = nullptr;
            }
            delete[] m_ppValue;
        }
    } catch (...) {
        LogError("DeleteAll", 164, TQLOG_ERROR_PREFIX "DeleteAll fail.");
    }
    m_ppValue = nullptr;
    m_dwSize = m_dwCapacity = 0;
    m_dwGrow = 4;
}

template <class T> BOOL TQArrayExTmpl<T>::IsValidIndex(DWORD dwIndex, BOOL bAllowEmpty) const noexcept {
    return dwIndex < m_dwSize && m_ppValue && (bAllowEmpty || m_ppValue[dwIndex]);
}

template <class T> BOOL TQArrayExTmpl<T>::EnsureIndex(DWORD dwIndex) {
    if (m_ppValue && dwIndex < m_dwSize)
        return m_ppValue[dwIndex] != nullptr;
    if (!SetSize(TQArrayGrowTarget(dwIndex, m_dwGrow), m_dwGrow))
        return 0;
    m_dwSize = dwIndex + 1;
    return m_ppValue[dwIndex] != nullptr;
}

// Builds the larger table completely before it replaces the old one, so a failure changes nothing.
template <class T> BOOL TQArrayExTmpl<T>::Grow(DWORD dwCount) {
    T** ppTable = TQAllocSlotTable(m_ppValue, m_dwCapacity, dwCount);
    if (!ppTable) {
        LogError("SetSize", 75,
                 TQLOG_ERROR_PREFIX "TQArrayElementTmpl double array create fail. [dwMaxArraySize=%d]",
                 dwCount);
        return 0;
    }
    for (DWORD i = 0; i < dwCount; ++i) {
        if (!ppTable[i] && !(ppTable[i] = new (std::nothrow) T())) {
            TQReleaseNewSlots(ppTable, m_ppValue, m_dwCapacity, dwCount);
            delete[] ppTable;
            LogError("SetSize", 99,
                     TQLOG_ERROR_PREFIX "TQArrayElementTmpl array create fail. [dwMaxArraySize=%d, i=%d]",
                     dwCount, i);
            return 0;
        }
    }
    delete[] m_ppValue;
    m_ppValue = ppTable;
    m_dwCapacity = dwCount;
    return 1;
}

// A copy of other's table with values of its own.
template <class T> bool TQArrayExTmpl<T>::CloneValues(const TQArrayExTmpl& other, T**& ppTable) const {
    ppTable = nullptr;
    if (!other.m_ppValue)
        return true;
    ppTable = TQAllocSlotTable<T>(nullptr, 0, other.m_dwCapacity);
    for (DWORD i = 0; ppTable && i < other.m_dwCapacity; ++i) {
        if (other.m_ppValue[i] && !(ppTable[i] = new (std::nothrow) T(*other.m_ppValue[i]))) {
            TQReleaseNewSlots<T>(ppTable, nullptr, 0, other.m_dwCapacity);
            delete[] ppTable;
            ppTable = nullptr;
        }
    }
    return ppTable != nullptr;
}

template <class T>
void TQArrayExTmpl<T>::LogError(const char* member, int line, const char* format, DWORD dwCount,
                                DWORD dwIndex) {
    TQContainerLog(g_tqLogError, "lib/project/tqlib/include/base/tqarrayextmpl", "TQArrayExTmpl",
                   TQTypeName<T>::Get(), member, line, format, static_cast<int>(dwCount),
                   static_cast<int>(dwIndex));
}
