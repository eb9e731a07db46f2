#include "platform/win32/tqpath.h"

#include "tempfolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

namespace {

std::string Resolved(const std::string& path) {
    std::string out;
    return tqplat::ResolveExistingPath(path.c_str(), &out) ? out : "<missing>";
}

TEST(PathResolver, MatchesMixedCaseComponentsAcrossBothSeparators) {
    TempFolder tmp;
    tmp.WriteFile("Data/Sub Dir/File.TXT", "x");
    EXPECT_EQ(tmp.Path() + "/Data/Sub Dir/File.TXT", Resolved(tmp.Path() + "\\data\\SUB DIR/file.txt"));
    EXPECT_EQ(tmp.Path() + "/Data/Sub Dir/File.TXT", Resolved(tmp.Path() + "//DATA\\\\sub dir\\FILE.txt"));
    EXPECT_EQ("<missing>", Resolved(tmp.Path() + "\\data\\other\\file.txt"));
    EXPECT_EQ("<missing>", Resolved(""));
}

TEST(PathResolver, PrefersTheExactSpellingThenTheFirstInByteOrder) {
    TempFolder tmp;
    tmp.WriteFile("a.txt", "lower");
    tmp.WriteFile("A.txt", "upper");
    EXPECT_EQ(tmp.Path() + "/a.txt", Resolved(tmp.Path() + "/a.txt"));
    EXPECT_EQ(tmp.Path() + "/A.txt", Resolved(tmp.Path() + "/A.txt"));
    EXPECT_EQ(tmp.Path() + "/A.txt", Resolved(tmp.Path() + "/a.TXT"));
}

TEST(PathResolver, ConvertsGbkNamesAndNeverSplitsInsideACharacter) {
    TempFolder tmp;
    // "中文/乗.txt" on disk; the GBK form of 乗 is 0x81 0x5C, whose trail byte is a backslash.
    tmp.WriteFile("\xe4\xb8\xad\xe6\x96\x87/\xe4\xb9\x97.txt", "x");
    std::string gbk = tmp.Path() + "\\\xd6\xd0\xce\xc4\\\x81\x5c.TXT";
    EXPECT_EQ(tmp.Path() + "/\xe4\xb8\xad\xe6\x96\x87/\xe4\xb9\x97.txt", Resolved(gbk));
}

TEST(PathResolver, WritePathsNeedTheirFoldersOnly) {
    TempFolder tmp;
    tmp.MakeFolder("Save");
    std::string out;
    ASSERT_TRUE(tqplat::ResolvePathForWrite((tmp.Path() + "\\save\\New.ini").c_str(), &out));
    EXPECT_EQ(tmp.Path() + "/Save/New.ini", out);
    EXPECT_FALSE(tqplat::ResolvePathForWrite((tmp.Path() + "\\nosuch\\New.ini").c_str(), &out));
}

TEST(PathResolver, RefusesOverlongPaths) {
    std::string longPath(100000, 'a');
    std::string out;
    EXPECT_FALSE(tqplat::ResolveExistingPath(longPath.c_str(), &out));
    EXPECT_FALSE(tqplat::ResolvePathForWrite(longPath.c_str(), &out));
    EXPECT_EQ(nullptr, tqplat::OpenFile(longPath.c_str(), "w"));
}

TEST(OpenFile, ReadsAndCreatesThroughTheResolverAndRefusesSpecialFiles) {
    TempFolder tmp;
    tmp.WriteFile("Dir/Read.bin", "abc");
    FILE* in = tqplat::OpenFile((tmp.Path() + "\\dir\\read.BIN").c_str(), "rb");
    ASSERT_NE(nullptr, in);
    char text[4] = {};
    EXPECT_EQ(3u, fread(text, 1, 3, in));
    EXPECT_STREQ("abc", text);
    fclose(in);

    FILE* out = tqplat::OpenFile((tmp.Path() + "\\DIR\\written.txt").c_str(), "w");
    ASSERT_NE(nullptr, out);
    fputs("new", out);
    fclose(out);
    EXPECT_EQ("new", tmp.ReadFile("Dir/written.txt"));

    EXPECT_EQ(nullptr, tqplat::OpenFile((tmp.Path() + "\\dir\\missing").c_str(), "rb"));
    EXPECT_EQ(nullptr, tqplat::OpenFile((tmp.Path() + "\\dir").c_str(), "rb"));
    ASSERT_EQ(0, mkfifo((tmp.Path() + "/pipe").c_str(), 0600));
    EXPECT_EQ(nullptr, tqplat::OpenFile((tmp.Path() + "/pipe").c_str(), "rb"));
    EXPECT_EQ(nullptr, tqplat::OpenFile((tmp.Path() + "/pipe").c_str(), "w"));
}

TEST(ApplicationFolder, IsTheFolderOfTheRunningProgram) {
    std::string folder = tqplat::ApplicationFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ('/', folder.back());
    struct stat st;
    EXPECT_EQ(0, stat((folder + "tqplat_win32_tests").c_str(), &st));
}

} // namespace
