/// @class RTexture
/// RTexture: a texture loaded from a file.
#pragma once

#include "helpers/resdesc.h"

class RTexture : public ResDesc {
public:
    RTexture();

    /// Texture_Load (filename) on first use.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    /// Texture_Free.
    void Free() override;

    /// The image file's name.
    char filename[TQGFX_RES_NAME_SIZE];
};
