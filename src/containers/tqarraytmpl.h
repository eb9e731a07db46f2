/// @file
/// Growable array of item pointers. Each slot is a separately allocated element holding an item
/// and an auto-delete flag; a default item, owned by the array, answers operator[] for empty slots
/// and indexes past the end.
///
/// Slots exist up to the capacity, not just up to the size: shrinking the size keeps the slots
/// beyond it with their items, and growing again within the capacity shows them again. Sizes above
/// kTQArrayMaxSize (containers/tqarrayslots.h) are refused. A write past the end grows the capacity
/// to the next multiple of the grow step above the index; a grow step of 0 counts as 1.
///
/// Items are created with new T(), so a pooled item type allocates from its class pool. The
/// constructors throw std::bad_alloc when the default item cannot be created (a constructor has no
/// result to report it with); every other member reports failure by its result and a log line on
/// g_tqLogError. Copying copies deeply (see containers/tqitemcopy.h), the default item included; a
/// copy that runs out of memory is logged and leaves the copy empty (copy construction) or the
/// target unchanged (assignment).
#pragma once

#include <new>

#include "base/tqlog.h"
#include "containers/tqarrayslots.h"
#include "containers/tqcontainerlog.h"
#include "containers/tqitemcopy.h"
#include "containers/tqtypename.h"
#include "platform/win32/tqwintypes.h"

template <class T> class TQArrayTmpl;

/// One slot: the item (NULL when empty) and whether the slot owns it. Slots are never copied.
template <class T> class TQArrayElementTmpl {
public:
    TQArrayElementTmpl() noexcept = default;
    TQArrayElementTmpl(const TQArrayElementTmpl&) = delete;
    TQArrayElementTmpl& operator=(const TQArrayElementTmpl&) = delete;
    ~TQArrayElementTmpl() { ClearData(0); }

    /// Always 1: frees a different previous item (ClearData(0)), then stores flag and item (NULL too).
    BOOL SetData(T* pData, BOOL bAutoDelete);
    /// Deletes the item when bForce or the flag is set, else forgets it; item NULL and flag 0 after.
    void ClearData(BOOL bForce);
    /// The item, NULL when empty.
    T* GetData() const noexcept { return m_pData; }

private:
    T* m_pData = nullptr;
    BOOL m_bAutoDelete = 1;

    friend class TQArrayTmpl<T>;
    friend struct TQContainerProbe;
};

/// Growable array of item pointers with a default item; see tqarraytmpl.h.
template <class T> class TQArrayTmpl {
public:
    /// The slot type.
    typedef TQArrayElementTmpl<T> Element;

    TQArrayTmpl();
    /// Deep copy (empty when memory runs out, logged).
    TQArrayTmpl(const TQArrayTmpl& other);
    /// Deep copy; the target is unchanged when memory runs out (logged).
    TQArrayTmpl& operator=(const TQArrayTmpl& other);
    /// DeleteAll, then the default item is deleted.
    virtual ~TQArrayTmpl() { DeleteAll(); }

    /// Sets size and grow step; above the capacity the table grows to dwCount slots, each with an
    /// element and, when bCreate is set, an item (new T(), owned). 0, changing nothing, on failure.
    BOOL SetSize(DWORD dwCount, BOOL bCreate, DWORD dwGrow);
    /// Number of slots in use.
    DWORD GetSize() const noexcept { return m_dwSize; }
    /// The item of a valid slot, else NULL.
    T* GetAt(DWORD dwIndex) const noexcept;
    /// Stores the item in the slot, growing past the end; a different owned item there is deleted.
    BOOL SetAt(DWORD dwIndex, T* pData, BOOL bAutoDelete);
    /// The item of a valid slot holding one, else the default item.
    T& operator[](DWORD dwIndex) noexcept;
    /// Destroys every slot (deleting owned items) and the table; size 0, capacity 0, grow step 4.
    void DeleteAll();
    /// Index below the size with a table present and, unless bAllowEmpty, an element in the slot.
    BOOL IsValidIndex(DWORD dwIndex, BOOL bAllowEmpty) const noexcept;
    /// Makes the index writable, growing when it is at or past the size; 1 when its slot exists.
    BOOL EnsureIndex(DWORD dwIndex, BOOL bCreate);

private:
    BOOL Grow(DWORD dwCount, BOOL bCreate);
    bool FillSlots(Element** ppTable, T** ppNewItems, DWORD dwCount, DWORD& dwFailed);
    bool CloneSlots(const TQArrayTmpl& other, Element**& ppTable) const;
    static Element* CloneElement(const Element& source);
    static T* NewItem() noexcept;
    static T* DefaultItemOrThrow(T* pItem);
    static void LogError(const char* member, int line, const char* format, DWORD dwCount = 0,
                         DWORD dwIndex = 0);

    DWORD m_dwSize = 0;
    DWORD m_dwCapacity = 0;
    DWORD m_dwGrow = 4;
    Element** m_ppElement = nullptr;
    Element m_DefaultElement;

    friend struct TQContainerProbe;
};

template <class T> BOOL TQArrayElementTmpl<T>::SetData(T* pData, BOOL bAutoDelete) {
    if (pData != m_pData)
        ClearData(0);
    m_bAutoDelete = bAutoDelete;
    m_pData = pData;
    return 1;
}

template <class T> void TQArrayElementTmpl<T>::ClearData(BOOL bForce) {
    try {
        if (m_pData && (bForce || m_bAutoDelete))
            delete m_pData;
    } catch (...) {
        TQContainerLog(g_tqLogError, "lib/project/tqlib/include/base/tqarraytmpl", "TQArrayElementTmpl",
                       TQTypeName<T>::Get(), "ClearData", 131, TQLOG_ERROR_PREFIX "ClearData fail.");
    }
    m_pData = nullptr;
    m_bAutoDelete = 0;
}

template <class T> TQArrayTmpl<T>::TQArrayTmpl() {
    m_DefaultElement.SetData(DefaultItemOrThrow(NewItem()), 1);
}

template <class T> TQArrayTmpl<T>::TQArrayTmpl(const TQArrayTmpl& other) {
    m_DefaultElement.SetData(DefaultItemOrThrow(TQItemCopy<T>::Copy(*other.m_DefaultElement.m_pData)), 1);
    if (!CloneSlots(other, m_ppElement)) {
        LogError("TQArrayTmpl", __LINE__, TQLOG_ERROR_PREFIX "Copy fail.");
        return;
    }
    m_dwSize = other.m_dwSize;
    m_dwCapacity = other.m_dwCapacity;
    m_dwGrow = other.m_dwGrow;
}

template <class T> TQArrayTmpl<T>& TQArrayTmpl<T>::operator=(const TQArrayTmpl& other) {
    if (this == &other)
        return *this;
    T* pDefault = TQItemCopy<T>::Copy(*other.m_DefaultElement.m_pData);
    Element** ppTable = nullptr;
    if (!pDefault || !CloneSlots(other, ppTable)) {
        delete pDefault;
        LogError("operator=", __LINE__, TQLOG_ERROR_PREFIX "Copy fail.");
        return *this;
    }
    DeleteAll();
    m_ppElement = ppTable;
    m_dwSize = other.m_dwSize;
    m_dwCapacity = other.m_dwCapacity;
    m_dwGrow = other.m_dwGrow;
    m_DefaultElement.SetData(pDefault, 1);
    return *this;
}

template <class T> BOOL TQArrayTmpl<T>::SetSize(DWORD dwCount, BOOL bCreate, DWORD dwGrow) {
    try {
        if (dwCount > m_dwCapacity && !Grow(dwCount, bCreate))
            return 0;
        m_dwSize = dwCount;
        m_dwGrow = dwGrow;
        return 1;
    } catch (...) {
        LogError("SetSize", 317, TQLOG_ERROR_PREFIX "SetSize fail.");
        return 0;
    }
}

template <class T> T* TQArrayTmpl<T>::GetAt(DWORD dwIndex) const noexcept {
    return IsValidIndex(dwIndex, 0) ? m_ppElement[dwIndex]->m_pData : nullptr;
}

template <class T> BOOL TQArrayTmpl<T>::SetAt(DWORD dwIndex, T* pData, BOOL bAutoDelete) {
    if (!EnsureIndex(dwIndex, 0))
        return 0;
    m_ppElement[dwIndex]->SetData(pData, bAutoDelete);
    return 1;
}

template <class T> T& TQArrayTmpl<T>::operator[](DWORD dwIndex) noexcept {
    T* pData = GetAt(dwIndex);
    return pData ? *pData : *m_DefaultElement.m_pData;
}

template <class T> void TQArrayTmpl<T>::DeleteAll() {
    try {
        if (m_ppElement) {
            for (DWORD i = 0; i < m_dwCapacity; ++i) {
                delete m_ppElement[i];
                m_ppElement[i] = nullptr;
            }
            delete[] m_ppElement;
        }
    } catch (...) {
        LogError("DeleteAll", 368, TQLOG_ERROR_PREFIX "DeleteAll fail.");
    }
    m_ppElement = nullptr;
    m_dwSize = m_dwCapacity = 0;
    m_dwGrow = 4;
}

template <class T> BOOL TQArrayTmpl<T>::IsValidIndex(DWORD dwIndex, BOOL bAllowEmpty) const noexcept {
    return dwIndex < m_dwSize && m_ppElement && (bAllowEmpty || m_ppElement[dwIndex]);
}

template <class T> BOOL TQArrayTmpl<T>::EnsureIndex(DWORD dwIndex, BOOL bCreate) {
    if (m_ppElement && dwIndex < m_dwSize)
        return m_ppElement[dwIndex] != nullptr;
    if (!SetSize(TQArrayGrowTarget(dwIndex, m_dwGrow), bCreate, m_dwGrow))
        return 0;
    m_dwSize = dwIndex + 1;
    return m_ppElement[dwIndex] != nullptr;
}

// Builds the larger table completely (elements, then items) before anything is committed, so a
// failure leaves the array exactly as it was.
template <class T> BOOL TQArrayTmpl<T>::Grow(DWORD dwCount, BOOL bCreate) {
    Element** ppTable = TQAllocSlotTable(m_ppElement, m_dwCapacity, dwCount);
    T** ppNewItems = (ppTable && bCreate) ? new (std::nothrow) T*[dwCount]() : nullptr;
    if (!ppTable || (bCreate && !ppNewItems)) {
        delete[] ppTable;
        LogError("SetSize", 250,
                 TQLOG_ERROR_PREFIX "TQArrayElementTmpl double array create fail. [dwMaxArraySize=%d]",
                 dwCount);
        return 0;
    }
    DWORD dwFailed = 0;
    if (!FillSlots(ppTable, ppNewItems, dwCount, dwFailed)) {
        for (DWORD i = 0; ppNewItems && i < dwCount; ++i)
            delete ppNewItems[i];
        TQReleaseNewSlots(ppTable, m_ppElement, m_dwCapacity, dwCount);
        delete[] ppNewItems;
        delete[] ppTable;
        LogError("SetSize", 274,
                 TQLOG_ERROR_PREFIX "TQArrayElementTmpl array create fail. [dwMaxArraySize=%d, i=%d]",
                 dwCount, dwFailed);
        return 0;
    }
    for (DWORD i = 0; ppNewItems && i < dwCount; ++i) {
        if (ppNewItems[i])
            ppTable[i]->SetData(ppNewItems[i], 1);
    }
    delete[] ppNewItems;
    delete[] m_ppElement;
    m_ppElement = ppTable;
    m_dwCapacity = dwCount;
    return 1;
}

/// Gives every empty slot an element and, when ppNewItems is given, creates an item for every slot
/// without one (kept aside in ppNewItems until the growth commits). False at the first failure.
template <class T>
bool TQArrayTmpl<T>::FillSlots(Element** ppTable, T** ppNewItems, DWORD dwCount, DWORD& dwFailed) {
    for (DWORD i = 0; i < dwCount; ++i) {
        dwFailed = i;
        if (!ppTable[i] && !(ppTable[i] = new (std::nothrow) Element))
            return false;
        if (ppNewItems && !ppTable[i]->m_pData && !(ppNewItems[i] = NewItem()))
            return false;
    }
    return true;
}

// A copy of other's table: its own elements, owned items copied, the others shared.
template <class T> bool TQArrayTmpl<T>::CloneSlots(const TQArrayTmpl& other, Element**& ppTable) const {
    ppTable = nullptr;
    if (!other.m_ppElement)
        return true;
    ppTable = TQAllocSlotTable<Element>(nullptr, 0, other.m_dwCapacity);
    for (DWORD i = 0; ppTable && i < other.m_dwCapacity; ++i) {
        if (other.m_ppElement[i] && !(ppTable[i] = CloneElement(*other.m_ppElement[i]))) {
            TQReleaseNewSlots<Element>(ppTable, nullptr, 0, other.m_dwCapacity);
            delete[] ppTable;
            ppTable = nullptr;
        }
    }
    return ppTable != nullptr;
}

template <class T> typename TQArrayTmpl<T>::Element* TQArrayTmpl<T>::CloneElement(const Element& source) {
    Element* pElement = new (std::nothrow) Element;
    if (!pElement)
        return nullptr;
    pElement->m_pData = TQCopySlotItem(source.m_pData, source.m_bAutoDelete != 0);
    pElement->m_bAutoDelete = source.m_bAutoDelete;
    if (source.m_pData && !pElement->m_pData) {
        delete pElement;
        return nullptr;
    }
    return pElement;
}

template <class T> T* TQArrayTmpl<T>::NewItem() noexcept {
    try {
        return new T();
    } catch (...) {
        return nullptr;
    }
}

template <class T> T* TQArrayTmpl<T>::DefaultItemOrThrow(T* pItem) {
    if (!pItem)
        throw std::bad_alloc();
    return pItem;
}

template <class T>
void TQArrayTmpl<T>::LogError(const char* member, int line, const char* format, DWORD dwCount,
                              DWORD dwIndex) {
    TQContainerLog(g_tqLogError, "lib/project/tqlib/include/base/tqarraytmpl", "TQArrayTmpl",
                   TQTypeName<T>::Get(), member, line, format, static_cast<int>(dwCount),
                   static_cast<int>(dwIndex));
}
