// RTexture: a texture loaded from a file.
#pragma once

#include "helpers/resdesc.h"

class RTexture : public ResDesc {
public:
    RTexture();

    // Texture_Load (filename) on first use.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    // Texture_Free.
    void Free() override;

    char filename[TQGFX_RES_NAME_SIZE];
};
