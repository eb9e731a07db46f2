#include "platform/d3d9/tqsurface.h"

namespace tqd3d9 {

Surface::Surface(Device* device, D3DPOOL pool, DWORD usage, Resource* container)
    : Resource(container ? nullptr : device, pool), m_container(container), m_usage(usage) {}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) {
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC();
    desc->Format = m_image.Format();
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = m_usage;
    desc->Pool = Pool();
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->Width = m_image.Width();
    desc->Height = m_image.Height();
    return D3D_OK;
}

Image& Surface::DrawnPixels() {
    FinishDeviceDrawing();
    return m_image;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (IsRenderTarget() || IsDepthStencil())
        return D3DERR_INVALIDCALL;
    FinishDeviceDrawing();
    return m_image.Lock(rect, flags, locked);
}

HRESULT Surface::UnlockRect() {
    FinishDeviceDrawing();
    return m_image.Unlock();
}

} // namespace tqd3d9
