// An index buffer of 16-bit indices.
#pragma once

#include "platform/d3d9/tqbufferstore.h"
#include "platform/d3d9/tqresource.h"

namespace tqd3d9 {

class IndexBuffer : public IDirect3DIndexBuffer9, public Resource {
public:
    IndexBuffer(Device* device, D3DPOOL pool) : Resource(device, pool) {}

    BufferStore& Store() { return m_store; }

    ULONG AddRef() override { return AddReference(); }
    ULONG Release() override { return ReleaseReference(); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD) override {
        return m_store.Lock(offset, size, data);
    }
    HRESULT Unlock() override { return m_store.Unlock(); }

private:
    BufferStore m_store;
};

} // namespace tqd3d9
