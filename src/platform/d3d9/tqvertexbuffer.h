// A vertex buffer.
#pragma once

#include "platform/d3d9/tqbufferstore.h"
#include "platform/d3d9/tqresource.h"

namespace tqd3d9 {

class VertexBuffer : public IDirect3DVertexBuffer9, public Resource {
public:
    VertexBuffer(Device* device, D3DPOOL pool) : Resource(device, pool) {}

    BufferStore& Store() { return m_store; }

    ULONG AddRef() override { return AddReference(); }
    ULONG Release() override { return ReleaseReference(); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD) override {
        return m_store.Lock(offset, size, data);
    }
    HRESULT Unlock() override { return m_store.Unlock(); }

private:
    BufferStore m_store;
};

} // namespace tqd3d9
