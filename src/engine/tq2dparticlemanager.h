/// @class TQ2DParticleManager
/// TQ2DParticleManager: fires many short-lived copies of one particle effect. SpawnPTS copies the
/// description of a template TQ2DParticle into a new device particle system held by an inner
/// TQGfxParticleManager (at most 100), fires it and hands back a TQ2DParticle that borrows it. The
/// manager updates and draws them all and deletes each, system and particle object together, at the
/// first Update after it has stopped and its last particle has died.
///
/// The template must outlive every effect spawned from it and must not be created anew while they
/// live (they draw with its sprite helper). A returned pointer becomes invalid once the manager
/// removes the particle; IsPTSAlive and KillPTS accept such pointers without reading them. Create
/// and Delete discard every system and every spawned particle at once. Not copyable: the manager
/// owns its systems and particles alone.
#pragma once

#include "containers/tqlisttmpl.h"
#include "containers/tqmemorypooltmpl.h"
#include "engine/tq2dparticle.h"

class TQGfxParticleManager;

class TQ2DParticleManager {
public:
    TQ2DParticleManager() = default;
    /// Create(fps); the result is dropped.
    explicit TQ2DParticleManager(float fps);
    TQ2DParticleManager(const TQ2DParticleManager&) = delete;
    TQ2DParticleManager& operator=(const TQ2DParticleManager&) = delete;
    virtual ~TQ2DParticleManager();

    /// A new inner manager whose later spawns run at fps update steps per second (0: one step per
    /// Update); an existing one goes with all its effects. Non-zero, 0 when memory is short.
    int Create(float fps);
    /// Deletes the inner manager and every effect.
    void Delete();

    /// A new effect running tmpl's description, fired at (x, y); NULL without an inner manager, for
    /// a template without a system, when 100 effects are alive or when memory is short.
    TQ2DParticle* SpawnPTS(TQ2DParticle* tmpl, float x, float y);
    /// Advances every effect and removes those that have ended.
    void Update(float dt);
    /// Draws every live effect.
    void Render();
    /// True while p is one of this manager's live effects.
    bool IsPTSAlive(TQ2DParticle* p);
    /// Ends effect p at once (deleting p); pointers that are not live effects are ignored.
    void KillPTS(TQ2DParticle* p);
    /// Ends every effect at once.
    void KillAll();
    /// Offset at which every live and later effect is drawn.
    void Transpose(float x, float y);
    /// The drawing offset set by Transpose.
    void GetTransposition(float* x, float* y) const;
    /// The inner manager.
    void* GetObjectA() const;
    /// Number of live effects.
    DWORD GetCount() const { return m_Particles.GetCount(); }

    TQ_DECLARE_MEMORY_POOL(TQ2DParticleManager)

private:
    TQGfxParticleManager* m_pInner = nullptr;
    TQListExTmpl<TQ2DParticle> m_Particles;
};
