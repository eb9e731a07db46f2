#include "platform/d3d9/tqresource.h"

#include "platform/d3d9/tqdevice.h"

namespace tqd3d9 {

Resource::Resource(Device* device, D3DPOOL pool) : m_device(device), m_pool(pool) {
    if (m_device)
        m_device->RegisterResource(this);
}

Resource::~Resource() {
    if (m_device)
        m_device->UnregisterResource(this);
}

ULONG Resource::AddReference() {
    Resource* holder = CountHolder();
    return ++holder->m_references;
}

ULONG Resource::ReleaseReference() {
    Resource* holder = CountHolder();
    ULONG left = --holder->m_references;
    if (left == 0) {
        holder->FinishDeviceDrawing();
        delete holder;
    }
    return left;
}

void Resource::AddDeviceReference() {
    Resource* holder = CountHolder();
    ++holder->m_references;
    ++holder->m_deviceReferences;
}

void Resource::ReleaseDeviceReference() {
    Resource* holder = CountHolder();
    --holder->m_deviceReferences;
    ReleaseReference();
}

void Resource::FinishDeviceDrawing() {
    Resource* holder = CountHolder();
    if (holder->m_device)
        holder->m_device->FinishDrawing();
}

ULONG Resource::CallerReferences() {
    Resource* holder = CountHolder();
    return holder->m_references - holder->m_deviceReferences;
}

} // namespace tqd3d9
