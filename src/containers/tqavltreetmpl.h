/// @file
/// Balanced search tree of item pointers, ordered by the items' own comparison.
///
/// One class serves as the tree object and as its nodes: the tree object holds no item, its
/// m_pParent holds the root and its m_dwCount the number of nodes. Each node may own its item
/// (auto-delete flag) and then deletes it when the node goes. Keys are unique: inserting an item
/// whose key is stored already replaces the stored item.
///
/// Item contract: T provides
///
///     int operator-(T& other)     stored item minus other: negative below, 0 same key, positive above
///     int operator-(void* key)    stored item minus a key (only for Find by key)
///
/// The tree uses only the sign, so each must return the sign of a three-way comparison (see
/// TQCompare in containers/tqcompare.h), never a difference truncated to int.
///
/// Every member with a handler catches all exceptions, logs them on g_tqLogError and returns its
/// failure value. Copying copies deeply (see containers/tqitemcopy.h); a copy that runs out of
/// memory is logged and leaves the copy empty (copy construction) or the target unchanged
/// (assignment). The parent links are written when a node is linked and by the rotations; nothing
/// reads them to move through the tree.
#pragma once

#include <new>
#include <utility>

#include "base/tqlog.h"
#include "containers/tqcontainerlog.h"
#include "containers/tqitemcopy.h"
#include "containers/tqtypename.h"
#include "platform/win32/tqwintypes.h"

/// Balanced search tree of item pointers (tree object and node in one); see tqavltreetmpl.h.
template <class T> class TQAVLTreeTmpl {
public:
    TQAVLTreeTmpl() noexcept = default;
    /// Deep copy (empty when memory runs out, logged).
    TQAVLTreeTmpl(const TQAVLTreeTmpl& other);
    /// Deep copy; the target is unchanged when memory runs out (logged).
    TQAVLTreeTmpl& operator=(const TQAVLTreeTmpl& other);
    /// FreeData, then RemoveAll: owned items are deleted.
    virtual ~TQAVLTreeTmpl();

    /// Adds the item; an equal key replaces the stored item (deleting it when owned) and keeps the
    /// count. 1 on success; 0 for a NULL item or on failure, the item then left to the caller.
    BOOL Insert(T* pData, bool bAutoDelete);
    /// The stored item equal to the key, else NULL (also for a NULL key).
    T* Find(void* pKey);
    /// The stored item with the key of pData, else NULL (also for NULL).
    T* Find(T* pData);
    /// Removes the node with the key of pData, deleting its item when owned; 0 when none.
    BOOL Delete(T* pData);
    /// Removes every node, deleting owned items.
    void RemoveAll();
    /// On a node: deletes the item when owned, then flag 1, item NULL, balance 0.
    void FreeData();
    /// Clears every field without deleting anything (detaches an item from a node).
    void Reset() noexcept;
    /// On a node: its item.
    T* GetData() const noexcept { return m_pData; }

private:
    typedef TQAVLTreeTmpl* Link;

    // Results of the recursive members.
    static constexpr BYTE kGrew = 3;   // the subtree changed height
    static constexpr BYTE kLinked = 4; // the new node was linked at an empty link
    static constexpr BYTE kDone = 5;   // the subtree height did not change
    static constexpr BYTE kFail = 6;   // nothing found, a NULL argument, a bad balance code, an exception
    // Balance codes.
    static constexpr BYTE kEven = 0;
    static constexpr BYTE kLeftHigh = 1;
    static constexpr BYTE kRightHigh = 2;

    T* FindNode(TQAVLTreeTmpl* pNode, T* pData);
    T* FindNode(TQAVLTreeTmpl* pNode, void* pKey);
    BYTE InsertNode(Link* ppLink, TQAVLTreeTmpl* pNew);
    BYTE DeleteNode(Link* ppLink, T* pData);
    void RemoveAllNode(Link* ppLink);

    // The two sides of a node. A member over a side does on it what its mirror image does on the
    // other; each logs under its own name for each side (SideLog).
    enum Side { kLeftSide = 0, kRightSide = 1 };
    struct SideLog {
        const char* member;
        int line;
        const char* message;
    };
    static Link& Child(TQAVLTreeTmpl* pNode, Side side) {
        return side == kLeftSide ? pNode->m_pLeft : pNode->m_pRight;
    }
    static Side Opposite(Side side) { return side == kLeftSide ? kRightSide : kLeftSide; }
    static BYTE HigherOn(Side side) { return side == kLeftSide ? kLeftHigh : kRightHigh; }
    // Moves the outermost node on `side` below ppLink into pTarget (the highest for the right side).
    BOOL FindOutermost(TQAVLTreeTmpl* pTarget, Link* ppLink, BYTE& byResult, Side side);
    BYTE GrewOn(Link* ppLink, Side side);
    BYTE ShrunkOn(Link* ppLink, Side side);
    void RaiseChild(Link* ppLink, Side side);

    BYTE InsertBelow(Link* ppLink, Link* ppChild, TQAVLTreeTmpl* pNew, bool bLeft);
    void ReplaceItem(TQAVLTreeTmpl* pNode, TQAVLTreeTmpl* pNew);
    void TakeItem(TQAVLTreeTmpl* pTarget, TQAVLTreeTmpl* pSource);
    bool RaiseGrandchild(Link* ppLink, Side side);
    static void SetDoubleRotationBalance(TQAVLTreeTmpl* pG, TQAVLTreeTmpl* pLeftOfG,
                                         TQAVLTreeTmpl* pRightOfG);
    static BYTE StopOnCorruptBalance(BYTE byResult);
    bool CopyFrom(const TQAVLTreeTmpl& other);
    bool CloneSubtree(const TQAVLTreeTmpl* pSource, TQAVLTreeTmpl* pParent, Link* ppLink);
    void Swap(TQAVLTreeTmpl& other) noexcept;
    static void LogError(const char* member, int line, const char* message);
    static void LogError(const SideLog (&logs)[2], Side side);

    BOOL m_bAutoDelete = 1;
    DWORD m_dwCount = 0;
    T* m_pData = nullptr;
    BYTE m_byBalance = kEven;
    TQAVLTreeTmpl* m_pParent = nullptr;
    TQAVLTreeTmpl* m_pLeft = nullptr;
    TQAVLTreeTmpl* m_pRight = nullptr;

    template <class> friend class TQListExTmpl;
    friend struct TQContainerProbe;
};

template <class T> TQAVLTreeTmpl<T>::TQAVLTreeTmpl(const TQAVLTreeTmpl& other) {
    CopyFrom(other);
}

template <class T> TQAVLTreeTmpl<T>& TQAVLTreeTmpl<T>::operator=(const TQAVLTreeTmpl& other) {
    TQAVLTreeTmpl copy;
    if (this != &other && copy.CopyFrom(other))
        Swap(copy);
    return *this;
}

template <class T> TQAVLTreeTmpl<T>::~TQAVLTreeTmpl() {
    FreeData();
    RemoveAll();
}

template <class T> BOOL TQAVLTreeTmpl<T>::Insert(T* pData, bool bAutoDelete) {
    try {
        if (!pData)
            return 0;
        TQAVLTreeTmpl* pNode = new (std::nothrow) TQAVLTreeTmpl;
        if (!pNode)
            return 0;
        pNode->m_pData = pData;
        pNode->m_bAutoDelete = bAutoDelete;
        if (InsertNode(&m_pParent, pNode) == kFail) {
            pNode->Reset();
            delete pNode;
            return 0;
        }
        ++m_dwCount;
        return 1;
    } catch (...) {
        LogError("Insert", 153, TQLOG_ERROR_PREFIX "Insert fail.");
        return 0;
    }
}

template <class T> T* TQAVLTreeTmpl<T>::Find(void* pKey) {
    return FindNode(m_pParent, pKey);
}

template <class T> T* TQAVLTreeTmpl<T>::Find(T* pData) {
    return FindNode(m_pParent, pData);
}

template <class T> BOOL TQAVLTreeTmpl<T>::Delete(T* pData) {
    if (DeleteNode(&m_pParent, pData) == kFail)
        return 0;
    --m_dwCount;
    return 1;
}

template <class T> void TQAVLTreeTmpl<T>::RemoveAll() {
    if (m_dwCount)
        RemoveAllNode(&m_pParent);
}

template <class T> void TQAVLTreeTmpl<T>::FreeData() {
    try {
        if (m_pData && m_bAutoDelete)
            delete m_pData;
    } catch (...) {
        LogError("FreeData", 280, TQLOG_ERROR_PREFIX "FreeData fail.");
    }
    m_bAutoDelete = 1;
    m_pData = nullptr;
    m_byBalance = kEven;
}

template <class T> void TQAVLTreeTmpl<T>::Reset() noexcept {
    m_bAutoDelete = 1;
    m_dwCount = 0;
    m_pData = nullptr;
    m_byBalance = kEven;
    m_pParent = m_pLeft = m_pRight = nullptr;
}

template <class T> T* TQAVLTreeTmpl<T>::FindNode(TQAVLTreeTmpl* pNode, T* pData) {
    try {
        while (pNode && pNode->m_pData && pData) {
            int r = *pNode->m_pData - *pData;
            if (r == 0)
                return pNode->m_pData;
            pNode = r > 0 ? pNode->m_pLeft : pNode->m_pRight;
        }
    } catch (...) {
        LogError("FindNode", 307, TQLOG_ERROR_PREFIX "FindNode fail.");
    }
    return nullptr;
}

template <class T> T* TQAVLTreeTmpl<T>::FindNode(TQAVLTreeTmpl* pNode, void* pKey) {
    try {
        while (pNode && pNode->m_pData && pKey) {
            int r = *pNode->m_pData - pKey;
            if (r == 0)
                return pNode->m_pData;
            pNode = r > 0 ? pNode->m_pLeft : pNode->m_pRight;
        }
    } catch (...) {
        LogError("FindNode", 329, TQLOG_ERROR_PREFIX "FindNode fail.");
    }
    return nullptr;
}

template <class T> BYTE TQAVLTreeTmpl<T>::InsertNode(Link* ppLink, TQAVLTreeTmpl* pNew) {
    try {
        if (!pNew)
            return kFail;
        TQAVLTreeTmpl* pNode = *ppLink;
        if (!pNode) {
            *ppLink = pNew;
            return kLinked;
        }
        int r = *pNode->m_pData - *pNew->m_pData;
        if (r > 0)
            return InsertBelow(ppLink, &pNode->m_pLeft, pNew, true);
        if (r < 0)
            return InsertBelow(ppLink, &pNode->m_pRight, pNew, false);
        ReplaceItem(pNode, pNew);
        pNew->Reset();
        delete pNew;
        --m_dwCount; // Insert adds it back: an equal key keeps the count
        return kDone;
    } catch (...) {
        LogError("InsertNode", 825, TQLOG_ERROR_PREFIX "FindLowest fail.");
        return kFail;
    }
}

/// Inserts into one child link of the node at ppLink and rebalances that node when the child grew.
/// Once the new node is linked, a corrupt balance code only stops the rebalancing: the insertion
/// stands, so the node is never destroyed while linked.
template <class T>
BYTE TQAVLTreeTmpl<T>::InsertBelow(Link* ppLink, Link* ppChild, TQAVLTreeTmpl* pNew, bool bLeft) {
    BYTE r = InsertNode(ppChild, pNew);
    if (r == kLinked) {
        pNew->m_pParent = *ppLink;
        r = kGrew;
    }
    if (r != kGrew)
        return r;
    return StopOnCorruptBalance(GrewOn(ppLink, bLeft ? kLeftSide : kRightSide));
}

// Equal key: the stored node takes the new item and flag, deleting its old item when owned.
template <class T> void TQAVLTreeTmpl<T>::ReplaceItem(TQAVLTreeTmpl* pNode, TQAVLTreeTmpl* pNew) {
    if (pNode->m_pData == pNew->m_pData)
        return;
    if (pNode->m_pData && pNode->m_bAutoDelete)
        delete pNode->m_pData;
    pNode->m_pData = pNew->m_pData;
    pNode->m_bAutoDelete = pNew->m_bAutoDelete;
}

template <class T> BYTE TQAVLTreeTmpl<T>::DeleteNode(Link* ppLink, T* pData) {
    try {
        TQAVLTreeTmpl* pNode = *ppLink;
        if (!pNode || !pNode->m_pData || !pData)
            return kFail;
        int r = *pNode->m_pData - *pData;
        BYTE byResult = kFail;
        if (r != 0) {
            const Side side = r > 0 ? kLeftSide : kRightSide;
            byResult = DeleteNode(&Child(pNode, side), pData);
            return byResult == kGrew ? StopOnCorruptBalance(ShrunkOn(ppLink, side)) : byResult;
        }
        // The nearest item on the left (else on the right) takes the node's place.
        if (pNode->m_pLeft || pNode->m_pRight) {
            const Side side = pNode->m_pLeft ? kLeftSide : kRightSide;
            FindOutermost(pNode, &Child(pNode, side), byResult, Opposite(side));
            return byResult == kGrew ? StopOnCorruptBalance(ShrunkOn(ppLink, side)) : byResult;
        }
        pNode->FreeData();
        pNode->RemoveAll();
        delete pNode;
        *ppLink = nullptr;
        return kGrew;
    } catch (...) {
        LogError("DeleteNode", 466, TQLOG_ERROR_PREFIX "DeleteNode fail");
        return kFail;
    }
}

template <class T> void TQAVLTreeTmpl<T>::RemoveAllNode(Link* ppLink) {
    try {
        TQAVLTreeTmpl* pNode = *ppLink;
        if (!pNode)
            return;
        RemoveAllNode(&pNode->m_pLeft);
        RemoveAllNode(&pNode->m_pRight);
        pNode->FreeData();
        pNode->RemoveAll();
        delete pNode;
        *ppLink = nullptr;
        --m_dwCount;
    } catch (...) {
        LogError("RemoveAllNode", 403, TQLOG_ERROR_PREFIX "RemoveAllNode fail.");
    }
}

template <class T>
BOOL TQAVLTreeTmpl<T>::FindOutermost(TQAVLTreeTmpl* pTarget, Link* ppLink, BYTE& byResult, Side side) {
    static const SideLog kLogs[2] = {{"FindLowest", 745, TQLOG_ERROR_PREFIX "FindLowest fail."},
                                     {"FindHighest", 707, TQLOG_ERROR_PREFIX "FindHighest fail."}};
    try {
        TQAVLTreeTmpl* pNode = *ppLink;
        if (!pTarget || !pNode)
            return 0;
        byResult = kGrew;
        if (Child(pNode, side)) {
            if (!FindOutermost(pTarget, &Child(pNode, side), byResult, side))
                return 0;
            if (byResult == kGrew)
                byResult = StopOnCorruptBalance(ShrunkOn(ppLink, side));
            return 1;
        }
        TakeItem(pTarget, pNode);
        *ppLink = Child(pNode, Opposite(side));
        pNode->Reset();
        delete pNode;
        return 1;
    } catch (...) {
        LogError(kLogs, side);
        return 0;
    }
}

// The node being deleted (target) gives up its own item, deleting it when owned, and takes the
// item of the node that replaces it together with that node's flag, so ownership moves with it.
template <class T> void TQAVLTreeTmpl<T>::TakeItem(TQAVLTreeTmpl* pTarget, TQAVLTreeTmpl* pSource) {
    if (pTarget->m_bAutoDelete && pTarget->m_pData && pTarget->m_pData != pSource->m_pData)
        delete pTarget->m_pData;
    pTarget->m_pData = pSource->m_pData;
    pTarget->m_bAutoDelete = pSource->m_bAutoDelete;
}

// The subtree on `side` of the node at ppLink grew by one level: the node leans that way, or is
// rotated back into balance.
template <class T> BYTE TQAVLTreeTmpl<T>::GrewOn(Link* ppLink, Side side) {
    static const SideLog kLogs[2] = {
        {"CheckLeftBalance", 886, TQLOG_ERROR_PREFIX "CheckLeftBalance fail."},
        {"CheckRightBalance", 947, TQLOG_ERROR_PREFIX "CheckRightBalance fail."}};
    try {
        TQAVLTreeTmpl* pNode = *ppLink;
        if (!pNode)
            return kFail;
        const BYTE byBalance = pNode->m_byBalance;
        if (byBalance == kEven) {
            pNode->m_byBalance = HigherOn(side);
            return kGrew;
        }
        if (byBalance == HigherOn(Opposite(side))) {
            pNode->m_byBalance = kEven;
            return kDone;
        }
        if (byBalance != HigherOn(side))
            return kFail;
        TQAVLTreeTmpl* pChild = Child(pNode, side);
        if (pChild && pChild->m_byBalance == HigherOn(side)) {
            pChild->m_byBalance = pNode->m_byBalance = kEven;
            RaiseChild(ppLink, side);
            return kDone;
        }
        if (pChild && pChild->m_byBalance == HigherOn(Opposite(side)) && RaiseGrandchild(ppLink, side))
            return kDone;
        return kFail;
    } catch (...) {
        LogError(kLogs, side);
        return kFail;
    }
}

// The subtree on `side` of the node at ppLink shrank by one level: the node leans the other way,
// evens out, or is rotated back into balance.
template <class T> BYTE TQAVLTreeTmpl<T>::ShrunkOn(Link* ppLink, Side side) {
    static const SideLog kLogs[2] = {{"ShrunkLeftNode", 599, TQLOG_ERROR_PREFIX "ShrunkLeftNode fail."},
                                     {"ShrunkRightNode", 668, TQLOG_ERROR_PREFIX "ShrunkRightNode fail."}};
    try {
        TQAVLTreeTmpl* pNode = *ppLink;
        if (!pNode)
            return kFail;
        const Side other = Opposite(side);
        const BYTE byBalance = pNode->m_byBalance;
        if (byBalance == kEven) {
            pNode->m_byBalance = HigherOn(other);
            return kDone;
        }
        if (byBalance == HigherOn(side)) {
            pNode->m_byBalance = kEven;
            return kGrew;
        }
        TQAVLTreeTmpl* pChild = Child(pNode, other);
        if (byBalance != HigherOn(other) || !pChild)
            return kFail;
        if (pChild->m_byBalance == kEven) {
            pNode->m_byBalance = HigherOn(other);
            pChild->m_byBalance = HigherOn(side);
            RaiseChild(ppLink, other);
            return kDone;
        }
        if (pChild->m_byBalance == HigherOn(other)) {
            pChild->m_byBalance = pNode->m_byBalance = kEven;
            RaiseChild(ppLink, other);
            return kGrew;
        }
        return RaiseGrandchild(ppLink, other) ? kGrew : kFail;
    } catch (...) {
        LogError(kLogs, side);
        return kFail;
    }
}

// The child C on `side` leans the other way: C's child G on that other side rises to the top.
// False, changing nothing, when C, G or G's balance code is unusable.
template <class T> bool TQAVLTreeTmpl<T>::RaiseGrandchild(Link* ppLink, Side side) {
    TQAVLTreeTmpl* pNode = *ppLink;
    TQAVLTreeTmpl* pChild = Child(pNode, side);
    TQAVLTreeTmpl* pGrand = pChild ? Child(pChild, Opposite(side)) : nullptr;
    if (!pGrand || pChild->m_byBalance != HigherOn(Opposite(side)) || pGrand->m_byBalance > kRightHigh)
        return false;
    if (side == kLeftSide)
        SetDoubleRotationBalance(pGrand, pChild, pNode);
    else
        SetDoubleRotationBalance(pGrand, pNode, pChild);
    RaiseChild(&Child(pNode, side), Opposite(side));
    RaiseChild(ppLink, side);
    return true;
}

/// After a double rotation G has pLeftOfG and pRightOfG as children: the one on G's lower side
/// leans away from G, G is even.
template <class T>
void TQAVLTreeTmpl<T>::SetDoubleRotationBalance(TQAVLTreeTmpl* pG, TQAVLTreeTmpl* pLeftOfG,
                                                TQAVLTreeTmpl* pRightOfG) {
    pLeftOfG->m_byBalance = pG->m_byBalance == kRightHigh ? kLeftHigh : kEven;
    pRightOfG->m_byBalance = pG->m_byBalance == kLeftHigh ? kRightHigh : kEven;
    pG->m_byBalance = kEven;
}

// The child on `side` of the node at ppLink takes its place; the node becomes that child's child on
// the other side (raising the right child is a left rotation).
template <class T> void TQAVLTreeTmpl<T>::RaiseChild(Link* ppLink, Side side) {
    static const SideLog kLogs[2] = {{"RotateRight", 998, TQLOG_ERROR_PREFIX "RotateRight fail."},
                                     {"RotateLeft", 973, TQLOG_ERROR_PREFIX "RotateLeft fail."}};
    try {
        TQAVLTreeTmpl* pNode = *ppLink;
        TQAVLTreeTmpl* pChild = pNode ? Child(pNode, side) : nullptr;
        if (!pChild)
            return;
        *ppLink = pChild;
        Child(pNode, side) = Child(pChild, Opposite(side));
        Child(pChild, Opposite(side)) = pNode;
        pChild->m_pParent = pNode->m_pParent;
        pNode->m_pParent = pChild;
    } catch (...) {
        LogError(kLogs, side);
    }
}

// A 6 from rebalancing after a node was linked or removed means a corrupt balance code: the
// change below has happened, so it is reported as done rather than as failure.
template <class T> BYTE TQAVLTreeTmpl<T>::StopOnCorruptBalance(BYTE byResult) {
    return byResult == kFail ? kDone : byResult;
}

// Copies the nodes of other into this empty tree; on failure logs and leaves it empty.
template <class T> bool TQAVLTreeTmpl<T>::CopyFrom(const TQAVLTreeTmpl& other) {
    if (CloneSubtree(other.m_pParent, nullptr, &m_pParent))
        return true;
    LogError("CopyFrom", __LINE__, TQLOG_ERROR_PREFIX "Copy fail.");
    RemoveAll();
    return false;
}

/// Copies the subtree at pSource under pParent into *ppLink, counting each node in this tree.
/// On failure the nodes copied so far stay linked and counted, ready for RemoveAll.
template <class T>
bool TQAVLTreeTmpl<T>::CloneSubtree(const TQAVLTreeTmpl* pSource, TQAVLTreeTmpl* pParent, Link* ppLink) {
    *ppLink = nullptr;
    if (!pSource)
        return true;
    TQAVLTreeTmpl* pNode = new (std::nothrow) TQAVLTreeTmpl;
    if (!pNode)
        return false;
    pNode->m_pData = TQCopySlotItem(pSource->m_pData, pSource->m_bAutoDelete != 0);
    if (!pNode->m_pData) {
        delete pNode;
        return false;
    }
    pNode->m_bAutoDelete = pSource->m_bAutoDelete;
    pNode->m_byBalance = pSource->m_byBalance;
    pNode->m_pParent = pParent;
    *ppLink = pNode;
    ++m_dwCount;
    return CloneSubtree(pSource->m_pLeft, pNode, &pNode->m_pLeft) &&
           CloneSubtree(pSource->m_pRight, pNode, &pNode->m_pRight);
}

template <class T> void TQAVLTreeTmpl<T>::Swap(TQAVLTreeTmpl& other) noexcept {
    std::swap(m_dwCount, other.m_dwCount);
    std::swap(m_pParent, other.m_pParent);
}

template <class T> void TQAVLTreeTmpl<T>::LogError(const SideLog (&logs)[2], Side side) {
    LogError(logs[side].member, logs[side].line, logs[side].message);
}

template <class T> void TQAVLTreeTmpl<T>::LogError(const char* member, int line, const char* message) {
    TQContainerLog(g_tqLogError, "lib/project/tqlib/include/base/tqavltreetmpl", "TQAVLTreeTmpl",
                   TQTypeName<T>::Get(), member, line, message);
}
