// The particle-system description: TQ2D_PARTICLE_INFO_tag, the 128-byte little-endian record kept
// byte for byte in particle record files, and TQGfxParticleSystemInfo, its in-memory form, which
// carries the sprite that draws every particle where the record keeps its sprite word.
//
// Units: times in seconds, angles in radians (direction 0 points up), speeds in pixels per update
// step, sizes as scale factors of the sprite (the record's sizes are in units of 32 pixels until
// the engine scales them), colour channels 0..1.
#pragma once

#include "device/tqgfxcolor.h"
#include "platform/win32/tqwintypes.h"

#include <cstddef>

class TQGfxSprite;

// The record as it is stored; every field at its file offset.
struct TQ2D_PARTICLE_INFO_tag {
    DWORD dwSprite;  // bits 0-15 the sprite frame, bits 16-31 the blend mode
    int nEmission;   // particles per second
    float fLifetime; // seconds the emitter runs once fired; -1 = continuous
    float fParticleLifeMin;
    float fParticleLifeMax;
    float fDirection;
    float fSpread;
    BYTE bRelative; // non-zero: direction relative to the emitter's motion
    BYTE reserved[3];
    float fSpeedMin;
    float fSpeedMax;
    float fGravityMin;
    float fGravityMax;
    float fRadialAccelMin;
    float fRadialAccelMax;
    float fTangentialAccelMin;
    float fTangentialAccelMax;
    float fSizeStart;
    float fSizeEnd;
    float fSizeVar;
    float fSpinStart;
    float fSpinEnd;
    float fSpinVar;
    float colColorStart[4]; // r, g, b, a
    float colColorEnd[4];
    float fColorVar;
    float fAlphaVar;
};

static_assert(sizeof(TQ2D_PARTICLE_INFO_tag) == 128, "particle record is 128 bytes");

// Size of the stored record.
constexpr size_t kTQ2DParticleRecordSize = 128;

// Reads the record from the first 128 bytes of data, field by field, little-endian; bytes missing
// from a shorter buffer (or a NULL one) read as 0. The reserved bytes read as 0.
void TQ2DParticleRecordRead(const void* data, size_t size, TQ2D_PARTICLE_INFO_tag* record);
// Writes the record's 128 bytes, little-endian, reserved bytes 0.
void TQ2DParticleRecordWrite(const TQ2D_PARTICLE_INFO_tag& record,
                             unsigned char bytes[kTQ2DParticleRecordSize]);

// The description a particle system copies and runs. The sprite is not owned.
class TQGfxParticleSystemInfo {
public:
    // Every field 0, no sprite.
    TQGfxParticleSystemInfo();
    // The record's fields with this sprite in place of the sprite word.
    TQGfxParticleSystemInfo(const TQ2D_PARTICLE_INFO_tag& record, TQGfxSprite* sprite);

    TQGfxSprite* sprite;
    int nEmission;
    float fLifetime;
    float fParticleLifeMin;
    float fParticleLifeMax;
    float fDirection;
    float fSpread;
    bool bRelative;
    float fSpeedMin;
    float fSpeedMax;
    float fGravityMin;
    float fGravityMax;
    float fRadialAccelMin;
    float fRadialAccelMax;
    float fTangentialAccelMin;
    float fTangentialAccelMax;
    float fSizeStart;
    float fSizeEnd;
    float fSizeVar;
    float fSpinStart;
    float fSpinEnd;
    float fSpinVar;
    TQGfxColor colColorStart;
    TQGfxColor colColorEnd;
    float fColorVar;
    float fAlphaVar;
};
