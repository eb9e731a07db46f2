// A particle system's 128-byte record, as the engine reads it from a particle record file.
#pragma once

#include <cstdint>
#include <string>

struct ParticleRecord {
    uint16_t frame = 0;
    uint16_t blend = 2;
    int32_t emission = 0;
    float lifetime = -1.0f;
    float lifeMin = 0, lifeMax = 0;
    float direction = 0, spread = 0;
    bool relative = false;
    float speedMin = 0, speedMax = 0;
    float gravityMin = 0, gravityMax = 0;
    float radialMin = 0, radialMax = 0;
    float tangentialMin = 0, tangentialMax = 0;
    float sizeStart = 1, sizeEnd = 1, sizeVar = 0;
    float spinStart = 0, spinEnd = 0, spinVar = 0;
    float colorStart[4] = {1, 1, 1, 1};
    float colorEnd[4] = {1, 1, 1, 1};
    float colorVar = 0, alphaVar = 0;

    // Writes the record little-endian, field by field.
    bool Save(const std::string& path) const;
};
