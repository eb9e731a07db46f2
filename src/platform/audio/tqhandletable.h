// A table of owned objects reached through 32-bit handles with generation counts.
//
// A handle is (generation << 16) | (slot + 2): never 0 or 1. Freeing a slot or clearing the table
// advances the slot's generation, so a handle kept after its object is gone no longer matches.
// Freed slots are reused oldest first and only once many are waiting (or the table is full), so
// one slot's generation comes round again only after millions of frees.
#pragma once

#include "platform/win32/tqwintypes.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace tqaudio {

template <class T> class HandleTable {
public:
    // Stores `object`; its handle, or 0 when the table is full.
    DWORD Add(std::unique_ptr<T> object) {
        uint32_t slot;
        if (free_.size() >= kReuseAfter || (slots_.size() == kMaxSlots && !free_.empty())) {
            slot = free_.front();
            free_.pop_front();
        } else if (slots_.size() < kMaxSlots) {
            slot = static_cast<uint32_t>(slots_.size());
            slots_.emplace_back();
        } else {
            return 0;
        }
        slots_[slot].object = std::move(object);
        return (static_cast<DWORD>(slots_[slot].generation) << 16) | (slot + kSlotBase);
    }

    // The object of `handle`, or NULL when the handle is not current.
    T* Find(DWORD handle) const {
        const Slot* slot = SlotOf(handle);
        return slot ? slot->object.get() : nullptr;
    }

    // Takes the object of `handle` out of the table; NULL when the handle is not current.
    std::unique_ptr<T> Remove(DWORD handle) {
        Slot* slot = const_cast<Slot*>(SlotOf(handle));
        if (!slot) {
            return nullptr;
        }
        std::unique_ptr<T> object = std::move(slot->object);
        Retire(static_cast<uint32_t>(slot - slots_.data()));
        return object;
    }

    // Deletes every object; all handles given out so far become invalid.
    void Clear() {
        for (uint32_t i = 0; i < slots_.size(); ++i) {
            if (slots_[i].object) {
                slots_[i].object.reset();
                Retire(i);
            }
        }
    }

private:
    static constexpr uint32_t kSlotBase = 2;
    static constexpr uint32_t kMaxSlots = 0x10000 - kSlotBase;
    static constexpr size_t kReuseAfter = 1024;

    struct Slot {
        uint16_t generation = 1;
        std::unique_ptr<T> object;
    };

    const Slot* SlotOf(DWORD handle) const {
        uint32_t index = handle & 0xFFFF;
        if (index < kSlotBase || index - kSlotBase >= slots_.size()) {
            return nullptr;
        }
        const Slot& slot = slots_[index - kSlotBase];
        return slot.object && slot.generation == (handle >> 16) ? &slot : nullptr;
    }

    void Retire(uint32_t slot) {
        uint16_t next = static_cast<uint16_t>(slots_[slot].generation + 1);
        slots_[slot].generation = next ? next : 1;
        free_.push_back(slot);
    }

    std::vector<Slot> slots_;
    std::deque<uint32_t> free_;
};

} // namespace tqaudio
