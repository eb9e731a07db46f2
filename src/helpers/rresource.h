/// @class RResource
/// RResource: a file's whole bytes, loaded through the device (packs, then disk).
#pragma once

#include "helpers/resdesc.h"

class RResource : public ResDesc {
public:
    RResource();

    /// Resource_Load (filename) on first use.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    /// Resource_Free.
    void Free() override;

    /// The file's name.
    char filename[TQGFX_RES_NAME_SIZE];
};
