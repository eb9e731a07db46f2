/// @file
/// Slot-table arithmetic shared by the array templates.
#pragma once

#include <algorithm>
#include <new>

#include "platform/win32/tqwintypes.h"

/// The largest number of slots an array holds. Larger sizes, and writes at indexes that would need
/// them, are refused as bad input instead of reserving gigabytes (and instead of letting the size
/// computation wrap around near 0xFFFFFFFF).
constexpr DWORD kTQArrayMaxSize = 0x01000000;

/// The capacity a write at dwIndex asks for: the next multiple of the grow step above the index.
/// Computed without overflow; a grow step of 0 counts as 1. A result above kTQArrayMaxSize (even
/// one that does not fit a DWORD) comes back as 0xFFFFFFFF, which the arrays refuse.
inline DWORD TQArrayGrowTarget(DWORD dwIndex, DWORD dwGrow) noexcept {
    ULONGLONG step = dwGrow ? dwGrow : 1;
    ULONGLONG target = (dwIndex / step + 1) * step;
    return static_cast<DWORD>(std::min<ULONGLONG>(target, 0xFFFFFFFFu));
}

/// A table of dwCount slot pointers: the first dwOld taken from ppOld, the rest NULL. NULL when
/// dwCount is above kTQArrayMaxSize or memory is short.
template <class P> P** TQAllocSlotTable(P* const* ppOld, DWORD dwOld, DWORD dwCount) noexcept {
    if (dwCount > kTQArrayMaxSize)
        return nullptr;
    P** ppTable = new (std::nothrow) P*[dwCount ? dwCount : 1];
    if (!ppTable)
        return nullptr;
    std::fill(ppTable, ppTable + dwCount, nullptr);
    if (ppOld)
        std::copy(ppOld, ppOld + std::min(dwOld, dwCount), ppTable);
    return ppTable;
}

/// Deletes the slots of ppTable that did not come from ppOld (those created by a failed growth).
template <class P> void TQReleaseNewSlots(P** ppTable, P* const* ppOld, DWORD dwOld, DWORD dwCount) noexcept {
    for (DWORD i = 0; i < dwCount; ++i) {
        if (i >= dwOld || !ppOld[i])
            delete ppTable[i];
    }
}
