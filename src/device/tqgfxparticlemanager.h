/// @class TQGfxParticleManager
/// TQGfxParticleManager: up to 100 particle systems fired at positions and dropped on their own once
/// they have stopped and their last particle has died. Every system it spawns runs at the manager's
/// update rate and is drawn at the manager's offset. The manager owns the systems it holds; the
/// pointers it hands out stay valid until the system is dropped, killed or the manager goes.
#pragma once

#include "device/tqgfxparticlesystem.h"

class TQGfxParticleManager {
public:
    /// Most systems held at once.
    static constexpr int kMaxSystems = 100;

    /// fps: the update rate of every system spawned (0: one step per Update).
    explicit TQGfxParticleManager(float fps);
    TQGfxParticleManager(const TQGfxParticleManager&) = delete;
    TQGfxParticleManager& operator=(const TQGfxParticleManager&) = delete;
    ~TQGfxParticleManager();

    /// A new system running a copy of info, fired at (x, y); NULL when 100 systems are held, info is
    /// NULL or no memory is left.
    TQGfxParticleSystem* SpawnPTS(const TQGfxParticleSystemInfo* info, float x, float y);
    /// Advances every system; a stopped system without live particles is deleted.
    void Update(float dt);
    /// Draws every system.
    void Render();
    /// True while the system is one of those held.
    bool IsPTSAlive(const TQGfxParticleSystem* system) const;
    /// Deletes the system when it is held; other pointers are ignored (never read).
    void KillPTS(const TQGfxParticleSystem* system);
    /// Deletes every system.
    void KillAll();
    /// Offset at which every held system, and every later one, is drawn.
    void Transpose(float x, float y);
    /// The drawing offset set by Transpose.
    void GetTransposition(float* x, float* y) const;
    /// Number of systems held.
    int GetCount() const { return m_nPS; }

private:
    // Index of the held system, -1 when it is not held.
    int IndexOf(const TQGfxParticleSystem* system) const;
    // Deletes the system in slot index; the last used slot's system takes its place.
    void RemoveAt(int index);

    float m_fFPS;
    int m_nPS;
    float m_fTx, m_fTy;
    TQGfxParticleSystem* m_pSystems[kMaxSystems];
};
