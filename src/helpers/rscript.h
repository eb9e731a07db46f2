/// @class RScript
/// RScript: the record of one parsed script, kept while its includes are read so that no script is
/// parsed twice. It creates nothing.
#pragma once

#include "helpers/resdesc.h"

class RScript : public ResDesc {
public:
    DWORD_PTR Get(TQGfxResourceManager*) override { return 0; }
    void Free() override {}
};
