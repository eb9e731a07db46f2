// A texture of one level.
#pragma once

#include "platform/d3d9/tqd3d9.h"
#include "platform/d3d9/tqresource.h"
#include "platform/d3d9/tqsurface.h"

namespace tqd3d9 {

class Texture : public IDirect3DTexture9, public Resource {
public:
    Texture(Device* device, D3DPOOL pool, DWORD usage);

    // Allocates level 0; false for an unsupported format or size.
    bool Create(D3DFORMAT format, UINT width, UINT height) { return m_level.Create(format, width, height); }
    Surface& Level() { return m_level; }
    Image& Pixels() { return m_level.Pixels(); }

    ULONG AddRef() override { return AddReference(); }
    ULONG Release() override { return ReleaseReference(); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return 1; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    // Refused for render targets, block formats and a level already locked.
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;

private:
    Surface m_level;
};

} // namespace tqd3d9
