// The kernel objects behind HANDLE values (open files, running searches). Handle values are never
// reused, so a closed or never issued handle is refused instead of reaching another object.
#pragma once

#include "platform/win32/tqwintypes.h"

#include <map>
#include <memory>
#include <mutex>

namespace tqplat {

class KernelObject {
public:
    virtual ~KernelObject() = default;
};

class HandleTable {
public:
    static HandleTable& Instance();

    HANDLE Add(std::unique_ptr<KernelObject> object);

    // The object of `handle` when it is open and of type T; NULL otherwise. The pointer stays valid
    // until the handle is closed (objects are used from the thread that owns them).
    template <class T> T* Get(HANDLE handle) {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_objects.find(reinterpret_cast<uintptr_t>(handle));
        return it == m_objects.end() ? nullptr : dynamic_cast<T*>(it->second.get());
    }

    // Closes `handle` when it is open and of type T (any type when T is KernelObject).
    template <class T = KernelObject> bool Close(HANDLE handle) {
        std::unique_ptr<KernelObject> closing;
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_objects.find(reinterpret_cast<uintptr_t>(handle));
        if (it == m_objects.end() || dynamic_cast<T*>(it->second.get()) == nullptr)
            return false;
        closing = std::move(it->second);
        m_objects.erase(it);
        return true;
    }

private:
    std::mutex m_mutex;
    std::map<uintptr_t, std::unique_ptr<KernelObject>> m_objects;
    uintptr_t m_next = 0x1000;
};

} // namespace tqplat
