// Shared helpers of the container tests: a tracked item type, a probe that checks the containers'
// inner invariants, and allocation failure injection.
#pragma once

#include <cstddef>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/tqlog.h"
#include "containers/tqarrayextmpl.h"
#include "containers/tqarraytmpl.h"
#include "containers/tqavltreetmpl.h"
#include "containers/tqcompare.h"
#include "containers/tqlisttmpl.h"

// An item keyed by an int that records every live instance, so that a test can prove each owned
// item is deleted exactly once and no unowned one is deleted at all.
class TrackedItem {
public:
    explicit TrackedItem(int key = 0);
    TrackedItem(const TrackedItem& other);
    TrackedItem& operator=(const TrackedItem&) = default;
    ~TrackedItem();

    int operator-(TrackedItem& other);
    int operator-(void* key); // key points at an int

    int key;

    static bool IsLive(const TrackedItem* item);
    static size_t LiveCount();
    // Every operator- throws while set.
    static bool s_throwOnCompare;
};

// Counts every operator new of the test binary; the k-th one inside a FailAllocationAt scope fails
// (the throwing forms throw std::bad_alloc, the nothrow forms return NULL).
class FailAllocationAt {
public:
    explicit FailAllocationAt(long k);
    ~FailAllocationAt();
    // Allocations seen so far in this scope.
    long Count() const;
    bool Failed() const;
};

// Blocks allocated through operator new and not yet freed, over the whole program.
long LiveAllocations();

// Drops the lines of a logger while it lives. It logs once first, so that the logger's own
// lasting allocations are made before a test counts live blocks.
class DiscardLog {
public:
    explicit DiscardLog(TQLog& log);
    ~DiscardLog();

private:
    TQLog& m_log;
    TQLog::Sink m_previous;
};

// Reads and checks the inner state of the containers (friend of each template).
struct TQContainerProbe {
    // AVL shape, balance codes, strict in-order order and count; the keys in order.
    template <class T> static std::vector<int> CheckTree(const TQAVLTreeTmpl<T>& tree);
    // Links both ways, count, and the index holding exactly the list's elements.
    template <class T> static std::vector<int> CheckList(TQListExTmpl<T>& list);

    template <class T> static BYTE& RootBalance(TQAVLTreeTmpl<T>& tree) {
        return tree.m_pParent->m_byBalance;
    }
    template <class T> static T* RootItem(TQAVLTreeTmpl<T>& tree) { return tree.m_pParent->m_pData; }
    template <class T> static DWORD Count(const TQAVLTreeTmpl<T>& tree) { return tree.m_dwCount; }
    template <class T> static DWORD Capacity(const TQArrayTmpl<T>& array) { return array.m_dwCapacity; }
    template <class T> static DWORD Grow(const TQArrayTmpl<T>& array) { return array.m_dwGrow; }
    template <class T> static bool HasSlot(const TQArrayTmpl<T>& array, DWORD i) {
        return array.m_ppElement && i < array.m_dwCapacity && array.m_ppElement[i];
    }
    template <class T> static DWORD Capacity(const TQArrayExTmpl<T>& array) { return array.m_dwCapacity; }
    template <class T> static DWORD Grow(const TQArrayExTmpl<T>& array) { return array.m_dwGrow; }

private:
    template <class T>
    static int CheckSubtree(const TQAVLTreeTmpl<T>* node, std::vector<const T*>& inOrder, DWORD& nodes);
};

template <class T>
int TQContainerProbe::CheckSubtree(const TQAVLTreeTmpl<T>* node, std::vector<const T*>& inOrder,
                                   DWORD& nodes) {
    if (!node)
        return 0;
    ++nodes;
    EXPECT_NE(node->m_pData, nullptr);
    EXPECT_EQ(node->m_dwCount, 0u);
    int left = CheckSubtree(node->m_pLeft, inOrder, nodes);
    inOrder.push_back(node->m_pData);
    int right = CheckSubtree(node->m_pRight, inOrder, nodes);
    EXPECT_LE(std::abs(left - right), 1) << "unbalanced";
    BYTE expected = left == right ? 0 : (left > right ? 1 : 2);
    EXPECT_EQ(node->m_byBalance, expected) << "balance code";
    return 1 + std::max(left, right);
}

// Keys of the tree's items in order; items must be TrackedItem or list elements of them.
inline int KeyOf(const TrackedItem* item) {
    return item->key;
}
inline int KeyOf(const TQListElementTmpl<TrackedItem>* element) {
    return element->GetData()->key;
}

template <class T> std::vector<int> TQContainerProbe::CheckTree(const TQAVLTreeTmpl<T>& tree) {
    std::vector<const T*> inOrder;
    DWORD nodes = 0;
    CheckSubtree(tree.m_pParent, inOrder, nodes);
    EXPECT_EQ(nodes, tree.m_dwCount);
    EXPECT_EQ(tree.m_pData, nullptr);
    std::vector<int> keys;
    for (const T* item : inOrder)
        keys.push_back(KeyOf(item));
    for (size_t i = 1; i < keys.size(); ++i)
        EXPECT_LT(keys[i - 1], keys[i]) << "in-order position " << i;
    return keys;
}

template <class T> std::vector<int> TQContainerProbe::CheckList(TQListExTmpl<T>& list) {
    std::vector<int> keys;
    std::set<int> indexed;
    for (int key : CheckTree(list.m_Index))
        indexed.insert(key);
    const TQListElementTmpl<T>* prev = nullptr;
    for (TQListElementTmpl<T>* e = list.m_pHead; e; e = e->m_pNext) {
        EXPECT_EQ(e->m_pPrev, prev) << "back link";
        EXPECT_EQ(list.m_Index.Find(e), e) << "index entry";
        keys.push_back(e->m_pData->key);
        prev = e;
    }
    EXPECT_EQ(list.m_pTail, prev);
    EXPECT_EQ(keys.size(), list.m_dwCount);
    EXPECT_EQ(indexed.size(), keys.size());
    return keys;
}
