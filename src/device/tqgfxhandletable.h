/// @file
/// A table of objects reached through 32-bit handles.
///
/// A handle is the slot index plus one in its low 16 bits and the slot's generation in its high 16
/// bits, so it is never 0, and a handle whose object was removed (or that was never handed out)
/// finds nothing instead of reaching another object that took the same slot.
#pragma once

#include "platform/win32/tqwintypes.h"

#include <vector>

/// Objects of type T under 32-bit handles with a generation count; see tqgfxhandletable.h.
template <class T> class TQGfxHandleTable {
public:
    /// Stores item and returns its handle; 0 when the table is full.
    DWORD Add(const T& item) {
        size_t index = FreeSlot();
        if (index >= kMaxSlots)
            return 0;
        Slot& slot = m_slots[index];
        slot.item = item;
        slot.used = true;
        return (static_cast<DWORD>(slot.generation) << 16) | static_cast<DWORD>(index + 1);
    }

    /// The object of a live handle, NULL for 0, a stale or a foreign handle.
    T* Find(DWORD handle) {
        size_t index = (handle & 0xFFFF);
        if (index == 0 || index > m_slots.size())
            return nullptr;
        Slot& slot = m_slots[index - 1];
        if (!slot.used || slot.generation != (handle >> 16))
            return nullptr;
        return &slot.item;
    }

    /// Forgets a live handle; false when it finds nothing.
    bool Remove(DWORD handle) {
        T* item = Find(handle);
        if (!item)
            return false;
        Slot& slot = m_slots[(handle & 0xFFFF) - 1];
        slot.used = false;
        slot.item = T();
        slot.generation = static_cast<WORD>(slot.generation == 0xFFFF ? 1 : slot.generation + 1);
        return true;
    }

    /// Calls fn(handle, item) for every live object, in slot order.
    template <class F> void ForEach(F fn) {
        for (size_t i = 0; i < m_slots.size(); ++i) {
            if (m_slots[i].used)
                fn((static_cast<DWORD>(m_slots[i].generation) << 16) | static_cast<DWORD>(i + 1),
                   m_slots[i].item);
        }
    }

    /// The handles of every live object, in slot order.
    std::vector<DWORD> Handles() {
        std::vector<DWORD> handles;
        ForEach([&handles](DWORD handle, T&) { handles.push_back(handle); });
        return handles;
    }

private:
    static constexpr size_t kMaxSlots = 0xFFFF;

    struct Slot {
        T item{};
        WORD generation = 1;
        bool used = false;
    };

    size_t FreeSlot() {
        for (size_t i = 0; i < m_slots.size(); ++i) {
            if (!m_slots[i].used)
                return i;
        }
        if (m_slots.size() >= kMaxSlots)
            return kMaxSlots;
        m_slots.emplace_back();
        return m_slots.size() - 1;
    }

    std::vector<Slot> m_slots;
};
