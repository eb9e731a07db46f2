// Test hooks of the software Direct3D 9 device.
#pragma once

#include "platform/d3d9/tqd3d9.h"

namespace tqplat {

// Loses the device as a display change would: Present reports D3DERR_DEVICELOST, then
// TestCooperativeLevel reports D3DERR_DEVICELOST for `lostPolls` calls and D3DERR_DEVICENOTRESET
// until Reset succeeds.
void D3D9ForceDeviceLost(IDirect3DDevice9* device, int lostPolls);

// Makes the display refuse full-screen devices with this back-buffer format (CreateDevice and Reset
// fail with D3DERR_NOTAVAILABLE). D3DFMT_UNKNOWN accepts every format again.
void D3D9RefuseFullScreenFormat(D3DFORMAT format);
D3DFORMAT D3D9RefusedFullScreenFormat();

// Draws every pixel through the generic path (true) instead of the fast paths (false, the default),
// so tests can compare the two. Draws made before the switch keep the path they were made with.
void D3D9UseGenericPath(bool generic);
bool D3D9GenericPathInUse();

// Threads that rasterize for devices created from now on. 0 (the default) takes TQ_RENDER_THREADS
// when it holds a number from 1 up, else the CPUs the process may use (its affinity mask, within
// its control group's CPU quota); 1 draws on the calling thread alone.
void D3D9SetRenderThreads(int threads);
int D3D9RenderThreads();

} // namespace tqplat
