#include "platform/d3d9/tqbufferstore.h"

#include <new>

namespace tqd3d9 {

bool BufferStore::Create(UINT length) {
    if (length == 0 || length > kMaxBytes)
        return false;
    try {
        m_bytes.assign(length, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

HRESULT BufferStore::Lock(UINT offset, UINT size, void** data) {
    if (!data)
        return D3DERR_INVALIDCALL;
    uint64_t end = static_cast<uint64_t>(offset) + (size == 0 ? 0 : size);
    if (offset >= m_bytes.size() || end > m_bytes.size())
        return D3DERR_INVALIDCALL;
    *data = m_bytes.data() + offset;
    ++m_locks;
    return D3D_OK;
}

HRESULT BufferStore::Unlock() {
    if (m_locks == 0)
        return D3DERR_INVALIDCALL;
    --m_locks;
    return D3D_OK;
}

} // namespace tqd3d9
