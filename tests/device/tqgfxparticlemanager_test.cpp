// The particle manager: its limit of 100 systems, killing one or all, dropping finished systems,
// and the offset it gives to the systems it holds and spawns.
#include "devicetestsupport.h"

#include "device/tqgfxparticlemanager.h"

#include <vector>

namespace {

class ParticleManagerTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_TRUE(Initiate());
        info.nEmission = 100;
        info.fLifetime = 0.05f;
        info.fParticleLifeMin = info.fParticleLifeMax = 0.06f;
    }

    TQGfxParticleSystemInfo info;
};

} // namespace

TEST_F(ParticleManagerTest, HoldsAtMostAHundredSystems) {
    TQGfxParticleManager manager(0.0f);
    std::vector<TQGfxParticleSystem*> systems;
    for (int i = 0; i < TQGfxParticleManager::kMaxSystems; ++i) {
        systems.push_back(manager.SpawnPTS(&info, static_cast<float>(i), 5.0f));
        ASSERT_NE(systems.back(), nullptr);
    }
    EXPECT_EQ(manager.SpawnPTS(&info, 0, 0), nullptr);
    EXPECT_EQ(manager.GetCount(), 100);
    EXPECT_EQ(manager.SpawnPTS(nullptr, 0, 0), nullptr);

    // A spawned system is fired where asked.
    float x, y;
    systems[7]->GetPosition(&x, &y);
    EXPECT_EQ(x, 7.0f);
    EXPECT_EQ(y, 5.0f);
    EXPECT_EQ(systems[7]->GetAge(), 0.0f);

    manager.KillPTS(systems[3]);
    EXPECT_FALSE(manager.IsPTSAlive(systems[3]));
    EXPECT_TRUE(manager.IsPTSAlive(systems[99]));
    EXPECT_EQ(manager.GetCount(), 99);
    // A pointer the manager no longer holds is ignored.
    manager.KillPTS(systems[3]);
    manager.KillPTS(nullptr);
    EXPECT_EQ(manager.GetCount(), 99);
    EXPECT_NE(manager.SpawnPTS(&info, 0, 0), nullptr);

    manager.KillAll();
    EXPECT_EQ(manager.GetCount(), 0);
    EXPECT_FALSE(manager.IsPTSAlive(systems[0]));
    manager.Update(0.1f);
    manager.Render();
    EXPECT_NE(manager.SpawnPTS(&info, 0, 0), nullptr);
}

TEST_F(ParticleManagerTest, FinishedSystemsAreDroppedAndTheLastTakesTheirSlot) {
    TQGfxParticleManager manager(0.0f);
    TQGfxParticleSystemInfo continuous = info;
    continuous.fLifetime = -1.0f;
    TQGfxParticleSystem* first = manager.SpawnPTS(&info, 0, 0);
    TQGfxParticleSystem* forever = manager.SpawnPTS(&continuous, 0, 0);
    TQGfxParticleSystem* last = manager.SpawnPTS(&info, 0, 0);

    manager.Update(0.04f); // the short ones emit 4 particles each, living 0.06 s
    EXPECT_EQ(first->GetParticlesAlive(), 4);
    manager.Update(0.04f); // and stop, their particles still alive
    EXPECT_EQ(manager.GetCount(), 3);
    EXPECT_EQ(first->GetAge(), TQGfxParticleSystem::kStopped);
    manager.Update(0.04f); // the particles die; the stopped, empty systems go
    EXPECT_EQ(manager.GetCount(), 1);
    EXPECT_FALSE(manager.IsPTSAlive(first));
    EXPECT_FALSE(manager.IsPTSAlive(last));
    EXPECT_TRUE(manager.IsPTSAlive(forever));

    forever->Stop(true);
    manager.Update(0.0f);
    EXPECT_EQ(manager.GetCount(), 0);
}

TEST_F(ParticleManagerTest, OffsetReachesHeldAndLaterSystems) {
    TQGfxParticleManager manager(30.0f);
    TQGfxParticleSystem* early = manager.SpawnPTS(&info, 0, 0);
    manager.Transpose(10, -2);
    TQGfxParticleSystem* late = manager.SpawnPTS(&info, 0, 0);
    float x, y;
    early->GetTransposition(&x, &y);
    EXPECT_EQ(x, 10.0f);
    EXPECT_EQ(y, -2.0f);
    late->GetTransposition(&x, &y);
    EXPECT_EQ(x, 10.0f);
    manager.GetTransposition(&x, &y);
    EXPECT_EQ(y, -2.0f);
}
