// A surface: a render target, a depth buffer, the back buffer or the level of a texture.
#pragma once

#include "platform/d3d9/tqd3d9.h"
#include "platform/d3d9/tqimage.h"
#include "platform/d3d9/tqresource.h"

namespace tqd3d9 {

class Surface : public IDirect3DSurface9, public Resource {
public:
    // container: the texture whose level this is (its count is shared), or NULL for a surface of
    // its own, which is then registered with the device.
    Surface(Device* device, D3DPOOL pool, DWORD usage, Resource* container);

    // Allocates the pixels; false for an unsupported format or size.
    bool Create(D3DFORMAT format, UINT width, UINT height) { return m_image.Create(format, width, height); }
    Image& Pixels() { return m_image; }
    // The pixels with every draw the device has recorded so far finished, for reading them back.
    Image& DrawnPixels();
    bool IsRenderTarget() const { return (m_usage & D3DUSAGE_RENDERTARGET) != 0; }
    bool IsDepthStencil() const { return (m_usage & D3DUSAGE_DEPTHSTENCIL) != 0; }

    ULONG AddRef() override { return AddReference(); }
    ULONG Release() override { return ReleaseReference(); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    // Render targets and depth buffers cannot be locked.
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

protected:
    Resource* CountHolder() override { return m_container ? m_container : this; }

private:
    Resource* m_container;
    DWORD m_usage;
    Image m_image;
};

} // namespace tqd3d9
