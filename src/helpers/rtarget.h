/// @class RTarget
/// RTarget: a render target of the given size, with or without a depth buffer.
#pragma once

#include "helpers/resdesc.h"

class RTarget : public ResDesc {
public:
    /// 256 × 256 without a depth buffer.
    RTarget();

    /// Target_Create on first use.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    void Free() override;

    /// Width in pixels.
    int width;
    /// Height in pixels.
    int height;
    /// True: with a depth buffer.
    bool zbuffer;
};
