/// @class RSprite
/// RSprite: a device sprite cut out of a texture resource, with its colour, depth, blend mode, hot
/// spot and flips.
#pragma once

#include "helpers/resdesc.h"

class TQGfxSprite;

class RSprite : public ResDesc {
public:
    /// No texture, empty rectangle, hot spot (0, 0), blend mode 2, white, depth 0.5, no flips.
    RSprite();

    /// A new TQGfxSprite on the texture resource named `texture` (declared or loaded by name).
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    /// Deletes the sprite.
    void Free() override;

    /// Name of the texture resource.
    char texture[TQGFX_RES_NAME_SIZE];
    /// @{
    /// Source rectangle in texels.
    float tx, ty, w, h;
    /// @}
    /// @{
    /// Hot spot, in texels from the rectangle's top left.
    float hotx, hoty;
    /// @}
    /// Blend mode (TQ2D_BLEND_ bits).
    int blend;
    /// ARGB colour.
    DWORD color;
    /// Depth, 0..1.
    float z;
    /// @{
    /// Horizontal and vertical flips.
    bool bXFlip, bYFlip;
    /// @}

protected:
    /// Sets colour, depth, blend mode, hot spot and flips on a new sprite or animation.
    void ApplyLook(TQGfxSprite* sprite) const;
};
