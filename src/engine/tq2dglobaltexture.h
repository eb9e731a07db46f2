/// @class TQ2DGlobalTexture
/// TQ2DGlobalTexture: an entry of the texture cache (one device texture per file: TQ2DFindFile).
#pragma once

#include "containers/tqmemorypooltmpl.h"
#include "engine/tq2dglobalcache.h"

class TQ2DGlobalTexture : public TQ2DGlobalCacheTmpl<TQ2DGlobalTexture> {
public:
    TQ2DGlobalTexture() = default;
    TQ2DGlobalTexture(const TQ2DGlobalTexture&) = delete;
    TQ2DGlobalTexture& operator=(const TQ2DGlobalTexture&) = delete;
    /// Logs a count other than 0, then frees the texture when it belongs to the running engine.
    ~TQ2DGlobalTexture();

    TQ_DECLARE_MEMORY_POOL(TQ2DGlobalTexture)
};
