// The bytes of a vertex or index buffer with their lock count.
#pragma once

#include "platform/d3d9/tqd3d9.h"

#include <cstdint>
#include <vector>

namespace tqd3d9 {

class BufferStore {
public:
    // Largest buffer, in bytes.
    static constexpr UINT kMaxBytes = 64u << 20;

    // False for 0 bytes, more than kMaxBytes, or when memory runs out.
    bool Create(UINT length);
    // Locks size bytes from offset (size 0: to the end). Locks may nest.
    HRESULT Lock(UINT offset, UINT size, void** data);
    HRESULT Unlock();
    const uint8_t* Bytes() const { return m_bytes.data(); }
    UINT Length() const { return static_cast<UINT>(m_bytes.size()); }

private:
    std::vector<uint8_t> m_bytes;
    int m_locks = 0;
};

} // namespace tqd3d9
