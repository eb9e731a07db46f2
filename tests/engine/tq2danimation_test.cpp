// Animations: creation, playing, replays and play time, frame textures, attached animations, alpha
// over the tree, copies, and animation description files from a mixed-case disk tree and a pack,
// checked by the frames and positions they produce and by the pixels drawn.
#include "enginetestutil.h"
#include "packtestutil.h"

#include "engine/cmorvainepack.h"
#include "engine/tq2danimation.h"
#include "engine/tq2ddescriptionfields.h"
#include "engine/tq2dglobaltexture.h"
#include "engine/tq2dpack.h"
#include "platform/win32/video/tqvideo.h"

namespace {

const uint32_t kFrameColors[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};

// A strip of four 8 x 8 frames, one colour each.
std::vector<uint32_t> Strip() {
    std::vector<uint32_t> pixels(32 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 32; ++x)
            pixels[static_cast<size_t>(y * 32 + x)] = kFrameColors[x / 8];
    return pixels;
}

std::vector<uint32_t> Solid(int count, uint32_t color) {
    return std::vector<uint32_t>(static_cast<size_t>(count), color);
}

class AnimationTest : public StartedEngineTest {
protected:
    // Path of a file of the asset folder as a resource name.
    std::string Name(const std::string& file) const { return folder.Relative() + "/" + file; }

    // Draws through draw on a black frame and keeps the presented pixels.
    template <class Draw> void Frame(Draw draw) {
        ASSERT_EQ(TQ2DGfx_BeginScene(0), 1);
        TQ2DGfx_Clear(0xFF000000);
        draw();
        TQ2DGfx_EndScene();
        int height = 0;
        ASSERT_TRUE(tqplat::VideoLastFrame(TQ2DGetMsgWnd(), &pixels, &width, &height));
    }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)] & 0x00FFFFFF; }

    std::vector<uint32_t> pixels;
    int width = 0;
};

} // namespace

TEST_F(AnimationTest, StripFramesAdvanceAndDraw) {
    WritePng(folder.Path("Anim/Strip.png"), 32, 8, Strip());
    TQ2DAnimation animation(Name("anim/strip.png").c_str(), 4, 10.0f, 0, 0, 8, 8);
    ASSERT_NE(animation.GetObjectA(), nullptr);
    EXPECT_EQ(animation.GetFrames(), 4);
    EXPECT_EQ(animation.GetMode(), 4);
    EXPECT_FLOAT_EQ(animation.GetSpeed(), 10.0f);
    EXPECT_FALSE(animation.IsPlaying());
    animation.Update(0.5f);
    EXPECT_EQ(animation.GetFrame(), 0); // stopped until Play
    animation.Play(0);
    animation.Update(0.0f); // starts the clock
    animation.Update(0.1f);
    animation.Update(0.1f);
    EXPECT_EQ(animation.GetFrame(), 2);
    Frame([&] { animation.Render(4, 4); });
    EXPECT_EQ(At(4, 4), 0x0000FFu);
    EXPECT_EQ(At(11, 11), 0x0000FFu);
    EXPECT_EQ(At(12, 12), 0u);
    animation.SetFrame(5);
    EXPECT_EQ(animation.GetFrame(), 1);

    TQ2DAnimation blank;
    EXPECT_NE(blank.Create(16ul, 8ul), 0);
    EXPECT_EQ(blank.GetFrames(), 1);
    EXPECT_EQ(blank.GetWidth(), 16.0f);
    blank.Play(0);
    for (int i = 0; i < 5; ++i)
        blank.Update(1.0f);
    EXPECT_EQ(blank.GetFrame(), 0);

    TQ2DAnimation missing("no/such.png", 4, 10.0f, 0, 0, 8, 8);
    EXPECT_EQ(missing.GetObjectA(), nullptr);
    EXPECT_EQ(missing.GetFrames(), 0);
    missing.Play(1);
    missing.Update(0.1f);
    missing.Render(1, 1);
}

TEST_F(AnimationTest, ReplaysAndPlayTime) {
    TQ2DTexture texture;
    ASSERT_NE(texture.Create(32, 8), 0);
    TQ2DAnimation animation(texture, 2, 10.0f, 0, 0, 8, 8);
    animation.SetMode(0); // forward once
    animation.SetLoopCount(3);
    animation.Play(0);
    EXPECT_EQ(animation.GetCurrentLoopCount(), 1u);
    std::vector<unsigned long> loops;
    for (int i = 0; i < 40 && animation.IsPlaying(); ++i) {
        animation.Update(0.1f);
        if (loops.empty() || loops.back() != animation.GetCurrentLoopCount())
            loops.push_back(animation.GetCurrentLoopCount());
    }
    EXPECT_EQ(loops, (std::vector<unsigned long>{1, 2, 3}));
    EXPECT_FALSE(animation.IsPlaying());
    animation.Play(0);
    animation.SetLoopCount(3); // no replay until the next Play
    for (int i = 0; i < 10; ++i)
        animation.Update(0.1f);
    EXPECT_EQ(animation.GetCurrentLoopCount(), 3u);
    EXPECT_FALSE(animation.IsPlaying());

    TQ2DAnimation timed(texture, 4, 10.0f, 0, 0, 8, 8);
    timed.SetLoopCount(0);
    timed.SetPlayTime(1.5f);
    TQ2DAnimationInfo& track = timed.GetPositionAniInfo();
    track.m_Points.SetSize(2, 1, 4);
    track.m_Waits.SetSize(2, 4);
    track.m_Speeds.SetSize(2, 4);
    *track.m_Points.GetAt(1) = {100, 0};
    track.m_bLoopForever = 1;
    timed.Play(0);
    timed.Update(0.5f);
    timed.Update(0.5f);
    EXPECT_TRUE(timed.IsPlaying());
    timed.Update(0.5f);
    EXPECT_FALSE(timed.IsPlaying());
    EXPECT_FALSE(track.IsPlaying());
    const float x = timed.GetPositionAdjust().x;
    timed.Update(0.5f);
    EXPECT_EQ(timed.GetPositionAdjust().x, x);
}

// Through the sprite interface an animation's rectangle is its first frame's, whatever frame is
// shown; setting it there moves the first frame, and the frames are drawn from the new layout.
TEST_F(AnimationTest, SpriteInterfaceSeesAndMovesTheFirstFrame) {
    TQ2DTexture texture;
    ASSERT_NE(texture.Create(32, 32), 0);
    DWORD* texels = texture.Lock(false);
    ASSERT_NE(texels, nullptr);
    for (DWORD y = 0; y < 32; ++y)
        for (DWORD x = 0; x < 32; ++x)
            texels[y * 32 + x] = 0xFF000000 | x << 16 | y << 8; // the texel's own position
    texture.UnLock();
    TQ2DAnimation animation(texture, 16, 10.0f, 0, 0, 8, 8);
    TQ2DSprite& sprite = animation;
    animation.SetFrame(5);
    float x = -1, y = -1, w = 0, h = 0;
    sprite.GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
    Frame([&] { animation.Render(0, 0); });
    EXPECT_EQ(At(0, 0), 0x080800u);
    // Frame 5 is drawn from (8, 8): the first frame moves there and frame 1 lies beside it.
    sprite.SetTextureRect(8, 8, 8, 8);
    animation.SetFrame(1);
    Frame([&] { animation.Render(0, 0); });
    EXPECT_EQ(At(0, 0), 0x100800u);
    EXPECT_EQ(At(7, 7), 0x170F00u);
}

TEST_F(AnimationTest, FrameTexturesSwitchTextureAndRectangle) {
    std::vector<TQ2DTexture> textures(8);
    TQ2DAnimation animation;
    for (DWORD i = 0; i < 8; ++i) {
        TQ2DTexture* texture = new TQ2DTexture;
        ASSERT_NE(texture->Create(48, 48), 0);
        ASSERT_TRUE(animation.GetFrameTextures().SetAt(i, texture, 1));
    }
    ASSERT_NE(animation.Create(animation.GetFrameTextures()[0], 4, 10.0f, 8, 8, 32, 32), 0);
    EXPECT_EQ(animation.GetFrames(), 8);
    animation.SetFrame(7);
    EXPECT_EQ(animation.GetFrame(), 3);
    EXPECT_EQ(animation.GetTexture(), animation.GetFrameTextures()[7].GetTexture());
    animation.Play(0);
    animation.Update(0.0f);
    animation.Update(0.1f);
    EXPECT_EQ(animation.GetFrame(), 1);
    EXPECT_EQ(animation.GetTexture(), animation.GetFrameTextures()[1].GetTexture());
    float x = 0, y = 0, w = 0, h = 0;
    animation.GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 8.0f);
    EXPECT_EQ(y, 8.0f);
    EXPECT_EQ(w, 32.0f);
    animation.Delete();
    EXPECT_EQ(animation.GetFrameTextures().GetSize(), 0u);
    EXPECT_EQ(animation.GetObjectA(), nullptr);
}

TEST_F(AnimationTest, AttachedAnimationsDrawFadeAndCopyDeeply) {
    TQ2DTexture red, green;
    ASSERT_NE(red.Create(4, 4), 0);
    ASSERT_NE(green.Create(2, 2), 0);
    red.Clear(0xFFFF0000);
    green.Clear(0xFF00FF00);
    TQ2DAnimation* parent = new TQ2DAnimation(red, 1, 0, 0, 0, 0, 0);
    TQArrayTmpl<TQ2DAnimationANFInfo>& list = parent->GetANFList();
    ASSERT_TRUE(list.SetSize(2, 1, 4));
    list.GetAt(0)->m_pChild = new TQ2DAnimation(green, 1, 0, 0, 0, 0, 0);
    list.GetAt(0)->m_fOffsetX = 10;
    list.GetAt(0)->m_fOffsetY = 10;
    list.GetAt(1)->m_pChild = new TQ2DAnimation(green, 1, 0, 0, 0, 0, 0);
    list.GetAt(1)->m_bAbsolute = 1;
    list.GetAt(1)->m_fOffsetX = 40;
    list.GetAt(1)->m_fOffsetY = 30;
    list.GetAt(1)->m_dwGroup = 2;
    Frame([&] { parent->Render(20, 5); });
    EXPECT_EQ(At(20, 5), 0xFF0000u);
    EXPECT_EQ(At(30, 15), 0x00FF00u); // relative: at the parent's drawn position plus the offset
    EXPECT_EQ(At(40, 30), 0x00FF00u); // absolute
    Frame([&] { parent->OnRender(0, 0, 2); });
    EXPECT_EQ(At(10, 10), 0u);
    EXPECT_EQ(At(40, 30), 0x00FF00u);

    TQ2DAnimation* child = list.GetAt(0)->m_pChild;
    parent->Update(0.1f);
    EXPECT_EQ(child->GetAlpha(0), 255); // no fade: the child keeps its alpha
    parent->SetAniAlpha(0, 255.0f);
    parent->Update(0.5f);
    EXPECT_EQ(parent->GetAlpha(0), 127);
    EXPECT_EQ(child->GetAlpha(0), 127);
    EXPECT_EQ(parent->GetAniAlphaAllMode(), 1);
    parent->SetAlphaAll(200, 0, 0);
    EXPECT_EQ(list.GetAt(1)->m_pChild->GetAlpha(3), 200);

    TQ2DAnimation copy(*parent);
    TQ2DAnimation assigned;
    assigned = *parent;
    EXPECT_NE(copy.GetANFList().GetAt(0)->m_pChild, child);
    EXPECT_NE(copy.GetObjectA(), parent->GetObjectA());
    delete parent;
    EXPECT_EQ(copy.GetFrames(), 1);
    Frame([&] {
        copy.Render(0, 0);
        assigned.Render(0, 20);
    });
    EXPECT_EQ(At(1, 1) >> 16, 200u * 255u / 255u); // copied alpha 200 on red over black
    EXPECT_EQ(At(10, 10), 0x00C800u);
    EXPECT_EQ(At(10, 30), 0x00C800u);
}

TEST_F(AnimationTest, DescriptionFromAMixedCaseDiskTree) {
    WritePng(folder.Path("Anim/Img/Strip.png"), 32, 8, Strip());
    WriteFile(folder.Path("Anim/Hit.wav"), WavBytes(2000));
    WritePng(folder.Path("Fx/Dot.png"), 2, 2, Solid(4, 0xFFFFFFFF));
    WriteText(folder.Path("Fx/Spark.txt"), "TEX=dot.png\nRA_POINT=0:0:90,360:0:90\n");
    WriteText(folder.Path("Anim/Walk.txt"),
              "TEX=img\\strip.png\nCOUNT=4\nFPS=8\nW=8\nH=8\nALPHA=0x80\nBLEND=colorADD | alphablend|zwrite\n"
              "HOT_SPOT_Y=1.5\nRENDER_X=3\nRENDER_Y=4\nLOOP_COUNT=2\nPLAY_TIME=1500\n"
              "SOUND=hit.wav,50\n"
              "PA_POINT=10:20:0:0, 30:20:0:0\nPA_SPEED=40\nPA_LOOP_MODE=1\n"
              "SA_POINT=100:100:0:0,200:200:500:50\nSA_SPEED=300\n"
              "AA_POINT=255:0:0,55:0:100\n"
              "ANF_COUNT=1\nANF_0=0,10,-5," +
                  folder.Relative() + "/FX/SPARK.TXT,2\n");
    WorkingFolder cwd(AssetFolder::ProgramFolder());
    TQ2DAnimation animation;
    ASSERT_EQ(animation.CreateFromConfig(("res//" + Name("anim/walk.txt")).c_str()), 1);
    EXPECT_EQ(animation.GetFrames(), 4);
    EXPECT_FLOAT_EQ(animation.GetSpeed(), 8.0f);
    EXPECT_EQ(animation.GetMode(), 4);
    EXPECT_EQ(animation.GetFrame(), 0);
    EXPECT_FALSE(animation.IsPlaying() && animation.GetFrame() != 0);
    EXPECT_EQ(animation.GetBlendMode(), 7);
    EXPECT_EQ(animation.GetAlpha(1), 0x80);
    EXPECT_EQ(animation.GetDefaultAlpha(), 0x80);
    float hx = 0, hy = 0;
    animation.GetHotSpot(&hx, &hy);
    EXPECT_EQ(hx, 4.0f);
    EXPECT_EQ(hy, 1.5f);
    EXPECT_EQ(animation.GetRenderPos().x, 3.0f);
    EXPECT_EQ(animation.GetRenderPos().y, 4.0f);
    EXPECT_EQ(animation.GetLoopCount(), 2u);
    EXPECT_FLOAT_EQ(animation.GetPlayTime(), 1.5f);
    EXPECT_NE(animation.GetSound().GetSound(), 0u);
    EXPECT_EQ(animation.GetSound().GetVolume(), 50);
    EXPECT_EQ(animation.GetSound().GetPitch(), 1.0f);
    EXPECT_FALSE(animation.GetSound().GetLoopMode());

    TQ2DAnimationInfo& scale = animation.GetScaleAniInfo();
    ASSERT_EQ(scale.GetPointCount(), 2u);
    EXPECT_EQ(scale.m_Points.GetAt(1)->x, 2.0f);
    EXPECT_FLOAT_EQ(*scale.m_Waits.GetAt(1), 0.5f);
    EXPECT_FLOAT_EQ(*scale.m_Speeds.GetAt(1), 0.5f);
    EXPECT_FLOAT_EQ(scale.m_fDefaultSpeed, 3.0f);
    EXPECT_EQ(animation.GetScaleAdjust().x, 1.0f);
    EXPECT_EQ(animation.GetPositionAdjust().x, 10.0f);
    EXPECT_EQ(animation.GetPositionAniInfo().m_bLoopForever, 1);
    EXPECT_EQ(animation.GetAlphaAniInfo().m_Points.GetAt(1)->x, 55.0f);
    EXPECT_EQ(animation.GetAlphaAniInfo().m_Points.GetAt(1)->y, 0.0f);

    ASSERT_EQ(animation.GetANFList().GetSize(), 1u);
    const TQ2DAnimationANFInfo* entry = animation.GetANFList().GetAt(0);
    ASSERT_NE(entry->m_pChild, nullptr);
    EXPECT_EQ(entry->m_dwGroup, 2u);
    EXPECT_EQ(entry->m_fOffsetX, 10.0f);
    EXPECT_EQ(entry->m_fOffsetY, -5.0f);
    EXPECT_EQ(entry->m_pChild->GetWidth(), 2.0f);
    EXPECT_EQ(entry->m_pChild->GetRotateAniInfo().m_Points.GetAt(1)->x, 360.0f);

    Frame([&] { animation.Render(); });
    EXPECT_EQ(animation.GetRenderCurrentPos().x, 13.0f); // render position plus the first key point
    EXPECT_EQ(animation.GetRenderCurrentPos().y, 24.0f);
    EXPECT_NE(At(10, 23), 0u);
    EXPECT_EQ(At(8, 23), 0u);
    animation.Play(0);
    animation.Update(0.0f);
    animation.Update(0.125f);
    EXPECT_EQ(animation.GetFrame(), 1);
    EXPECT_NEAR(animation.GetPositionAdjust().x, 10.0f + 40.0f * 0.125f + 0.125f * 0.125f / 2, 1e-4f);
    EXPECT_NEAR(entry->m_pChild->GetRotationAdjust().x, 90.0f * 0.125f + 0.125f * 0.125f / 2, 1e-4f);
    EXPECT_LT(animation.GetAlpha(0), 255); // the alpha track drives the alpha
    for (int i = 0; i < 10; ++i)
        animation.Update(0.125f);
    EXPECT_TRUE(animation.IsPlaying());
    animation.Update(0.125f);
    EXPECT_FALSE(animation.IsPlaying()); // 1.5 s of play time
    EXPECT_FALSE(animation.GetPositionAniInfo().IsPlaying());
    animation.Update(0.125f);
    EXPECT_TRUE(animation.IsPlaying()); // the second of LOOP_COUNT's plays
    EXPECT_EQ(animation.GetCurrentLoopCount(), 2u);
}

TEST_F(AnimationTest, DescriptionWithFrameTexturesFromAPack) {
    const std::string pack = folder.Path("anims.pak");
    WriteFile(pack, {});
    {
        CMorvainePack writer;
        ASSERT_TRUE(writer.SetPackage(pack.c_str()));
        const std::vector<std::pair<std::string, std::vector<unsigned char>>> files = {
            {"UI/BTN.TXT", TextBytes("TEX_LIST=walk%02d.png\nCOUNT=3\nFPS=10\nTRANS_COLOR=0xFF00FF\n"
                                     "LOOP_MODE=rev | pingpong\n")},
            {"UI/WALK00.PNG", PngBytes(4, 4, Solid(16, 0xFFFF00FF))},
            {"UI/WALK01.PNG", PngBytes(4, 4, Solid(16, 0xFF00FF00))},
            {"UI/WALK02.PNG", PngBytes(4, 4, Solid(16, 0xFF0000FF))}};
        for (const auto& file : files) {
            const std::string source = folder.Path("source.bin");
            WriteFile(source, file.second);
            ASSERT_TRUE(writer.AddFile(source.c_str(), file.first.c_str()));
        }
    }
    ASSERT_EQ(TQ2DPackAdd(pack.c_str()), 1);
    TQ2DAnimation animation;
    ASSERT_EQ(animation.CreateFromConfig("ui/btn.txt"), 1);
    ASSERT_EQ(animation.GetFrameTextures().GetSize(), 3u);
    EXPECT_EQ(animation.GetFrames(), 3);
    EXPECT_EQ(animation.GetMode(), 3);
    EXPECT_EQ(animation.GetTexture(), animation.GetFrameTextures()[0].GetTexture());
    animation.SetFrame(1);
    Frame([&] { animation.Render(2, 2); });
    EXPECT_EQ(At(1, 1), 0x00FF00u);
    animation.SetFrame(0);
    Frame([&] { animation.Render(2, 2); });
    EXPECT_EQ(At(1, 1), 0u); // the transparent colour of frame 0
    EXPECT_EQ(animation.CreateFromConfig("ui/none.txt"), 0);
    TQ2DPackRemoveAll();
    ASSERT_EQ(animation.CreateFromConfig(Name("ui/btn.txt").c_str()), 0);
    WriteText(folder.Path("Ui/Btn.txt"), "TEX_LIST=walk%02d.png\nCOUNT=3\n");
    WorkingFolder cwd(AssetFolder::ProgramFolder());
    ASSERT_EQ(animation.CreateFromConfig(Name("ui/btn.txt").c_str()), 1); // no frame textures this time
    EXPECT_EQ(animation.GetObjectA(), nullptr);
    EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 0u);
}

TEST_F(AnimationTest, ReadingAStripDescriptionAnewDropsEarlierFrameTextures) {
    WritePng(folder.Path("Re/F0.png"), 8, 8, Solid(64, 0xFFFF0000));
    WritePng(folder.Path("Re/F1.png"), 8, 8, Solid(64, 0xFF00FF00));
    WritePng(folder.Path("Re/Strip.png"), 32, 8, Strip());
    WriteText(folder.Path("Re/List.txt"), "TEX_LIST=f%d.png\nCOUNT=2\nFPS=10\n");
    WriteText(folder.Path("Re/Strip.txt"), "TEX=strip.png\nCOUNT=4\nFPS=10\nW=8\nH=8\n");
    WorkingFolder cwd(AssetFolder::ProgramFolder());
    TQ2DAnimation animation;
    ASSERT_EQ(animation.CreateFromConfig(Name("re/list.txt").c_str()), 1);
    ASSERT_EQ(animation.GetFrameTextures().GetSize(), 2u);
    ASSERT_EQ(animation.CreateFromConfig(Name("re/strip.txt").c_str()), 1);
    EXPECT_EQ(animation.GetFrameTextures().GetSize(), 0u);
    EXPECT_EQ(animation.GetFrames(), 4);
    const DWORD strip = animation.GetTexture();
    animation.Play(0);
    animation.Update(0.0f);
    animation.Update(0.1f);
    ASSERT_EQ(animation.GetFrame(), 1);
    EXPECT_EQ(animation.GetTexture(), strip); // not the earlier reading's frame texture 1
    Frame([&] { animation.Render(4, 4); });
    EXPECT_EQ(At(0, 0), kFrameColors[1] & 0x00FFFFFFu);
}

TEST_F(AnimationTest, BrokenDescriptionsFailOrLoadPartlyWithoutHarm) {
    WorkingFolder cwd(AssetFolder::ProgramFolder());
    TQ2DAnimation animation;
    EXPECT_EQ(animation.CreateFromConfig(nullptr), 0);
    EXPECT_EQ(animation.CreateFromConfig(" // "), 0);
    EXPECT_EQ(animation.CreateFromConfig(Name("missing.txt").c_str()), 0);

    WriteText(folder.Path("Bad/Format.txt"), "TEX_LIST=%s%s%n\nCOUNT=3\nSA_POINT=::,\nPA_POINT=\n");
    ASSERT_EQ(animation.CreateFromConfig(Name("bad/format.txt").c_str()), 1);
    EXPECT_EQ(animation.GetObjectA(), nullptr);
    EXPECT_EQ(animation.GetFrameTextures().GetSize(), 0u);
    EXPECT_EQ(animation.GetScaleAniInfo().GetPointCount(), 2u);
    EXPECT_EQ(animation.GetPositionAniInfo().GetPointCount(), 0u);
    animation.Play(1);
    animation.Update(0.1f);

    WriteText(folder.Path("Bad/Wide.txt"), "TEX_LIST=f%999999999d.png\nCOUNT=1\n");
    ASSERT_EQ(animation.CreateFromConfig(Name("bad/wide.txt").c_str()), 1);
    EXPECT_EQ(animation.GetFrameTextures().GetSize(), 0u);

    WriteText(folder.Path("Bad/Huge.txt"),
              "TEX_LIST=f%d.png\nCOUNT=2000000000\nANF_COUNT=-1\nLOOP_COUNT=-1\n");
    TQ2DAnimation huge;
    ASSERT_EQ(huge.CreateFromConfig(Name("bad/huge.txt").c_str()), 1);
    EXPECT_EQ(huge.GetFrameTextures().GetSize(), 0u);
    EXPECT_LE(huge.GetANFList().GetSize(), 1024u);

    // A description attaching itself twice: reading ends, with a bounded tree.
    WriteText(folder.Path("Bad/Self.txt"), "ANF_COUNT=2\nANF_0=0,1,1," + Name("bad/self.txt") +
                                               "\nANF_1=0,1,1," + Name("bad/self.txt") + "\n");
    TQ2DAnimation self;
    ASSERT_EQ(self.CreateFromConfig(Name("bad/self.txt").c_str()), 1);
    ASSERT_NE(self.GetANFList().GetAt(0)->m_pChild, nullptr);
    self.Play(1);
    self.Update(0.1f);
    EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 0u);
}

// Sprite, animation and particle descriptions name their files from the description's folder,
// the folder at the file system's root included.
TEST(DescriptionPaths, FilesLieInTheDescriptionsFolder) {
    const struct {
        const char* description;
        const char* path;
    } cases[] = {{"A.TXT", "t.png"},
                 {"FX/A.TXT", "FX/t.png"},
                 {"FX\\SUB/A.TXT", "FX/SUB/t.png"},
                 {"/abs/A.TXT", "/abs/t.png"},
                 {"/A.TXT", "/t.png"}};
    for (const auto& c : cases)
        EXPECT_STREQ(TQ2DPathInFolder(TQ2DDescriptionFolder(c.description), "t.png").GetString(), c.path)
            << c.description;
}
