// An audio module of another version beside the program: the engine starts and runs without sound.
#include "devicetestsupport.h"

TEST_F(DeviceTest, IncompatibleAudioModuleLeavesTheEngineSilent) {
    dev->System_SetState(TQGFX_WINDOWED, true);
    dev->System_SetState(TQGFX_FRAMEFUNC, DeviceTestFrame);
    ASSERT_TRUE(dev->System_Initiate());
    EXPECT_STREQ(dev->System_GetErrorMessage(), "Incorrect BASS.DLL version");
    EXPECT_TRUE(LogContains("Incorrect BASS.DLL version\nInit done."));
    std::string data(64, 'x');
    EXPECT_EQ(dev->Effect_Load(data.data(), 64), 0u);
    EXPECT_EQ(dev->Stream_Load(data.data(), 64), 0u);
    EXPECT_EQ(dev->Music_Load(data.data(), 64), 0u);
    dev->Channel_StopAll();
    int frames = 0;
    EXPECT_TRUE(Run([&] { return ++frames == 2; }));
    EXPECT_EQ(frames, 2);
}
