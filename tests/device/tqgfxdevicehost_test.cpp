// A small host under a real display: a moving textured sprite at a fixed frame rate, then a
// screenshot compared with the reference image kept beside this test.
#include "bmppixels.h"
#include "device/tqgfxdevice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const bool kSdl = setenv("TQ_VIDEO", "sdl", 1) == 0;
const int kFrames = 20;
const int kWidth = 96;
const int kHeight = 64;

TQGfxDevice* g_device = nullptr;
DWORD g_sprite = 0;
int g_frame = 0;
std::string g_shot;

// A 16 × 16 sprite: a yellow and blue checkerboard with a transparent corner.
DWORD MakeSprite() {
    DWORD texture = g_device->Texture_Create(16, 16);
    DWORD* pixels = g_device->Texture_Lock(texture, false, 0, 0, 0, 0);
    if (!pixels)
        return texture;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            pixels[y * 16 + x] = (x < 4 && y < 4) ? 0 : ((x / 4 + y / 4) % 2 ? 0xFFFFD000 : 0xFF2040FF);
    }
    g_device->Texture_Unlock(texture);
    return texture;
}

bool Frame() {
    g_device->Gfx_BeginScene(0);
    g_device->Gfx_Clear(0xFF203020);
    float x = 4.0f + 2.0f * g_frame;
    float y = 4.0f + 1.0f * g_frame;
    TQ2D_QUAD_tag quad{};
    quad.v[0] = {x, y, 0.5f, 0xFFFFFFFF, 0.0f, 0.0f};
    quad.v[1] = {x + 32, y, 0.5f, 0xFFFFFFFF, 1.0f, 0.0f};
    quad.v[2] = {x + 32, y + 32, 0.5f, 0xFFFFFFFF, 1.0f, 1.0f};
    quad.v[3] = {x, y + 32, 0.5f, 0xFFFFFFFF, 0.0f, 1.0f};
    quad.tex = g_sprite;
    quad.blend = TQ2D_BLEND_DEFAULT;
    g_device->Gfx_RenderQuad(&quad);
    g_device->Gfx_RenderLine(0, kHeight - 2.0f, static_cast<float>(kWidth), kHeight - 2.0f, 0xFFFF4040, 0.5f);
    g_device->Gfx_EndScene();
    if (++g_frame < kFrames)
        return false;
    g_device->System_Snapshot(g_shot.c_str());
    return true;
}

} // namespace

TEST(TQGfxDeviceHostTest, MovingSpriteMatchesTheReference) {
    ASSERT_TRUE(kSdl);
    char folder[] = "/tmp/tqdevicehost_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    g_shot = std::string(folder) + "/shot.bmp";

    g_device = TQGfxCreate(16);
    ASSERT_NE(g_device, nullptr);
    g_device->System_SetState(TQGFX_TITLE, "Device host");
    g_device->System_SetState(TQGFX_WINDOWED, true);
    g_device->System_SetState(TQGFX_SCREENWIDTH, kWidth);
    g_device->System_SetState(TQGFX_SCREENHEIGHT, kHeight);
    g_device->System_SetState(TQGFX_USESOUND, false);
    g_device->System_SetState(TQGFX_TEXTUREFILTER, false);
    g_device->System_SetState(TQGFX_FPS, 30);
    g_device->System_SetState(TQGFX_FRAMEFUNC, Frame);
    ASSERT_TRUE(g_device->System_Initiate());
    g_sprite = MakeSprite();
    ASSERT_NE(g_sprite, 0u);
    EXPECT_TRUE(g_device->System_Start());
    EXPECT_EQ(g_frame, kFrames);
    g_device->Release();

    std::string shot = ReadBytes(g_shot);
    std::remove(g_shot.c_str());
    std::remove(folder);
    const char* update = getenv("TQ_UPDATE_REFERENCE");
    if (update && *update)
        std::ofstream(update, std::ios::binary) << shot;

    int width = 0, height = 0, refWidth = 0, refHeight = 0;
    std::vector<uint32_t> pixels = BmpPixels(shot, &width, &height);
    std::vector<uint32_t> reference =
        BmpPixels(ReadBytes(TQ_DEVICE_TEST_DATA "/host_sprite.bmp"), &refWidth, &refHeight);
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    ASSERT_EQ(refWidth, kWidth);
    ASSERT_EQ(refHeight, kHeight);
    int different = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        different += pixels[i] != reference[i];
    EXPECT_EQ(different, 0);
}
