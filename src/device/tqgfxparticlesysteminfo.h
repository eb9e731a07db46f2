/// @file
/// The particle-system description: TQ2D_PARTICLE_INFO_tag, the 128-byte little-endian record kept
/// byte for byte in particle record files, and TQGfxParticleSystemInfo, its in-memory form, which
/// carries the sprite that draws every particle where the record keeps its sprite word.
///
/// Units: times in seconds, angles in radians (direction 0 points up), speeds in pixels per update
/// step, sizes as scale factors of the sprite (the record's sizes are in units of 32 pixels until
/// the engine scales them), colour channels 0..1.
#pragma once

#include "device/tqgfxcolor.h"
#include "platform/win32/tqwintypes.h"

#include <cstddef>

class TQGfxSprite;

/// The record as it is stored; every field at its file offset.
struct TQ2D_PARTICLE_INFO_tag {
    DWORD dwSprite;  ///< bits 0-15 the sprite frame, bits 16-31 the blend mode
    int nEmission;   ///< particles per second
    float fLifetime; ///< seconds the emitter runs once fired; -1 = continuous
    /// Shortest particle life, seconds.
    float fParticleLifeMin;
    /// Longest particle life, seconds.
    float fParticleLifeMax;
    /// Emission direction, radians: 0 up, growing clockwise.
    float fDirection;
    /// Width of the emission cone around the direction, radians.
    float fSpread;
    BYTE bRelative; ///< non-zero: direction relative to the emitter's motion
    /// Unused; 0.
    BYTE reserved[3];
    /// Lowest start speed, pixels per update step.
    float fSpeedMin;
    /// Highest start speed, pixels per update step.
    float fSpeedMax;
    /// Lowest gravity: pixels per step added to the downward speed each second.
    float fGravityMin;
    /// Highest gravity (same unit).
    float fGravityMax;
    /// Lowest acceleration away from the emitter (pixels per step, each second).
    float fRadialAccelMin;
    /// Highest acceleration away from the emitter.
    float fRadialAccelMax;
    /// Lowest acceleration across the line to the emitter (pixels per step, each second).
    float fTangentialAccelMin;
    /// Highest acceleration across the line to the emitter.
    float fTangentialAccelMax;
    /// Size at birth, in units of 32 pixels.
    float fSizeStart;
    /// Size at death, in units of 32 pixels.
    float fSizeEnd;
    /// 0..1: how far towards fSizeEnd a birth size may randomly lie.
    float fSizeVar;
    /// Spin at birth, radians per second.
    float fSpinStart;
    /// Spin at death, radians per second.
    float fSpinEnd;
    /// 0..1: how far towards fSpinEnd a birth spin may randomly lie.
    float fSpinVar;
    float colColorStart[4]; ///< r, g, b, a
    /// r, g, b, a at death.
    float colColorEnd[4];
    /// 0..1: how far towards the end colour a birth colour may randomly lie.
    float fColorVar;
    /// 0..1: the same for alpha.
    float fAlphaVar;
};

static_assert(sizeof(TQ2D_PARTICLE_INFO_tag) == 128, "particle record is 128 bytes");

/// Size of the stored record.
constexpr size_t kTQ2DParticleRecordSize = 128;

/// Reads the record from the first 128 bytes of data, field by field, little-endian; bytes missing
/// from a shorter buffer (or a NULL one) read as 0. The reserved bytes read as 0.
void TQ2DParticleRecordRead(const void* data, size_t size, TQ2D_PARTICLE_INFO_tag* record);
/// Writes the record's 128 bytes, little-endian, reserved bytes 0.
void TQ2DParticleRecordWrite(const TQ2D_PARTICLE_INFO_tag& record,
                             unsigned char bytes[kTQ2DParticleRecordSize]);

/// The description a particle system copies and runs. The sprite is not owned.
class TQGfxParticleSystemInfo {
public:
    /// Every field 0, no sprite.
    TQGfxParticleSystemInfo();
    /// The record's fields with this sprite in place of the sprite word.
    TQGfxParticleSystemInfo(const TQ2D_PARTICLE_INFO_tag& record, TQGfxSprite* sprite);

    /// Sprite drawing every particle (not owned).
    TQGfxSprite* sprite;
    /// Particles per second.
    int nEmission;
    /// Seconds the emitter runs once fired; -1 = continuous.
    float fLifetime;
    /// Shortest particle life, seconds.
    float fParticleLifeMin;
    /// Longest particle life, seconds.
    float fParticleLifeMax;
    /// Emission direction, radians: 0 up, growing clockwise.
    float fDirection;
    /// Width of the emission cone around the direction, radians.
    float fSpread;
    /// True: direction relative to the emitter's motion.
    bool bRelative;
    /// Lowest start speed, pixels per update step.
    float fSpeedMin;
    /// Highest start speed, pixels per update step.
    float fSpeedMax;
    /// Lowest gravity: pixels per step added to the downward speed each second.
    float fGravityMin;
    /// Highest gravity (same unit).
    float fGravityMax;
    /// Lowest acceleration away from the emitter (pixels per step, each second).
    float fRadialAccelMin;
    /// Highest acceleration away from the emitter.
    float fRadialAccelMax;
    /// Lowest acceleration across the line to the emitter (pixels per step, each second).
    float fTangentialAccelMin;
    /// Highest acceleration across the line to the emitter.
    float fTangentialAccelMax;
    /// Sprite scale at birth.
    float fSizeStart;
    /// Sprite scale at death.
    float fSizeEnd;
    /// 0..1: how far towards fSizeEnd a birth size may randomly lie.
    float fSizeVar;
    /// Spin at birth, radians per second.
    float fSpinStart;
    /// Spin at death, radians per second.
    float fSpinEnd;
    /// 0..1: how far towards fSpinEnd a birth spin may randomly lie.
    float fSpinVar;
    /// Tint at birth.
    TQGfxColor colColorStart;
    /// Tint at death.
    TQGfxColor colColorEnd;
    /// 0..1: how far towards the end colour a birth colour may randomly lie.
    float fColorVar;
    /// 0..1: the same for alpha.
    float fAlphaVar;
};
