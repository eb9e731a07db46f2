#include "platform/d3d9/tqdirect3d.h"

#include "platform/d3d9/tqdevice.h"
#include "platform/win32/tquser32.h"

#include <cstring>

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION)
        return nullptr;
    return new tqd3d9::Direct3D();
}

namespace tqd3d9 {

ULONG Direct3D::Release() {
    ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

D3DDISPLAYMODE Direct3D::DesktopMode() {
    D3DDISPLAYMODE mode;
    mode.Width = static_cast<UINT>(GetSystemMetrics(SM_CXSCREEN));
    mode.Height = static_cast<UINT>(GetSystemMetrics(SM_CYSCREEN));
    mode.RefreshRate = 60;
    mode.Format = D3DFMT_X8R8G8B8;
    return mode;
}

HRESULT Direct3D::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* identifier) {
    if (adapter != D3DADAPTER_DEFAULT || !identifier)
        return D3DERR_INVALIDCALL;
    std::memset(identifier, 0, sizeof(*identifier));
    std::strcpy(identifier->Driver, "tqd3d9");
    std::strcpy(identifier->Description, "TQ software rasterizer");
    std::strcpy(identifier->DeviceName, "\\\\.\\DISPLAY1");
    identifier->DriverVersion.HighPart = (9 << 16) | 0;
    identifier->DriverVersion.LowPart = (1 << 16) | 0;
    return D3D_OK;
}

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    if (adapter != D3DADAPTER_DEFAULT || !mode)
        return D3DERR_INVALIDCALL;
    *mode = DesktopMode();
    return D3D_OK;
}

HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE, HWND focusWindow, DWORD behaviorFlags,
                               D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = nullptr;
    const DWORD processing = D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                             D3DCREATE_MIXED_VERTEXPROCESSING;
    if (adapter != D3DADAPTER_DEFAULT || !params || (behaviorFlags & processing) == 0)
        return D3DERR_INVALIDCALL;
    return Device::Create(this, focusWindow, params, device);
}

} // namespace tqd3d9
