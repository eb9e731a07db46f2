/// @file
/// Indexed list: item pointers in insertion order, each held in an element, with an embedded tree
/// that indexes the elements by the item's key. A key can be in a list only once; membership tests
/// and look-ups by key are logarithmic.
///
/// Item contract: T provides int operator-(T& other) and, for FindElement and FindData, int
/// operator-(void* key). Only the sign is used, so each must return the sign of a three-way
/// comparison (see TQCompare in containers/tqcompare.h), never a difference truncated to int.
///
/// An element owns its item when its auto-delete flag is set and then deletes it when freed. The
/// members that take an element refuse one that is not in this list (NULL or foreign), so a stray
/// pointer cannot corrupt the links. Copying copies deeply (see containers/tqitemcopy.h): the copy
/// has its own elements and index, in the same order; a copy that runs out of memory is logged and
/// leaves the copy empty (copy construction) or the target unchanged (assignment).
#pragma once

#include <new>
#include <utility>

#include "base/tqlog.h"
#include "containers/tqavltreetmpl.h"
#include "containers/tqcontainerlog.h"
#include "containers/tqitemcopy.h"
#include "containers/tqtypename.h"
#include "platform/win32/tqwintypes.h"

template <class T> class TQListExTmpl;

/// One link of the list: the item, its auto-delete flag and the two neighbours.
template <class T> class TQListElementTmpl {
public:
    TQListElementTmpl() noexcept = default;
    /// Elements belong to one list and are never copied.
    TQListElementTmpl(const TQListElementTmpl&) = delete;
    TQListElementTmpl& operator=(const TQListElementTmpl&) = delete;
    ~TQListElementTmpl() { FreeData(); }

    /// Deletes the item when it is not NULL and the flag is set; the item becomes NULL, the flag stays.
    void FreeData();
    /// 0 for a NULL item; else frees a different previous item, stores item and flag, 1.
    BOOL SetData(T* pData, BOOL bAutoDelete);
    /// Sets whether the element deletes its item.
    void SetAutoDelete(BOOL bAutoDelete) noexcept { m_bAutoDelete = bAutoDelete; }
    /// The item.
    T* GetData() const noexcept { return m_pData; }
    /// The next element, NULL at the tail.
    TQListElementTmpl* GetNext() const noexcept { return m_pNext; }
    /// The previous element, NULL at the head.
    TQListElementTmpl* GetPrev() const noexcept { return m_pPrev; }
    /// Links the next element (the list keeps the links).
    void SetNext(TQListElementTmpl* pNext) noexcept { m_pNext = pNext; }
    /// Links the previous element (the list keeps the links).
    void SetPrev(TQListElementTmpl* pPrev) noexcept { m_pPrev = pPrev; }

    /// Orders by the items: -1 when this item is NULL, 1 when only the other's is, else the items'
    /// own operator-.
    int operator-(TQListElementTmpl& other);
    /// -1 for a NULL key (or NULL item), else the item's operator- against the key.
    int operator-(void* pKey);

private:
    BOOL m_bAutoDelete = 1;
    T* m_pData = nullptr;
    TQListElementTmpl* m_pNext = nullptr;
    TQListElementTmpl* m_pPrev = nullptr;

    friend class TQListExTmpl<T>;
    friend struct TQContainerProbe;
};

/// The index is a tree of elements: its log context reads "class TQListElementTmpl<class X>".
template <class T> struct TQTypeName<TQListElementTmpl<T>> {
    /// "class TQListElementTmpl<...>".
    static const char* Get() noexcept {
        static const TQTypeNameText text("TQListElementTmpl", TQTypeName<T>::Get());
        return text.Get();
    }
};

/// Doubly linked list of item pointers with an index by key; see tqlisttmpl.h.
template <class T> class TQListExTmpl {
public:
    /// The element type.
    typedef TQListElementTmpl<T> Element;

    TQListExTmpl() noexcept = default;
    /// Deep copy (empty when memory runs out, logged).
    TQListExTmpl(const TQListExTmpl& other);
    /// Deep copy; the target is unchanged when memory runs out (logged).
    TQListExTmpl& operator=(const TQListExTmpl& other);
    /// RemoveAll(0): items added with auto-delete set are deleted, the others survive.
    virtual ~TQListExTmpl() { RemoveAll(0); }

    /// Appends the item. 0, leaving list and item untouched, for a NULL item, a key already in the
    /// list or a failed allocation; with bLog set a refusal (NULL aside) is logged on g_tqLogDebug.
    BOOL AddTail(T* pData, BOOL bAutoDelete, BOOL bLog);
    /// Unlinks and destroys a member element; a nonzero bDelete makes it delete its item whatever its
    /// flag. 0 for NULL, an empty list or an element not in this list.
    BOOL DelList(Element* pElement, BOOL bDelete);
    /// Removes the element holding the key of pData; 0 when none (or NULL).
    BOOL DelList(T* pData, BOOL bDelete);
    /// Removes every element; a nonzero bDelete deletes every item, zero only the owned ones.
    void RemoveAll(BOOL bDelete);
    /// The first element, NULL when empty; walk with GetNext().
    Element* GetHeadPosition() const noexcept { return m_pHead; }
    /// Number of elements.
    DWORD GetCount() const noexcept { return m_dwCount; }
    /// Makes a member element the last one; NULL and foreign elements are refused (nothing happens).
    void MoveToTail(Element* pElement);
    /// The element holding the key of pData, else NULL (also for NULL).
    Element* Find(T* pData);
    /// Removes the head element and returns its item, which the caller now owns; NULL when empty.
    T* RemoveHead();
    /// The element whose item equals the key, else NULL (also for a NULL key).
    Element* FindElement(void* pKey);
    /// That element's item, else NULL.
    T* FindData(void* pKey);

private:
    bool IsMember(Element* pElement);
    void LinkAtTail(Element* pElement) noexcept;
    void Unlink(Element* pElement) noexcept;
    bool AppendCopiesOf(const TQListExTmpl& other);
    void Swap(TQListExTmpl& other) noexcept;
    static void LogError(const char* member, int line, const char* message);

    DWORD m_dwCount = 0;
    Element* m_pHead = nullptr;
    Element* m_pTail = nullptr;
    TQAVLTreeTmpl<Element> m_Index; // its nodes point at this list's elements and never own them

    friend struct TQContainerProbe;
};

template <class T> void TQListElementTmpl<T>::FreeData() {
    try {
        if (m_pData && m_bAutoDelete)
            delete m_pData;
    } catch (...) {
        TQContainerLog(g_tqLogError, "lib/project/tqlib/include/base/tqlisttmpl", "TQListElementTmpl",
                       TQTypeName<T>::Get(), "FreeData", 160, TQLOG_ERROR_PREFIX "FreeData fail.");
    }
    m_pData = nullptr;
}

template <class T> BOOL TQListElementTmpl<T>::SetData(T* pData, BOOL bAutoDelete) {
    if (!pData)
        return 0;
    if (pData != m_pData)
        FreeData();
    m_bAutoDelete = bAutoDelete;
    m_pData = pData;
    return 1;
}

template <class T> int TQListElementTmpl<T>::operator-(TQListElementTmpl& other) {
    if (!m_pData)
        return -1;
    if (!other.m_pData)
        return 1;
    return *m_pData - *other.m_pData;
}

template <class T> int TQListElementTmpl<T>::operator-(void* pKey) {
    if (!pKey || !m_pData)
        return -1;
    return *m_pData - pKey;
}

template <class T> TQListExTmpl<T>::TQListExTmpl(const TQListExTmpl& other) {
    AppendCopiesOf(other);
}

template <class T> TQListExTmpl<T>& TQListExTmpl<T>::operator=(const TQListExTmpl& other) {
    TQListExTmpl copy;
    if (this != &other && copy.AppendCopiesOf(other))
        Swap(copy);
    return *this;
}

template <class T> BOOL TQListExTmpl<T>::AddTail(T* pData, BOOL bAutoDelete, BOOL bLog) {
    try {
        if (!pData)
            return 0;
        Element* pElement = new (std::nothrow) Element;
        if (!pElement)
            return 0;
        pElement->SetData(pData, 0);
        if (m_Index.Find(pElement) || !m_Index.Insert(pElement, false)) {
            if (bLog)
                TQContainerLog(g_tqLogDebug, "lib/project/tqlib/include/base/tqlisttmpl", "TQListExTmpl",
                               TQTypeName<T>::Get(), "AddTail", 1117, "Add fail. Key exist or insert fail.");
            delete pElement; // its flag is still 0: the item survives
            return 0;
        }
        pElement->SetAutoDelete(bAutoDelete);
        LinkAtTail(pElement);
        ++m_dwCount;
        return 1;
    } catch (...) {
        LogError("AddTail", 1151, TQLOG_ERROR_PREFIX "AddTail fail.");
        return 0;
    }
}

template <class T> BOOL TQListExTmpl<T>::DelList(Element* pElement, BOOL bDelete) {
    try {
        if (!pElement || !m_dwCount || !IsMember(pElement))
            return 0;
        Unlink(pElement);
        m_Index.Delete(pElement);
        if (bDelete)
            pElement->SetAutoDelete(bDelete);
        delete pElement;
        --m_dwCount;
        return 1;
    } catch (...) {
        LogError("DelList", 949, TQLOG_ERROR_PREFIX "DelList fail.");
        return 0;
    }
}

template <class T> BOOL TQListExTmpl<T>::DelList(T* pData, BOOL bDelete) {
    Element* pElement = Find(pData);
    return pElement ? DelList(pElement, bDelete) : 0;
}

// Empties the list and its index first (the index never owns its elements, so nothing is
// compared), then frees the detached elements in order: an item whose destructor looks at this
// list finds it empty and never reaches an element already freed.
template <class T> void TQListExTmpl<T>::RemoveAll(BOOL bDelete) {
    Element* pElement = m_pHead;
    m_pHead = m_pTail = nullptr;
    m_dwCount = 0;
    m_Index.RemoveAll();
    try {
        while (pElement) {
            Element* pNext = pElement->m_pNext;
            if (bDelete)
                pElement->SetAutoDelete(1);
            delete pElement;
            pElement = pNext;
        }
    } catch (...) {
        LogError("RemoveAll", 848, TQLOG_ERROR_PREFIX "RemoveAll fail.");
    }
}

template <class T> void TQListExTmpl<T>::MoveToTail(Element* pElement) {
    if (!pElement || pElement == m_pTail || !IsMember(pElement))
        return;
    Unlink(pElement);
    LinkAtTail(pElement);
}

template <class T> typename TQListExTmpl<T>::Element* TQListExTmpl<T>::Find(T* pData) {
    if (!pData)
        return nullptr;
    Element probe;
    probe.SetData(pData, 0); // flag 0: the probe never deletes the item
    return m_Index.Find(&probe);
}

template <class T> T* TQListExTmpl<T>::RemoveHead() {
    if (!m_pHead)
        return nullptr;
    Element* pHead = m_pHead;
    T* pData = pHead->m_pData;
    pHead->SetAutoDelete(0);
    DelList(pHead, 0);
    return pData;
}

template <class T> typename TQListExTmpl<T>::Element* TQListExTmpl<T>::FindElement(void* pKey) {
    return m_Index.Find(pKey);
}

template <class T> T* TQListExTmpl<T>::FindData(void* pKey) {
    Element* pElement = FindElement(pKey);
    return pElement ? pElement->m_pData : nullptr;
}

// An element is a member when the index holds it under its own key.
template <class T> bool TQListExTmpl<T>::IsMember(Element* pElement) {
    return pElement->m_pData && m_Index.Find(pElement) == pElement;
}

template <class T> void TQListExTmpl<T>::LinkAtTail(Element* pElement) noexcept {
    pElement->m_pNext = nullptr;
    pElement->m_pPrev = m_pTail;
    if (m_pTail)
        m_pTail->m_pNext = pElement;
    else
        m_pHead = pElement;
    m_pTail = pElement;
}

template <class T> void TQListExTmpl<T>::Unlink(Element* pElement) noexcept {
    Element* pPrev = pElement->m_pPrev;
    Element* pNext = pElement->m_pNext;
    if (pPrev)
        pPrev->m_pNext = pNext;
    else
        m_pHead = pNext;
    if (pNext)
        pNext->m_pPrev = pPrev;
    else
        m_pTail = pPrev;
    pElement->m_pPrev = pElement->m_pNext = nullptr;
}

// Appends copies of other's items to this empty list (owned items copied, the others shared); on
// failure logs and leaves this list empty.
template <class T> bool TQListExTmpl<T>::AppendCopiesOf(const TQListExTmpl& other) {
    for (Element* pSource = other.m_pHead; pSource; pSource = pSource->m_pNext) {
        bool bOwned = pSource->m_bAutoDelete != 0;
        T* pData = TQCopySlotItem(pSource->m_pData, bOwned);
        if (pData && AddTail(pData, bOwned, 0))
            continue;
        if (bOwned)
            delete pData;
        LogError("AppendCopiesOf", __LINE__, TQLOG_ERROR_PREFIX "Copy fail.");
        RemoveAll(0);
        return false;
    }
    return true;
}

template <class T> void TQListExTmpl<T>::Swap(TQListExTmpl& other) noexcept {
    std::swap(m_dwCount, other.m_dwCount);
    std::swap(m_pHead, other.m_pHead);
    std::swap(m_pTail, other.m_pTail);
    m_Index.Swap(other.m_Index);
}

template <class T> void TQListExTmpl<T>::LogError(const char* member, int line, const char* message) {
    TQContainerLog(g_tqLogError, "lib/project/tqlib/include/base/tqlisttmpl", "TQListExTmpl",
                   TQTypeName<T>::Get(), member, line, message);
}
