/// @class TQ2DGlobalSound
/// TQ2DGlobalSound: an entry of the sound cache (one device effect per file: TQ2DFindFile).
#pragma once

#include "containers/tqmemorypooltmpl.h"
#include "engine/tq2dglobalcache.h"

class TQ2DGlobalSound : public TQ2DGlobalCacheTmpl<TQ2DGlobalSound> {
public:
    TQ2DGlobalSound() = default;
    TQ2DGlobalSound(const TQ2DGlobalSound&) = delete;
    TQ2DGlobalSound& operator=(const TQ2DGlobalSound&) = delete;
    /// Logs a count other than 0, then frees the effect when it belongs to the running engine.
    ~TQ2DGlobalSound();

    TQ_DECLARE_MEMORY_POOL(TQ2DGlobalSound)
};
