// Which file a name leads to: spellings of one file share one texture; a resource script from a
// password zip pack reaches only the game's folders; a fault repeated by a hostile description is
// one line.
#include "enginetestutil.h"
#include "openwatch.h"
#include "packtestutil.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "base/tqlog.h"
#include "engine/tq2danimation.h"
#include "engine/tq2dglobaltexture.h"
#include "engine/tq2dpack.h"
#include "engine/tq2dsprite.h"
#include "engine/tq2dtexture.h"
#include "gui/tq2dguiwindow.h"
#include "helpers/tqgfxresourcemanager.h"
#include "platform/win32/tqpath.h"

namespace {

using FileLookupTest = StartedEngineTest;

// Spellings of "IMG/BIG.PNG" as a description might write them.
std::vector<std::string> Spellings() {
    return {"img/big.png",
            "IMG\\BIG.PNG",
            "img/./big.png",
            "img/x/../big.png",
            "/img/big.png",
            " img/Big.png ",
            "img/../img/./x/y/../../big.png",
            "img\\\\BIG.png"};
}

} // namespace

// One image, in a pack and loose below the program's folder, named by many spellings from a pack's
// animation (TEX_LIST) and by the game: one device texture for each file, freed with its last user.
TEST_F(FileLookupTest, SpellingsOfOneFileShareOneTexture) {
    const std::vector<uint32_t> pixels(64 * 32, 0xFF00FF00);
    MakePack(folder, folder.Path("big.pak"),
             {{"IMG/BIG.PNG", PngBytes(64, 32, pixels)},
              {"A.TXT", TextBytes("TEX_LIST=%d/../IMG/BIG.PNG\nCOUNT=64\n")},
              {"IMG/\x95\x5C.PNG", PngBytes(2, 2, std::vector<uint32_t>(4))}});
    ASSERT_EQ(TQ2DPackAdd(folder.Path("big.pak").c_str()), 1);
    // A GBK character whose trail byte is a backslash is not cut in two.
    EXPECT_NE(TQ2DTexture().Create("img/x/../\x95\x5C.png", 0), 0);
    {
        TQ2DAnimation animation;
        ASSERT_EQ(animation.CreateFromConfig("a.txt"), 1);
        EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 1u);
        std::vector<TQ2DTexture> textures(Spellings().size());
        for (size_t i = 0; i < textures.size(); ++i) {
            SCOPED_TRACE(Spellings()[i]);
            EXPECT_NE(textures[i].Create(Spellings()[i].c_str(), 0), 0);
            EXPECT_EQ(textures[i].GetTexture(), textures[0].GetTexture());
        }
        EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 1u);
    }
    EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 0u);

    TQ2DPackRemoveAll();
    WritePng(folder.Path("Img/Big.png"), 64, 32, pixels);
    std::vector<TQ2DTexture> loose(Spellings().size());
    for (size_t i = 0; i < loose.size(); ++i) {
        const std::string name =
            folder.Relative() + "/" + Spellings()[i].substr(Spellings()[i].find_first_not_of(" /"));
        SCOPED_TRACE(name);
        EXPECT_NE(loose[i].Create(name.c_str(), 0), 0);
        EXPECT_EQ(loose[i].GetTexture(), loose[0].GetTexture());
    }
    EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 1u);
}

namespace {

// A zip pack with a password holding the entries (made with the zip tool, as a game's author would).
void MakePasswordZip(const AssetFolder& folder, const std::string& zip,
                     const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string names;
    for (const auto& entry : entries) {
        WriteText(folder.Path("stage/" + entry.first), entry.second);
        names += " '" + entry.first + "'";
    }
    const std::string command = "cd '" + folder.Path("stage") + "' && zip -q -P secret '" + zip + "'" +
                                names + " && cd / && rm -r '" + folder.Path("stage") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
}

} // namespace

// A script in a password zip pack names files outside every way it can (absolute, climbing, a
// drive letter, through an included script): nothing outside is opened, each gives one line, and
// its own files load, and so does a file beside the zip pack (its folder is a game folder).
TEST_F(FileLookupTest, AZipPackScriptNamingOutsideFilesIsRefused) {
    ScratchFolder outside, game;
    WriteText(game.Path("beside.txt"), "beside");
    WriteText(outside.Path("secret.txt"), "secret");
    WritePng(outside.Path("secret.png"), 2, 2, std::vector<uint32_t>(4));
    WriteText(outside.Path("more.res"),
              "Resource inner { filename = \"" + outside.Path("secret.txt") + "\" }");
    const std::string up = "../../../../../../../../../../.." + outside.Path("secret.txt");
    MakePasswordZip(
        folder, game.Path("mod.zip"),
        {{"gems.res", "Resource abs { filename = \"" + outside.Path("secret.txt") +
                          "\" }\nResource climb { filename = \"" + up +
                          "\" }\nResource drive { filename = \"C:" + outside.Path("secret.txt") +
                          "\" }\nTexture pic { filename = \"" + outside.Path("secret.png") +
                          "\" }\nResource own { filename = own.txt }\nResource beside { filename = \"" +
                          game.Path("beside.txt") + "\" }\nInclude \"" + outside.Path("more.res") + "\"\n"},
         {"own.txt", "own"}});
    TQGfxDevice* device = TQGfxCreate(TQGfxDevice::kVersion);
    ASSERT_TRUE(device->Resource_AttachPack(game.Path("mod.zip").c_str(), "secret"));
    {
        TQLogCapture errors(g_tqLogError);
        const OpenWatch watch({AssetFolder::ProgramFolder(), game.Root()});
        TQGfxResourceManager resources("gems.res");
        EXPECT_EQ(resources.GetResource("abs"), nullptr);
        EXPECT_EQ(resources.GetResource("climb"), nullptr);
        EXPECT_EQ(resources.GetResource("drive"), nullptr);
        EXPECT_EQ(resources.GetTexture("pic"), 0u);
        EXPECT_EQ(resources.FindRes(TQGFX_RES_RESOURCE, "inner"), nullptr);
        EXPECT_NE(resources.GetResource("own"), nullptr);
        EXPECT_NE(resources.GetResource("beside"), nullptr);
        EXPECT_EQ(watch.Outside(), std::vector<std::string>());
        const std::vector<std::string> lines = errors.Lines();
        EXPECT_EQ(lines.size(), 5u);
        for (const std::string& line : lines)
            EXPECT_NE(line.find("reaches only the packs and the game's folders"), std::string::npos) << line;
    }
    device->Resource_RemoveAllPacks();
    ASSERT_TRUE(device->Resource_AttachPack(game.Path("mod.zip").c_str(), "wrong"));
    {
        TQLogCapture errors(g_tqLogError);
        TQGfxResourceManager resources("gems.res");
        const std::vector<std::string> lines = errors.Lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find("the password does not open zip pack"), std::string::npos) << lines[0];
    }
    device->Resource_RemoveAllPacks();
    device->Release();
}

// Faults a hostile pack repeats or makes huge give one line each, with a name of bounded length:
// a name of 65,536 bytes, a FIFO, a GBK name (the paths tried shown once converted), ANF_COUNT far beyond the
// ANF lines, a window of 100,000 controls each naming a missing file (that fault, and too many controls).
TEST_F(FileLookupTest, AFaultIsOneShortLine) {
    WorkingFolder cwd(AssetFolder::ProgramFolder());
    ASSERT_EQ(mkfifo(folder.Path("pipe.txt").c_str(), 0600), 0);
    std::string controls;
    for (int i = 1; i <= 100000; ++i)
        controls += "ADD_IMAGE=" + std::to_string(i) + ",0,0,none.txt\n";
    struct Case {
        std::string file, text;
        std::vector<std::string> lines;
        std::function<void(const char*)> read;
    };
    const std::vector<Case> cases = {
        {"LONG.TXT",
         "TEX=" + std::string(65536, 'a'),
         {"(65536 bytes)"},
         [](const char* file) { TQ2DSprite().CreateFromConfig(file); }},
        {"FIFO.TXT",
         "ADD_WINDOW=1,0,0," + folder.Relative() + "/pipe.txt",
         {"pipe.txt': it is not a regular file."},
         [](const char* file) { TQ2DGUIWindow().InitFromConfig(file); }},
        {"FIFO.TXT",
         "TEX=" + folder.Relative() + "/pipe.txt",
         {"pipe.txt': it is not a regular file."},
         [](const char* file) { TQ2DSprite().CreateFromConfig(file); }},
        {"GBK.TXT",
         "TEX=\xd6\xd0\xce\xc4.png",
         {"tried " + AssetFolder::ProgramFolder() + "/\u4e2d\u6587.PNG"},
         [](const char* file) { TQ2DSprite().CreateFromConfig(file); }},
        {"ANF.TXT",
         "ANF_COUNT=2147483648",
         {"Too many attached animations"},
         [](const char* file) { TQ2DAnimation().CreateFromConfig(file); }},
        {"ANF.TXT",
         "ANF_COUNT=1000",
         {"ANF_0 of ANF_COUNT is missing, and 999 more. [name=ANF.TXT]"},
         [](const char* file) { TQ2DAnimation().CreateFromConfig(file); }},
        {"MANY.TXT",
         controls,
         {"'none.txt': in no pack", "Too many controls"},
         [](const char* file) { TQ2DGUIWindow().InitFromConfig(file); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + ": " + c.text.substr(0, 40));
        TQ2DPackRemoveAll();
        MakePack(folder, folder.Path("flood.pak"), {{c.file, TextBytes(c.text)}});
        ASSERT_EQ(TQ2DPackAdd(folder.Path("flood.pak").c_str()), 1);
        TQLogCapture errors(g_tqLogError);
        c.read(c.file.c_str());
        const std::vector<std::string> lines = errors.Lines();
        ASSERT_EQ(lines.size(), c.lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_NE(lines[i].find(c.lines[i]), std::string::npos) << lines[i];
            EXPECT_LT(lines[i].size(), 600u);
        }
    }
}

// Started from "/" or from the home folder, a pack's names still reach only the game's folders: the
// program's and those of the packs, never a root or a home even when a pack lies there.
TEST_F(FileLookupTest, APacksNamesReachTheGameFoldersWhateverTheWorkingFolder) {
    ScratchFolder home;
    const char* realHome = std::getenv("HOME");
    const std::string savedHome = realHome ? realHome : "";
    setenv("HOME", home.Root().c_str(), 1);
    std::filesystem::create_directories(home.Path("game"));
    WritePng(home.Path("secret.png"), 2, 2, std::vector<uint32_t>(4));
    WritePng(home.Path("game/own.png"), 2, 2, std::vector<uint32_t>(4));
    WriteText(home.Path("secret.txt"), "SIZE=1,1");
    struct Case {
        std::string cwd, pack, text;
        bool loads;
    };
    const std::string climbing = "../../../../../../../../../../.." + home.Path("secret.txt");
    const std::vector<Case> cases = {
        {"/", home.Path("game/mod.pak"), "TEX=" + home.Path("game/own.png"), true},
        {"/", home.Path("game/mod.pak"), "TEX=" + home.Path("secret.png"), false},
        {"/", home.Path("game/mod.pak"), "ADD_WINDOW=1,0,0," + climbing, false},
        {home.Root(), home.Path("game/mod.pak"), "ADD_WINDOW=1,0,0,secret.txt", false},
        {home.Root(), home.Path("mod.pak"), "TEX=" + home.Path("secret.png"), false},
        {"/", folder.Path("mod.pak"), "TEX=" + home.Path("game/own.png"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cwd + ", " + c.pack + ": " + c.text);
        WorkingFolder cwd(c.cwd);
        TQ2DPackRemoveAll();
        MakePack(folder, c.pack, {{"D.TXT", TextBytes(c.text)}});
        ASSERT_EQ(TQ2DPackAdd(c.pack.c_str()), 1);
        TQLogCapture errors(g_tqLogError);
        const OpenWatch watch({AssetFolder::ProgramFolder(), folder.Path(""), home.Path("game"), c.pack});
        if (c.text.rfind("TEX=", 0) == 0)
            EXPECT_EQ(TQ2DSprite().CreateFromConfig("d.txt"), c.loads ? 1 : 0);
        else
            TQ2DGUIWindow().InitFromConfig("d.txt");
        EXPECT_EQ(watch.Outside(), std::vector<std::string>());
        const std::vector<std::string> lines = errors.Lines();
        ASSERT_EQ(lines.size(), c.loads ? 0u : 1u);
        if (!c.loads) {
            EXPECT_NE(lines[0].find("reaches only the packs and the game's folders"), std::string::npos)
                << lines[0];
        }
    }
    TQ2DPackRemoveAll();
    setenv("HOME", savedHome.c_str(), 1);
}
