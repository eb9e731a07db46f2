// RFont: a bitmap font loaded from its description file, with its colour, depth, blend mode,
// scale, tracking and rotation.
#pragma once

#include "helpers/resdesc.h"

class RFont : public ResDesc {
public:
    // Blend mode 2, white, depth 0.5, scale 1, no tracking, no rotation.
    RFont();

    // A new TQGfxFont with the stored look.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    // Deletes the font.
    void Free() override;

    char filename[TQGFX_RES_NAME_SIZE];
    int blend;
    DWORD color;
    float z;
    float scale;
    float tracking;
    float rotation;
};
