// Memory that runs out on purpose: a test program linking scarcememory.cpp gets allocation
// functions (over malloc and free) that fail while a RunOutOfMemory lives.
#pragma once

#include <cstddef>

// While it lives, allocations through operator new of at least `from` bytes (0: none) fail with
// std::bad_alloc (NULL for the nothrow forms), from the `after`-th such allocation on.
class RunOutOfMemory {
public:
    explicit RunOutOfMemory(size_t from, int after = 0);
    ~RunOutOfMemory();
    RunOutOfMemory(const RunOutOfMemory&) = delete;
    RunOutOfMemory& operator=(const RunOutOfMemory&) = delete;
};
