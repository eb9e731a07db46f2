#include "platform/win32/tqpath.h"

#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqopenscope.h"
#include "tempfolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

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

// One reading of where a path starts, and "." and ".." resolved on the text: "missing/.." is the
// folder it starts at, and ".." stops at the root.
TEST(PathResolver, DrivesAndSeparatorsStartAtTheRootAndDotsResolveOnTheText) {
    struct Case {
        const char* path;
        bool absolute;
        size_t rest;
    };
    for (const Case& c : {Case{"/a", true, 0}, Case{"\\a", true, 0}, Case{"//server/x", true, 0},
                          Case{"\\\\server\\share", true, 0}, Case{"C:/a", true, 2}, Case{"c:a", true, 2},
                          Case{"Z:", true, 2}, Case{"1:a", false, 0}, Case{":a", false, 0},
                          Case{"ab:c", false, 0}, Case{"./a", false, 0}, Case{"", false, 0}}) {
        SCOPED_TRACE(c.path);
        const tqplat::PathStart start = tqplat::ReadPathStart(c.path, std::string(c.path).size());
        EXPECT_EQ(start.absolute, c.absolute);
        EXPECT_EQ(start.rest, c.rest);
        EXPECT_EQ(tqplat::IsAbsolutePath(c.path), c.absolute);
    }
    TempFolder tmp;
    tmp.WriteFile("Data/File.txt", "x");
    const std::string file = tmp.Path() + "/Data/File.txt";
    EXPECT_EQ(file, Resolved("C:" + tmp.Path() + "\\DATA\\file.TXT"));
    EXPECT_EQ(file, Resolved("c:" + tmp.Path().substr(1) + "/data/./none/../file.txt"));
    EXPECT_EQ(file, Resolved("/../../.." + tmp.Path() + "/data/file.txt"));
}

// A confining scope refuses, before any look-up, a read whose path lies outside its folders, and
// notes the paths it let the resolver look for; writes are neither confined nor noted. Links inside
// a folder are followed.
TEST(OpenScope, KeepsReadsBelowItsFoldersAndNotesThePathsLookedFor) {
    TempFolder inside, outside;
    inside.WriteFile("Sub/In.txt", "in");
    outside.WriteFile("Out.txt", "out");
    ASSERT_EQ(symlink(outside.Path().c_str(), (inside.Path() + "/Link").c_str()), 0);
    const std::vector<std::string> folders = {inside.Path() + "/"};
    std::string out;
    {
        tqplat::OpenScope scope(&folders);
        EXPECT_TRUE(tqplat::ResolvePathToOpen((inside.Path() + "/sub/x/../in.TXT").c_str(), false, &out));
        EXPECT_EQ(out, inside.Path() + "/Sub/In.txt");
        EXPECT_TRUE(tqplat::ResolvePathToOpen((inside.Path() + "/link/out.txt").c_str(), false, &out));
        for (const std::string& path :
             {"C:" + outside.Path() + "/Out.txt",
              inside.Path() + "/Sub/../../" + outside.Path().substr(5) + "/Out.txt"}) {
            SCOPED_TRACE(path);
            EXPECT_FALSE(tqplat::ResolvePathToOpen(path.c_str(), false, &out));
            EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
            EXPECT_EQ(scope.Refused(), outside.Path() + "/Out.txt");
            EXPECT_EQ(tqplat::OpenFile(path.c_str(), "rb"), nullptr);
        }
        EXPECT_TRUE(tqplat::ResolvePathToOpen((outside.Path() + "/New.txt").c_str(), true, &out));
        EXPECT_EQ(scope.Tried(),
                  (std::vector<std::string>{inside.Path() + "/sub/in.TXT", inside.Path() + "/link/out.txt"}));
    }
    tqplat::OpenScope noting(nullptr);
    EXPECT_TRUE(tqplat::ResolvePathToOpen(("C:" + outside.Path() + "/out.txt").c_str(), false, &out));
    EXPECT_EQ(out, outside.Path() + "/Out.txt");
    EXPECT_EQ(noting.Tried(), std::vector<std::string>{outside.Path() + "/out.txt"});
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
