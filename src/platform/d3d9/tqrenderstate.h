// Everything one draw call needs, gathered by the device from its states and bindings.
#pragma once

#include "platform/d3d9/tqd3d9.h"
#include "platform/d3d9/tqimage.h"

#include <climits>
#include <cstdint>

namespace tqd3d9 {

// The texture of stage 0 as 0xAARRGGBB rows; no pixels means unbound (reads as opaque white).
struct TextureView {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

struct RenderState {
    Image* color = nullptr;
    // The depth buffer when depth testing is on (ZENABLE and a depth surface bound), else NULL.
    Image* depth = nullptr;
    // Pixels that may be written: the viewport within the render target, [left, right) x [top, bottom).
    int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
    // Rows this pass writes, [bandTop, bandBottom). Triangle set-up still uses the whole clip
    // rectangle, so drawing a scene band by band gives exactly the pixels of drawing it whole.
    int bandTop = 0, bandBottom = INT_MAX;
    D3DVIEWPORT9 viewport = {};
    // World x view x projection, applied to row vectors.
    double transform[4][4] = {};

    TextureView texture;
    bool magLinear = false;
    bool minLinear = false;
    DWORD colorOp = D3DTOP_MODULATE, colorArg1 = D3DTA_TEXTURE, colorArg2 = D3DTA_DIFFUSE;
    DWORD alphaOp = D3DTOP_SELECTARG1, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_DIFFUSE;

    bool alphaTest = false;
    DWORD alphaFunc = D3DCMP_ALWAYS;
    uint32_t alphaRef = 0;
    bool blend = false;
    DWORD srcBlend = D3DBLEND_ONE, destBlend = D3DBLEND_ZERO;
    bool depthWrite = false;
    DWORD depthFunc = D3DCMP_LESSEQUAL;
};

} // namespace tqd3d9
