/// @file
/// How a container copies an item it owns.
///
/// Copying a container copies it deeply: it gets its own nodes, elements and slots; the items it
/// owns are copied with TQItemCopy<T>::Copy and the copies are owned; items it does not own are
/// shared. The default copies with the item's copy constructor, so copying a container that owns
/// items of a type without one does not compile. A polymorphic item type whose objects are of
/// derived classes specialises this to copy them whole (the default would slice them).
#pragma once

#include <type_traits>

/// Copies an item a container owns (specialise for polymorphic items).
template <class T> struct TQItemCopy {
    /// A new copy of item, or NULL when memory is short.
    static T* Copy(const T& item) noexcept {
        static_assert(std::is_copy_constructible<T>::value,
                      "a container owning items of this type cannot be copied");
        try {
            return new T(item);
        } catch (...) {
            return nullptr;
        }
    }
};

/// The item a copy of a slot holds: a copy when the slot owns it, else the item itself. NULL stays
/// NULL; a NULL result for a non-NULL item means the copy failed.
template <class T> T* TQCopySlotItem(T* item, bool owned) noexcept {
    return (item && owned) ? TQItemCopy<T>::Copy(*item) : item;
}
