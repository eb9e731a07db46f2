// The guide's example files (docs/examples) read by the engine's own readers: description files
// from a pack made with tqpack, the resource script and everything it names from a zip pack with a
// password (made with zip -P), and the marked-up text drawn into a texture.
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "device/tqgfxanimation.h"
#include "device/tqgfxparticlesystem.h"
#include "engine/tq2dapi.h"
#include "engine/tq2danimation.h"
#include "engine/tq2dpack.h"
#include "engine/tq2dparticle.h"
#include "engine/tq2dsprite.h"
#include "engine/tq2dtexture.h"
#include "gui/tq2dguicombobox.h"
#include "gui/tq2dguiimage.h"
#include "gui/tq2dguiwindow.h"
#include "gui/tq2dtextout.h"
#include "helpers/tqgfxfont.h"
#include "helpers/tqgfxresourcemanager.h"

namespace {

const std::string kExamples = TQ_GUIDE_EXAMPLES;

std::string ReadExample(const std::string& name) {
    std::ifstream file(kExamples + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool Frame() {
    return true;
}

class GuideExamples : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TQ_VIDEO", "headless", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        TQ2D_INIT_INFO_tag info{};
        info.pfnFrame = Frame;
        info.nWidth = 64;
        info.nHeight = 48;
        ASSERT_NE(TQ2DInit(&info, nullptr), nullptr);
        ASSERT_EQ(TQ2DPackAdd(TQ_GUIDE_PACK), 1);
    }

    void TearDown() override {
        TQ2DPackRemoveAll();
        TQ2DClose();
    }
};

TEST_F(GuideExamples, DescriptionFilesFromAPack) {
    TQ2DSprite ball;
    ASSERT_EQ(ball.CreateFromConfig("ball.txt"), 1);
    float x, y, w, h;
    ball.GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(w, 32.0f);

    TQ2DAnimation spin;
    ASSERT_EQ(spin.CreateFromConfig("spin.ani"), 1);
    EXPECT_EQ(spin.GetFrames(), 3);

    TQ2DParticle spark;
    ASSERT_EQ(spark.CreateFromConfig("spark.txt"), 1);
    const auto* system = static_cast<const TQGfxParticleSystem*>(spark.GetObjectA());
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->info.nEmission, 40);    // the description's override
    EXPECT_EQ(system->info.fLifetime, -1.0f); // the record's value
    system->info.sprite->GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 64.0f); // SPRITE_NO 2: the third 32-pixel cell, the star
    spark.Fire();
    for (int step = 0; step < 10; ++step)
        spark.Update(0.02f);
    EXPECT_GT(spark.GetParticlesAlive(), 0);

    // The window in its sub-folder and the files it names from the root; IDs are the numbers of
    // the file.
    TQ2DGUIWindow window;
    ASSERT_EQ(window.InitFromConfig("gui/dialog.wnd"), 1);
    EXPECT_EQ(window.GetControlList().GetCount(), 6u);
    auto* panel = static_cast<TQ2DGUIImage*>(window.GetControl(1));
    ASSERT_NE(panel, nullptr);
    EXPECT_NE(panel->GetTexture().GetTexture(), 0u);
    auto* combo = static_cast<TQ2DGUIComboBox*>(window.GetControl(4));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetDataList().GetItems().GetCount(), 3u);
    EXPECT_EQ(combo->GetDataList().GetCurSelect(), 2);
}

TEST_F(GuideExamples, ResourceScriptFromAZipPackWithAPassword) {
    const std::string zip = TQ_GUIDE_ZIP;
    TQGfxDevice* device = TQGfxCreate(TQGfxDevice::kVersion);
    ASSERT_TRUE(device->Resource_AttachPack(zip.c_str(), "wrong"));
    EXPECT_EQ(device->Resource_Load("game.res", nullptr), nullptr);
    device->Resource_RemoveAllPacks();
    ASSERT_TRUE(device->Resource_AttachPack(zip.c_str(), "secret"));
    {
        TQGfxResourceManager resources("game.res");
        EXPECT_TRUE(resources.Precache());
        EXPECT_NE(resources.GetSprite("star"), nullptr);
        EXPECT_NE(resources.GetAnimation("spin"), nullptr);
        EXPECT_NE(resources.GetParticleSystem("sparks"), nullptr);
        EXPECT_NE(resources.GetTarget("canvas"), 0u);
        EXPECT_NE(resources.GetResource("notes"), nullptr); // from the included script
        TQGfxFont* digits = resources.GetFont("digits");
        ASSERT_NE(digits, nullptr);
        EXPECT_EQ(digits->GetHeight(), 12.0f);
        EXPECT_NE(digits->GetGlyph('S'), nullptr);
        EXPECT_EQ(digits->GetGlyph('A'), nullptr);
    }
    device->Resource_RemoveAllPacks();
    device->Release();
}

TEST_F(GuideExamples, MarkedUpTextIsDrawn) {
    TQ2DTexture texture;
    ASSERT_TRUE(texture.Create(256, 64));
    TQ2DTextOut(texture, nullptr, 0, 0, 256, 64, ReadExample("markup.txt").c_str(), 7);
    TQGfxDevice* device = TQGfxCreate(TQGfxDevice::kVersion);
    const DWORD* pixels = device->Texture_Lock(texture.GetTexture(), true, 0, 0, 256, 64);
    ASSERT_NE(pixels, nullptr);
    int inked = 0;
    for (int i = 0; i < 256 * 64; ++i)
        inked += (pixels[i] >> 24) != 0;
    device->Texture_Unlock(texture.GetTexture());
    device->Release();
    EXPECT_GT(inked, 200);
}

} // namespace
