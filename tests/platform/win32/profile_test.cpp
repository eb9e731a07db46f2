#include "platform/win32/tqkernel32.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Profile : public ::testing::Test {
protected:
    std::string Get(const char* section, const char* key, const char* def = "def", DWORD size = 256) {
        char buffer[256];
        DWORD n = GetPrivateProfileStringA(section, key, def, buffer, size, file.c_str());
        EXPECT_EQ(n, strlen(buffer));
        return buffer;
    }
    std::string List(const char* section, DWORD size = 256) {
        char buffer[256];
        DWORD n = GetPrivateProfileStringA(section, nullptr, "", buffer, size, file.c_str());
        return std::string(buffer, n);
    }

    TempFolder tmp;
    std::string file = tmp.Path() + "\\Game.ini";
};

TEST_F(Profile, RoundTripsAndEditsInPlace) {
    ASSERT_TRUE(WritePrivateProfileStringA("Video", "Width", "800", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Video", "Height", "600", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Sound", "Volume", "50", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("video", "WIDTH", "1024", file.c_str()));
    EXPECT_EQ("[Video]\r\nWIDTH=1024\r\nHeight=600\r\n[Sound]\r\nVolume=50\r\n", tmp.ReadFile("Game.ini"));
    EXPECT_EQ("1024", Get("VIDEO", "width"));
    EXPECT_EQ("def", Get("Video", "Depth"));
    EXPECT_EQ("def", Get("Missing", "Width"));

    ASSERT_TRUE(WritePrivateProfileStringA("Video", "Height", nullptr, file.c_str()));
    EXPECT_EQ("def", Get("Video", "Height"));
    ASSERT_TRUE(WritePrivateProfileStringA("Video", nullptr, nullptr, file.c_str()));
    EXPECT_EQ("[Sound]\r\nVolume=50\r\n", tmp.ReadFile("Game.ini"));
}

TEST_F(Profile, ReadsWithThePlatformsQuirks) {
    tmp.WriteFile("Game.ini",
                  "; comment=1\n[ Main ]\n  Name = \"  Quoted  \" \nEmpty=\nSingle='x'\nName=second\n"
                  "Open=\"half\n\n[Other]\nKey=v\n");
    EXPECT_EQ("  Quoted  ", Get("main", "NAME"));
    EXPECT_EQ("", Get("Main", "Empty"));
    EXPECT_EQ("x", Get("Main", "Single"));
    EXPECT_EQ("\"half", Get("Main", "Open"));
    EXPECT_EQ("def", Get("Main", "Key"));
    EXPECT_EQ("trimmed", Get("Main", "Missing", "trimmed   "));
    EXPECT_EQ("", Get("Main", "Missing", nullptr));
    EXPECT_EQ("Qu", Get("Other", "Key", "", 1) + "Qu");
    EXPECT_EQ("  Q", Get("Main", "Name", "", 4));

    EXPECT_EQ(std::string("Main\0Other\0", 11), List(nullptr));
    EXPECT_EQ(std::string("Name\0Empty\0Single\0Name\0Open\0", 28), List("MAIN"));
    EXPECT_EQ(std::string("Main\0O", 6), List(nullptr, 8)); // cut, still ending in two NULs

    // A new key goes after the section's last line, before the blank line; LF endings are kept.
    ASSERT_TRUE(WritePrivateProfileStringA("Main", "Added", "1\nInjected=2", file.c_str()));
    EXPECT_EQ("; comment=1\n[ Main ]\n  Name = \"  Quoted  \" \nEmpty=\nSingle='x'\nName=second\n"
              "Open=\"half\nAdded=1\n\n[Other]\nKey=v\n",
              tmp.ReadFile("Game.ini"));

    // Line breaks in a section name or key cannot add lines to another section either.
    ASSERT_TRUE(WritePrivateProfileStringA("Other\r\nInjected=3", "K", "4", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("New\n[Other]", "Key2\nInjected=5", "6", file.c_str()));
    EXPECT_EQ("def", Get("Other", "Injected"));
    EXPECT_EQ("4", Get("Other", "K"));
    EXPECT_EQ("6", Get("New", "Key2"));
    EXPECT_EQ(std::string("Key\0K\0", 6), List("Other"));
}

TEST_F(Profile, RefusesBadArguments) {
    char buffer[8] = "keep";
    EXPECT_EQ(0u, GetPrivateProfileStringA("A", "B", "default", buffer, 0, file.c_str()));
    EXPECT_STREQ("keep", buffer);
    EXPECT_EQ(0u, GetPrivateProfileStringA("A", "B", "default", nullptr, 8, file.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "B", "C", file.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("A", "B", "C", (tmp.Path() + "/nosuch/x.ini").c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("A", "B", "C", tmp.Path().c_str()));
    EXPECT_EQ("default", std::string(buffer, GetPrivateProfileStringA("A", "B", "default", buffer, 8,
                                                                      tmp.Path().c_str())));
}

} // namespace
