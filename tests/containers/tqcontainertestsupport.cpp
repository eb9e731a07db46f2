#include "tqcontainertestsupport.h"

#include <atomic>
#include <cstdlib>
#include <new>

bool TrackedItem::s_throwOnCompare = false;

namespace {

std::set<const TrackedItem*>& LiveItems() {
    static std::set<const TrackedItem*> items;
    return items;
}

void Register(const TrackedItem* item) {
    LiveItems().insert(item);
}

std::atomic<long> g_liveAllocations{0};
std::atomic<long> g_allocations{0};
std::atomic<long> g_failAt{-1};
std::atomic<bool> g_failed{false};

// True when this allocation is the one to fail.
bool ShouldFail() {
    if (g_failAt.load() < 0)
        return false;
    if (++g_allocations != g_failAt.load())
        return false;
    g_failed = true;
    return true;
}

void* Allocate(std::size_t size) noexcept {
    if (ShouldFail())
        return nullptr;
    void* p = std::malloc(size ? size : 1);
    if (p)
        ++g_liveAllocations;
    return p;
}

void Free(void* p) noexcept {
    if (!p)
        return;
    --g_liveAllocations;
    std::free(p);
}

} // namespace

TrackedItem::TrackedItem(int k) : key(k) {
    Register(this);
}

TrackedItem::TrackedItem(const TrackedItem& other) : key(other.key) {
    Register(this);
}

TrackedItem::~TrackedItem() {
    if (LiveItems().erase(this) != 1)
        ADD_FAILURE() << "item " << key << " destroyed twice";
}

int TrackedItem::operator-(TrackedItem& other) {
    if (s_throwOnCompare)
        throw std::runtime_error("compare");
    return TQCompare(key, other.key);
}

int TrackedItem::operator-(void* k) {
    if (s_throwOnCompare)
        throw std::runtime_error("compare");
    return TQCompare(key, *static_cast<int*>(k));
}

bool TrackedItem::IsLive(const TrackedItem* item) {
    return LiveItems().count(item) != 0;
}

size_t TrackedItem::LiveCount() {
    return LiveItems().size();
}

FailAllocationAt::FailAllocationAt(long k) {
    g_allocations = 0;
    g_failed = false;
    g_failAt = k;
}

FailAllocationAt::~FailAllocationAt() {
    g_failAt = -1;
}

long FailAllocationAt::Count() const {
    return g_allocations.load();
}

bool FailAllocationAt::Failed() const {
    return g_failed.load();
}

long LiveAllocations() {
    return g_liveAllocations.load();
}

DiscardLog::DiscardLog(TQLog& log) : m_log(log) {
    m_previous = m_log.SetSink([](const std::string&) {});
    m_log.SetLogInfo("warm-up", "DiscardLog", 0);
    m_log.Log("warm-up");
}

DiscardLog::~DiscardLog() {
    m_log.SetSink(std::move(m_previous));
}

// The test binary's allocation functions: counting, with the failure hook.
void* operator new(std::size_t size) {
    void* p = Allocate(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void* operator new[](std::size_t size) {
    void* p = Allocate(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}

void operator delete(void* p) noexcept {
    Free(p);
}

void operator delete[](void* p) noexcept {
    Free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    Free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    Free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    Free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Free(p);
}
