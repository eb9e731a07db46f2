/// @class TQ2DMusic
/// TQ2DMusic: a streamed music file and its playback parameters. Streams loaded by name are shared
/// through the music cache (loaded once per file, whatever the spelling of its name, freed with
/// their last holder); a stream loaded by name plays from a memory image of its file kept by its
/// cache entry for as long as the stream lives. Streams from the caller's memory belong to their object (the memory must outlive
/// the stream). Copies share the stream and take a reference of their own; objects sharing a stream
/// share its one playback.
#pragma once

#include "engine/tq2dchannel.h"

class TQ2DGlobalMusic;
class TQString;

class TQ2DMusic : public TQ2DChannel {
public:
    TQ2DMusic() = default;
    /// Create(name, size); the result is dropped.
    TQ2DMusic(const char* name, unsigned long size);
    /// Shares the stream and its playback parameters; takes a reference of its own.
    TQ2DMusic(const TQ2DMusic& other);
    /// Releases the own stream, then shares other's.
    TQ2DMusic& operator=(const TQ2DMusic& other);
    ~TQ2DMusic() override;

    /// As TQ2DSound::Create, for a stream.
    int Create(const char* name, unsigned long size);
    /// Stops the playback and releases the stream.
    void Delete();
    /// Plays the stream from its start with this object's parameters (nothing when muted or empty).
    void Play();

    /// The stream handle, 0 when none.
    unsigned long GetMusic() const { return m_dwMusic; }
    /// The stream handle, 0 when none.
    operator unsigned long() const { return m_dwMusic; }

    TQ_DECLARE_MEMORY_POOL(TQ2DMusic)

private:
    int LoadShared(const char* name);
    // A stream playing from a copy of the pack file's bytes; 0 when the copy or the load fails.
    DWORD LoadFromImage(const char* name, TQString& bytes, char** image);

    DWORD m_dwMusic = 0;
    TQ2DGlobalMusic* m_pEntry = nullptr;
};
