// Textures from memory and from files, their sizes and locks, render-target records, and
// screenshots.
#include "devicetestsupport.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>

namespace {

// A 24-bit BMP of one colour (0xRRGGBB).
std::string MakeBmp(int width, int height, uint32_t rgb) {
    int rowBytes = (width * 3 + 3) & ~3;
    std::string bmp = "BM";
    PutLittleEndian(&bmp, 54 + rowBytes * height, 4);
    PutLittleEndian(&bmp, 0, 4);
    PutLittleEndian(&bmp, 54, 4);
    PutLittleEndian(&bmp, 40, 4);
    PutLittleEndian(&bmp, width, 4);
    PutLittleEndian(&bmp, height, 4);
    PutLittleEndian(&bmp, 1, 2);
    PutLittleEndian(&bmp, 24, 2);
    for (int i = 0; i < 6; ++i)
        PutLittleEndian(&bmp, 0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            PutLittleEndian(&bmp, rgb, 3);
        bmp.append(static_cast<size_t>(rowBytes - width * 3), '\0');
    }
    return bmp;
}

// A 4 × 4 DXT1 image in a DDS file.
std::string MakeDxt1Dds() {
    std::string dds = "DDS ";
    PutLittleEndian(&dds, 124, 4);
    PutLittleEndian(&dds, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000, 4);
    PutLittleEndian(&dds, 4, 4); // height
    PutLittleEndian(&dds, 4, 4); // width
    PutLittleEndian(&dds, 8, 4); // linear size
    PutLittleEndian(&dds, 0, 4);
    PutLittleEndian(&dds, 1, 4);
    for (int i = 0; i < 11; ++i)
        PutLittleEndian(&dds, 0, 4);
    PutLittleEndian(&dds, 32, 4);
    PutLittleEndian(&dds, 0x4, 4);
    dds += "DXT1";
    for (int i = 0; i < 5; ++i)
        PutLittleEndian(&dds, 0, 4);
    PutLittleEndian(&dds, 0x1000, 4);
    for (int i = 0; i < 4; ++i)
        PutLittleEndian(&dds, 0, 4);
    PutLittleEndian(&dds, 0xF800, 2);
    PutLittleEndian(&dds, 0xF800, 2);
    PutLittleEndian(&dds, 0, 4);
    return dds;
}

class DeviceTextureTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_TRUE(Initiate());
    }
};

} // namespace

TEST_F(DeviceTextureTest, LoadFromMemoryAndFromFile) {
    std::string bmp = MakeBmp(100, 60, 0x336699);
    DWORD fromMemory = dev->Texture_Load(bmp.data(), static_cast<DWORD>(bmp.size()));
    ASSERT_NE(fromMemory, 0u);
    EXPECT_EQ(dev->Texture_GetWidth(fromMemory, true), 100);
    EXPECT_EQ(dev->Texture_GetHeight(fromMemory, true), 60);
    EXPECT_EQ(dev->Texture_GetWidth(fromMemory, false), 100);
    const DWORD* pixels = dev->Texture_Lock(fromMemory, true, 0, 0, 0, 0);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pixels[0], 0xFF336699u);
    dev->Texture_Unlock(fromMemory);

    WriteFile("art/pic.bmp", MakeBmp(8, 4, 0xFF0000));
    DWORD fromFile = dev->Texture_Load(Path("art/pic.bmp").c_str(), 0);
    ASSERT_NE(fromFile, 0u);
    EXPECT_EQ(dev->Texture_GetHeight(fromFile, true), 4);
    EXPECT_NE(fromFile, fromMemory);
}

TEST_F(DeviceTextureTest, CreatedTexturesReportTheirSurfaceSize) {
    DWORD texture = dev->Texture_Create(30, 20);
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(dev->Texture_GetWidth(texture, true), 30);
    EXPECT_EQ(dev->Texture_GetHeight(texture, true), 20);
    // A locked rectangle starts at its corner; rows keep the texture's pitch.
    DWORD* corner = dev->Texture_Lock(texture, false, 5, 2, 3, 3);
    ASSERT_NE(corner, nullptr);
    corner[0] = 0xFF112233;
    corner[30 + 1] = 0xFF445566;
    dev->Texture_Unlock(texture);
    const DWORD* all = dev->Texture_Lock(texture, true, 0, 0, 0, 0);
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all[2 * 30 + 5], 0xFF112233u);
    EXPECT_EQ(all[3 * 30 + 6], 0xFF445566u);
    dev->Texture_Unlock(texture);
    // A rectangle past the coordinate range is refused.
    EXPECT_EQ(dev->Texture_Lock(texture, false, INT_MAX, 0, 1, 1), nullptr);
    EXPECT_EQ(dev->Texture_Lock(texture, false, 0, INT_MAX, 1, INT_MAX), nullptr);
    EXPECT_STREQ(dev->System_GetErrorMessage(), "Can't lock texture");
}

TEST_F(DeviceTextureTest, DdsKeepsItsFormatAndRefusesTheLockSilently) {
    std::string dds = MakeDxt1Dds();
    DWORD texture = dev->Texture_Load(dds.data(), static_cast<DWORD>(dds.size()));
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(dev->Texture_GetWidth(texture, true), 4);
    dev->PostError("");
    EXPECT_EQ(dev->Texture_Lock(texture, true, 0, 0, 0, 0), nullptr);
    EXPECT_STREQ(dev->System_GetErrorMessage(), "");
}

TEST_F(DeviceTextureTest, BadImagesAndMissingFilesFail) {
    std::string bmp = MakeBmp(16, 16, 0);
    bmp.resize(40);
    // A bad image logs nothing here: the device keeps why for its caller, which knows the file's
    // name. A texture that cannot be made gives one line, in the device's log.
    testing::internal::CaptureStderr();
    EXPECT_EQ(dev->Texture_Load(bmp.data(), static_cast<DWORD>(bmp.size())), 0u);
    const std::string problem = dev->Texture_LoadProblem();
    EXPECT_EQ(dev->Texture_Create(0, 16), 0u);
    EXPECT_EQ(dev->Texture_Create(1u << 20, 16), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const std::vector<std::string> lines = LogLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Can't create texture"), 3) << lines.size();
    EXPECT_NE(problem.find("image ("), std::string::npos) << problem;
    EXPECT_STREQ(dev->System_GetErrorMessage(), "Can't create texture");
    // A file that is not there is no problem of an image.
    std::string missing = Path("missing.png");
    EXPECT_EQ(dev->Texture_Load(missing.c_str(), 0), 0u);
    EXPECT_STREQ(dev->Texture_LoadProblem(), "");
    EXPECT_EQ(std::string(dev->System_GetErrorMessage()), "Can't load resource: " + missing);
    EXPECT_EQ(dev->Texture_Create(0, 0), 0u);
    EXPECT_STREQ(dev->System_GetErrorMessage(), "Can't create texture");
}

TEST(TargetRecordTest, NewRecordsAreFilledWithZeros) {
    TQGfxDevice::TargetEntry record;
    std::memset(&record, 0xA5, sizeof(record));
    TQGfxDevice::TargetRecordInit(&record);
    EXPECT_EQ(record.width, 0u);
    EXPECT_EQ(record.height, 0u);
    EXPECT_EQ(record.texture, nullptr);
    EXPECT_EQ(record.depth, nullptr);
    EXPECT_EQ(record.textureHandle, 0u);
    EXPECT_FALSE(record.hasDepth);
}

TEST_F(DeviceTextureTest, ScreenshotsAreNumberedAfterTheShotsPresent) {
    std::string appFolder = dev->Resource_MakePath("");
    for (char& c : appFolder) {
        if (c == '\\')
            c = '/';
    }
    auto shot = [&](int n) {
        char name[32];
        snprintf(name, sizeof(name), "shot%03d.bmp", n);
        return appFolder + name;
    };
    for (int n = 0; n < 6; ++n)
        std::filesystem::remove(shot(n));
    ASSERT_TRUE(dev->Gfx_BeginScene(0));
    dev->Gfx_Clear(0xFF0000FF);
    dev->Gfx_EndScene();

    dev->System_Snapshot(nullptr);
    EXPECT_TRUE(std::filesystem::exists(shot(0)));
    std::filesystem::copy_file(shot(0), shot(2));
    // Two shots present: 2 is taken, so the next is 3, then 4.
    dev->System_Snapshot(nullptr);
    EXPECT_TRUE(std::filesystem::exists(shot(3)));
    EXPECT_FALSE(std::filesystem::exists(shot(1)));
    dev->System_Snapshot(nullptr);
    EXPECT_TRUE(std::filesystem::exists(shot(4)));
    for (int n = 0; n < 6; ++n)
        std::filesystem::remove(shot(n));

    dev->System_Snapshot(Path("named.bmp").c_str());
    std::string saved = ReadFile("named.bmp");
    ASSERT_GT(saved.size(), 54u);
    EXPECT_EQ(saved.substr(0, 2), "BM");
    // Bottom-up rows of blue, red, green bytes: the first pixel is blue.
    EXPECT_EQ(static_cast<unsigned char>(saved[54]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(saved[56]), 0x00);
}
