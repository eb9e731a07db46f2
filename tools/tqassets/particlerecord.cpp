#include "particlerecord.h"

#include <cstring>
#include <vector>

#include "wavfile.h"

namespace {

void PutFloat(std::vector<uint8_t>& bytes, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    PutLE(bytes, bits, 4);
}

} // namespace

bool ParticleRecord::Save(const std::string& path) const {
    std::vector<uint8_t> bytes;
    PutLE(bytes, frame | uint32_t(blend) << 16, 4);
    PutLE(bytes, static_cast<uint32_t>(emission), 4);
    for (float value : {lifetime, lifeMin, lifeMax, direction, spread})
        PutFloat(bytes, value);
    PutLE(bytes, relative ? 1 : 0, 4);
    for (float value : {speedMin, speedMax, gravityMin, gravityMax, radialMin, radialMax, tangentialMin,
                        tangentialMax, sizeStart, sizeEnd, sizeVar, spinStart, spinEnd, spinVar})
        PutFloat(bytes, value);
    for (float value : colorStart)
        PutFloat(bytes, value);
    for (float value : colorEnd)
        PutFloat(bytes, value);
    PutFloat(bytes, colorVar);
    PutFloat(bytes, alphaVar);
    return bytes.size() == 128 && WriteBytes(path, bytes);
}
