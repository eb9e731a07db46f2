#include "device/tqgfxparticlesysteminfo.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Reads little-endian fields in order from a zero-padded copy of the record's bytes.
class RecordReader {
public:
    RecordReader(const void* data, size_t size) {
        if (data)
            std::memcpy(m_bytes, data, std::min(size, kTQ2DParticleRecordSize));
    }
    uint32_t U32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<uint32_t>(m_bytes[m_pos + i]) << (8 * i);
        m_pos += 4;
        return value;
    }
    int I32() { return static_cast<int>(U32()); }
    float F32() {
        const uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }
    BYTE U8() { return m_bytes[m_pos++]; }
    void Skip(size_t count) { m_pos += count; }

private:
    unsigned char m_bytes[kTQ2DParticleRecordSize] = {};
    size_t m_pos = 0;
};

// Writes little-endian fields in order.
class RecordWriter {
public:
    explicit RecordWriter(unsigned char* bytes) : m_bytes(bytes) {}
    void U32(uint32_t value) {
        for (int i = 0; i < 4; ++i)
            m_bytes[m_pos++] = static_cast<unsigned char>(value >> (8 * i));
    }
    void I32(int value) { U32(static_cast<uint32_t>(value)); }
    void F32(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof(bits));
        U32(bits);
    }
    void U8(BYTE value) { m_bytes[m_pos++] = value; }
    void Zeros(size_t count) {
        std::memset(m_bytes + m_pos, 0, count);
        m_pos += count;
    }

private:
    unsigned char* m_bytes;
    size_t m_pos = 0;
};

// The fields from speed min to the end are 24 contiguous 32-bit floats in record order.
const size_t kFloatTailOffset = offsetof(TQ2D_PARTICLE_INFO_tag, fSpeedMin);
const int kFloatTailCount = static_cast<int>((kTQ2DParticleRecordSize - kFloatTailOffset) / sizeof(float));
static_assert(kFloatTailOffset == 32 && offsetof(TQ2D_PARTICLE_INFO_tag, colColorStart) == 88 &&
                  offsetof(TQ2D_PARTICLE_INFO_tag, fAlphaVar) == 124,
              "record fields at their file offsets");

void SetTailFloat(TQ2D_PARTICLE_INFO_tag* record, int index, float value) {
    std::memcpy(reinterpret_cast<unsigned char*>(record) + kFloatTailOffset + index * sizeof(float), &value,
                sizeof(value));
}

float TailFloat(const TQ2D_PARTICLE_INFO_tag& record, int index) {
    float value;
    std::memcpy(&value,
                reinterpret_cast<const unsigned char*>(&record) + kFloatTailOffset + index * sizeof(float),
                sizeof(value));
    return value;
}

TQGfxColor ColorOf(const float channels[4]) {
    return TQGfxColor(channels[0], channels[1], channels[2], channels[3]);
}

} // namespace

void TQ2DParticleRecordRead(const void* data, size_t size, TQ2D_PARTICLE_INFO_tag* record) {
    RecordReader in(data, size);
    record->dwSprite = in.U32();
    record->nEmission = in.I32();
    record->fLifetime = in.F32();
    record->fParticleLifeMin = in.F32();
    record->fParticleLifeMax = in.F32();
    record->fDirection = in.F32();
    record->fSpread = in.F32();
    record->bRelative = in.U8();
    in.Skip(3);
    std::fill(record->reserved, record->reserved + 3, 0);
    for (int i = 0; i < kFloatTailCount; ++i)
        SetTailFloat(record, i, in.F32());
}

void TQ2DParticleRecordWrite(const TQ2D_PARTICLE_INFO_tag& record,
                             unsigned char bytes[kTQ2DParticleRecordSize]) {
    RecordWriter out(bytes);
    out.U32(record.dwSprite);
    out.I32(record.nEmission);
    out.F32(record.fLifetime);
    out.F32(record.fParticleLifeMin);
    out.F32(record.fParticleLifeMax);
    out.F32(record.fDirection);
    out.F32(record.fSpread);
    out.U8(record.bRelative);
    out.Zeros(3);
    for (int i = 0; i < kFloatTailCount; ++i)
        out.F32(TailFloat(record, i));
}

TQGfxParticleSystemInfo::TQGfxParticleSystemInfo()
    : sprite(nullptr), nEmission(0), fLifetime(0.0f), fParticleLifeMin(0.0f), fParticleLifeMax(0.0f),
      fDirection(0.0f), fSpread(0.0f), bRelative(false), fSpeedMin(0.0f), fSpeedMax(0.0f), fGravityMin(0.0f),
      fGravityMax(0.0f), fRadialAccelMin(0.0f), fRadialAccelMax(0.0f), fTangentialAccelMin(0.0f),
      fTangentialAccelMax(0.0f), fSizeStart(0.0f), fSizeEnd(0.0f), fSizeVar(0.0f), fSpinStart(0.0f),
      fSpinEnd(0.0f), fSpinVar(0.0f), fColorVar(0.0f), fAlphaVar(0.0f) {}

TQGfxParticleSystemInfo::TQGfxParticleSystemInfo(const TQ2D_PARTICLE_INFO_tag& r, TQGfxSprite* spr)
    : sprite(spr), nEmission(r.nEmission), fLifetime(r.fLifetime), fParticleLifeMin(r.fParticleLifeMin),
      fParticleLifeMax(r.fParticleLifeMax), fDirection(r.fDirection), fSpread(r.fSpread),
      bRelative(r.bRelative != 0), fSpeedMin(r.fSpeedMin), fSpeedMax(r.fSpeedMax), fGravityMin(r.fGravityMin),
      fGravityMax(r.fGravityMax), fRadialAccelMin(r.fRadialAccelMin), fRadialAccelMax(r.fRadialAccelMax),
      fTangentialAccelMin(r.fTangentialAccelMin), fTangentialAccelMax(r.fTangentialAccelMax),
      fSizeStart(r.fSizeStart), fSizeEnd(r.fSizeEnd), fSizeVar(r.fSizeVar), fSpinStart(r.fSpinStart),
      fSpinEnd(r.fSpinEnd), fSpinVar(r.fSpinVar), colColorStart(ColorOf(r.colColorStart)),
      colColorEnd(ColorOf(r.colColorEnd)), fColorVar(r.fColorVar), fAlphaVar(r.fAlphaVar) {}
