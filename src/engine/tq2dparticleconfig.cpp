// TQ2DParticle's reader of particle description files.
#include "engine/tq2dparticle.h"

#include "device/tqgfxcolor.h"
#include "engine/tq2ddescriptionfields.h"
#include "engine/tq2ddescriptionfile.h"
#include "engine/tq2dfilelookup.h"
#include "engine/tq2dglobal.h"
#include "engine/tq2dpack.h"

#include <cstdlib>

namespace {

// Record fields a description overrides with a decimal.
struct DecimalKey {
    const char* key;
    float TQ2D_PARTICLE_INFO_tag::*field;
};

const DecimalKey kDecimalKeys[] = {
    {"LIFETIME", &TQ2D_PARTICLE_INFO_tag::fLifetime},
    {"PARTICLE_LIFE_MIN", &TQ2D_PARTICLE_INFO_tag::fParticleLifeMin},
    {"PARTICLE_LIFE_MAX", &TQ2D_PARTICLE_INFO_tag::fParticleLifeMax},
    {"DIRECTION", &TQ2D_PARTICLE_INFO_tag::fDirection},
    {"SPREAD", &TQ2D_PARTICLE_INFO_tag::fSpread},
    {"SPEED_MIN", &TQ2D_PARTICLE_INFO_tag::fSpeedMin},
    {"SPEED_MAX", &TQ2D_PARTICLE_INFO_tag::fSpeedMax},
    {"GRAVITY_MIN", &TQ2D_PARTICLE_INFO_tag::fGravityMin},
    {"GRAVITY_MAX", &TQ2D_PARTICLE_INFO_tag::fGravityMax},
    {"RADIAL_ACCEL_MIN", &TQ2D_PARTICLE_INFO_tag::fRadialAccelMin},
    {"RADIAL_ACCEL_MAX", &TQ2D_PARTICLE_INFO_tag::fRadialAccelMax},
    {"TANGENTIAL_ACCEL_MIN", &TQ2D_PARTICLE_INFO_tag::fTangentialAccelMin},
    {"TANGENTIAL_ACCEL_MAX", &TQ2D_PARTICLE_INFO_tag::fTangentialAccelMax},
    {"SIZE_START", &TQ2D_PARTICLE_INFO_tag::fSizeStart},
    {"SIZE_END", &TQ2D_PARTICLE_INFO_tag::fSizeEnd},
    {"SIZE_VAR", &TQ2D_PARTICLE_INFO_tag::fSizeVar},
    {"SPIN_START", &TQ2D_PARTICLE_INFO_tag::fSpinStart},
    {"SPIN_END", &TQ2D_PARTICLE_INFO_tag::fSpinEnd},
    {"SPIN_VAR", &TQ2D_PARTICLE_INFO_tag::fSpinVar},
};

// The trimmed value of key; false when it is absent or empty.
bool ReadValue(const TQFileConfig& config, const char* key, TQString& text) {
    text = TQ2DTrimmedConfig(config, key);
    return text.GetLength() != 0;
}

// A packed ARGB value as the record's r, g, b, a.
void ReadColor(const TQFileConfig& config, const char* key, float (&channels)[4]) {
    TQString text;
    if (!ReadValue(config, key, text))
        return;
    TQGfxColor color;
    color.SetARGB(static_cast<DWORD>(text.GetValue(nullptr)));
    channels[0] = color.r;
    channels[1] = color.g;
    channels[2] = color.b;
    channels[3] = color.a;
}

// The keys that override record fields (and the frame); absent or empty keys change nothing.
void ReadOverrides(const TQFileConfig& config, TQ2D_PARTICLE_INFO_tag& record, int& frame) {
    TQString text;
    if (ReadValue(config, "SPRITE_NO", text))
        frame = static_cast<int>(text.GetValue(nullptr));
    if (ReadValue(config, "EMISSION", text))
        record.nEmission = static_cast<int>(text.GetValue(nullptr));
    if (ReadValue(config, "RELATIVE", text))
        record.bRelative = text.GetValue(nullptr) != 0 ? 1 : 0;
    for (const DecimalKey& key : kDecimalKeys) {
        if (ReadValue(config, key.key, text))
            record.*key.field = static_cast<float>(std::atof(text));
    }
    ReadColor(config, "COLOR_START", record.colColorStart);
    ReadColor(config, "COLOR_END", record.colColorEnd);
    if (ReadValue(config, "COLOR_VAR", text))
        record.fColorVar = static_cast<float>(std::atof(text));
    if (ReadValue(config, "ALPHA_VAR", text))
        record.fAlphaVar = static_cast<float>(std::atof(text));
}

} // namespace

// The packs first, then the device's loader (zip packs, disk); only 128 bytes are read, and bytes
// a shorter file lacks read as 0. A record that does not load leaves record as it is.
void TQ2DParticle::LoadRecord(TQString path, TQ2D_PARTICLE_INFO_tag& record) {
    TQString bytes;
    if (TQ2DPackGetFile(TQ2DResourceNamePart(path), bytes)) {
        TQ2DParticleRecordRead(bytes.GetBuffer(), bytes.GetBufferLength(), &record);
        return;
    }
    if (!g_pTQ2DDevice)
        return;
    DWORD size = 0;
    void* data = TQ2DLoadResource(path, &size, "particle record");
    if (!data)
        return;
    TQ2DParticleRecordRead(data, size, &record);
    g_pTQ2DDevice->Resource_Free(data);
}

// A file that cannot be read was logged by the file look-up. Without PSI the keys alone describe
// the effect; a TEX naming no file fails like a texture that does not load.
int TQ2DParticle::CreateFromConfig(const char* file) {
    const TQ2DDescriptionFile description(file);
    if (!description.IsOpen())
        return 0;
    const TQ2DFileConfig& config = description.Config();
    const TQString& name = description.Key();
    const TQString texture = TQ2DFileNameConfig(config, "TEX");
    const TQString recordFile = TQ2DFileNameConfig(config, "PSI");
    const TQString folder = description.Folder();

    TQ2D_PARTICLE_INFO_tag record;
    TQ2DParticleRecordRead(nullptr, 0, &record);
    if (recordFile.GetLength() && TQ2DNamesFile("particle record", recordFile, name, "PSI"))
        LoadRecord(TQ2DPathInFolder(folder, recordFile), record);
    int frame = static_cast<int>(record.dwSprite & 0xFFFF);
    int blend = static_cast<int>(record.dwSprite >> 16);
    ReadOverrides(config, record, frame);
    const TQString blendText = TQ2DTrimmedConfig(config, "BLEND");
    if (blendText.GetLength())
        blend |= TQ2DBlendKeywordBits(blendText);
    const TQString sound = TQ2DTrimmedConfig(config, "SOUND");
    if (sound.GetLength())
        TQ2DReadSoundValue(sound, folder, name, m_sound);
    const float fps = static_cast<float>(TQ2DConfigInt(config, "FPS"));
    const float x = static_cast<float>(TQ2DConfigInt(config, "X"));
    const float y = static_cast<float>(TQ2DConfigInt(config, "Y"));
    const float w = static_cast<float>(TQ2DConfigInt(config, "W"));
    const float h = static_cast<float>(TQ2DConfigInt(config, "H"));
    if (!TQ2DNamesFile("texture", texture, name, "TEX")) {
        DeleteSystem();
        m_sprite.Delete();
        return 0;
    }
    return Create(TQ2DPathInFolder(folder, texture), &record, fps, frame, blend, x, y, w, h);
}
