// Particle effects from records, record files and description files; the particle manager
// spawning, moving and killing the effects it owns.
#include "enginetestutil.h"
#include "packtestutil.h"

#include "device/tqgfxparticlesystem.h"
#include "engine/cmorvainepack.h"
#include "engine/tq2dglobalsound.h"
#include "engine/tq2dglobaltexture.h"
#include "engine/tq2dpack.h"
#include "engine/tq2dparticle.h"
#include "engine/tq2dparticlemanager.h"
#include "platform/win32/video/tqvideo.h"

#include <cstring>

namespace {

std::vector<uint32_t> Solid(int count, uint32_t color) {
    return std::vector<uint32_t>(static_cast<size_t>(count), color);
}

TQ2D_PARTICLE_INFO_tag ZeroRecord() {
    TQ2D_PARTICLE_INFO_tag record;
    std::memset(&record, 0, sizeof record);
    return record;
}

// A short burst: many slow particles that live lifeMax seconds, white, size 1 (32 pixels).
TQ2D_PARTICLE_INFO_tag Burst(float lifetime, float lifeMax) {
    TQ2D_PARTICLE_INFO_tag record = ZeroRecord();
    record.nEmission = 200;
    record.fLifetime = lifetime;
    record.fParticleLifeMin = lifeMax;
    record.fParticleLifeMax = lifeMax;
    record.fSpeedMin = record.fSpeedMax = 0.0f;
    record.fSizeStart = record.fSizeEnd = 1.0f;
    for (int i = 0; i < 4; ++i)
        record.colColorStart[i] = record.colColorEnd[i] = 1.0f;
    return record;
}

std::vector<unsigned char> RecordBytes(const TQ2D_PARTICLE_INFO_tag& record) {
    std::vector<unsigned char> bytes(kTQ2DParticleRecordSize);
    TQ2DParticleRecordWrite(record, bytes.data());
    return bytes;
}

const TQGfxParticleSystemInfo& InfoOf(const TQ2DParticle& particle) {
    return static_cast<const TQGfxParticleSystem*>(particle.GetObjectA())->info;
}

class ParticleTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        StartEngine();
        ASSERT_NE(texture.Create(8, 8), 0);
        texture.Clear(0xFFFFFFFF);
        sprite.Create(texture, 0, 0, 0, 0);
    }
    void TearDown() override {
        TQ2DPackRemoveAll();
        EngineTest::TearDown();
    }
    std::string Name(const std::string& file) const { return folder.Relative() + "/" + file; }
    // Pixels lit after drawing through draw on a black frame.
    template <class Draw> int LitPixels(Draw draw) {
        EXPECT_EQ(TQ2DGfx_BeginScene(0), 1);
        TQ2DGfx_Clear(0xFF000000);
        draw();
        TQ2DGfx_EndScene();
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        EXPECT_TRUE(tqplat::VideoLastFrame(TQ2DGetMsgWnd(), &pixels, &width, &height));
        int lit = 0;
        for (uint32_t pixel : pixels)
            lit += (pixel & 0x00FFFFFF) != 0;
        return lit;
    }

    AssetFolder folder;
    TQ2DTexture texture;
    TQ2DSprite sprite;
};

} // namespace

TEST_F(ParticleTest, RecordsScaleToTheSpriteAndForwardersNeedASystem) {
    TQ2DParticle particle;
    EXPECT_EQ(particle.GetAge(), 0.0f);
    EXPECT_EQ(particle.GetParticlesAlive(), 0);
    TQ2D_RECT_tag rect = {1, 2, 3, 4};
    EXPECT_EQ(particle.GetBoundingBox(&rect), nullptr);
    particle.Fire();
    particle.Update(0.1f);
    particle.Render();
    EXPECT_EQ(particle.Create(sprite, nullptr, 0.0f), 0);

    TQ2D_PARTICLE_INFO_tag record = Burst(0.5f, 1.0f);
    ASSERT_NE(particle.Create(sprite, &record, 0.0f), 0);
    EXPECT_EQ(record.fSizeStart, 4.0f); // rescaled in place: 32 / 8
    EXPECT_EQ(InfoOf(particle).fSizeStart, 4.0f);
    EXPECT_EQ(InfoOf(particle).sprite, sprite.GetObjectA());
    void* system = particle.GetObjectA();
    EXPECT_EQ(particle.Create(sprite, nullptr, 0.0f), 0);
    EXPECT_EQ(particle.GetObjectA(), system);
    EXPECT_EQ(particle.GetBoundingBox(nullptr), nullptr);
    EXPECT_EQ(particle.GetBoundingBox(&rect), &rect);

    EXPECT_EQ(particle.GetParticlesAlive(), 0); // created stopped
    particle.FireAt(32, 24);
    particle.Update(0.1f);
    EXPECT_GT(particle.GetParticlesAlive(), 0);
    float x = 0, y = 0;
    particle.GetPosition(&x, &y);
    EXPECT_EQ(x, 32.0f);
    EXPECT_GT(LitPixels([&] { particle.Render(); }), 0);
    particle.Stop(true);
    EXPECT_EQ(particle.GetParticlesAlive(), 0);

    TQ2DSprite empty;
    TQ2D_PARTICLE_INFO_tag other = Burst(1, 1);
    EXPECT_EQ(particle.Create(empty, &other, 0.0f), 0); // no width to scale to
}

TEST_F(ParticleTest, CopiesOwnTheirSystemsAndBorrowedSystemsAreNeverDeleted) {
    TQ2D_PARTICLE_INFO_tag record = Burst(-1.0f, 1.0f);
    TQ2DParticle* original = new TQ2DParticle(Name("none.png").c_str(), &record, 0.0f, 0, 2, 0, 0, 0, 0);
    EXPECT_EQ(original->GetObjectA(), nullptr);
    ASSERT_NE(original->GetTQ2DSprite().Create(texture, 0, 0, 0, 0), 0);
    ASSERT_NE(original->Create(original->GetTQ2DSprite(), &record, 0.0f), 0);
    original->FireAt(10, 10);
    original->Update(0.1f);
    TQ2DParticle copy(*original);
    ASSERT_NE(copy.GetObjectA(), nullptr);
    EXPECT_NE(copy.GetObjectA(), original->GetObjectA());
    EXPECT_EQ(InfoOf(copy).sprite, copy.GetTQ2DSprite().GetObjectA());
    EXPECT_EQ(copy.GetParticlesAlive(), original->GetParticlesAlive());
    delete original;
    copy.Update(0.1f);
    EXPECT_GT(LitPixels([&] { copy.Render(); }), 0);

    TQ2DParticle borrower;
    borrower.SetObject(copy.GetObjectA());
    TQ2DParticle borrowedCopy(borrower);
    EXPECT_EQ(borrowedCopy.GetObjectA(), copy.GetObjectA());
    borrower.Delete();
    borrowedCopy.SetObject(nullptr);
    EXPECT_EQ(borrowedCopy.GetObjectA(), copy.GetObjectA());
    EXPECT_GT(copy.GetParticlesAlive(), 0); // still alive: the borrowers deleted nothing

    TQ2DParticle owner(sprite, &record, 0.0f);
    owner.SetObject(copy.GetObjectA()); // the owned system is disposed of, not lost
    EXPECT_EQ(owner.GetObjectA(), copy.GetObjectA());
}

TEST_F(ParticleTest, DescriptionWithRecordFileFrameBlendAndSound) {
    TQ2D_PARTICLE_INFO_tag record = Burst(1.0f, 0.5f);
    record.dwSprite = (3u << 16) | 7u;
    WriteFile(folder.Path("Fx/Spark.psi"), RecordBytes(record));
    WritePng(folder.Path("Fx/Spark.png"), 128, 64, Solid(128 * 64, 0xFFFFFFFF));
    WriteFile(folder.Path("Fx/Hit.wav"), WavBytes(2000));
    WriteText(folder.Path("Fx/Spark.txt"), "TEX=spark.png\nPSI=spark.psi\nW=32\nH=32\nSPRITE_NO=5\n"
                                           "BLEND=ALPHAADD\nSOUND=hit.wav\nFPS=50\n");
    WorkingFolder cwd(AssetFolder::ProgramFolder());
    TQ2DParticle particle;
    ASSERT_NE(particle.CreateFromConfig(("x//" + Name("fx/SPARK.txt")).c_str()), 0);
    float x = 0, y = 0, w = 0, h = 0;
    particle.GetTQ2DSprite().GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 32.0f);
    EXPECT_EQ(y, 32.0f);
    EXPECT_EQ(w, 32.0f);
    EXPECT_EQ(particle.GetTQ2DSprite().GetBlendMode(), 3);
    float hx = 0, hy = 0;
    particle.GetTQ2DSprite().GetHotSpot(&hx, &hy);
    EXPECT_EQ(hx, 16.0f);
    EXPECT_EQ(InfoOf(particle).fSizeStart, 1.0f);
    EXPECT_EQ(InfoOf(particle).nEmission, 200);
    EXPECT_NE(particle.GetSound().GetSound(), 0u);
    EXPECT_EQ(particle.GetSound().GetVolume(), 100);
    EXPECT_EQ(particle.GetSound().GetPanning(), 0);
    EXPECT_EQ(particle.GetSound().GetPitch(), 1.0f);
    EXPECT_FALSE(particle.GetSound().GetLoopMode());
    particle.Play();
    EXPECT_EQ(particle.GetParticlesAlive(), 0); // the sound only

    WriteText(folder.Path("Fx/Z.txt"), "TEX=spark.png\nPSI=spark.psi\nW=32\nH=32\nSPRITE_NO=3\nBLEND=zwrite\n"
                                       "SIZE_START=2\nCOLOR_START=0x80FF0000\n");
    TQ2DParticle z;
    ASSERT_NE(z.CreateFromConfig(Name("fx/z.txt").c_str()), 0);
    EXPECT_EQ(z.GetTQ2DSprite().GetBlendMode(), 7);
    z.GetTQ2DSprite().GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 96.0f);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(InfoOf(z).fSizeStart, 2.0f);
    EXPECT_FLOAT_EQ(InfoOf(z).colColorStart.r, 1.0f);
    EXPECT_FLOAT_EQ(InfoOf(z).colColorStart.g, 0.0f);
    EXPECT_NEAR(InfoOf(z).colColorStart.a, 128.0f / 255.0f, 1e-6f);
}

TEST_F(ParticleTest, DescriptionsFromKeysAloneFromAPackAndBrokenOnes) {
    TQ2D_PARTICLE_INFO_tag record = Burst(2.0f, 1.0f);
    std::vector<unsigned char> shortRecord = RecordBytes(record);
    shortRecord.resize(40); // up to the speeds; the rest reads as 0
    const std::string pack = folder.Path("fx.pak");
    WriteFile(pack, {});
    {
        CMorvainePack writer;
        ASSERT_TRUE(writer.SetPackage(pack.c_str()));
        const std::vector<std::pair<std::string, std::vector<unsigned char>>> files = {
            {"P/KEYS.TXT", TextBytes("TEX=dot.png\nEMISSION=300\nLIFETIME=-1\nPARTICLE_LIFE_MIN=1\n"
                                     "PARTICLE_LIFE_MAX=1\nSIZE_START=0.25\nSIZE_END=0.25\nRELATIVE=5\n"
                                     "COLOR_START=0xFFFFFFFF\nCOLOR_END=0xFFFFFFFF\n")},
            {"P/SHORT.TXT", TextBytes("TEX=dot.png\nPSI=short.psi\n")},
            {"P/SHORT.PSI", shortRecord},
            {"P/DOT.PNG", PngBytes(8, 8, Solid(64, 0xFFFFFFFF))}};
        for (const auto& file : files) {
            const std::string source = folder.Path("source.bin");
            WriteFile(source, file.second);
            ASSERT_TRUE(writer.AddFile(source.c_str(), file.first.c_str()));
        }
    }
    ASSERT_EQ(TQ2DPackAdd(pack.c_str()), 1);
    TQ2DParticle keys;
    ASSERT_NE(keys.CreateFromConfig("p/keys.txt"), 0);
    EXPECT_EQ(InfoOf(keys).nEmission, 300);
    EXPECT_TRUE(InfoOf(keys).bRelative);
    EXPECT_EQ(InfoOf(keys).fSizeStart, 1.0f); // 0.25 x 32 / 8
    keys.FireAt(30, 20);
    keys.Update(0.05f);
    keys.Update(0.05f);
    EXPECT_GT(keys.GetParticlesAlive(), 0);
    EXPECT_GT(LitPixels([&] { keys.Render(); }), 0);
    TQ2D_PARTICLE_INFO_tag again = Burst(1, 1);
    EXPECT_EQ(keys.Create("p/missing.png", &again, 0.0f, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(keys.GetObjectA(), nullptr); // the system drew with the sprite's old helper
    keys.Update(0.1f);
    keys.Render();

    TQ2DParticle shortOne;
    ASSERT_NE(shortOne.CreateFromConfig("p/short.txt"), 0);
    EXPECT_EQ(InfoOf(shortOne).nEmission, 200);
    EXPECT_EQ(InfoOf(shortOne).fSpeedMin, 0.0f);
    EXPECT_EQ(InfoOf(shortOne).fSizeStart, 0.0f);

    WorkingFolder cwd(AssetFolder::ProgramFolder());
    TQ2DParticle broken;
    EXPECT_EQ(broken.CreateFromConfig(nullptr), 0);
    EXPECT_EQ(broken.CreateFromConfig("  /  "), 0);
    EXPECT_EQ(broken.CreateFromConfig("p/none.txt"), 0);
    WriteText(folder.Path("NoTex.txt"), "PSI=missing.psi\nSOUND=,abc,,x\n");
    EXPECT_EQ(broken.CreateFromConfig(Name("notex.txt").c_str()), 0);
    WritePng(folder.Path("Wide.png"), 16, 16, Solid(256, 0xFFFFFFFF));
    WriteText(folder.Path("Wide.txt"), "TEX=wide.png\nW=64\nH=8\nSPRITE_NO=-3\n");
    ASSERT_NE(broken.CreateFromConfig(Name("wide.txt").c_str()), 0); // a frame wider than its texture
    float x = 1, y = 1, w = 0, h = 0;
    broken.GetTQ2DSprite().GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
}

TEST_F(ParticleTest, ManagerSpawnsUpdatesAndRemovesItsEffects) {
    TQ2DParticleManager idle;
    idle.KillAll();
    idle.Update(0.1f);
    EXPECT_EQ(idle.GetObjectA(), nullptr);

    TQ2DParticleManager manager(0.0f);
    ASSERT_NE(manager.GetObjectA(), nullptr);
    TQ2DParticle never;
    EXPECT_EQ(manager.SpawnPTS(&never, 0, 0), nullptr);
    EXPECT_EQ(manager.SpawnPTS(nullptr, 0, 0), nullptr);

    TQ2D_PARTICLE_INFO_tag record = Burst(0.5f, 0.5f);
    TQ2DParticle tmpl(sprite, &record, 0.0f);
    manager.Transpose(10, 0);
    TQ2DParticle* effect = manager.SpawnPTS(&tmpl, 20, 20);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(tmpl.GetParticlesAlive(), 0); // the template stays as it was
    float x = 0, y = 0;
    effect->GetPosition(&x, &y);
    EXPECT_EQ(x, 20.0f);
    effect->MoveTo(25, 20, true);
    effect->GetPosition(&x, &y);
    EXPECT_EQ(x, 25.0f);
    effect->GetTransposition(&x, &y);
    EXPECT_EQ(x, 10.0f);
    manager.GetTransposition(&x, &y);
    EXPECT_EQ(x, 10.0f);
    int updates = 0;
    while (manager.IsPTSAlive(effect) && updates < 200) {
        manager.Update(0.05f);
        ++updates;
        if (updates == 2) {
            EXPECT_GT(effect->GetParticlesAlive(), 0);
            EXPECT_GT(LitPixels([&] { manager.Render(); }), 0);
        }
    }
    EXPECT_GE(updates, 15); // 0.5 s of emission, then 0.5 s for the last particle
    EXPECT_LE(updates, 25);
    EXPECT_EQ(manager.GetCount(), 0u); // deleted at that update
    EXPECT_FALSE(manager.IsPTSAlive(effect));
    manager.KillPTS(effect); // a stale pointer is ignored

    TQ2D_PARTICLE_INFO_tag endless = Burst(-1.0f, 1.0f);
    TQ2DParticle continuous(sprite, &endless, 0.0f);
    std::vector<TQ2DParticle*> spawned;
    for (int i = 0; i < 100; ++i)
        spawned.push_back(manager.SpawnPTS(&continuous, 1, 1));
    EXPECT_EQ(std::count(spawned.begin(), spawned.end(), nullptr), 0);
    EXPECT_EQ(manager.SpawnPTS(&continuous, 1, 1), nullptr);
    manager.KillPTS(spawned[40]);
    EXPECT_FALSE(manager.IsPTSAlive(spawned[40]));
    EXPECT_TRUE(manager.IsPTSAlive(spawned[41]));
    TQ2DParticle* again = manager.SpawnPTS(&continuous, 2, 2);
    ASSERT_NE(again, nullptr);
    manager.Update(0.1f);
    EXPECT_EQ(manager.GetCount(), 100u);
    EXPECT_FALSE(manager.IsPTSAlive(&continuous)); // not one of its effects

    ASSERT_NE(manager.Create(0.0f), 0); // every earlier effect goes
    EXPECT_EQ(manager.GetCount(), 0u);
    EXPECT_FALSE(manager.IsPTSAlive(again));
    ASSERT_NE(manager.SpawnPTS(&continuous, 3, 3), nullptr);
    manager.KillAll();
    EXPECT_EQ(manager.GetCount(), 0u);
    for (int i = 0; i < 5; ++i)
        manager.SpawnPTS(&continuous, 3, 3);
    // The destructor deletes the remaining effects (checked by the leak checker).
}
