/// @class RStream
/// RStream: a streamed sound loaded from a file.
#pragma once

#include "helpers/resdesc.h"

class RStream : public ResDesc {
public:
    RStream();

    /// Stream_Load (filename) on first use.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    /// Stream_Free.
    void Free() override;

    /// The sound file's name.
    char filename[TQGFX_RES_NAME_SIZE];
};
