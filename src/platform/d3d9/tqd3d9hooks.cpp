#include "platform/d3d9/tqd3d9hooks.h"

#include "platform/d3d9/tqdevice.h"

namespace tqplat {

namespace {
D3DFORMAT g_refusedFullScreenFormat = D3DFMT_UNKNOWN;
bool g_genericPath = false;
} // namespace

void D3D9ForceDeviceLost(IDirect3DDevice9* device, int lostPolls) {
    if (device)
        static_cast<tqd3d9::Device*>(device)->ForceLost(lostPolls);
}

void D3D9RefuseFullScreenFormat(D3DFORMAT format) {
    g_refusedFullScreenFormat = format;
}

D3DFORMAT D3D9RefusedFullScreenFormat() {
    return g_refusedFullScreenFormat;
}

void D3D9UseGenericPath(bool generic) {
    g_genericPath = generic;
}

bool D3D9GenericPathInUse() {
    return g_genericPath;
}

} // namespace tqplat
