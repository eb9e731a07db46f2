#include "engine/tq2dpack.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/cmorvainepack.h"
#include "engine/packtestutil.h"

namespace {

std::string Text(const TQString& bytes) {
    return std::string(bytes.GetString(), bytes.GetBufferLength());
}

class PackRegistryTest : public ::testing::Test {
protected:
    void TearDown() override { TQ2DPackRemoveAll(); }

    // Writes a pack at path (inside the scratch folder) holding name -> text.
    void BuildPack(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files) {
        WriteBytes(path, Bytes());
        CMorvainePack pack;
        ASSERT_TRUE(pack.SetPackage(path.c_str()));
        for (const auto& file : files) {
            const std::string source = scratch.Path("source.bin");
            WriteBytes(source, TextBytes(file.second));
            ASSERT_TRUE(pack.AddFile(source.c_str(), file.first.c_str()));
        }
    }

    std::string GetFile(const char* name) {
        TQString out("untouched");
        return TQ2DPackGetFile(name, out) ? Text(out) : "<none: " + Text(out) + ">";
    }

    ScratchFolder scratch;
};

TEST_F(PackRegistryTest, FirstPackInKeyOrderWins) {
    BuildPack(scratch.Path("b.pak"), {{"x.txt", "from b"}, {"only_b.txt", "b alone"}});
    BuildPack(scratch.Path("A.pak"), {{"X.TXT", "from a"}});
    ASSERT_EQ(1, TQ2DPackAdd(scratch.Path("b.pak").c_str()));
    ASSERT_EQ(1, TQ2DPackAdd(scratch.Path("A.pak").c_str()));
    EXPECT_EQ("from a", GetFile("x.txt"));
    EXPECT_EQ("b alone", GetFile("/Only_B.txt"));
    EXPECT_EQ("<none: untouched>", GetFile("missing.txt"));
    EXPECT_EQ("<none: untouched>", GetFile(nullptr));

    ASSERT_EQ(1, TQ2DPackRemove(scratch.Path("a.PAK").c_str()));
    EXPECT_EQ("from b", GetFile("x.txt"));
}

TEST_F(PackRegistryTest, SpellingsOfOnePathShareOneKey) {
    WorkingFolder here(scratch.Root());
    BuildPack(scratch.Path("data/a.pak"), {{"v.txt", "old"}});
    ASSERT_EQ(1, TQ2DPackAdd("data/a.pak"));
    // A new file under the same path, registered with another spelling, replaces the first.
    BuildPack(scratch.Path("data/a.pak.new"), {{"v.txt", "new"}});
    ASSERT_EQ(0, rename(scratch.Path("data/a.pak.new").c_str(), scratch.Path("data/a.pak").c_str()));
    ASSERT_EQ(1, TQ2DPackAdd("DATA\\A.PAK"));
    EXPECT_EQ("new", GetFile("v.txt"));

    EXPECT_EQ(0, TQ2DPackRemove("data/b.pak"));
    EXPECT_EQ(0, TQ2DPackRemove(nullptr));
    EXPECT_EQ(1, TQ2DPackRemove("/Data/A.pak/"));
    EXPECT_EQ(0, TQ2DPackRemove("data/a.pak")); // only one entry was there
    EXPECT_EQ("<none: untouched>", GetFile("v.txt"));

    // A leading slash that names no file of its own is dropped with the rest of the spelling.
    ASSERT_EQ(1, TQ2DPackAdd("/DATA\\A.PAK"));
    EXPECT_EQ("new", GetFile("v.txt"));
}

TEST_F(PackRegistryTest, RefusedPacksLeaveTheRegistryAsItWas) {
    BuildPack(scratch.Path("good.pak"), {{"k.txt", "kept"}});
    ASSERT_EQ(1, TQ2DPackAdd(scratch.Path("good.pak").c_str()));
    WriteBytes(scratch.Path("bad.pak"), TextBytes("MORV"));
    EXPECT_EQ(0, TQ2DPackAdd(scratch.Path("bad.pak").c_str()));
    EXPECT_EQ(0, TQ2DPackAdd(scratch.Path("missing.pak").c_str()));
    EXPECT_EQ(0, TQ2DPackAdd(""));
    EXPECT_EQ(0, TQ2DPackAdd(nullptr));
    EXPECT_EQ(0, TQ2DPackAdd(std::string(512, 'p').c_str()));
    EXPECT_EQ(0, TQ2DPackRemove(scratch.Path("bad.pak").c_str()));
    EXPECT_EQ("kept", GetFile("k.txt"));
    EXPECT_EQ(TextBytes("MORV"), ReadBytes(scratch.Path("bad.pak")));
}

TEST_F(PackRegistryTest, EmptyStoredFileGivesEmptyOutput) {
    BuildPack(scratch.Path("zero.pak"), {{"empty.txt", ""}});
    ASSERT_EQ(1, TQ2DPackAdd(scratch.Path("zero.pak").c_str()));
    EXPECT_EQ("", GetFile("empty.txt"));
}

TEST_F(PackRegistryTest, BinaryContentIsCopiedWhole) {
    const std::string binary("a\0b\0\xff", 5);
    BuildPack(scratch.Path("bin.pak"), {{"bin", binary}});
    ASSERT_EQ(1, TQ2DPackAdd(scratch.Path("bin.pak").c_str()));
    EXPECT_EQ(binary, GetFile("bin"));
    EXPECT_EQ(binary, GetFile("BIN")); // the pack's cache was released and is read again
}

TEST(ResourceNameTest, NameLevelNormalisation) {
    EXPECT_STREQ("SPRITES/HERO.TXT", TQ2DNormalizeResourceName("res//sprites/hero.txt").GetString());
    EXPECT_STREQ("UI/WIN.TXT", TQ2DNormalizeResourceName("  /ui/win.txt \t").GetString());
    EXPECT_STREQ("", TQ2DNormalizeResourceName("//").GetString());
    EXPECT_STREQ("", TQ2DNormalizeResourceName(nullptr).GetString());
    EXPECT_STREQ("A", TQ2DNormalizeResourceName("//a").GetString());
    EXPECT_STREQ("B//C", TQ2DNormalizeResourceName("a//b//c").GetString());
    EXPECT_STREQ("X", TQ2DNormalizeResourceName("///x").GetString());
    EXPECT_STREQ("/X", TQ2DNormalizeResourceName("////x").GetString()); // only one leading slash goes
    EXPECT_STREQ("B", TQ2DNormalizeResourceName(" / b").GetString());
}

} // namespace
