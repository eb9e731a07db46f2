// The particle record and the particle system: record bytes, loading from a file, update steps,
// emission, limits, lifetimes, the emitter's motion, and a seeded scene compared pixel for pixel
// with its reference image.
#include "devicetestsupport.h"

#include "base/tqlog.h"
#include "device/tqgfxparticlesystem.h"
#include "device/tqgfxsprite.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <sstream>

namespace {

const int kScreen = 64;

// A record whose every field differs from the others.
TQ2D_PARTICLE_INFO_tag NumberedRecord() {
    TQ2D_PARTICLE_INFO_tag record;
    std::memset(&record, 0, sizeof(record));
    record.dwSprite = 0x00060005;
    record.nEmission = -7;
    record.bRelative = 2;
    float* floats[] = {&record.fLifetime,
                       &record.fParticleLifeMin,
                       &record.fParticleLifeMax,
                       &record.fDirection,
                       &record.fSpread,
                       &record.fSpeedMin,
                       &record.fSpeedMax,
                       &record.fGravityMin,
                       &record.fGravityMax,
                       &record.fRadialAccelMin,
                       &record.fRadialAccelMax,
                       &record.fTangentialAccelMin,
                       &record.fTangentialAccelMax,
                       &record.fSizeStart,
                       &record.fSizeEnd,
                       &record.fSizeVar,
                       &record.fSpinStart,
                       &record.fSpinEnd,
                       &record.fSpinVar,
                       &record.fColorVar,
                       &record.fAlphaVar};
    float value = 1.5f;
    for (float* field : floats)
        *field = value++;
    for (int i = 0; i < 4; ++i) {
        record.colColorStart[i] = 0.1f * (i + 1);
        record.colColorEnd[i] = 0.2f * (i + 1);
    }
    return record;
}

uint32_t LeAt(const unsigned char* bytes, size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

float FloatAt(const unsigned char* bytes, size_t offset) {
    const uint32_t bits = LeAt(bytes, offset);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// A description of particles that stand still, live `life` seconds and are emitted `emission` per
// second by an emitter running `lifetime` seconds.
TQGfxParticleSystemInfo StillParticles(int emission, float lifetime, float life,
                                       TQGfxSprite* sprite = nullptr) {
    TQGfxParticleSystemInfo info;
    info.sprite = sprite;
    info.nEmission = emission;
    info.fLifetime = lifetime;
    info.fParticleLifeMin = info.fParticleLifeMax = life;
    info.fSizeStart = info.fSizeEnd = 1.0f;
    info.colColorStart = info.colColorEnd = TQGfxColor(1, 1, 1, 1);
    return info;
}

TQGfxRect BoxOf(const TQGfxParticleSystem& system) {
    TQGfxRect box;
    system.GetBoundingBox(&box);
    return box;
}

std::string ReferencePath() {
    std::string source = __FILE__;
    return source.substr(0, source.find_last_of('/')) + "/data/particle_scene.bmp";
}

class ParticleSystemTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_TRUE(Initiate(kScreen, kScreen));
        dev->Random_Seed(1234);
    }

    // The frame of a seeded fountain: 40 steps of a continuous emitter at (32, 56).
    std::vector<uint32_t> FountainFrame(DWORD seed) {
        dev->Random_Seed(seed);
        TQGfxSprite sprite(0, 0, 0, 4, 4);
        sprite.SetHotSpot(2, 2);
        sprite.SetColor(0xFF00FF00, -1);
        TQGfxParticleSystemInfo info;
        info.sprite = &sprite;
        info.nEmission = 150;
        info.fLifetime = -1;
        info.fParticleLifeMin = 0.3f;
        info.fParticleLifeMax = 0.8f;
        info.fDirection = 0.0f;
        info.fSpread = 0.8f;
        info.fSpeedMin = 0.8f;
        info.fSpeedMax = 1.6f;
        info.fGravityMin = info.fGravityMax = 1.5f;
        info.fTangentialAccelMin = -2.0f;
        info.fTangentialAccelMax = 2.0f;
        info.fSizeStart = 0.5f;
        info.fSizeEnd = 1.5f;
        info.fSizeVar = 0.5f;
        info.fSpinStart = 0.0f;
        info.fSpinEnd = 4.0f;
        info.colColorStart = TQGfxColor(1.0f, 0.2f, 0.1f, 1.0f);
        info.colColorEnd = TQGfxColor(1.0f, 1.0f, 0.2f, 0.3f);
        info.fColorVar = 0.3f;
        info.fAlphaVar = 0.2f;
        TQGfxParticleSystem system(&info, 50.0f);
        system.FireAt(32, 56);
        for (int i = 0; i < 40; ++i)
            system.Update(0.02f);
        EXPECT_TRUE(dev->Gfx_BeginScene(0));
        dev->Gfx_Clear(0xFF000010);
        system.Render();
        dev->Gfx_EndScene();
        EXPECT_EQ(sprite.GetColor(3), 0xFF00FF00u);
        return LastFrame();
    }
};

} // namespace

TEST(ParticleRecordTest, BytesAtTheirOffsetsAndBack) {
    const TQ2D_PARTICLE_INFO_tag record = NumberedRecord();
    unsigned char bytes[kTQ2DParticleRecordSize];
    std::memset(bytes, 0xEE, sizeof(bytes));
    TQ2DParticleRecordWrite(record, bytes);
    EXPECT_EQ(LeAt(bytes, 0), 0x00060005u);
    EXPECT_EQ(LeAt(bytes, 4), static_cast<uint32_t>(-7));
    EXPECT_EQ(FloatAt(bytes, 8), 1.5f);
    EXPECT_EQ(bytes[28], 2);
    EXPECT_EQ(bytes[29] | bytes[30] | bytes[31], 0);
    EXPECT_EQ(FloatAt(bytes, 32), record.fSpeedMin);
    EXPECT_EQ(FloatAt(bytes, 84), record.fSpinVar);
    EXPECT_EQ(FloatAt(bytes, 88), record.colColorStart[0]);
    EXPECT_EQ(FloatAt(bytes, 116), record.colColorEnd[3]);
    EXPECT_EQ(FloatAt(bytes, 124), record.fAlphaVar);

    TQ2D_PARTICLE_INFO_tag back;
    TQ2DParticleRecordRead(bytes, sizeof(bytes), &back);
    EXPECT_EQ(std::memcmp(&back, &record, sizeof(record)), 0);

    // Missing bytes read as zero.
    TQ2DParticleRecordRead(bytes, 10, &back);
    EXPECT_EQ(back.dwSprite, 0x00060005u);
    EXPECT_EQ(back.nEmission, -7);
    EXPECT_EQ(back.fLifetime, 0.0f);
    EXPECT_EQ(back.fAlphaVar, 0.0f);
    TQ2DParticleRecordRead(nullptr, 128, &back);
    EXPECT_EQ(back.dwSprite, 0u);

    TQGfxSprite* sprite = reinterpret_cast<TQGfxSprite*>(&back);
    const TQGfxParticleSystemInfo info(record, sprite);
    EXPECT_EQ(info.sprite, sprite);
    EXPECT_EQ(info.nEmission, -7);
    EXPECT_TRUE(info.bRelative);
    EXPECT_EQ(info.fTangentialAccelMax, record.fTangentialAccelMax);
    EXPECT_EQ(info.colColorStart.g, record.colColorStart[1]);
    EXPECT_EQ(info.colColorEnd.a, record.colColorEnd[3]);
    EXPECT_EQ(info.fColorVar, record.fColorVar);
}

TEST_F(ParticleSystemTest, DescriptionFromARecordFile) {
    unsigned char bytes[kTQ2DParticleRecordSize];
    TQ2DParticleRecordWrite(NumberedRecord(), bytes);
    WriteFile("spark.psi", std::string(reinterpret_cast<char*>(bytes), sizeof(bytes)) + "trailing");
    TQGfxSprite sprite(0, 0, 0, 4, 4);
    TQGfxParticleSystem system(Path("spark.psi").c_str(), &sprite, 30.0f);
    EXPECT_EQ(system.info.sprite, &sprite);
    EXPECT_EQ(system.info.nEmission, -7);
    EXPECT_EQ(system.info.fSpinEnd, NumberedRecord().fSpinEnd);
    EXPECT_EQ(system.GetAge(), TQGfxParticleSystem::kStopped);

    TQLogCapture errors(g_tqLogError);
    WriteFile("short.psi", std::string(reinterpret_cast<char*>(bytes), 8));
    TQGfxParticleSystem shortFile(Path("short.psi").c_str(), &sprite, 30.0f);
    EXPECT_EQ(shortFile.info.nEmission, -7);
    EXPECT_EQ(shortFile.info.fLifetime, 0.0f);
    EXPECT_TRUE(errors.Contains("Particle file too short."));

    TQGfxParticleSystem missing(Path("missing.psi").c_str(), &sprite, 30.0f);
    EXPECT_TRUE(errors.Contains("Particle file load fail."));
    EXPECT_EQ(missing.info.sprite, &sprite);
    EXPECT_EQ(missing.info.nEmission, 0);
    missing.Fire();
    missing.Update(1.0f);
    EXPECT_EQ(missing.GetParticlesAlive(), 0);
    TQGfxParticleSystem unnamed(nullptr, &sprite, 30.0f);
    EXPECT_EQ(unnamed.info.nEmission, 0);
}

TEST_F(ParticleSystemTest, AtMostOneStepPerUpdate) {
    TQGfxParticleSystemInfo info = StillParticles(0, 10.0f, 1.0f);
    TQGfxParticleSystem system(&info, 50.0f);
    system.Fire();
    EXPECT_EQ(system.GetAge(), 0.0f);
    system.Update(0.07f); // one step; the two whole periods beyond it are dropped
    EXPECT_FLOAT_EQ(system.GetAge(), 0.02f);
    system.Update(0.005f);
    EXPECT_FLOAT_EQ(system.GetAge(), 0.02f);
    system.Update(0.006f);
    EXPECT_FLOAT_EQ(system.GetAge(), 0.04f);
    // A huge frame time neither hangs nor runs more than one step.
    system.Update(1.0e9f);
    EXPECT_FLOAT_EQ(system.GetAge(), 0.06f);

    for (float fps : {0.0f, -30.0f}) {
        TQGfxParticleSystem everyUpdate(&info, fps);
        everyUpdate.Fire();
        everyUpdate.Update(0.3f);
        EXPECT_FLOAT_EQ(everyUpdate.GetAge(), 0.3f);
        everyUpdate.Update(0.001f);
        EXPECT_FLOAT_EQ(everyUpdate.GetAge(), 0.301f);
    }
}

TEST_F(ParticleSystemTest, EmissionCarriesFractionsAndStopsAtTheLimit) {
    TQGfxParticleSystemInfo info = StillParticles(10, -1.0f, 100.0f);
    TQGfxParticleSystem system(&info, 0.0f);
    system.Fire();
    const int expected[4] = {0, 0, 1, 1};
    for (int count : expected) {
        system.Update(0.04f);
        EXPECT_EQ(system.GetParticlesAlive(), count);
    }
    EXPECT_EQ(system.GetAge(), TQGfxParticleSystem::kContinuous);

    info.nEmission = 100000;
    TQGfxParticleSystem flood(&info, 0.0f);
    flood.Fire();
    flood.Update(0.02f);
    EXPECT_EQ(flood.GetParticlesAlive(), TQGfxParticleSystem::kMaxParticles);
    flood.Update(1000.0f);
    EXPECT_EQ(flood.GetParticlesAlive(), TQGfxParticleSystem::kMaxParticles);
    EXPECT_EQ(flood.GetAge(), TQGfxParticleSystem::kContinuous);

    info.nEmission = -50;
    TQGfxParticleSystem negative(&info, 0.0f);
    negative.Fire();
    negative.Update(1.0f);
    EXPECT_EQ(negative.GetParticlesAlive(), 0);
}

// A huge size, as a record may give, draws a particle at most kMaxDrawnSize wide and high: here one
// whose bottom-right corner lies at (300, 300) reaches back to about (44, 44), not over the screen.
TEST_F(ParticleSystemTest, HugeSizesAreDrawnAtTheLargestSize) {
    TQGfxSprite sprite(0, 0, 0, 2, 2);
    sprite.SetHotSpot(2, 2);
    for (float size : {1e6f, -1e6f, 3e38f}) {
        TQGfxParticleSystemInfo info = StillParticles(1, -1.0f, 10.0f, &sprite);
        info.fSizeStart = info.fSizeEnd = size;
        TQGfxParticleSystem system(&info, 0.0f);
        system.FireAt(300, 300);
        system.Update(1.0f);
        ASSERT_EQ(system.GetParticlesAlive(), 1);
        ASSERT_TRUE(dev->Gfx_BeginScene(0));
        dev->Gfx_Clear(0xFF000000);
        system.Render();
        dev->Gfx_EndScene();
        EXPECT_EQ(PixelRgb(30, 30), 0x000000u) << size;
        EXPECT_EQ(PixelRgb(60, 60), size > 0 ? 0xFFFFFFu : 0x000000u) << size;
    }
}

TEST_F(ParticleSystemTest, EmitterAndParticleLifetimes) {
    TQGfxParticleSystemInfo info = StillParticles(100, 0.06f, 0.1f);
    TQGfxParticleSystem system(&info, 0.0f);
    system.Update(0.05f);
    EXPECT_EQ(system.GetParticlesAlive(), 0); // not fired yet
    system.Fire();
    system.Update(0.05f);
    EXPECT_EQ(system.GetParticlesAlive(), 5);
    system.Update(0.05f); // the emitter stops; its particles are 0.05 s old
    EXPECT_EQ(system.GetAge(), TQGfxParticleSystem::kStopped);
    EXPECT_EQ(system.GetParticlesAlive(), 5);
    system.Update(0.05f);
    EXPECT_EQ(system.GetParticlesAlive(), 0);

    // Particles of no life are drawn once and die at the next step, however short.
    TQGfxParticleSystemInfo flash = StillParticles(100, -1.0f, 0.0f);
    TQGfxParticleSystem flashes(&flash, 0.0f);
    flashes.Fire();
    flashes.Update(0.05f);
    EXPECT_EQ(flashes.GetParticlesAlive(), 5);
    flashes.Stop(false);
    flashes.Update(0.0f);
    EXPECT_EQ(flashes.GetParticlesAlive(), 0);
}

TEST_F(ParticleSystemTest, StopLetsParticlesPlayOutOrKillsThem) {
    TQGfxParticleSystemInfo info = StillParticles(100, -1.0f, 1.0f);
    info.fGravityMin = info.fGravityMax = 50.0f;
    TQGfxParticleSystem system(&info, 0.0f);
    system.TrackBoundingBox(true);
    system.FireAt(20, 20);
    system.Update(0.1f);
    ASSERT_EQ(system.GetParticlesAlive(), 10);
    system.Stop(false);
    const float bottom = BoxOf(system).y2;
    system.Update(0.1f);
    EXPECT_EQ(system.GetParticlesAlive(), 10);
    EXPECT_GT(BoxOf(system).y2, bottom + 4.0f);
    system.Stop(true);
    EXPECT_EQ(system.GetParticlesAlive(), 0);
    EXPECT_TRUE(BoxOf(system).clean);
}

// A system that never tracked a box reads corners of 0, whatever its memory held before.
TEST_F(ParticleSystemTest, UntrackedBoundingBoxReadsZeroCorners) {
    std::unique_ptr<unsigned char[]> memory(new unsigned char[sizeof(TQGfxParticleSystem)]);
    std::memset(memory.get(), 0xA5, sizeof(TQGfxParticleSystem));
    TQGfxParticleSystem* system = new (memory.get()) TQGfxParticleSystem(nullptr, 0.0f);
    TQGfxRect box(1, 2, 3, 4);
    system->GetBoundingBox(&box);
    system->~TQGfxParticleSystem();
    EXPECT_TRUE(box.clean);
    EXPECT_EQ(box.x1, 0.0f);
    EXPECT_EQ(box.y1, 0.0f);
    EXPECT_EQ(box.x2, 0.0f);
    EXPECT_EQ(box.y2, 0.0f);
}

TEST_F(ParticleSystemTest, EmitterMotion) {
    TQGfxParticleSystemInfo info = StillParticles(1000, -1.0f, 10.0f);
    TQGfxParticleSystem system(&info, 0.0f);
    system.TrackBoundingBox(true);

    // FireAt strings no particles along from the old place.
    system.FireAt(100, 0);
    system.Update(0.05f);
    TQGfxRect box = BoxOf(system);
    EXPECT_GE(box.x1, 98.0f);
    EXPECT_LE(box.x2, 102.0f);

    // Moving the particles with the emitter shifts them all alike.
    system.Stop(false);
    system.Update(0.0f);
    const TQGfxRect before = BoxOf(system);
    system.MoveTo(130, 40, true);
    system.Update(0.0f);
    box = BoxOf(system);
    EXPECT_FLOAT_EQ(box.x1, before.x1 + 30);
    EXPECT_FLOAT_EQ(box.y2, before.y2 + 40);
    float x, y;
    system.GetPosition(&x, &y);
    EXPECT_EQ(x, 130.0f);
    EXPECT_EQ(y, 40.0f);

    // A running emitter moved without its particles spreads new ones along the path.
    system.Stop(true);
    system.Fire();
    system.MoveTo(230, 40, false);
    system.Update(0.1f);
    box = BoxOf(system);
    EXPECT_LT(box.x1, 140.0f);
    EXPECT_GT(box.x2, 220.0f);
}

TEST_F(ParticleSystemTest, CopiesCarryEveryParticle) {
    TQGfxParticleSystemInfo info = StillParticles(100, -1.0f, 1.0f);
    TQGfxParticleSystem system(&info, 25.0f);
    system.Transpose(3, 4);
    system.FireAt(10, 10);
    system.Update(0.04f);
    TQGfxParticleSystem copy(system);
    EXPECT_EQ(copy.GetParticlesAlive(), 4);
    float x, y;
    copy.GetTransposition(&x, &y);
    EXPECT_EQ(x, 3.0f);
    EXPECT_EQ(y, 4.0f);
    copy.Update(0.04f);
    EXPECT_EQ(copy.GetParticlesAlive(), 8);
    EXPECT_EQ(system.GetParticlesAlive(), 4);
    system = copy;
    EXPECT_EQ(system.GetParticlesAlive(), 8);
}

TEST_F(ParticleSystemTest, SeededSceneMatchesItsReference) {
    const std::vector<uint32_t> frame = FountainFrame(1234);
    ASSERT_EQ(frame.size(), static_cast<size_t>(kScreen * kScreen));
    // The screenshot of the frame, compared byte for byte with the reference.
    dev->System_Snapshot(Path("scene.bmp").c_str());
    EXPECT_EQ(FountainFrame(1234), frame);
    EXPECT_NE(FountainFrame(4321), frame);
    const std::string shot = ReadFile("scene.bmp");
    const char* update = getenv("TQ_UPDATE_REFERENCE");
    if (update && *update)
        std::ofstream(update, std::ios::binary) << shot;
    std::ifstream in(ReferencePath(), std::ios::binary);
    std::ostringstream reference;
    reference << in.rdbuf();
    ASSERT_GT(shot.size(), static_cast<size_t>(kScreen * kScreen * 3));
    ASSERT_EQ(reference.str().size(), shot.size());
    int different = 0;
    for (size_t i = 0; i < shot.size(); ++i)
        different += shot[i] != reference.str()[i];
    EXPECT_EQ(different, 0);
}

TEST_F(ParticleSystemTest, TranspositionMovesTheDrawing) {
    TQGfxSprite sprite(0, 0, 0, 8, 8);
    sprite.SetHotSpot(4, 4);
    TQGfxParticleSystemInfo info = StillParticles(1, -1.0f, 10.0f, &sprite);
    TQGfxParticleSystem system(&info, 0.0f);
    system.FireAt(20, 20);
    system.Update(1.0f);
    ASSERT_EQ(system.GetParticlesAlive(), 1);
    system.Transpose(30, 0);
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF000000);
    system.Render();
    dev->Gfx_EndScene();
    EXPECT_EQ(PixelRgb(20, 20), 0x000000u);
    EXPECT_EQ(PixelRgb(50, 20), 0xFFFFFFu);

    // A description without a sprite draws nothing.
    info.sprite = nullptr;
    TQGfxParticleSystem unseen(&info, 0.0f);
    unseen.Fire();
    unseen.Update(1.0f);
    unseen.Render();
}
