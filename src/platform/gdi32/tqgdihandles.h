// The table of live GDI handles. Handle values are never reused, so a stale handle is refused
// instead of reaching a newer object.
#pragma once

#include "platform/gdi32/tqgdiobject.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace tqplat {

class GdiHandles {
public:
    static GdiHandles& Instance();

    // Issues a handle for the object and records it in the object.
    void* Add(std::shared_ptr<GdiObject> object);
    // The live object behind a handle, of the given kind; null otherwise.
    std::shared_ptr<GdiObject> Find(const void* handle, GdiKind kind) const;
    // The live object behind a handle, of any kind; null otherwise.
    std::shared_ptr<GdiObject> Find(const void* handle) const;
    // Forgets a handle; false when it was not live.
    bool Remove(const void* handle);

private:
    std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> m_objects;
    uintptr_t m_next = 0x10000;
};

// The live object of type T behind a handle of T's kind, or null.
template <typename T> std::shared_ptr<T> FindGdi(const void* handle, GdiKind kind) {
    return std::static_pointer_cast<T>(GdiHandles::Instance().Find(handle, kind));
}

} // namespace tqplat
