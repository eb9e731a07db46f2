#include "base/tqfileconfig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

BOOL LoadText(TQFileConfig& config, const std::string& text) {
    return config.LoadFileConfig(text.data(), static_cast<DWORD>(text.size()), 0);
}

} // namespace

TEST(TQFileConfig, ReadsKeyValueLines) {
    TQFileConfig config;
    std::string text = "\xEF\xBB\xBFTEX = img\\icon.png \r\n"
                       "# comment=1\r\n"
                       "  #X=99\n"
                       "x=10\n"
                       "no equals sign\n"
                       "=orphan\n"
                       "Alpha= 0x80\n"
                       "name=a=b\n"
                       "W=5\n"
                       "w=7\n"
                       "EMPTY=\n"
                       "last=no newline";
    ASSERT_TRUE(LoadText(config, text));
    EXPECT_STREQ(config.GetConfig("TEX"), "img\\icon.png");
    EXPECT_STREQ(config.GetConfig("tex"), "img\\icon.png");
    EXPECT_STREQ(config.GetConfig(" Tex "), "img\\icon.png");
    EXPECT_EQ(config.GetConfigNum("X"), 10);
    EXPECT_EQ(config.GetConfigNum("ALPHA"), 128);
    EXPECT_STREQ(config.GetConfig("NAME"), "a=b");
    EXPECT_EQ(config.GetConfigNum("W"), 7); // later duplicate wins
    EXPECT_STREQ(config.GetConfig("EMPTY"), "");
    EXPECT_STREQ(config.GetConfig("LAST"), "no newline");
    EXPECT_STREQ(config.GetConfig("ABSENT"), "");
    EXPECT_EQ(config.GetConfigNum("ABSENT"), 0);
    EXPECT_STREQ(config.GetConfig(nullptr), "");
    EXPECT_STREQ(config.GetConfig("# comment"), "");
    EXPECT_EQ(config.GetCount(), 7u);
}

TEST(TQFileConfig, LoadsFromFileAndEmptyMemory) {
    std::string path = ::testing::TempDir() + "tqfileconfig_test.txt";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("FPS=12\nTEX=a.png\n", file);
    std::fclose(file);

    TQFileConfig config;
    ASSERT_TRUE(config.LoadFileConfig(path.c_str(), 0, 0));
    EXPECT_EQ(config.GetConfigNum("FPS"), 12);

    // Failures keep what was loaded.
    std::remove(path.c_str());
    EXPECT_FALSE(config.LoadFileConfig(path.c_str(), 0, 0));
    EXPECT_FALSE(config.LoadFileConfig(nullptr, 10, 0));
    EXPECT_FALSE(config.LoadFileConfig("", 0, 0));
    EXPECT_EQ(config.GetConfigNum("FPS"), 12);

    // Copies are independent.
    TQFileConfig copy = config;
    ASSERT_TRUE(config.LoadFileConfig("", 0, TQFILECONFIG_FROM_MEMORY)); // an empty file from memory
    EXPECT_EQ(config.GetCount(), 0u);
    EXPECT_STREQ(copy.GetConfig("TEX"), "a.png");
}

TEST(TQFileConfig, BinaryGarbageIsHarmless) {
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 37) & 0xFF);
    junk += std::string("\0KEY=1\n", 7);
    TQFileConfig config;
    EXPECT_TRUE(LoadText(config, junk));
    EXPECT_EQ(config.GetConfigNum("NOPE"), 0);
    // Only the given length is read.
    const char text[] = "A=1\nB=2";
    ASSERT_TRUE(config.LoadFileConfig(text, 4, 0));
    EXPECT_EQ(config.GetConfigNum("A"), 1);
    EXPECT_EQ(config.GetConfigNum("B"), 0);
}
