#include <cstring>
#include <memory>

#include "containers/tqmemorypooltmpl.h"
#include "tqcontainertestsupport.h"

class PooledBase {
    TQ_DECLARE_MEMORY_POOL(PooledBase)
    virtual ~PooledBase() = default;
    int value = 1;
};

class PooledDerived : public PooledBase {
    TQ_DECLARE_MEMORY_POOL(PooledDerived)
    double more[6] = {};
};

// A derived class without a pool of its own allocates from its base's pool with its own size.
class UnpooledDerived : public PooledBase {
public:
    char extra[200] = {};
};

class PooledFresh {
    TQ_DECLARE_MEMORY_POOL(PooledFresh)
    int value = 0;
};

TQ_IMPLEMENT_MEMORY_POOL(PooledBase)
TQ_IMPLEMENT_MEMORY_POOL(PooledDerived)
TQ_IMPLEMENT_MEMORY_POOL(PooledFresh)

namespace {

static_assert(noexcept(PooledBase::operator new(sizeof(PooledBase))), "pool operators never throw");
static_assert(noexcept(PooledBase::operator new[](sizeof(PooledBase))), "pool operators never throw");
static_assert(std::is_base_of<TQMemoryPoolBase, TQMemoryPoolTmpl<PooledBase, 8192>>::value, "pool base");

size_t BaseLive() {
    return PooledBase::_tqMemoryPool_PooledBase.GetLiveCount();
}

size_t DerivedLive() {
    return PooledDerived::_tqMemoryPool_PooledDerived.GetLiveCount();
}

TEST(TQMemoryPoolTmpl, EachClassAllocatesFromItsOwnPool) {
    EXPECT_GE(PooledBase::_tqMemoryPool_PooledBase.GetBlockSize(), sizeof(PooledBase));
    EXPECT_GE(PooledDerived::_tqMemoryPool_PooledDerived.GetBlockSize(), sizeof(PooledDerived));
    const size_t baseBefore = BaseLive(), derivedBefore = DerivedLive();

    std::unique_ptr<PooledBase> base(new PooledBase);
    EXPECT_TRUE(PooledBase::_tqMemoryPool_PooledBase.Owns(base.get()));
    std::unique_ptr<PooledBase> derived(new PooledDerived); // deleted through the base pointer
    EXPECT_TRUE(PooledDerived::_tqMemoryPool_PooledDerived.Owns(derived.get()));
    EXPECT_FALSE(PooledBase::_tqMemoryPool_PooledBase.Owns(derived.get()));
    EXPECT_EQ(BaseLive(), baseBefore + 1);
    EXPECT_EQ(DerivedLive(), derivedBefore + 1);

    derived.reset();
    base.reset();
    EXPECT_EQ(BaseLive(), baseBefore);
    EXPECT_EQ(DerivedLive(), derivedBefore);
}

TEST(TQMemoryPoolTmpl, LargerRequestsGetEnoughMemory) {
    const size_t baseBefore = BaseLive(), derivedBefore = DerivedLive();
    std::unique_ptr<PooledBase> larger(new UnpooledDerived);
    std::memset(static_cast<UnpooledDerived*>(larger.get())->extra, 0x5A, 200);
    EXPECT_EQ(BaseLive(), baseBefore + 1);

    PooledBase* bases = new PooledBase[5];
    PooledDerived* deriveds = new PooledDerived[3];
    for (int i = 0; i < 5; ++i)
        bases[i].value = i;
    for (int i = 0; i < 3; ++i)
        deriveds[i].more[5] = i;
    EXPECT_EQ(bases[4].value, 4);
    EXPECT_EQ(BaseLive(), baseBefore + 2);
    EXPECT_EQ(DerivedLive(), derivedBefore + 1);

    delete[] bases;
    delete[] deriveds;
    larger.reset();
    EXPECT_EQ(BaseLive(), baseBefore);
    EXPECT_EQ(DerivedLive(), derivedBefore);
}

TEST(TQMemoryPoolTmpl, ExhaustedPoolYieldsNullInsteadOfThrowing) {
    PooledFresh* object;
    {
        FailAllocationAt failure(1); // the pool's first chunk cannot be set up
        object = new PooledFresh;
    }
    EXPECT_EQ(object, nullptr);
    object = new PooledFresh;
    ASSERT_NE(object, nullptr);
    delete object;
}

} // namespace
