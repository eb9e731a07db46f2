#include <map>
#include <memory>
#include <random>

#include "base/tqlog.h"
#include "containers/tqavltreetmpl.h"
#include "tqcontainertestsupport.h"

namespace {

typedef TQAVLTreeTmpl<TrackedItem> Tree;

std::vector<int> Keys(const std::map<int, TrackedItem*>& model) {
    std::vector<int> keys;
    for (const auto& entry : model)
        keys.push_back(entry.first);
    return keys;
}

// Random inserts, replacements, deletes and finds against std::map, checking the AVL invariants
// after every operation.
void RunModelTest(unsigned seed, int operations, int keyRange) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> keyOf(0, keyRange - 1);
    std::map<int, TrackedItem*> model;
    {
        Tree tree;
        for (int i = 0; i < operations; ++i) {
            int key = keyOf(random);
            switch (random() % 4) {
            case 0:
            case 1: {
                TrackedItem* item = new TrackedItem(key);
                ASSERT_TRUE(tree.Insert(item, true));
                if (model.count(key)) {
                    EXPECT_FALSE(TrackedItem::IsLive(model[key])) << "replaced item must be deleted";
                }
                model[key] = item;
                break;
            }
            case 2:
                EXPECT_EQ(tree.Delete(&*std::make_unique<TrackedItem>(key)), model.erase(key) ? 1 : 0);
                break;
            default: {
                auto found = model.find(key);
                EXPECT_EQ(tree.Find(static_cast<void*>(&key)),
                          found == model.end() ? nullptr : found->second);
            }
            }
            ASSERT_EQ(TQContainerProbe::CheckTree(tree), Keys(model)) << "seed " << seed << " step " << i;
        }
        EXPECT_EQ(TrackedItem::LiveCount(), model.size());
    }
    EXPECT_EQ(TrackedItem::LiveCount(), 0u);
}

TEST(TQAVLTreeTmpl, MatchesOrderedMapUnderRandomOperations) {
    RunModelTest(1, 3000, 200);
    RunModelTest(7, 3000, 40);
    RunModelTest(12345, 6000, 5000);
}

TEST(TQAVLTreeTmpl, AscendingAndDescendingRunsStayBalanced) {
    Tree tree;
    std::vector<TrackedItem> items;
    items.reserve(1000);
    for (int i = 0; i < 500; ++i)
        items.emplace_back(i);
    for (int i = 999; i >= 500; --i)
        items.emplace_back(i);
    for (TrackedItem& item : items)
        ASSERT_TRUE(tree.Insert(&item, false));
    EXPECT_EQ(TQContainerProbe::CheckTree(tree).size(), 1000u);
    for (int i = 0; i < 1000; i += 3)
        ASSERT_TRUE(tree.Delete(&items[i < 500 ? i : 1499 - i]));
    TQContainerProbe::CheckTree(tree);
}

// Items keyed by 32-bit ids ordered as item classes must order them: by a three-way comparison.
struct IdItem {
    DWORD id;
    int operator-(IdItem& other) { return TQCompare(id, other.id); }
    int operator-(void* key) { return TQCompare(id, *static_cast<DWORD*>(key)); }
};

TEST(TQAVLTreeTmpl, IdsAndAddressesFarApartOrderByThreeWayComparison) {
    IdItem items[] = {{0x80000000u}, {0}, {0xFFFFFFFFu}, {1}, {0x7FFFFFFFu}};
    TQAVLTreeTmpl<IdItem> tree;
    for (IdItem& item : items)
        ASSERT_TRUE(tree.Insert(&item, false));
    for (IdItem& item : items) {
        DWORD key = item.id;
        EXPECT_EQ(tree.Find(static_cast<void*>(&key)), &item) << key;
    }
    // A difference truncated to int gives each of these the wrong sign.
    EXPECT_LT(TQCompare(DWORD(0), DWORD(0xFFFFFFFFu)), 0);
    EXPECT_GT(TQCompare(DWORD(0x80000000u), DWORD(1)), 0);
    const char* low = reinterpret_cast<const char*>(uintptr_t(0x1000));
    const char* high = reinterpret_cast<const char*>(uintptr_t(0x1000) + (uintptr_t(1) << 32));
    EXPECT_LT(TQCompare(low, high), 0);
    EXPECT_GT(TQCompare(high, low), 0);
    EXPECT_EQ(TQCompare(low, low), 0);
}

TEST(TQAVLTreeTmpl, ThreeAscendingKeysRotateOnce) {
    TrackedItem a(1), b(2), c(3);
    Tree tree;
    tree.Insert(&a, false);
    tree.Insert(&b, false);
    tree.Insert(&c, false);
    EXPECT_EQ(TQContainerProbe::RootItem(tree), &b);
    EXPECT_EQ(TQContainerProbe::RootBalance(tree), 0);
}

TEST(TQAVLTreeTmpl, EqualKeyReplacesAndKeepsCount) {
    TrackedItem* first = new TrackedItem(5);
    TrackedItem kept(5);
    Tree tree;
    ASSERT_TRUE(tree.Insert(first, true));
    ASSERT_TRUE(tree.Insert(&kept, false)); // the owned first item goes
    EXPECT_FALSE(TrackedItem::IsLive(first));
    EXPECT_EQ(tree.Find(&kept), &kept);
    ASSERT_TRUE(tree.Insert(&kept, false)); // the very pointer again
    EXPECT_EQ(TQContainerProbe::Count(tree), 1u);
    ASSERT_TRUE(tree.Delete(&kept));
    EXPECT_TRUE(TrackedItem::IsLive(&kept)); // not owned
    EXPECT_EQ(TQContainerProbe::Count(tree), 0u);
}

TEST(TQAVLTreeTmpl, NullAndAbsentArgumentsAreRefused) {
    Tree tree;
    EXPECT_EQ(tree.Find(static_cast<void*>(nullptr)), nullptr);
    EXPECT_EQ(tree.Find(static_cast<TrackedItem*>(nullptr)), nullptr);
    EXPECT_FALSE(tree.Insert(nullptr, true));
    tree.RemoveAll();
    TrackedItem a(1), absent(2);
    tree.Insert(&a, false);
    EXPECT_FALSE(tree.Insert(nullptr, false));
    EXPECT_FALSE(tree.Delete(&absent));
    EXPECT_FALSE(tree.Delete(nullptr));
    EXPECT_EQ(tree.Find(static_cast<void*>(nullptr)), nullptr);
    EXPECT_EQ(TQContainerProbe::Count(tree), 1u);
}

TEST(TQAVLTreeTmpl, AutoDeleteFreesOwnedItemsExactlyOnce) {
    TrackedItem unowned[3] = {TrackedItem(10), TrackedItem(11), TrackedItem(12)};
    {
        Tree tree;
        for (int i = 0; i < 10; ++i)
            tree.Insert(new TrackedItem(i), true);
        for (TrackedItem& item : unowned)
            tree.Insert(&item, false);
        // Deleting a node with two children moves its predecessor's item and flag into it.
        TrackedItem probe(3);
        ASSERT_TRUE(tree.Delete(&probe));
        TrackedItem probe11(11);
        ASSERT_TRUE(tree.Delete(&probe11));
        EXPECT_EQ(TrackedItem::LiveCount(), 3u + 9u + 2u);
        TQContainerProbe::CheckTree(tree);
    }
    EXPECT_EQ(TrackedItem::LiveCount(), 3u); // the unowned three survive the tree
}

TEST(TQAVLTreeTmpl, CopiesAreDeepAndIndependent) {
    TrackedItem shared(100);
    auto original = std::make_unique<Tree>();
    for (int i = 0; i < 20; ++i)
        original->Insert(new TrackedItem(i), true);
    original->Insert(&shared, false);
    Tree copy(*original);
    Tree assigned;
    assigned.Insert(new TrackedItem(-1), true);
    assigned = *original;
    int key = 4;
    EXPECT_NE(copy.Find(static_cast<void*>(&key)), original->Find(static_cast<void*>(&key)));
    EXPECT_EQ(copy.Find(&shared), &shared);
    original.reset();
    EXPECT_EQ(TQContainerProbe::CheckTree(copy).size(), 21u);
    EXPECT_EQ(TQContainerProbe::CheckTree(assigned), TQContainerProbe::CheckTree(copy));
    EXPECT_EQ(copy.Find(static_cast<void*>(&key))->key, 4);
    EXPECT_TRUE(TrackedItem::IsLive(&shared));
}

TEST(TQAVLTreeTmpl, CorruptBalanceCodeNeverDestroysALinkedNode) {
    TrackedItem a(1), b(2), c(3);
    Tree tree;
    tree.Insert(&b, false);
    TQContainerProbe::RootBalance(tree) = 9;
    EXPECT_TRUE(tree.Insert(&a, false)); // linked below the corrupt root: kept and counted
    EXPECT_EQ(tree.Find(&a), &a);
    EXPECT_EQ(TQContainerProbe::Count(tree), 2u);
    TQContainerProbe::RootBalance(tree) = 9;
    EXPECT_TRUE(tree.Delete(&a)); // removed below the corrupt root: counted as removed
    EXPECT_EQ(TQContainerProbe::Count(tree), 1u);
    EXPECT_TRUE(tree.Insert(&c, false));
    EXPECT_EQ(tree.Find(&c), &c);
    EXPECT_EQ(tree.Find(&b), &b);
}

TEST(TQAVLTreeTmpl, ComparisonExceptionsAreCaughtAndLogged) {
    TrackedItem a(1), b(2);
    Tree tree;
    tree.Insert(&a, false);
    TQLogCapture capture(g_tqLogError);
    TrackedItem::s_throwOnCompare = true;
    EXPECT_FALSE(tree.Insert(&b, false));
    EXPECT_EQ(tree.Find(&b), nullptr);
    EXPECT_EQ(tree.Find(static_cast<void*>(&b.key)), nullptr);
    EXPECT_FALSE(tree.Delete(&b));
    TrackedItem::s_throwOnCompare = false;
    const std::string prefix = "[error] lib/project/tqlib/include/base/tqavltreetmpl:";
    std::vector<std::string> expected = {
        prefix + "825 TQAVLTreeTmpl<class TrackedItem>::InsertNode: 错了呀FindLowest fail.",
        prefix + "307 TQAVLTreeTmpl<class TrackedItem>::FindNode: 错了呀FindNode fail.",
        prefix + "329 TQAVLTreeTmpl<class TrackedItem>::FindNode: 错了呀FindNode fail.",
        prefix + "466 TQAVLTreeTmpl<class TrackedItem>::DeleteNode: 错了呀DeleteNode fail",
    };
    EXPECT_EQ(capture.Lines(), expected);
    EXPECT_EQ(TQContainerProbe::CheckTree(tree), std::vector<int>{1});
}

// Every allocation an insert or a copy makes is failed in turn: the tree stays as it was and
// nothing leaks.
TEST(TQAVLTreeTmpl, FailedAllocationsLeaveTheTreeUnchanged) {
    Tree tree;
    for (int i = 0; i < 8; ++i)
        tree.Insert(new TrackedItem(i * 2), true);
    const std::vector<int> before = TQContainerProbe::CheckTree(tree);
    DiscardLog quiet(g_tqLogError);
    TrackedItem item(5);
    const long liveBefore = LiveAllocations();
    for (long k = 1;; ++k) {
        BOOL inserted;
        {
            FailAllocationAt failure(k);
            inserted = tree.Insert(&item, false);
            if (!failure.Failed())
                break;
        }
        EXPECT_FALSE(inserted);
        EXPECT_EQ(TQContainerProbe::CheckTree(tree), before);
    }
    ASSERT_TRUE(tree.Delete(&item));
    for (long k = 1;; ++k) {
        Tree target;
        target.Insert(new TrackedItem(99), true);
        {
            FailAllocationAt failure(k);
            target = tree;
            if (!failure.Failed())
                break;
        }
        EXPECT_EQ(TQContainerProbe::CheckTree(target), std::vector<int>{99});
    }
    EXPECT_EQ(LiveAllocations(), liveBefore);
}

} // namespace
