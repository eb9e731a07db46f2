// RDistort: a distortion mesh over part of a texture resource.
#pragma once

#include "helpers/resdesc.h"

class RDistort : public ResDesc {
public:
    // No texture, empty rectangle, 2 × 2 nodes, blend mode 2, white, depth 0.5.
    RDistort();

    // A new TQGfxDistortionMesh on the texture, cleared to the colour and depth.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    // Deletes the mesh.
    void Free() override;

    char texture[TQGFX_RES_NAME_SIZE];
    float tx, ty, w, h;
    int cols, rows;
    int blend;
    DWORD color;
    float z;
};
