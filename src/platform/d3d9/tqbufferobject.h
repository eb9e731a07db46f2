// What vertex and index buffers share: a reference-counted resource over a byte store.
#pragma once

#include "platform/d3d9/tqbufferstore.h"
#include "platform/d3d9/tqresource.h"

namespace tqd3d9 {

template <class Interface, D3DRESOURCETYPE kType> class BufferObject : public Interface, public Resource {
public:
    BufferObject(Device* device, D3DPOOL pool) : Resource(device, pool) {}

    BufferStore& Store() { return m_store; }

    ULONG AddRef() override { return AddReference(); }
    ULONG Release() override { return ReleaseReference(); }
    D3DRESOURCETYPE GetType() override { return kType; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD) override {
        return m_store.Lock(offset, size, data);
    }
    HRESULT Unlock() override { return m_store.Unlock(); }

private:
    BufferStore m_store;
};

} // namespace tqd3d9
