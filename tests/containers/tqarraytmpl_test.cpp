#include <memory>

#include "base/tqlog.h"
#include "containers/tqarrayextmpl.h"
#include "containers/tqarraytmpl.h"
#include "tqcontainertestsupport.h"

struct PointTag {
    float x = 0, y = 0;
};
TQ_DECLARE_TYPE_NAME(PointTag, "struct PointTag")

namespace {

typedef TQArrayTmpl<TrackedItem> Array;

const std::string kArrayContext = "[error] lib/project/tqlib/include/base/tqarraytmpl:";
const std::string kArrayExContext = "[error] lib/project/tqlib/include/base/tqarrayextmpl:";

TEST(TQArrayTmpl, ReadsOutsideTheItemsAnswerNullOrTheDefault) {
    Array array;
    EXPECT_EQ(array.GetAt(0), nullptr);
    TrackedItem& fallback = array[3];
    TrackedItem item(7);
    ASSERT_TRUE(array.SetAt(2, &item, 0));
    EXPECT_EQ(array.GetAt(2), &item);
    EXPECT_EQ(array.GetAt(1), nullptr);
    EXPECT_EQ(&array[1], &fallback); // empty slot
    EXPECT_EQ(&array[3], &fallback); // past the end
    EXPECT_EQ(&array[2], &item);
    EXPECT_EQ(array.GetAt(3), nullptr);
}

TEST(TQArrayTmpl, WritePastTheEndGrowsByTheStep) {
    TrackedItem item(1);
    Array array;
    ASSERT_TRUE(array.SetAt(5, &item, 0));
    EXPECT_EQ(array.GetSize(), 6u);
    EXPECT_EQ(TQContainerProbe::Capacity(array), 8u);
    for (DWORD i = 0; i < 8; ++i)
        EXPECT_TRUE(TQContainerProbe::HasSlot(array, i)) << i;
    EXPECT_TRUE(array.IsValidIndex(4, 0));
    EXPECT_EQ(array.GetAt(4), nullptr);
    EXPECT_FALSE(array.IsValidIndex(6, 0));

    // A grow step of 0 grows one slot at a time instead of dividing by zero.
    Array single;
    ASSERT_TRUE(single.SetSize(0, 0, 0));
    ASSERT_TRUE(single.SetAt(2, &item, 0));
    EXPECT_EQ(TQContainerProbe::Capacity(single), 3u);
    ASSERT_TRUE(single.SetAt(3, &item, 0));
    EXPECT_EQ(TQContainerProbe::Capacity(single), 4u);
}

TEST(TQArrayTmpl, ShrinkingKeepsSlotsAndItemsForLater) {
    Array array;
    ASSERT_TRUE(array.SetSize(8, 1, 4));
    EXPECT_EQ(TrackedItem::LiveCount(), 1u + 8u); // the default item and eight created ones
    TrackedItem* sixth = array.GetAt(6);
    ASSERT_TRUE(array.SetSize(3, 1, 4));
    EXPECT_EQ(array.GetAt(6), nullptr);
    ASSERT_TRUE(array.SetSize(8, 1, 4));
    EXPECT_EQ(array.GetAt(6), sixth);
    EXPECT_EQ(TrackedItem::LiveCount(), 9u); // nothing created again

    // Growing fills the old slots without items too.
    Array sparse;
    TrackedItem kept(1);
    sparse.SetAt(5, &kept, 0);
    ASSERT_TRUE(sparse.SetSize(10, 1, 4));
    for (DWORD i = 0; i < 10; ++i)
        EXPECT_NE(sparse.GetAt(i), nullptr) << i;
    EXPECT_EQ(sparse.GetAt(5), &kept);
}

TEST(TQArrayTmpl, SlotsDeleteOwnedItemsExactlyOnce) {
    TrackedItem unowned(3);
    TrackedItem* owned = new TrackedItem(1);
    {
        Array array;
        array.SetAt(0, owned, 1);
        array.SetAt(0, owned, 0); // same pointer: only the flag changes
        EXPECT_TRUE(TrackedItem::IsLive(owned));
        array.SetAt(0, owned, 1);
        array.SetAt(0, &unowned, 0); // a different item deletes the owned one
        EXPECT_FALSE(TrackedItem::IsLive(owned));
        array.SetAt(1, new TrackedItem(2), 1);
        array.DeleteAll();
        EXPECT_EQ(array.GetSize(), 0u);
        EXPECT_EQ(TQContainerProbe::Capacity(array), 0u);
        EXPECT_EQ(TQContainerProbe::Grow(array), 4u);
        array.DeleteAll();
        array.SetAt(2, new TrackedItem(4), 1);
    }
    EXPECT_EQ(TrackedItem::LiveCount(), 1u);
}

TEST(TQArrayTmpl, HugeIndexesAreRefusedInsteadOfWrappingAround) {
    TrackedItem item(1);
    Array array;
    array.SetAt(1, &item, 0);
    TQLogCapture capture(g_tqLogError);
    EXPECT_FALSE(array.SetAt(0xFFFFFFFFu, &item, 0));
    EXPECT_FALSE(array.EnsureIndex(0xFFFFFFFEu, 1));
    EXPECT_FALSE(array.SetSize(kTQArrayMaxSize + 1, 1, 4));
    EXPECT_EQ(array.GetSize(), 2u);
    EXPECT_EQ(TQContainerProbe::Capacity(array), 4u);
    EXPECT_EQ(array.GetAt(1), &item);
    const std::string message =
        "250 TQArrayTmpl<class TrackedItem>::SetSize: 错了呀TQArrayElementTmpl double array "
        "create fail. [dwMaxArraySize=";
    std::vector<std::string> expected = {kArrayContext + message + "-1]", kArrayContext + message + "-1]",
                                         kArrayContext + message + "16777217]"};
    EXPECT_EQ(capture.Lines(), expected);

    TQArrayExTmpl<float> values;
    EXPECT_FALSE(values.SetAt(0xFFFFFFFFu, 1.0f));
    EXPECT_EQ(values.GetSize(), 0u);
    EXPECT_EQ(capture.Lines().back(), kArrayExContext +
                                          "75 TQArrayExTmpl<float>::SetSize: 错了呀TQArrayElementTmpl "
                                          "double array create fail. [dwMaxArraySize=-1]");
}

TEST(TQArrayTmpl, CopiesAreDeepIncludingTheDefaultItem) {
    TrackedItem shared(9);
    auto original = std::make_unique<Array>();
    original->SetAt(0, new TrackedItem(1), 1);
    original->SetAt(2, &shared, 0);
    (*original)[7].key = 42; // the default item
    Array copy(*original);
    Array assigned;
    assigned.SetAt(0, new TrackedItem(5), 1);
    assigned = *original;
    EXPECT_NE(copy.GetAt(0), original->GetAt(0));
    EXPECT_EQ(copy.GetAt(2), &shared);
    original.reset();
    for (Array* array : {&copy, &assigned}) {
        EXPECT_EQ(array->GetSize(), 3u);
        EXPECT_EQ(TQContainerProbe::Capacity(*array), 4u);
        EXPECT_EQ(array->GetAt(0)->key, 1);
        EXPECT_EQ((*array)[1].key, 42);
    }
    EXPECT_EQ(TrackedItem::LiveCount(), 1u + 2u * 2u);
}

TEST(TQArrayTmpl, StructItemsNameTheirTypeInTheLog) {
    TQArrayTmpl<PointTag> points;
    TQLogCapture capture(g_tqLogError);
    EXPECT_FALSE(points.SetSize(0x7FFFFFFF, 1, 4));
    EXPECT_EQ(capture.Lines().at(0), kArrayContext + "250 TQArrayTmpl<struct PointTag>::SetSize: 错了呀"
                                                     "TQArrayElementTmpl double array create fail. "
                                                     "[dwMaxArraySize=2147483647]");
    ASSERT_TRUE(points.SetSize(3, 1, 4));
    EXPECT_EQ(points.GetAt(2)->x, 0.0f);
}

// Every allocation of an enlargement is failed in turn: slots, items, size and capacity stay as
// they were, the failure is logged and nothing leaks.
TEST(TQArrayTmpl, FailedEnlargementChangesNothing) {
    Array array;
    TrackedItem kept(1);
    array.SetAt(1, &kept, 0);
    DiscardLog quiet(g_tqLogError);
    const long liveBefore = LiveAllocations();
    const size_t itemsBefore = TrackedItem::LiveCount();
    long k = 1;
    for (;; ++k) {
        BOOL grown;
        {
            FailAllocationAt failure(k);
            grown = array.SetSize(9, 1, 4);
            if (!failure.Failed())
                break;
        }
        EXPECT_FALSE(grown);
        EXPECT_EQ(array.GetSize(), 2u);
        EXPECT_EQ(TQContainerProbe::Capacity(array), 4u);
        EXPECT_EQ(array.GetAt(1), &kept);
        EXPECT_EQ(array.GetAt(0), nullptr);
        EXPECT_EQ(LiveAllocations(), liveBefore);
        EXPECT_EQ(TrackedItem::LiveCount(), itemsBefore);
    }
    EXPECT_GT(k, 10); // tables, five elements and eight items were each failed once
    EXPECT_EQ(array.GetAt(1), &kept);
    EXPECT_NE(array.GetAt(0), nullptr);
}

TEST(TQArrayTmpl, AllocationFailuresAreLogged) {
    TQLogCapture capture(g_tqLogError);
    Array array;
    {
        FailAllocationAt failure(1);
        EXPECT_FALSE(array.SetSize(4, 0, 4));
    }
    {
        FailAllocationAt failure(3);
        EXPECT_FALSE(array.SetSize(4, 0, 4));
    }
    TQArrayExTmpl<float> values;
    {
        FailAllocationAt failure(2);
        EXPECT_FALSE(values.SetSize(4, 1));
    }
    std::vector<std::string> expected = {
        kArrayContext +
            "250 TQArrayTmpl<class TrackedItem>::SetSize: 错了呀TQArrayElementTmpl double array create "
            "fail. [dwMaxArraySize=4]",
        kArrayContext +
            "274 TQArrayTmpl<class TrackedItem>::SetSize: 错了呀TQArrayElementTmpl array create fail. "
            "[dwMaxArraySize=4, i=1]",
        kArrayExContext + "99 TQArrayExTmpl<float>::SetSize: 错了呀TQArrayElementTmpl array create fail. "
                          "[dwMaxArraySize=4, i=0]",
    };
    EXPECT_EQ(capture.Lines(), expected);
}

TEST(TQArrayExTmpl, ValuesGrowShrinkAndCopy) {
    TQArrayExTmpl<float> values;
    EXPECT_EQ(*values.GetAt(0), 0.0f);
    ASSERT_TRUE(values.SetSize(3, 1));
    ASSERT_TRUE(values.SetAt(1, 2.5f));
    ASSERT_TRUE(values.SetAt(4, 4.5f)); // grow step 1: capacity 5
    EXPECT_EQ(TQContainerProbe::Capacity(values), 5u);
    EXPECT_EQ(values.GetSize(), 5u);
    EXPECT_EQ(*values.GetAt(3), 0.0f);
    float* outside = values.GetAt(5);
    EXPECT_EQ(*outside, 0.0f);
    values.SetSize(2, 1);
    EXPECT_EQ(values.GetAt(4), outside);
    values.SetSize(5, 1);
    EXPECT_EQ(*values.GetAt(4), 4.5f);

    auto original = std::make_unique<TQArrayExTmpl<float>>(values);
    TQArrayExTmpl<float> assigned;
    assigned = *original;
    EXPECT_NE(original->GetAt(1), values.GetAt(1));
    original.reset();
    EXPECT_EQ(*assigned.GetAt(1), 2.5f);
    EXPECT_EQ(*assigned.GetAt(4), 4.5f);

    values.DeleteAll();
    EXPECT_EQ(values.GetSize(), 0u);
    EXPECT_EQ(TQContainerProbe::Capacity(values), 0u);
    EXPECT_EQ(TQContainerProbe::Grow(values), 4u);

    TQArrayExTmpl<float> unstepped;
    unstepped.SetSize(0, 0);
    ASSERT_TRUE(unstepped.SetAt(2, 1.0f));
    EXPECT_EQ(TQContainerProbe::Capacity(unstepped), 3u);
}

} // namespace
