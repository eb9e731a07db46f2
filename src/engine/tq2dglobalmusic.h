/// @class TQ2DGlobalMusic
/// TQ2DGlobalMusic: an entry of the music cache (one device stream per file: TQ2DFindFile). A stream
/// loaded from a pack plays from a memory image that the entry owns, so the image lives exactly as
/// long as the stream.
#pragma once

#include "containers/tqmemorypooltmpl.h"
#include "engine/tq2dglobalcache.h"

class TQ2DGlobalMusic : public TQ2DGlobalCacheTmpl<TQ2DGlobalMusic> {
public:
    TQ2DGlobalMusic() = default;
    TQ2DGlobalMusic(const TQ2DGlobalMusic&) = delete;
    TQ2DGlobalMusic& operator=(const TQ2DGlobalMusic&) = delete;
    /// Logs a count other than 0, then frees the stream when the running engine made it, then the image.
    ~TQ2DGlobalMusic();

    /// The memory the stream plays from (NULL when it reads its own file); owned.
    char* m_pImage = nullptr;

    TQ_DECLARE_MEMORY_POOL(TQ2DGlobalMusic)
};
