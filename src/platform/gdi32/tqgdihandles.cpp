#include "platform/gdi32/tqgdihandles.h"

namespace tqplat {

GdiHandles& GdiHandles::Instance() {
    // Never destroyed: static objects of the layers above may still delete DCs and fonts at exit.
    static GdiHandles* table = new GdiHandles;
    return *table;
}

void* GdiHandles::Add(std::shared_ptr<GdiObject> object) {
    // Steps of 16 keep the values aligned like real addresses.
    uintptr_t value = m_next;
    m_next += 16;
    void* handle = reinterpret_cast<void*>(value);
    object->SetHandle(handle);
    m_objects.emplace(value, std::move(object));
    return handle;
}

std::shared_ptr<GdiObject> GdiHandles::Find(const void* handle) const {
    auto it = m_objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == m_objects.end() ? nullptr : it->second;
}

std::shared_ptr<GdiObject> GdiHandles::Find(const void* handle, GdiKind kind) const {
    std::shared_ptr<GdiObject> object = Find(handle);
    return object && object->Kind() == kind ? object : nullptr;
}

bool GdiHandles::Remove(const void* handle) {
    return m_objects.erase(reinterpret_cast<uintptr_t>(handle)) != 0;
}

} // namespace tqplat
