// Motion tracks: interpolation at keys, between keys and past the end, waits, speeds, loops, copies.
#include <gtest/gtest.h>

#include "engine/tq2danimationinfo.h"

#include <initializer_list>

namespace {

struct Key {
    float x, y, wait, speed;
};

TQ2DAnimationInfo Track(std::initializer_list<Key> keys, int loopCount = 1, int forever = 0,
                        float defaultSpeed = 100.0f) {
    TQ2DAnimationInfo track;
    const DWORD n = static_cast<DWORD>(keys.size());
    EXPECT_TRUE(track.m_Points.SetSize(n, 1, 4));
    EXPECT_TRUE(track.m_Waits.SetSize(n, 4));
    EXPECT_TRUE(track.m_Speeds.SetSize(n, 4));
    DWORD i = 0;
    for (const Key& key : keys) {
        *track.m_Points.GetAt(i) = {key.x, key.y};
        track.m_Waits.SetAt(i, key.wait);
        track.m_Speeds.SetAt(i, key.speed);
        ++i;
    }
    track.m_nLoopCount = loopCount;
    track.m_bLoopForever = forever;
    track.m_fDefaultSpeed = defaultSpeed;
    return track;
}

// Updates in steps of dt until the track stops or steps run out; returns the steps taken.
int RunUntilStopped(TQ2DAnimationInfo& track, TQ2D_POINT_tag& value, float dt, int steps) {
    int taken = 0;
    while (track.IsPlaying() && taken < steps) {
        track.Update(dt, value);
        ++taken;
    }
    return taken;
}

} // namespace

TEST(AnimationInfoTest, OnePassMovesAtSpeedSnapsOnTheLastKeyAndStops) {
    TQ2DAnimationInfo track = Track({{0, 0, 0, 50}, {100, 0, 0, 50}});
    TQ2D_POINT_tag value = {7, 7};
    track.Play(value);
    EXPECT_EQ(value.x, 0.0f);
    EXPECT_EQ(value.y, 0.0f);
    EXPECT_EQ(track.m_ptVelocity.x, 50.0f);
    EXPECT_EQ(track.m_ptVelocity.y, 0.0f);
    track.Update(0.1f, value); // 50 * 0.1 + 0.005
    EXPECT_NEAR(value.x, 5.005f, 1e-5f);
    EXPECT_EQ(value.y, 0.0f);
    const int steps = RunUntilStopped(track, value, 0.1f, 100);
    EXPECT_FALSE(track.IsPlaying());
    EXPECT_GE(steps, 18);
    EXPECT_LE(steps, 20);
    EXPECT_EQ(value.x, 100.0f); // snapped, and no travelling back
    EXPECT_EQ(track.m_nIndex, 0);
    EXPECT_EQ(track.m_nLoopNumber, 1);
    track.Update(1.0f, value);
    EXPECT_EQ(value.x, 100.0f);
}

TEST(AnimationInfoTest, DiagonalSpeedIsAlongTheLineAndNegativeDirectionsArrive) {
    TQ2DAnimationInfo track = Track({{100, 100, 0, 0}, {70, 60, 0, 0}}, 1, 0, 10.0f);
    TQ2D_POINT_tag value = {0, 0};
    track.Play(value);
    EXPECT_NEAR(track.m_ptVelocity.x, -6.0f, 1e-5f);
    EXPECT_NEAR(track.m_ptVelocity.y, -8.0f, 1e-5f);
    RunUntilStopped(track, value, 0.5f, 100);
    EXPECT_FALSE(track.IsPlaying());
    EXPECT_EQ(value.x, 70.0f);
    EXPECT_EQ(value.y, 60.0f);
}

TEST(AnimationInfoTest, SlowNegativeMovesStillArrive) {
    // Scale from 100 % down to 0 % at 1 % per second, updated ten times a second.
    TQ2DAnimationInfo track = Track({{1, 1, 0, 0.01f}, {0, 0, 0, 0.01f}});
    TQ2D_POINT_tag value = {0, 0};
    track.Play(value);
    track.Update(0.1f, value);
    EXPECT_LT(value.x, 1.0f);
    RunUntilStopped(track, value, 0.1f, 2000);
    EXPECT_FALSE(track.IsPlaying());
    EXPECT_EQ(value.x, 0.0f);
}

TEST(AnimationInfoTest, WaitsRestOnEachKeyAndLaterSegmentsUseTheirTargetsEntry) {
    // Entry 1 (wait 1 s, speed 1000) is not used on the first pass; entry 2 is for the segment to key 2.
    TQ2DAnimationInfo track = Track({{0, 0, 1.0f, 10}, {10, 0, 1.0f, 1000}, {10, 20, 1.0f, 20}});
    TQ2D_POINT_tag value = {0, 0};
    track.Play(value);
    for (int i = 0; i < 9; ++i)
        track.Update(0.1f, value);
    EXPECT_EQ(value.x, 0.0f); // still waiting
    track.Update(0.15f, value);
    EXPECT_GT(value.x, 0.0f);
    while (track.m_nIndex == 1)
        track.Update(0.1f, value);
    EXPECT_EQ(value.x, 10.0f);
    EXPECT_EQ(track.m_fSpeed, 20.0f);
    EXPECT_EQ(track.m_ptVelocity.y, 20.0f);
    EXPECT_NEAR(track.m_fWait, 1.0f, 1e-6f);
    track.Update(0.5f, value);
    EXPECT_EQ(value.y, 0.0f); // resting on key 1
}

TEST(AnimationInfoTest, SinglePointsEqualKeysAndZeroSpeedsJump) {
    TQ2DAnimationInfo single = Track({{5, 6, 0.5f, 0}});
    TQ2D_POINT_tag value = {0, 0};
    single.Play(value);
    EXPECT_EQ(value.x, 5.0f);
    single.Update(0.25f, value);
    EXPECT_TRUE(single.IsPlaying());
    single.Update(0.25f, value);
    EXPECT_FALSE(single.IsPlaying());

    TQ2DAnimationInfo same = Track({{3, 3, 0, 50}, {3, 3, 0, 50}});
    same.Play(value);
    EXPECT_EQ(same.m_ptVelocity.x, 0.0f);
    EXPECT_EQ(same.m_ptVelocity.y, 0.0f);
    same.Update(0.01f, value);
    EXPECT_EQ(same.m_nIndex, 0);
    EXPECT_FALSE(same.IsPlaying());

    TQ2DAnimationInfo jumps = Track({{0, 0, 0, 0}, {40, 0, 0, 0}, {40, 40, 0, 0}}, 1, 0, 0.0f);
    jumps.Play(value);
    jumps.Update(0.01f, value);
    EXPECT_EQ(value.x, 40.0f);
    EXPECT_EQ(value.y, 0.0f);
    jumps.Update(0.01f, value);
    EXPECT_EQ(value.y, 40.0f);
    EXPECT_FALSE(jumps.IsPlaying());
}

TEST(AnimationInfoTest, LoopCountsForeverAndPlayStopResume) {
    TQ2DAnimationInfo twice = Track({{0, 0, 0, 0}, {10, 0, 0, 0}}, 2, 0, 0.0f);
    TQ2D_POINT_tag value = {0, 0};
    twice.Play(value);
    twice.Update(0.1f, value); // on the last key: the first pass is done, the index wraps
    EXPECT_EQ(value.x, 10.0f);
    EXPECT_EQ(twice.m_nLoopNumber, 1);
    EXPECT_TRUE(twice.IsPlaying());
    twice.Update(0.1f, value); // back to key 0
    EXPECT_EQ(value.x, 0.0f);
    twice.Update(0.1f, value);
    EXPECT_FALSE(twice.IsPlaying());
    EXPECT_EQ(value.x, 10.0f);

    TQ2DAnimationInfo forever = Track({{0, 0, 0, 0}, {10, 0, 0, 0}}, 0, 1, 0.0f);
    forever.Play(value);
    for (int i = 0; i < 101; ++i)
        forever.Update(0.1f, value);
    EXPECT_TRUE(forever.IsPlaying());
    EXPECT_EQ(value.x, 10.0f);
    EXPECT_EQ(forever.m_nLoopNumber, 51);

    TQ2DAnimationInfo track = Track({{0, 0, 0, 10}, {100, 0, 0, 10}});
    track.Play(value);
    track.Update(1.0f, value);
    const float moved = value.x;
    track.Play(value); // already playing: nothing
    EXPECT_EQ(value.x, moved);
    track.Stop();
    track.Update(1.0f, value);
    EXPECT_EQ(value.x, moved);
    track.Resume();
    track.Update(1.0f, value);
    EXPECT_GT(value.x, moved);
    track.Stop();
    track.Play(value);
    EXPECT_EQ(value.x, 0.0f);

    TQ2DAnimationInfo empty;
    value = {1, 2};
    empty.Play(value);
    empty.Update(1.0f, value);
    EXPECT_FALSE(empty.IsPlaying());
    EXPECT_EQ(value.x, 1.0f);
}

TEST(AnimationInfoTest, CopiesOwnTheirKeysAndContinueTheSameSegment) {
    TQ2DAnimationInfo* original =
        new TQ2DAnimationInfo(Track({{0, 0, 0, 10}, {100, 0, 0, 10}, {100, 50, 0, 10}}));
    TQ2D_POINT_tag value = {0, 0};
    original->Play(value);
    original->Update(1.0f, value);
    TQ2DAnimationInfo copy(*original);
    TQ2DAnimationInfo assigned;
    assigned = *original;
    EXPECT_NE(copy.m_pTo, original->m_pTo);
    EXPECT_EQ(copy.m_pTo, copy.m_Points.GetAt(1));
    EXPECT_EQ(assigned.m_pFrom, assigned.m_Points.GetAt(1)); // the key heading for
    delete original;
    TQ2D_POINT_tag copied = value;
    while (copy.m_nIndex == 1)
        copy.Update(1.0f, copied);
    EXPECT_EQ(copied.x, 100.0f);
    EXPECT_EQ(copy.m_Points.GetAt(2)->y, 50.0f);
}
