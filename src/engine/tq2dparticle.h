/// @class TQ2DParticle
/// TQ2DParticle: the engine's particle effect. A sprite that draws every particle, one device
/// particle system and a sound. Made from a 128-byte particle record (TQ2D_PARTICLE_INFO_tag, whose
/// sizes are in units of 32 pixels and are scaled to the sprite here) and a sprite, or from a
/// particle description file that names a texture, a record file, overrides of the record's fields,
/// a blend mode, a sound and the sprite frame.
///
/// The system is owned, or borrowed (SetObject; the particle manager's spawned effects), and a
/// borrowed system is never deleted here. Every forwarder does nothing (or returns 0) without a
/// system. Copies are deep: a copy owns a copy of an owned system, drawn with the copy's own sprite;
/// a borrowed system stays borrowed by both.
#pragma once

#include "containers/tqmemorypooltmpl.h"
#include "device/tqgfxparticlesysteminfo.h"
#include "engine/tq2dsound.h"
#include "engine/tq2dsprite.h"

class TQGfxParticleSystem;

class TQ2DParticle {
public:
    TQ2DParticle();
    /// The default, then the matching Create (the result is dropped).
    TQ2DParticle(TQ2DSprite& sprite, TQ2D_PARTICLE_INFO_tag* info, float fps);
    /// The default, then Create(file, ...) (the result is dropped).
    TQ2DParticle(const char* file, TQ2D_PARTICLE_INFO_tag* info, float fps, int frame, int blend, float x,
                 float y, float w, float h);
    /// Deep copy (see the class description).
    TQ2DParticle(const TQ2DParticle& other);
    /// Deep copy (see the class description).
    TQ2DParticle& operator=(const TQ2DParticle& other);
    virtual ~TQ2DParticle();

    /// Reads a particle description file (packs, then disk): non-zero on success, 0 when the name
    /// is empty, the file cannot be read or the effect cannot be made.
    virtual int CreateFromConfig(const char* file);

    /// A stopped system running info drawn with sprite's helper, at fps update steps per second (0:
    /// one step per Update). info's sizes are rescaled in place to the sprite's width. Non-zero, or 0
    /// for a NULL info, a sprite without width or a failed allocation.
    int Create(TQ2DSprite& sprite, TQ2D_PARTICLE_INFO_tag* info, float fps);
    /// The own sprite from file showing frame (counted in rows of w x h frames from the texture's
    /// top-left corner; x and y only take part in creating the sprite), hot spot in its centre and
    /// this blend mode; then the form above on it. The present system goes first (it drew with the
    /// sprite's old helper), also when the sprite cannot be made.
    int Create(const char* file, TQ2D_PARTICLE_INFO_tag* info, float fps, int frame, int blend, float x,
               float y, float w, float h);
    /// Deletes an owned system (a borrowed one is forgotten) and the sprite.
    void Delete();

    /// Advances the system by dt seconds (TQGfxParticleSystem::Update).
    void Update(float dt);
    /// Draws the live particles.
    void Render();
    /// Starts the emitter where it is.
    void Fire();
    /// Moves the emitter to (x, y) and starts it.
    void FireAt(float x, float y);
    /// Stops the emitter; with killParticles the particles go at once.
    void Stop(bool killParticles = false);
    /// Moves the emitter; with moveParticles the live particles move with it.
    void MoveTo(float x, float y, bool moveParticles = false);
    /// Sets the offset at which particles are drawn.
    void Transpose(float x, float y);
    /// The drawing offset.
    void GetTransposition(float* x, float* y) const;
    /// The emitter's position.
    void GetPosition(float* x, float* y) const;
    /// Emitter age: -2 stopped, -1 continuous, else seconds since it was fired.
    float GetAge() const;
    /// Number of live particles.
    int GetParticlesAlive() const;
    /// Turns bounding-box tracking on or off.
    void TrackBoundingBox(bool track);
    /// The bounding box (empty or not) into rect; NULL without a system or for a NULL rect.
    TQ2D_RECT_tag* GetBoundingBox(TQ2D_RECT_tag* rect) const;
    /// Plays the sound; the particles are not fired.
    void Play();

    /// The system (NULL before creation).
    void* GetObjectA() const;
    /// Borrows system (NULL changes nothing); an owned system is deleted first.
    void SetObject(void* system);
    /// The sprite that draws the particles.
    TQ2DSprite& GetTQ2DSprite() { return m_sprite; }
    /// The effect's sound.
    TQ2DSound& GetSound() { return m_sound; }

    /// Order by address: the sign of this object against other.
    int operator-(TQ2DParticle& other) const;
    /// Order by address; -1 for NULL.
    int operator-(void* other) const;

    TQ_DECLARE_MEMORY_POOL(TQ2DParticle)

private:
    // Deletes an owned system; none after.
    void DeleteSystem();
    // Reads the record file of a description into record (zero when it cannot be read).
    static void LoadRecord(TQString path, TQ2D_PARTICLE_INFO_tag& record);

    TQ2DSprite m_sprite;
    int m_bExternal = 0;
    TQGfxParticleSystem* m_pSystem = nullptr;
    TQ2DSound m_sound;
};
