/// @class TQ2DSound
/// TQ2DSound: a sound effect and its playback parameters. Effects loaded by name are shared through
/// the sound cache (loaded once per file, whatever the spelling of its name, freed with their last
/// holder); effects loaded from memory belong to their object. Copies share the effect and take a
/// reference of their own.
///
/// An object plays once at a time: Play on an object that is still playing ends that playback
/// (Stop) and starts the effect again on a new device channel. For playbacks that overlap (rapid
/// footsteps, coins), play several objects of the effect, e.g. copies made while none plays; at
/// most 4 playbacks of one effect sound at once, and a fifth replaces the quietest. A copy also
/// takes the channel of the playback it was copied during: its Play, Stop or destruction ends
/// that playback.
#pragma once

#include "engine/tq2dchannel.h"

class TQ2DGlobalSound;

class TQ2DSound : public TQ2DChannel {
public:
    TQ2DSound() = default;
    /// Create(name, size); the result is dropped.
    TQ2DSound(const char* name, unsigned long size);
    /// Shares the effect and its playback parameters; takes a reference of its own.
    TQ2DSound(const TQ2DSound& other);
    /// Releases the own effect, then shares other's.
    TQ2DSound& operator=(const TQ2DSound& other);
    ~TQ2DSound() override;

    /// size 0: loads (or shares) the effect of the file name leads to (TQ2DFindFile: the registered
    /// packs, then the device's zip packs and the disk), shared through the cache when that file was
    /// loaded already. size > 0: name is a file image of size bytes, never cached. Returns the
    /// effect handle (memory or cache hit), 1 (fresh load) or 0 (the object is then empty; with no
    /// device or a NULL name it is left unchanged).
    int Create(const char* name, unsigned long size);
    /// Stops the playback and releases the effect.
    void Delete();
    /// Plays the effect with this object's parameters (nothing when muted or without an effect),
    /// after stopping this object's playback, if any: plays of one object never overlap.
    void Play();

    /// The effect handle, 0 when none.
    unsigned long GetSound() const { return m_dwEffect; }
    /// The effect handle, 0 when none.
    operator unsigned long() const { return m_dwEffect; }

    TQ_DECLARE_MEMORY_POOL(TQ2DSound)

private:
    int LoadShared(const char* name);

    DWORD m_dwEffect = 0;
    TQ2DGlobalSound* m_pEntry = nullptr;
};
