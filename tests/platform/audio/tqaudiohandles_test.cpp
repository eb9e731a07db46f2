// Handles: the generation table, voice limits of samples, stale, foreign and freed handles.
#include "audiotestsupport.h"

#include "platform/audio/tqhandletable.h"

#include <cmath>
#include <set>

using namespace audiotest;

namespace {

TEST(AudioHandleTableTest, StaleHandlesNeverReachANewObject) {
    tqaudio::HandleTable<int> table;
    std::set<DWORD> seen;
    DWORD first = table.Add(std::make_unique<int>(1));
    ASSERT_GT(first, 1u);
    EXPECT_EQ(*table.Find(first), 1);
    ASSERT_NE(table.Remove(first), nullptr);
    EXPECT_EQ(table.Find(first), nullptr);
    EXPECT_EQ(table.Remove(first), nullptr);

    // the slot comes back under another generation, many times over
    for (int i = 0; i < 70000; ++i) {
        DWORD handle = table.Add(std::make_unique<int>(i));
        ASSERT_GT(handle, 1u);
        ASSERT_EQ(table.Find(first), nullptr);
        if (i < 1000) {
            EXPECT_TRUE(seen.insert(handle).second);
        }
        table.Remove(handle);
    }

    DWORD kept = table.Add(std::make_unique<int>(7));
    table.Clear();
    EXPECT_EQ(table.Find(kept), nullptr);
    EXPECT_EQ(table.Find(0), nullptr);
    EXPECT_EQ(table.Find(1), nullptr);
    EXPECT_EQ(table.Find(0xFFFFFFFF), nullptr);
}

class AudioHandlesTest : public AudioModuleTest {
protected:
    std::vector<uint8_t> file_ = SineWav(kMixRate, 1, kMixRate, 441.0, 0.1);
};

TEST_F(AudioHandlesTest, FifthPlaybackOfFourVoiceSampleReplacesTheQuietest) {
    HSAMPLE sample = LoadSample(file_, 4, BASS_SAMPLE_OVER_VOL);
    const int volumes[4] = {90, 30, 70, 50};
    HCHANNEL channels[4];
    for (int i = 0; i < 4; ++i) {
        channels[i] = PlaySample(sample, volumes[i]);
    }
    HCHANNEL fifth = PlaySample(sample, 80);
    ASSERT_NE(fifth, 0u);

    EXPECT_EQ(BASS_ChannelIsActive(channels[1]), DWORD(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    for (int i : {0, 2, 3}) {
        EXPECT_EQ(BASS_ChannelIsActive(channels[i]), DWORD(BASS_ACTIVE_PLAYING)) << i;
    }
    // five at once would be 320% of one; four of them are 290%
    Mix mix = Render(1000);
    EXPECT_NEAR(mix.Rms(0, 0, 1000) / 0.1 * std::sqrt(2.0), 0.9 + 0.7 + 0.5 + 0.8, 0.05);
}

TEST_F(AudioHandlesTest, EqualVolumesGiveWayOldestFirst) {
    HSAMPLE sample = LoadSample(file_, 2, BASS_SAMPLE_OVER_VOL);
    HCHANNEL a = PlaySample(sample);
    HCHANNEL b = PlaySample(sample);
    HCHANNEL c = PlaySample(sample);
    EXPECT_EQ(BASS_ChannelIsActive(a), DWORD(BASS_ACTIVE_STOPPED));
    HCHANNEL d = PlaySample(sample);
    EXPECT_EQ(BASS_ChannelIsActive(b), DWORD(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ChannelIsActive(c), DWORD(BASS_ACTIVE_PLAYING));
    EXPECT_EQ(BASS_ChannelIsActive(d), DWORD(BASS_ACTIVE_PLAYING));
    PlaySample(sample);
    EXPECT_EQ(BASS_ChannelIsActive(c), DWORD(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ChannelIsActive(d), DWORD(BASS_ACTIVE_PLAYING));
}

TEST_F(AudioHandlesTest, BusySampleOrFullTableRefusesAndStoppedPlaybacksAreReused) {
    HSAMPLE sample = LoadSample(file_, 2, 0);
    HCHANNEL a = PlaySample(sample);
    HCHANNEL b = PlaySample(sample);
    EXPECT_EQ(BASS_SampleGetChannel(sample, FALSE), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOCHAN);

    ASSERT_TRUE(BASS_ChannelStop(a));
    HCHANNEL c = PlaySample(sample);
    EXPECT_NE(c, a);
    EXPECT_EQ(BASS_ChannelIsActive(b), DWORD(BASS_ACTIVE_PLAYING));
    EXPECT_FALSE(BASS_ChannelPlay(a, TRUE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);

    // a full handle table has no free channel either, which is no lack of memory
    HSAMPLE many = LoadSample(file_, 65535, 0);
    while (BASS_SampleGetChannel(many, FALSE) != 0) {
    }
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOCHAN);
    EXPECT_EQ(BASS_SampleLoad(TRUE, file_.data(), 0, static_cast<DWORD>(file_.size()), 4, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOCHAN);
}

TEST_F(AudioHandlesTest, FreedAndForeignHandlesAreRefused) {
    HSAMPLE sample = LoadSample(file_);
    HCHANNEL channel = PlaySample(sample);
    HSTREAM stream = BASS_StreamCreateFile(TRUE, file_.data(), 0, static_cast<DWORD>(file_.size()), 0);
    ASSERT_NE(stream, 0u);

    // a handle of one kind does not pass for another
    EXPECT_FALSE(BASS_ChannelPlay(sample, TRUE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_SampleFree(channel));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_MusicFree(stream));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_StreamGetLength(channel), static_cast<QWORD>(-1));
    for (DWORD made_up : {0u, 1u, 0xFFFFFFFFu, sample + 0x10000}) {
        EXPECT_FALSE(BASS_ChannelSetAttributes(made_up, -1, 50, -101));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    }

    // freeing a sample takes its playbacks with it
    ASSERT_TRUE(BASS_SampleFree(sample));
    EXPECT_FALSE(BASS_ChannelStop(channel));
    EXPECT_FALSE(BASS_SampleFree(sample));
    ASSERT_TRUE(BASS_StreamFree(stream));
    EXPECT_FALSE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_EQ(Render(100).SoundEnd(), 0u);
}

TEST_F(AudioHandlesTest, FreeInvalidatesEveryHandleAcrossSessions) {
    HSAMPLE sample = LoadSample(file_);
    HCHANNEL channel = PlaySample(sample);
    HSTREAM stream = BASS_StreamCreateFile(TRUE, file_.data(), 0, static_cast<DWORD>(file_.size()), 0);
    ASSERT_TRUE(BASS_Free());

    EXPECT_FALSE(BASS_ChannelPlay(channel, TRUE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(BASS_SampleLoad(TRUE, file_.data(), 0, static_cast<DWORD>(file_.size()), 4, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_Free());

    // a new session hands out new handles; the old ones stay refused
    ASSERT_TRUE(BASS_Init(0, kMixRate, TQAUDIO_TEST_MANUAL_CLOCK, nullptr, nullptr));
    HSAMPLE again = LoadSample(file_);
    EXPECT_NE(again, sample);
    for (DWORD old : {sample, channel, stream}) {
        EXPECT_EQ(BASS_ChannelIsActive(old), DWORD(BASS_ACTIVE_STOPPED));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    }
    EXPECT_FALSE(BASS_SampleFree(sample));
    EXPECT_FALSE(BASS_Init(0, kMixRate, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
}

} // namespace
