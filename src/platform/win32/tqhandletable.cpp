#include "platform/win32/tqhandletable.h"

namespace tqplat {

HandleTable& HandleTable::Instance() {
    static HandleTable table;
    return table;
}

HANDLE HandleTable::Add(std::unique_ptr<KernelObject> object) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_next += 4;
    m_objects[m_next] = std::move(object);
    return reinterpret_cast<HANDLE>(m_next);
}

} // namespace tqplat
