/// @class RParticle
/// RParticle: a particle system read from a particle record file, drawn with a sprite resource.
#pragma once

#include "helpers/resdesc.h"

class RParticle : public ResDesc {
public:
    /// No sprite, 50 updates per second.
    RParticle();

    /// A new TQGfxParticleSystem on the declared sprite named `sprite`. Without that sprite (a log
    /// line) the system is made all the same and draws nothing.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    /// Deletes the system (the sprite stays with its own descriptor).
    void Free() override;

    /// The particle record file's name.
    char filename[TQGFX_RES_NAME_SIZE];
    /// Name of the sprite resource that draws the particles.
    char sprite[TQGFX_RES_NAME_SIZE];
    /// Update steps per second.
    float fps;
};
