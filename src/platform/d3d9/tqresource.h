// Reference counting and device bookkeeping shared by textures, surfaces and buffers.
//
// A resource counts the references handed out to callers together with those the device holds for
// its bindings (render target, stream, indices, texture); the difference is what callers still hold,
// which decides whether a device reset may go ahead. A resource does not keep its device alive:
// the device detaches the resources it created when it goes away.
#pragma once

#include "platform/d3d9/tqd3d9.h"

namespace tqd3d9 {

class Device;

class Resource {
public:
    // Registers with the device (when given); the caller holds the first reference.
    Resource(Device* device, D3DPOOL pool);
    virtual ~Resource();
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    ULONG AddReference();
    // Frees the object holding the count when the last reference goes.
    ULONG ReleaseReference();
    // References the device holds while the object is bound.
    void AddDeviceReference();
    void ReleaseDeviceReference();
    // References held by callers, not by device bindings.
    ULONG CallerReferences();

    D3DPOOL Pool() const { return m_pool; }
    void DetachFromDevice() { m_device = nullptr; }

protected:
    // The object whose count this one shares: a texture for the surface of its level.
    virtual Resource* CountHolder() { return this; }
    // Finishes the device's recorded draws before the pixels are read, changed or freed.
    void FinishDeviceDrawing();

private:
    Device* m_device;
    D3DPOOL m_pool;
    ULONG m_references = 1;
    ULONG m_deviceReferences = 0;
};

} // namespace tqd3d9
