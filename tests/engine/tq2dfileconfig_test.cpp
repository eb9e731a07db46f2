#include "engine/tq2dfileconfig.h"

#include <gtest/gtest.h>

#include <string>

#include "base/tqlog.h"
#include "engine/cmorvainepack.h"
#include "engine/packtestutil.h"
#include "engine/tq2dpack.h"

namespace {

class FileConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string pack = scratch.Path("desc.pak");
        WriteBytes(pack, Bytes());
        CMorvainePack writer;
        ASSERT_TRUE(writer.SetPackage(pack.c_str()));
        Add(writer, "sprites/hero.txt", "TEXTURE = hero.png\nFRAMES=4\n");
        Add(writer, "shared.txt", "FROM=pack\n");
        Add(writer, "empty.txt", "");
        writer.Close();
        ASSERT_EQ(1, TQ2DPackAdd(pack.c_str()));
    }

    void TearDown() override { TQ2DPackRemoveAll(); }

    void Add(CMorvainePack& pack, const char* name, const std::string& text) {
        const std::string source = scratch.Path("source.txt");
        WriteBytes(source, TextBytes(text));
        ASSERT_TRUE(pack.AddFile(source.c_str(), name));
    }

    ScratchFolder scratch;
};

TEST_F(FileConfigTest, ReadsFromThePacksFirst) {
    WorkingFolder here(scratch.Root());
    WriteBytes(scratch.Path("SHARED.TXT"), TextBytes("FROM=disk\n"));
    TQ2DFileConfig config;
    ASSERT_TRUE(config.LoadFileConfig("res//sprites/hero.txt", 0, 0));
    EXPECT_STREQ("hero.png", config.GetConfig("TEXTURE").GetString());
    EXPECT_EQ(4, config.GetConfigNum("FRAMES"));
    ASSERT_TRUE(config.LoadFileConfig(" /shared.txt ", 0, 0));
    EXPECT_STREQ("pack", config.GetConfig("FROM").GetString());
}

TEST_F(FileConfigTest, FallsBackToTheDiskWhateverTheCase) {
    WorkingFolder here(scratch.Root());
    WriteBytes(scratch.Path("Gui/Windows/Main.Txt"), TextBytes("WIDTH=320\r\n"));
    TQ2DFileConfig config;
    ASSERT_TRUE(config.LoadFileConfig("gui/windows/main.txt", 0, 0));
    EXPECT_EQ(320, config.GetConfigNum("WIDTH"));
    {
        TQLogCapture debug(g_tqLogDebug);
        EXPECT_FALSE(config.LoadFileConfig("gui/windows/other.txt", 0, 0));
        EXPECT_TRUE(debug.Contains("lib/project/dozaz2i/source/tq2dfileconfig:"));
        EXPECT_TRUE(debug.Contains("GUI/WINDOWS/OTHER.TXT"));
    }
    EXPECT_FALSE(config.LoadFileConfig("//", 0, 0)); // empty name: straight to the disk, which fails
    EXPECT_EQ(320, config.GetConfigNum("WIDTH"));    // a failed load keeps what was there
}

TEST_F(FileConfigTest, EmptyStoredFileIsEmptyText) {
    // The empty stored file must not be taken for a path: the disk file of that name stays unread.
    WorkingFolder here(scratch.Root());
    WriteBytes(scratch.Path("EMPTY.TXT"), TextBytes("KEY=disk\n"));
    TQ2DFileConfig config;
    ASSERT_TRUE(config.LoadFileConfig("empty.txt", 0, 0));
    EXPECT_EQ(0u, config.GetCount());
}

} // namespace
