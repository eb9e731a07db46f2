#include <algorithm>
#include <list>
#include <memory>
#include <random>

#include "base/tqlog.h"
#include "containers/tqlisttmpl.h"
#include "tqcontainertestsupport.h"

namespace {

typedef TQListExTmpl<TrackedItem> List;
typedef TQListElementTmpl<TrackedItem> Element;

std::vector<int> KeysOf(const std::list<int>& model) {
    return std::vector<int>(model.begin(), model.end());
}

// Random appends (new and duplicate keys), removals by item and by element, moves to the tail and
// head removals against std::list, checking links and index after every operation.
void RunModelTest(unsigned seed, int operations, int keyRange) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> keyOf(0, keyRange - 1);
    std::list<int> model;
    List list;
    for (int i = 0; i < operations; ++i) {
        int key = keyOf(random);
        bool present = std::find(model.begin(), model.end(), key) != model.end();
        switch (random() % 5) {
        case 0:
        case 1: {
            auto item = std::make_unique<TrackedItem>(key);
            ASSERT_EQ(list.AddTail(item.get(), 1, 0), present ? 0 : 1);
            if (!present) {
                item.release();
                model.push_back(key);
            }
            break;
        }
        case 2: {
            TrackedItem probe(key);
            ASSERT_EQ(list.DelList(&probe, 0), present ? 1 : 0);
            model.remove(key);
            break;
        }
        case 3: {
            Element* element = list.FindElement(&key);
            ASSERT_EQ(element != nullptr, present);
            list.MoveToTail(element);
            if (present) {
                model.remove(key);
                model.push_back(key);
            }
            break;
        }
        default: {
            std::unique_ptr<TrackedItem> head(list.RemoveHead());
            ASSERT_EQ(head != nullptr, !model.empty());
            if (head) {
                EXPECT_EQ(head->key, model.front());
                model.pop_front();
            }
        }
        }
        ASSERT_EQ(TQContainerProbe::CheckList(list), KeysOf(model)) << "seed " << seed << " step " << i;
        ASSERT_EQ(list.GetCount(), model.size());
    }
}

TEST(TQListExTmpl, MatchesStdListUnderRandomOperations) {
    RunModelTest(3, 3000, 60);
    RunModelTest(99, 3000, 8);
}

TEST(TQListExTmpl, DuplicateKeyIsRefusedAndLoggedOnRequest) {
    TrackedItem a(1), twin(1);
    List list;
    ASSERT_TRUE(list.AddTail(&a, 0, 1));
    TQLogCapture capture(g_tqLogDebug);
    EXPECT_FALSE(list.AddTail(&twin, 1, 0));
    EXPECT_FALSE(list.AddTail(nullptr, 1, 1));
    EXPECT_TRUE(capture.Lines().empty());
    EXPECT_FALSE(list.AddTail(&twin, 1, 1));
    std::vector<std::string> expected = {
        "[debug] lib/project/tqlib/include/base/tqlisttmpl:1117 "
        "TQListExTmpl<class TrackedItem>::AddTail: Add fail. Key exist or insert "
        "fail."};
    EXPECT_EQ(capture.Lines(), expected);
    EXPECT_TRUE(TrackedItem::IsLive(&twin));
    EXPECT_EQ(TQContainerProbe::CheckList(list), std::vector<int>{1});
}

TEST(TQListExTmpl, NullForeignAndOnlyElementsAreHandledSafely) {
    TrackedItem a(1), b(2), c(3);
    List list, other;
    EXPECT_FALSE(list.DelList(static_cast<TrackedItem*>(nullptr), 1));
    EXPECT_FALSE(list.DelList(static_cast<Element*>(nullptr), 1));
    EXPECT_EQ(list.Find(nullptr), nullptr);
    EXPECT_EQ(list.FindData(nullptr), nullptr);
    EXPECT_EQ(list.RemoveHead(), nullptr);
    list.MoveToTail(nullptr);

    list.AddTail(&a, 0, 0);
    EXPECT_TRUE(list.DelList(&a, 0)); // the only element
    EXPECT_EQ(TQContainerProbe::CheckList(list), std::vector<int>{});
    EXPECT_EQ(list.GetHeadPosition(), nullptr);

    list.AddTail(&a, 0, 0);
    list.AddTail(&b, 0, 0);
    other.AddTail(&c, 0, 0);
    Element* foreign = other.GetHeadPosition();
    list.MoveToTail(foreign);
    EXPECT_FALSE(list.DelList(foreign, 0));
    EXPECT_EQ(TQContainerProbe::CheckList(list), (std::vector<int>{1, 2}));
    EXPECT_EQ(TQContainerProbe::CheckList(other), std::vector<int>{3});

    list.MoveToTail(list.GetHeadPosition()); // head of two swaps them
    EXPECT_EQ(TQContainerProbe::CheckList(list), (std::vector<int>{2, 1}));
    list.MoveToTail(list.Find(&a)); // already the tail
    EXPECT_EQ(TQContainerProbe::CheckList(list), (std::vector<int>{2, 1}));
}

TEST(TQListExTmpl, OwnershipFlagsDecideWhichItemsAreDeleted) {
    TrackedItem kept(1);
    TrackedItem* owned = new TrackedItem(2);
    TrackedItem* forced = new TrackedItem(3);
    TrackedItem* headItem = new TrackedItem(0);
    {
        List list;
        list.AddTail(headItem, 1, 0);
        list.AddTail(&kept, 0, 0);
        list.AddTail(owned, 1, 0);
        list.AddTail(forced, 0, 0);
        std::unique_ptr<TrackedItem> head(list.RemoveHead()); // survives although owned
        EXPECT_EQ(head.get(), headItem);
        EXPECT_TRUE(list.DelList(forced, 1)); // a nonzero delete argument deletes an unowned item
        EXPECT_FALSE(TrackedItem::IsLive(forced));
        EXPECT_TRUE(list.DelList(list.Find(owned), 0)); // a zero argument keeps the owned flag
        EXPECT_FALSE(TrackedItem::IsLive(owned));
        list.AddTail(new TrackedItem(4), 1, 0);
    } // destruction deletes only the owned item 4
    EXPECT_TRUE(TrackedItem::IsLive(&kept));
    EXPECT_EQ(TrackedItem::LiveCount(), 1u);

    TrackedItem* unowned = new TrackedItem(5);
    List list;
    list.AddTail(unowned, 0, 0);
    list.AddTail(new TrackedItem(6), 1, 0);
    list.RemoveAll(1); // deletes all items
    EXPECT_EQ(TrackedItem::LiveCount(), 1u);
    EXPECT_EQ(TQContainerProbe::CheckList(list), std::vector<int>{});
}

// An item that looks at the list holding it while it is deleted.
struct WatchingItem {
    WatchingItem(int itemKey, TQListExTmpl<WatchingItem>* itemList) : key(itemKey), list(itemList) {}
    ~WatchingItem() {
        seen.push_back({list->GetCount(), list->GetHeadPosition() != nullptr, list->Find(this) != nullptr});
    }
    int operator-(WatchingItem& other) { return TQCompare(key, other.key); }
    int operator-(void* other) { return TQCompare(key, *static_cast<int*>(other)); }

    struct View {
        DWORD count;
        bool hasHead;
        bool findsItself;
    };
    static std::vector<View> seen;
    int key;
    TQListExTmpl<WatchingItem>* list;
};
std::vector<WatchingItem::View> WatchingItem::seen;

TEST(TQListExTmpl, ItemsDeletedByRemoveAllSeeAnEmptyList) {
    WatchingItem::seen.clear();
    {
        TQListExTmpl<WatchingItem> list;
        for (int key : {3, 1, 2})
            list.AddTail(new WatchingItem(key, &list), 1, 0);
        list.RemoveAll(0);
        ASSERT_EQ(WatchingItem::seen.size(), 3u);
        list.AddTail(new WatchingItem(4, &list), 0, 0);
        list.AddTail(new WatchingItem(5, &list), 1, 0);
        list.RemoveAll(1);
    }
    ASSERT_EQ(WatchingItem::seen.size(), 5u);
    for (const WatchingItem::View& view : WatchingItem::seen) {
        EXPECT_EQ(view.count, 0u);
        EXPECT_FALSE(view.hasHead);
        EXPECT_FALSE(view.findsItself);
    }
}

TEST(TQListExTmpl, CopiesAreDeepAndKeepOrder) {
    TrackedItem shared(7);
    auto original = std::make_unique<List>();
    for (int key : {5, 1, 9, 3})
        original->AddTail(new TrackedItem(key), 1, 0);
    original->AddTail(&shared, 0, 0);
    List copy(*original);
    List assigned;
    assigned.AddTail(new TrackedItem(100), 1, 0);
    assigned = *original;
    int key = 9;
    EXPECT_NE(copy.FindData(&key), original->FindData(&key));
    EXPECT_EQ(copy.Find(&shared)->GetData(), &shared);
    original.reset();
    EXPECT_EQ(TQContainerProbe::CheckList(copy), (std::vector<int>{5, 1, 9, 3, 7}));
    EXPECT_EQ(TQContainerProbe::CheckList(assigned), (std::vector<int>{5, 1, 9, 3, 7}));
    EXPECT_EQ(TrackedItem::LiveCount(), 1u + 4u + 4u);
}

TEST(TQListExTmpl, ComparisonExceptionsAreCaughtAndLogged) {
    TrackedItem a(1), b(2);
    List list;
    list.AddTail(&a, 0, 0);
    TQLogCapture capture(g_tqLogError);
    TrackedItem::s_throwOnCompare = true;
    EXPECT_FALSE(list.AddTail(&b, 0, 0));
    EXPECT_EQ(list.FindData(&b.key), nullptr);
    TrackedItem::s_throwOnCompare = false;
    const std::string tree = "[error] lib/project/tqlib/include/base/tqavltreetmpl:";
    const std::string index = "TQAVLTreeTmpl<class TQListElementTmpl<class TrackedItem> >::";
    std::vector<std::string> expected = {
        tree + "307 " + index + "FindNode: 错了呀FindNode fail.",
        tree + "825 " + index + "InsertNode: 错了呀FindLowest fail.",
        tree + "329 " + index + "FindNode: 错了呀FindNode fail.",
    };
    EXPECT_EQ(capture.Lines(), expected);
    EXPECT_EQ(TQContainerProbe::CheckList(list), std::vector<int>{1});
}

// Every allocation of an append or a copy is failed in turn: the list stays as it was, the item
// stays the caller's and nothing leaks.
TEST(TQListExTmpl, FailedAllocationsLeaveTheListUnchanged) {
    List list;
    for (int key : {4, 2, 8, 6})
        list.AddTail(new TrackedItem(key), 1, 0);
    const std::vector<int> before = TQContainerProbe::CheckList(list);
    DiscardLog quiet(g_tqLogError);
    TrackedItem item(5);
    const long liveBefore = LiveAllocations();
    for (long k = 1;; ++k) {
        BOOL added;
        {
            FailAllocationAt failure(k);
            added = list.AddTail(&item, 0, 0);
            if (!failure.Failed())
                break;
        }
        EXPECT_FALSE(added);
        EXPECT_EQ(TQContainerProbe::CheckList(list), before);
    }
    ASSERT_TRUE(list.DelList(&item, 0));
    for (long k = 1;; ++k) {
        List target;
        target.AddTail(new TrackedItem(99), 1, 0);
        {
            FailAllocationAt failure(k);
            target = list;
            if (!failure.Failed())
                break;
        }
        EXPECT_EQ(TQContainerProbe::CheckList(target), std::vector<int>{99});
    }
    EXPECT_EQ(LiveAllocations(), liveBefore);
    EXPECT_TRUE(TrackedItem::IsLive(&item));
}

} // namespace
