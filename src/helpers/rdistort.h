/// @class RDistort
/// RDistort: a distortion mesh over part of a texture resource.
#pragma once

#include "helpers/resdesc.h"

class RDistort : public ResDesc {
public:
    /// No texture, empty rectangle, 2 × 2 nodes, blend mode 2, white, depth 0.5.
    RDistort();

    /// A new TQGfxDistortionMesh on the texture, cleared to the colour and depth.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    /// Deletes the mesh.
    void Free() override;

    /// Name of the texture resource.
    char texture[TQGFX_RES_NAME_SIZE];
    /// @{
    /// Rectangle of the texture, in texels.
    float tx, ty, w, h;
    /// @}
    /// @{
    /// Node columns and rows.
    int cols, rows;
    /// @}
    /// Blend mode (TQ2D_BLEND_ bits).
    int blend;
    /// ARGB colour of every node.
    DWORD color;
    /// Depth of every node, 0..1.
    float z;
};
