// RMusic: tracker music loaded from a file.
#pragma once

#include "helpers/resdesc.h"

class RMusic : public ResDesc {
public:
    RMusic();

    // Music_Load (filename) on first use.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    // Music_Free.
    void Free() override;

    char filename[TQGFX_RES_NAME_SIZE];
};
