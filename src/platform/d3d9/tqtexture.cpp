#include "platform/d3d9/tqtexture.h"

#include "platform/d3d9/tqpixelformat.h"

namespace tqd3d9 {

Texture::Texture(Device* device, D3DPOOL pool, DWORD usage)
    : Resource(device, pool), m_level(device, pool, usage, this) {}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (level != 0)
        return D3DERR_INVALIDCALL;
    return m_level.GetDesc(desc);
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (level != 0 || m_level.IsRenderTarget() || IsBlockFormat(Pixels().Format()))
        return D3DERR_INVALIDCALL;
    FinishDeviceDrawing();
    return Pixels().Lock(rect, flags, locked);
}

HRESULT Texture::UnlockRect(UINT level) {
    if (level != 0)
        return D3DERR_INVALIDCALL;
    FinishDeviceDrawing();
    return Pixels().Unlock();
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (level != 0 || !surface)
        return D3DERR_INVALIDCALL;
    m_level.AddRef();
    *surface = &m_level;
    return D3D_OK;
}

} // namespace tqd3d9
