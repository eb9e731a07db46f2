/// @class REffect
/// REffect: a sound effect loaded from a file.
#pragma once

#include "helpers/resdesc.h"

class REffect : public ResDesc {
public:
    REffect();

    /// Effect_Load (filename) on first use.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    /// Effect_Free.
    void Free() override;

    /// The sound file's name.
    char filename[TQGFX_RES_NAME_SIZE];
};
