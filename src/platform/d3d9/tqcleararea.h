// One rectangle of a Clear: a colour for the render target and a depth for the depth buffer, each
// already limited to its surface. Filling may be cut into bands of rows.
#pragma once

#include "platform/d3d9/tqd3d9.h"
#include "platform/d3d9/tqimage.h"

#include <climits>

namespace tqd3d9 {

struct ClearArea {
    // NULL when that surface is not cleared.
    Image* color = nullptr;
    Image* depth = nullptr;
    RECT colorRect = {};
    RECT depthRect = {};
    D3DCOLOR argb = 0;
    float z = 0.0f;

    // Fills the rows [bandTop, bandBottom) of both rectangles. Does not mark the target changed.
    void Fill(int bandTop = 0, int bandBottom = INT_MAX) const;
};

} // namespace tqd3d9
