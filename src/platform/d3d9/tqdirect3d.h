// The Direct3D object: one adapter (the software rasterizer) showing the desktop's mode.
#pragma once

#include "platform/d3d9/tqd3d9.h"

namespace tqd3d9 {

class Direct3D : public IDirect3D9 {
public:
    Direct3D() = default;

    // The desktop's size (the platform's screen metrics) in X8R8G8B8 at 60 Hz.
    static D3DDISPLAYMODE DesktopMode();

    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override;
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override;

private:
    ~Direct3D() override = default;

    ULONG m_references = 1;
};

} // namespace tqd3d9
