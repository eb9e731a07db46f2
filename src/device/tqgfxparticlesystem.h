/// @file
/// TQGfxParticleSystem: a particle emitter. It runs its own copy of a description, emits up to 500
/// particles from an emitter that can move, integrates them in fixed update steps with random
/// ranges drawn from the device's generator (in a fixed order, so a seeded generator replays an
/// effect exactly), can track the bounding box of its particles and draws every live particle with
/// the description's sprite, tinted, turned and scaled.
///
/// Emitter age: -2 stopped, -1 running continuously, 0 or more seconds since it was fired. A new
/// system is stopped and empty; Fire or FireAt starts it. Particle velocities are in pixels per
/// update step, so the update rate sets the speed of motion on screen.
///
/// Each system holds one device reference for its whole life, copies included. The sprite is not
/// owned and must outlive the system.
#pragma once

#include "device/tqgfxdevice.h"
#include "device/tqgfxparticlesysteminfo.h"
#include "device/tqgfxrect.h"
#include "device/tqgfxvector.h"

/// One particle.
struct TQGfxParticle {
    /// Position in pixels.
    TQGfxVector vecLocation;
    /// Pixels moved per update step.
    TQGfxVector vecVelocity;
    /// Added to the vertical velocity per second (positive: down).
    float fGravity;
    /// Acceleration away from the emitter, per second.
    float fRadialAccel;
    /// Acceleration across the line to the emitter (clockwise), per second.
    float fTangentialAccel;
    /// Rotation speed in radians per second (drawn angle = spin x age).
    float fSpin;
    /// Change of fSpin per second.
    float fSpinDelta;
    /// Scale of the sprite.
    float fSize;
    /// Change of fSize per second.
    float fSizeDelta;
    /// Tint, channels 0..1.
    TQGfxColor colColor;
    /// Change of the tint per second.
    TQGfxColor colColorDelta;
    /// Seconds since birth.
    float fAge;
    /// Age in seconds at which the particle dies.
    float fTerminalAge;
};

/// A particle emitter and its particles; see tqgfxparticlesystem.h.
class TQGfxParticleSystem {
public:
    /// Most live particles.
    static constexpr int kMaxParticles = 500;
    /// Largest width or height in pixels a particle is drawn at: a larger size (from a description
    /// asking for one) is drawn this large, so that a frame of particles stays cheap to draw.
    static constexpr float kMaxDrawnSize = 256.0f;
    /// Emitter age of a stopped system.
    static constexpr float kStopped = -2.0f;
    /// Emitter age (and description lifetime) of a continuous emitter.
    static constexpr float kContinuous = -1.0f;

    /// A stopped, empty system running a copy of info (NULL: an all-zero description) in steps of
    /// 1 / fps seconds (fps 0 or less: one step per Update).
    TQGfxParticleSystem(const TQGfxParticleSystemInfo* info, float fps);
    /// The description from the first 128 bytes of a record file (through the device's resource
    /// loader), drawn with sprite. A file that cannot be read leaves an all-zero description, which
    /// emits nothing, and logs an error.
    TQGfxParticleSystem(const char* fileName, TQGfxSprite* sprite, float fps);
    /// Copies the description, the state and every particle.
    TQGfxParticleSystem(const TQGfxParticleSystem& other);
    /// Copies the description, the state and every particle.
    TQGfxParticleSystem& operator=(const TQGfxParticleSystem& other);
    ~TQGfxParticleSystem();

    /// Advances by dt seconds: at most one update step per call (fps 0: one step of dt).
    void Update(float dt);
    /// Draws every live particle, offset by the transposition.
    void Render();
    /// Starts the emitter where it is (continuously when the lifetime is -1); live particles stay.
    void Fire();
    /// Stops the emitter, moves it to (x, y) without stringing particles along the way, and fires.
    void FireAt(float x, float y);
    /// Stops the emitter; with killParticles every particle goes at once, else they play out.
    void Stop(bool killParticles = false);
    /// Moves the emitter. With moveParticles the live particles move with it; else a running emitter
    /// spreads its next particles along the path.
    void MoveTo(float x, float y, bool moveParticles = false);
    /// Sets (not adds) the offset at which particles are drawn.
    void Transpose(float x, float y);
    /// The drawing offset set by Transpose.
    void GetTransposition(float* x, float* y) const;
    /// The emitter's position.
    void GetPosition(float* x, float* y) const;
    /// Emitter age: kStopped, kContinuous, or seconds since it was fired.
    float GetAge() const { return m_fAge; }
    /// Number of live particles.
    int GetParticlesAlive() const { return m_nParticlesAlive; }
    /// Turns bounding-box tracking on or off (see GetBoundingBox).
    void TrackBoundingBox(bool track) { m_bUpdateBoundingBox = track; }
    /// Copies the bounding box (its emptiness included) into rect and returns rect.
    TQGfxRect* GetBoundingBox(TQGfxRect* rect) const;

    /// The description this system runs.
    TQGfxParticleSystemInfo info;

private:
    void InitState(float fps);
    void CopyStateFrom(const TQGfxParticleSystem& other);
    // One update step of d seconds.
    void Step(float d);
    void MoveParticles(float d);
    void EmitParticles(float d);
    void BirthParticle(TQGfxParticle* particle);
    float Random(float min, float max);

    TQGfxDevice* m_pDevice;
    float m_fUpdateStep;
    float m_fUpdateAccumulator;
    float m_fAge;
    float m_fEmissionResidue;
    TQGfxVector m_vecPrevLocation;
    TQGfxVector m_vecLocation;
    float m_fTx, m_fTy;
    int m_nParticlesAlive;
    TQGfxRect m_rectBoundingBox;
    bool m_bUpdateBoundingBox;
    TQGfxParticle m_particles[kMaxParticles];
};
