// The resource manager: each resource type created once on demand from its declaration, files
// loaded and registered by name, precaching and purging by group, and removing everything.
#include "helpertestsupport.h"

#include "base/tqlog.h"
#include "device/tqgfxanimation.h"
#include "device/tqgfxdistortionmesh.h"
#include "device/tqgfxparticlesystem.h"
#include "device/tqgfxsprite.h"
#include "helpers/rtexture.h"
#include "helpers/tqgfxfont.h"
#include "helpers/tqgfxresourcemanager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

class ResourceManagerTest : public HelperTest {
protected:
    void SetUp() override {
        HelperTest::SetUp();
        StartDevice();
        WriteFile("red.bmp", MakeBmp(16, 16, [](int, int) { return 0xFF0000u; }));
        WriteFile("blue.bmp", MakeBmp(16, 16, [](int, int) { return 0x0000FFu; }));
        WriteFile("glyphs.bmp", MakeBmp(16, 4, [](int, int) { return 0xFFFFFFu; }));
        WriteFile("font.fnt", "glyphs.bmp 4 -65 4 4");
        WriteFile("fire.psi", std::string(128, '\0'));
    }

    void TearDown() override {
        manager.reset();
        HelperTest::TearDown();
    }

    // Loads `text` as a script, with "$/" standing for the test folder.
    void Load(std::string text) {
        for (size_t at; (at = text.find("$/")) != std::string::npos;)
            text.replace(at, 2, m_folder + "/");
        WriteFile("res.script", text);
        manager = std::make_unique<TQGfxResourceManager>(Path("res.script").c_str());
    }

    DWORD_PTR Handle(int type, const char* name) {
        ResDesc* desc = manager->FindRes(type, name);
        return desc ? desc->handle : 0;
    }

    bool TextureAlive(DWORD texture) { return dev->Texture_GetWidth(texture, false) > 0; }

    std::unique_ptr<TQGfxResourceManager> manager;
};

} // namespace

TEST_F(ResourceManagerTest, UndeclaredFilesAreLoadedOnceAndRegistered) {
    Load("");
    std::string red = Path("red.bmp");
    DWORD texture = manager->GetTexture(red.c_str());
    ASSERT_NE(texture, 0u);
    ResDesc* desc = manager->FindRes(TQGFX_RES_TEXTURE, red.c_str());
    ASSERT_NE(desc, nullptr);
    EXPECT_STREQ(static_cast<RTexture*>(desc)->filename, red.c_str());
    EXPECT_EQ(desc->resgroup, 0);
    // The second call finds the registered texture and loads nothing.
    std::remove(red.c_str());
    EXPECT_EQ(manager->GetTexture(red.c_str()), texture);

    WriteFile("data.bin", "raw bytes");
    void* bytes = manager->GetResource(Path("data.bin").c_str());
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::memcmp(bytes, "raw bytes", 9), 0);
    EXPECT_EQ(manager->GetResource(Path("data.bin").c_str()), bytes);

    // Files that cannot be loaded give 0 and register nothing; so do sounds without sound.
    EXPECT_EQ(manager->GetTexture(Path("none.bmp").c_str()), 0u);
    EXPECT_EQ(manager->FindRes(TQGFX_RES_TEXTURE, Path("none.bmp").c_str()), nullptr);
    EXPECT_EQ(manager->GetResource(""), nullptr);
    EXPECT_EQ(manager->GetEffect(Path("data.bin").c_str()), 0u);
    EXPECT_EQ(manager->res[TQGFX_RES_EFFECT], nullptr);
    EXPECT_EQ(manager->GetMusic(nullptr), 0u);
    std::string longName = Path(std::string(130, 'n') + ".bmp");
    WriteFile(std::string(130, 'n') + ".bmp", MakeBmp(2, 2, [](int, int) { return 0u; }));
    EXPECT_EQ(manager->GetTexture(longName.c_str()), 0u);
    EXPECT_TRUE(LogContains("is too long."));
    // Other types must be declared.
    EXPECT_EQ(manager->GetSprite("red"), nullptr);
    EXPECT_EQ(manager->GetTarget("red"), 0u);
    EXPECT_EQ(manager->GetFont(Path("font.fnt").c_str()), nullptr);
}

TEST_F(ResourceManagerTest, DeclaredResourcesAreCreatedOnceOnDemand) {
    Load("Texture tex { filename = \"$/red.bmp\" }\n"
         "Sprite spr { texture = tex rect = 2, 3, 8, 9 hotspot = 4, 5 color = C0FFFFFF zorder = 0.2\n"
         "  blendmode = COLORADD flip = true, false }\n"
         "Sprite loose { texture = \"$/blue.bmp\" rect = 0, 0, 4, 4 }\n"
         "Animation anim { texture = tex rect = 0, 0, 4, 4 frames = 4 fps = 10 mode = PINGPONG }\n"
         "Font fnt { filename = \"$/font.fnt\" color = FF00FF00 scale = 2 tracking = 1 rotation = 0.5\n"
         "  zorder = 0.3 blendmode = ZWRITE }\n"
         "Target rt { size = 32, 16 }\n"
         "Particle fire { filename = \"$/fire.psi\" sprite = spr fps = 25 }\n"
         "Particle cold { filename = \"$/fire.psi\" sprite = nosprite }\n"
         "Distortion mesh { texture = tex rect = 0, 0, 16, 16 mesh = 3, 4 color = FF102030 zorder = 0.6 }\n");
    DWORD texture = manager->GetTexture("tex");
    ASSERT_NE(texture, 0u);

    TQGfxSprite* sprite = manager->GetSprite("spr");
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(manager->GetSprite("spr"), sprite);
    EXPECT_EQ(sprite->GetTexture(), texture);
    float x, y, w, h;
    sprite->GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 2.0f);
    EXPECT_EQ(h, 9.0f);
    sprite->GetHotSpot(&x, &y);
    EXPECT_EQ(y, 5.0f);
    EXPECT_EQ(sprite->GetColor(3), 0xC0FFFFFFu);
    EXPECT_EQ(sprite->GetZ(2), 0.2f);
    EXPECT_EQ(sprite->GetBlendMode(), 3);
    bool flipX, flipY;
    sprite->GetFlip(&flipX, &flipY);
    EXPECT_TRUE(flipX);
    EXPECT_FALSE(flipY);

    // A sprite's texture that is not declared is loaded by name and registered.
    TQGfxSprite* loose = manager->GetSprite("loose");
    ASSERT_NE(loose, nullptr);
    EXPECT_NE(loose->GetTexture(), 0u);
    EXPECT_EQ(manager->GetTexture(Path("blue.bmp").c_str()), loose->GetTexture());

    TQGfxAnimation* anim = manager->GetAnimation("anim");
    ASSERT_NE(anim, nullptr);
    EXPECT_EQ(manager->GetAnimation("anim"), anim);
    EXPECT_EQ(anim->GetMode(), 6);
    EXPECT_EQ(anim->GetFrames(), 4);

    TQGfxFont* font = manager->GetFont("fnt");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(manager->GetFont("fnt"), font);
    EXPECT_EQ(font->GetColor(), 0xFF00FF00u);
    EXPECT_EQ(font->GetScale(), 2.0f);
    EXPECT_EQ(font->GetTracking(), 1.0f);
    EXPECT_EQ(font->GetRotation(), 0.5f);
    EXPECT_EQ(font->GetZ(), 0.3f);
    EXPECT_EQ(font->GetBlendMode(), 6);
    EXPECT_EQ(font->GetStringWidth("AB"), 20.0f);

    DWORD target = manager->GetTarget("rt");
    ASSERT_NE(target, 0u);
    EXPECT_EQ(manager->GetTarget("rt"), target);
    EXPECT_EQ(dev->Texture_GetWidth(dev->Target_GetTexture(target), false), 32);

    TQGfxParticleSystem* fire = manager->GetParticleSystem("fire");
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(manager->GetParticleSystem("fire"), fire);
    EXPECT_EQ(fire->info.sprite, sprite);
    // A system whose sprite is not declared is made without one.
    TQGfxParticleSystem* cold = manager->GetParticleSystem("cold");
    ASSERT_NE(cold, nullptr);
    EXPECT_EQ(cold->info.sprite, nullptr);
    EXPECT_TRUE(LogContains("Particle system 'cold': sprite 'nosprite' is not defined."));

    TQGfxDistortionMesh* mesh = manager->GetDistortionMesh("mesh");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(manager->GetDistortionMesh("mesh"), mesh);
    EXPECT_EQ(mesh->GetColumns(), 3);
    EXPECT_EQ(mesh->GetRows(), 4);
    EXPECT_EQ(mesh->GetTexture(), texture);
    EXPECT_EQ(mesh->GetColor(2, 3), 0xFF102030u);
    EXPECT_EQ(mesh->GetZ(1, 1), 0.6f);
}

TEST_F(ResourceManagerTest, PrecacheStopsAtTheFirstFailure) {
    // Lists keep the latest declaration first: good2, bad, good1.
    Load("Texture good1 { filename = \"$/red.bmp\" }\n"
         "Texture bad { filename = \"$/none.bmp\" }\n"
         "Texture good2 { filename = \"$/blue.bmp\" }\n"
         "Target rt { size = 8, 8 }\n");
    TQLogCapture errors(g_tqLogError);
    EXPECT_FALSE(manager->Precache(0));
    std::string tried = Path("none.bmp");
    std::replace(tried.begin(), tried.end(), '/', '\\');
    EXPECT_TRUE(
        errors.Contains("Resource 'bad': file '" + Path("none.bmp") + "' not loaded. [path=" + tried + "]"));
    EXPECT_NE(Handle(TQGFX_RES_TEXTURE, "good2"), 0u);
    EXPECT_EQ(Handle(TQGFX_RES_TEXTURE, "good1"), 0u);
    EXPECT_EQ(Handle(TQGFX_RES_TARGET, "rt"), 0u);
}

TEST_F(ResourceManagerTest, PrecacheAndPurgeByGroup) {
    Load("Texture a { filename = \"$/red.bmp\" resgroup = 3 }\n"
         "Texture b { filename = \"$/blue.bmp\" resgroup = 4 }\n"
         "Sprite s { texture = a rect = 0, 0, 4, 4 resgroup = 3 }\n"
         "Target t { size = 8, 8 resgroup = 4 }\n");
    EXPECT_TRUE(manager->Precache(3));
    DWORD a = static_cast<DWORD>(Handle(TQGFX_RES_TEXTURE, "a"));
    EXPECT_NE(a, 0u);
    EXPECT_NE(Handle(TQGFX_RES_SPRITE, "s"), 0u);
    EXPECT_EQ(Handle(TQGFX_RES_TEXTURE, "b"), 0u);
    EXPECT_EQ(Handle(TQGFX_RES_TARGET, "t"), 0u);
    EXPECT_TRUE(manager->Precache(4));
    DWORD b = static_cast<DWORD>(Handle(TQGFX_RES_TEXTURE, "b"));
    EXPECT_NE(Handle(TQGFX_RES_TARGET, "t"), 0u);

    manager->Purge(3);
    EXPECT_EQ(Handle(TQGFX_RES_TEXTURE, "a"), 0u);
    EXPECT_EQ(Handle(TQGFX_RES_SPRITE, "s"), 0u);
    EXPECT_FALSE(TextureAlive(a));
    EXPECT_TRUE(TextureAlive(b));
    // A later Get creates it again.
    EXPECT_NE(manager->GetSprite("s"), nullptr);
    EXPECT_TRUE(TextureAlive(manager->GetTexture("a")));

    manager->Purge(0);
    for (int type = 0; type < TQGFX_RES_TYPES; ++type)
        for (ResDesc* desc = manager->res[type]; desc; desc = desc->next)
            EXPECT_EQ(desc->handle, 0u) << desc->name;
    EXPECT_FALSE(TextureAlive(b));
    EXPECT_NE(manager->FindRes(TQGFX_RES_TARGET, "t"), nullptr);
}

TEST_F(ResourceManagerTest, PurgingASpriteLeavesItsParticleSystemsWithoutIt) {
    Load("Texture t { filename = \"$/red.bmp\" }\n"
         "Sprite s { texture = t rect = 0, 0, 4, 4 resgroup = 3 }\n"
         "Particle p { filename = \"$/fire.psi\" sprite = s resgroup = 4 }\n");
    TQGfxParticleSystem* system = manager->GetParticleSystem("p");
    ASSERT_NE(system, nullptr);
    ASSERT_NE(system->info.sprite, nullptr);
    manager->Purge(3);
    EXPECT_EQ(Handle(TQGFX_RES_SPRITE, "s"), 0u);
    ASSERT_EQ(manager->GetParticleSystem("p"), system);
    EXPECT_EQ(system->info.sprite, nullptr);
    DrawFrame([&] { system->Render(); }); // draws nothing and reads no freed sprite
}

TEST_F(ResourceManagerTest, RemovingEverythingFreesTheResources) {
    Load("Texture a { filename = \"$/red.bmp\" }\nFont f { filename = \"$/font.fnt\" }\n");
    DWORD a = manager->GetTexture("a");
    DWORD glyphs = manager->GetFont("f")->GetTexture();
    ASSERT_TRUE(TextureAlive(a));
    ASSERT_TRUE(TextureAlive(glyphs));
    WriteFile("other.script", "Texture z { filename = \"" + Path("blue.bmp") + "\" }\n");
    manager->ChangeScript(Path("other.script").c_str());
    EXPECT_FALSE(TextureAlive(a));
    EXPECT_FALSE(TextureAlive(glyphs));
    EXPECT_EQ(manager->FindRes(TQGFX_RES_TEXTURE, "a"), nullptr);
    EXPECT_NE(manager->GetTexture("z"), 0u);
    DWORD z = manager->GetTexture("z");
    manager.reset();
    EXPECT_FALSE(TextureAlive(z));
}
