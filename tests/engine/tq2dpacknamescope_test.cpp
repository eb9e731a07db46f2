// Names read from a pack's own description files reach only the packs and the files below the
// resource folders; the same names in loose description files (the game's own) reach what they name.
#include "enginetestutil.h"
#include "openwatch.h"
#include "packtestutil.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>

#include "base/tqlog.h"
#include "engine/tq2danimation.h"
#include "engine/tq2dmusic.h"
#include "engine/tq2dpack.h"
#include "engine/tq2dparticle.h"
#include "engine/tq2dsound.h"
#include "engine/tq2dsprite.h"
#include "engine/tq2dtexture.h"
#include "gui/tq2dguicombobox.h"
#include "gui/tq2dguiwindow.h"
#include "platform/win32/tqpath.h"

namespace {

const char kRefused[] = "a name read from a pack reaches only the packs";

std::string Repeat(const std::string& text, int times) {
    std::string all;
    while (times-- > 0)
        all += text;
    return all;
}

// The path with "\" separators and every letter's case swapped.
std::string BackslashedSwappedCase(std::string path) {
    for (char& c : path) {
        if (c == '/')
            c = '\\';
        else if (std::isalpha(static_cast<unsigned char>(c)))
            c = static_cast<char>(std::islower(static_cast<unsigned char>(c)) ? std::toupper(c)
                                                                              : std::tolower(c));
    }
    return path;
}

// Enough "../" to climb from the program's folder to the system root.
std::string UpToTheRoot() {
    const std::string folder = AssetFolder::ProgramFolder();
    return Repeat("../", static_cast<int>(std::count(folder.begin(), folder.end(), '/')) + 1);
}

// Upper case with "/" separators, to find a name in a line whatever its spelling.
std::string Folded(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return std::toupper(c); });
    return text;
}

std::vector<std::string> RefusalLines(const TQLogCapture& errors) {
    std::vector<std::string> lines = errors.Lines();
    lines.erase(
        std::remove_if(lines.begin(), lines.end(),
                       [](const std::string& line) { return line.find(kRefused) == std::string::npos; }),
        lines.end());
    return lines;
}

class PackNamesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        StartEngine();
        WritePng(outside.Path("Secret.png"), 8, 4, std::vector<uint32_t>(32, 0xFFFF0000));
    }
    void TearDown() override {
        TQ2DPackRemoveAll();
        EngineTest::TearDown();
    }
    // Registers a pack holding one description file.
    void AddPack(const std::string& name, const std::string& text) {
        TQ2DPackRemoveAll();
        MakePack(folder, folder.Path("mod.pak"), {{name, TextBytes(text)}});
        ASSERT_EQ(TQ2DPackAdd(folder.Path("mod.pak").c_str()), 1);
    }
    // Ways a description may name the file outside: absolute, climbing from the program's folder,
    // each also with backslashes and letters in the other case, and behind a "//" prefix.
    std::vector<std::string> OutsideNames() const {
        const std::string absolute = outside.Path("Secret.png");
        const std::string climbing = UpToTheRoot() + absolute.substr(1);
        return {absolute, BackslashedSwappedCase(absolute), climbing, BackslashedSwappedCase(climbing),
                "x////" + absolute.substr(1)};
    }
    ScratchFolder outside, game;
    AssetFolder folder;
};

} // namespace

TEST_F(PackNamesTest, ASpriteFromAPackNeverReadsOutsideWhileTheSameLooseFileDoes) {
    WorkingFolder cwd(game.Root());
    for (const std::string& name : OutsideNames()) {
        SCOPED_TRACE(name);
        AddPack("HERO.TXT", "TEX=" + name + "\n");
        TQLogCapture errors(g_tqLogError);
        TQ2DSprite packed;
        EXPECT_EQ(packed.CreateFromConfig("hero.txt"), 0);
        const std::vector<std::string> lines = errors.Lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(kRefused), std::string::npos) << lines[0];
        EXPECT_NE(Folded(lines[0]).find("'" + Folded(name) + "'"), std::string::npos) << lines[0];

        TQ2DPackRemoveAll();
        WriteText(game.Path("hero.txt"), "TEX=" + name + "\n");
        TQ2DSprite loose;
        ASSERT_EQ(loose.CreateFromConfig("hero.txt"), 1);
        EXPECT_EQ(loose.GetWidth(), 8.0f);
    }
}

TEST_F(PackNamesTest, AClimbingNameThatStaysBelowTheProgramFolderLoadsFromAPack) {
    std::filesystem::create_directories(folder.Path("Sub"));
    WritePng(folder.Path("Ok.png"), 2, 6, std::vector<uint32_t>(12, 0xFF00FF00));
    AddPack("HERO.TXT", "TEX=" + folder.Relative() + "/sub/../ok.png\n");
    TQLogCapture errors(g_tqLogError);
    TQ2DSprite sprite;
    ASSERT_EQ(sprite.CreateFromConfig("hero.txt"), 1);
    EXPECT_EQ(sprite.GetHeight(), 6.0f);
    EXPECT_TRUE(errors.Lines().empty());
}

// Every reader's names from a pack: textures, sounds, particle records, attached animations and
// the files a window file names; one refusal line for each name (one for a name repeated).
TEST_F(PackNamesTest, EveryDescriptionReaderRefusesNamesLeavingThePack) {
    WorkingFolder cwd(game.Root());
    const std::string up = BackslashedSwappedCase(UpToTheRoot() + outside.Path("x").substr(1));
    struct Case {
        std::string file, text;
        size_t names;
        std::function<void()> read;
    };
    const std::vector<Case> cases = {
        {"ANI.TXT", "TEX=" + up + "\nCOUNT=1\nSOUND=" + up + "\nANF_COUNT=1\nANF_0=0,0,0," + up + "\n", 3,
         [] { TQ2DAnimation().CreateFromConfig("ani.txt"); }},
        {"FX/P.TXT", "TEX=../" + up + "\nPSI=../" + up + "\nSOUND=../" + up + "\n", 3,
         [] { TQ2DParticle().CreateFromConfig("fx/p.txt"); }},
        {"WIN.TXT", "SIZE=10,10\nADD_WINDOW=1,0,0," + up + "\nADD_IMAGE=2,0,0," + up + "\n", 1,
         [] { TQ2DGUIWindow().InitFromConfig("win.txt"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        AddPack(c.file, c.text);
        TQLogCapture errors(g_tqLogError);
        c.read();
        const std::vector<std::string> lines = RefusalLines(errors);
        EXPECT_EQ(lines.size(), c.names);
        for (const std::string& line : lines)
            EXPECT_NE(Folded(line).find(Folded(outside.Path("x"))), std::string::npos) << line;
    }
}

namespace {

bool SpriteLoads(const char* name) {
    TQ2DSprite sprite;
    return sprite.CreateFromConfig(name) == 1 && sprite.GetTexture() != 0;
}

bool AnimationHasTexture(const char* name) {
    TQ2DAnimation animation;
    return animation.CreateFromConfig(name) == 1 && animation.GetTexture() != 0;
}

bool ParticleLoads(const char* name) {
    return TQ2DParticle().CreateFromConfig(name) == 1;
}

bool WindowReads(const char* name) {
    return TQ2DGUIWindow().InitFromConfig(name) == 1;
}

bool TextureLoads(const char* name) {
    return TQ2DTexture().Create(name, 0) != 0;
}

bool SoundLoads(const char* name) {
    return TQ2DSound().Create(name, 0) != 0;
}

bool MusicLoads(const char* name) {
    return TQ2DMusic().Create(name, 0) != 0;
}

} // namespace

// A description in a pack (beside SHEET.PNG) or loose in the working folder: whether it loads, and
// the one error line a failure gives (none for a success). "." and ".." that stay inside the pack
// find its files; an absolute name in a loose description is read as written; a name naming no
// file is reported (in a description or in the game's own call), as is a missing record file; a
// window file's refused name is one line.
TEST_F(PackNamesTest, DescriptionNamesLoadOrFailWithOneLine) {
    WorkingFolder cwd(game.Root());
    const std::string secret = outside.Path("Secret.png");
    struct Case {
        bool packed;
        std::string file, text;
        std::function<bool(const char*)> read;
        bool loads;
        std::string line;
    };
    const std::vector<Case> cases = {
        {true, "SUB/UP.TXT", "TEX=../sheet.png", SpriteLoads, true, ""},
        {true, "DOTS.TXT", "TEX=sub/.././sheet.png", SpriteLoads, true, ""},
        {true, "EMPTY.TXT", "TEX=\nX=0", SpriteLoads, false, "TEX of 'EMPTY.TXT' names no file"},
        {true, "SUB/ROOT.TXT", "TEX=\\", SpriteLoads, false, "TEX of 'SUB/ROOT.TXT' names no file"},
        {false, "none.txt", "X=0\nY=0", SpriteLoads, false, "TEX of 'NONE.TXT' names no file"},
        {false, "res//", "", SpriteLoads, false, "'res//': the name names no file"},
        {true, "FX.TXT", "TEX=sheet.png\nSOUND=,50", AnimationHasTexture, true, "SOUND of 'FX.TXT' names no"},
        {false, "sub/abs.txt", "TEX=" + secret, SpriteLoads, true, ""},
        {false, "sub/abs.ani", "TEX=" + secret, AnimationHasTexture, true, ""},
        {false, "sub/abs.par", "TEX=" + secret + "\nPSI=" + outside.Path("none.psi"), ParticleLoads, true,
         "particle record '" + outside.Path("none.psi") + "': in no pack"},
        {true, "WIN.TXT", "ADD_IMAGE=2,0,0," + secret, WindowReads, true, kRefused},
        {false, "", "", TextureLoads, false, "texture '': the name names no file"},
        {false, "sub/", "", SoundLoads, false, "sound 'sub/': the name names no file"},
        {false, " ", "", MusicLoads, false, "music '': the name names no file"},
        {false, "sub/..", "", TextureLoads, false, "texture 'sub/..': the name names no file"},
        {true, "DOT.TXT", "TEX=.", SpriteLoads, false, "TEX of 'DOT.TXT' names no file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + ": " + c.text);
        TQ2DPackRemoveAll();
        if (c.packed) {
            MakePack(folder, folder.Path("mod.pak"),
                     {{c.file, TextBytes(c.text)}, {"SHEET.PNG", PngBytes(2, 6, std::vector<uint32_t>(12))}});
            ASSERT_EQ(TQ2DPackAdd(folder.Path("mod.pak").c_str()), 1);
        } else if (!c.text.empty()) {
            std::filesystem::create_directories(std::filesystem::path(game.Path(c.file)).parent_path());
            WriteText(game.Path(c.file), c.text);
        }
        TQLogCapture errors(g_tqLogError);
        EXPECT_EQ(c.read(c.file.c_str()), c.loads);
        const std::vector<std::string> lines = errors.Lines();
        EXPECT_EQ(lines.size(), c.line.empty() ? 0u : 1u);
        if (!lines.empty()) {
            EXPECT_NE(lines[0].find(c.line), std::string::npos) << lines[0];
        }
    }
}

namespace {

// "Secret.png" outside spelled as a pack's description might write it: drive letters with either
// slash and case, a drive without a slash, behind "x//", "//" and "\\", a name ending in "." or
// blanks, one of 255 to 300 bytes climbing out, and control characters.
std::vector<std::string> OutsideSpellings(const std::string& absolute) {
    const std::string path = absolute.substr(1);
    std::string upper = path;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return std::toupper(c); });
    std::vector<std::string> spellings = {"C:/" + path,
                                          "c:\\" + BackslashedSwappedCase(path),
                                          "c:" + path,
                                          "Z:" + BackslashedSwappedCase(path),
                                          "C:/" + upper,
                                          "x//C:/" + path,
                                          "x//c:" + path,
                                          "//" + path,
                                          "\\\\server\\share\\..\\..\\" + path,
                                          "C:/" + path + ".",
                                          "C:/" + path + " \t ",
                                          "C:/\x01/../" + path + "\x7f"};
    for (size_t length : {255u, 256u, 300u}) {
        std::string climbing = "C:/" + path;
        while (climbing.size() + 3 <= length)
            climbing.insert(3, "./");
        climbing.insert(3, std::string(length - climbing.size(), '/'));
        spellings.push_back(climbing);
    }
    return spellings;
}

} // namespace

// Every name field of the readers, at the pack's root and in a folder, with every spelling of a
// file outside: nothing outside is opened, and each name fails with one line naming it (refused,
// too long, or, where the "//" rule leaves a relative name, not found below the program's folder);
// the same name in the fields of one window file is one line.
TEST_F(PackNamesTest, EverySpellingInEveryFieldAtEveryDepthIsRefusedWithOneLine) {
    WorkingFolder cwd(game.Root());
    struct Field {
        std::string file, text; // "<>" stands for the name
        int lines;
        std::function<void(const char*)> read;
    };
    const std::vector<Field> fields = {
        {"S.TXT", "TEX=<>", 1, [](const char* file) { TQ2DSprite().CreateFromConfig(file); }},
        {"L.TXT", "TEX_LIST=<>%d\nCOUNT=1", 1,
         [](const char* file) { TQ2DAnimation().CreateFromConfig(file); }},
        {"A.TXT", "SOUND=<>\nANF_COUNT=1\nANF_0=0,0,0,<>", 2,
         [](const char* file) { TQ2DAnimation().CreateFromConfig(file); }},
        {"P.TXT", "TEX=<>\nPSI=<>", 2, [](const char* file) { TQ2DParticle().CreateFromConfig(file); }},
        {"W.TXT",
         "ADD_IMAGE=1,0,0,<>\nADD_BUTTON=2,0,0,0,<>\nADD_SCROLL_BAR=3,0,0,0,8,8,<>,<>,<>\nADD_WINDOW=4,0,0,<>"
         "\n"
         "ADD_COMBOBOX=5,0,0,0,8,8,<>",
         1, [](const char* file) { TQ2DGUIWindow().InitFromConfig(file); }},
        {"C.TXT", "DROP_DOWN_BTN=<>", 1, [](const char* file) { TQ2DGUIComboBox().InitFromConfig(file); }},
    };
    const std::string mark = outside.Root().substr(outside.Root().rfind('/') + 1); // in every spelling
    {
        const OpenWatch watch({game.Root()});
        std::string bytes;
        ASSERT_TRUE(tqplat::ReadWholeFile(outside.Path("Secret.png").c_str(), &bytes));
        ASSERT_EQ(watch.Outside().size(), 1u); // the watch sees the library's opens
    }
    for (const std::string& spelling : OutsideSpellings(outside.Path("Secret.png"))) {
        for (const Field& field : fields) {
            for (const std::string depth : {"", "SUB/"}) {
                SCOPED_TRACE(depth + field.file + " naming '" + spelling + "'");
                std::string text = field.text;
                for (size_t at; (at = text.find("<>")) != std::string::npos;)
                    text.replace(at, 2, spelling);
                AddPack(depth + field.file, text);
                TQLogCapture errors(g_tqLogError);
                {
                    const OpenWatch watch({AssetFolder::ProgramFolder(), game.Root(), folder.Path("")});
                    field.read((depth + field.file).c_str());
                    EXPECT_EQ(watch.Outside(), std::vector<std::string>());
                }
                const std::vector<std::string> lines = errors.Lines();
                EXPECT_EQ(lines.size(), static_cast<size_t>(field.lines));
                for (const std::string& line : lines)
                    EXPECT_NE(Folded(line).find(Folded(mark)), std::string::npos) << line;
            }
        }
    }
}
