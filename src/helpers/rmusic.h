/// @class RMusic
/// RMusic: tracker music loaded from a file.
#pragma once

#include "helpers/resdesc.h"

class RMusic : public ResDesc {
public:
    RMusic();

    /// Music_Load (filename) on first use.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    /// Music_Free.
    void Free() override;

    /// The music file's name.
    char filename[TQGFX_RES_NAME_SIZE];
};
