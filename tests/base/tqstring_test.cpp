#include "base/tqstring.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <cstdio>
#include <string>

#include "base/tqencryptdata.h"
#include "base/tqlog.h"

namespace {

// GBK "表" is B1 ED and "诞" is B5 AE; 0x81 0x5C is a double-byte character whose trail byte is '\'.
const char kGbkBackslashTrail[] = "\x81\x5C";

} // namespace

TEST(TQString, BufferAndTextLengths) {
    TQString s;
    EXPECT_STREQ(s.GetString(), "");
    EXPECT_EQ(s.GetLength(), 0u);
    s = nullptr;
    EXPECT_EQ(s.GetLength(), 0u);

    // An empty text in a larger buffer: characters are appended in place.
    ASSERT_TRUE(s.SetBuffer(4));
    EXPECT_EQ(s.GetBufferLength(), 4u);
    EXPECT_EQ(s.GetLength(), 0u);
    s.SetAt(0, 'a');
    s.SetAt(1, 'b');
    s.SetAt(4, 'x'); // past the buffer: ignored
    EXPECT_STREQ(s.GetString(), "ab");
    EXPECT_EQ(s.GetAt(1), 'b');
    EXPECT_EQ(s.GetAt(100), '\0');

    // SetString with a nonzero flag keeps the buffer and cuts the text to it.
    s.SetString("abcdefgh", 8, 1);
    EXPECT_EQ(s.GetBufferLength(), 4u);
    EXPECT_STREQ(s.GetString(), "abcd");
    s.SetString("xy", 0xFFFFFFFF, 1); // stops at the zero byte
    EXPECT_STREQ(s.GetString(), "xy");
    EXPECT_EQ(s.GetBufferLength(), 4u);
    s.SetString("hello", 3, 0);
    EXPECT_STREQ(s.GetString(), "hel");
    EXPECT_EQ(s.GetBufferLength(), 3u);

    // Binary data keeps its zero bytes in the buffer.
    ASSERT_TRUE(s.SetBuffer(3));
    std::memcpy(s.GetBuffer(), "a\0b", 3);
    EXPECT_EQ(s.GetLength(), 1u);
    EXPECT_EQ(s.GetBufferLength(), 3u);
}

TEST(TQString, FormatAnyLength) {
    TQString s;
    EXPECT_EQ(s.Format("%d-%s", 42, "x"), 4);
    EXPECT_STREQ(s, "42-x");
    std::string big(70000, 'q');
    EXPECT_EQ(s.Format("<%s>", big.c_str()), 70002);
    EXPECT_EQ(s.GetLength(), 70002u);
    EXPECT_EQ(s.GetAt(70001), '>');
    EXPECT_EQ(s.Format(nullptr), -1);
    EXPECT_EQ(s.GetLength(), 0u);
    EXPECT_EQ(s.Format("%s", ""), 0);
}

TEST(TQString, CompareGivesSign) {
    TQString s("abc");
    EXPECT_EQ(s.Compare("abc", 0), 0);
    EXPECT_EQ(s.Compare("abd", 0), -1);
    EXPECT_EQ(s.Compare("ab", 0), 1);
    EXPECT_EQ(s.Compare(nullptr, 0), 1);
    EXPECT_EQ(s.Compare("ABC", 0), 1);
    EXPECT_EQ(s.Compare("ABC", 1), 0);
    EXPECT_EQ(s.Compare("ABD", 1), -1);
    // Trail bytes are not letters: two different GBK characters never compare equal.
    EXPECT_EQ(TQString("\x81\x61").Compare("\x81\x41", 1), 1);
    EXPECT_EQ(TQString("x\x81\x61").Compare("X\x81\x61", 1), 0);
    // Bytes are unsigned: a GBK lead byte sorts after ASCII.
    EXPECT_EQ(TQString("\xB1\xED").Compare("z", 0), 1);
    EXPECT_EQ(TQString("z").Compare(TQString("\xB1\xED")), -1);
    EXPECT_EQ(TQString().Compare(""), 0);
}

TEST(TQString, TrimAndUpperLeaveGbkAlone) {
    TQString s(" \t\r\n data/ui/\xB1\xED\x81\x61x.png \n");
    s.MakeTrimUpper();
    // The trail byte 0x61 ('a') of a double-byte character is not a letter.
    EXPECT_STREQ(s, "DATA/UI/\xB1\xED\x81\x61X.PNG");
    TQString blank("   ");
    blank.Trim();
    EXPECT_EQ(blank.GetLength(), 0u);
    TQString inner(" a b ");
    inner.Trim();
    EXPECT_STREQ(inner, "a b");
}

TEST(TQString, CharacterSearchAndReplaceSkipTrailBytes) {
    std::string text = std::string("a\\") + kGbkBackslashTrail + "\\b";
    TQString s(text.c_str());
    EXPECT_EQ(s.StrFind('\\', 0, 0), 1);
    EXPECT_EQ(s.StrFind('\\', 2, 0), 4); // not the trail byte at 3
    EXPECT_EQ(s.StrFind('\\', 0, 1), 4);
    EXPECT_EQ(s.StrFind('#', 0, 0), -1);
    EXPECT_EQ(s.StrFind('\\', 5, 1), -1);
    s.StrReplace('\\', '/');
    EXPECT_EQ(std::string(s.GetString()), std::string("a/") + kGbkBackslashTrail + "/b");

    TQString path("packs/ui/icon.txt");
    EXPECT_EQ(path.StrFind('/', 0, 1), 8);
    EXPECT_EQ(path.StrFind('/', -5, 0), 5);
}

TEST(TQString, TextSearchAndReplace) {
    TQString s("res//sprites//hero");
    EXPECT_EQ(s.StrFind("//", 0), 3);
    EXPECT_EQ(s.StrFind("//", 4), 12);
    EXPECT_EQ(s.StrFind("//", 13), -1);
    EXPECT_EQ(s.StrFind("", 0), -1);
    EXPECT_EQ(s.StrFind(nullptr, 0), -1);
    EXPECT_EQ(s.StrFind("hero", 1000), -1);
    // A match may not start on a trail byte.
    TQString gbk("\x81\x5C\x5C");
    EXPECT_EQ(gbk.StrFind("\\", 0), 2);

    TQString all("a-b-c");
    EXPECT_EQ(all.StrReplace("-", "--", 0), 2);
    EXPECT_STREQ(all, "a--b--c");
    TQString first("a-b-c");
    EXPECT_EQ(first.StrReplace("-", "", 1), 1);
    EXPECT_STREQ(first, "ab-c");
    EXPECT_EQ(first.StrReplace("", "x", 0), 0);
    EXPECT_EQ(first.StrReplace("b", nullptr, 0), 1);
    EXPECT_STREQ(first, "a-c");
}

TEST(TQString, NumberParsing) {
    struct Case {
        const char* text;
        LONGLONG value;
        BOOL valid;
    };
    const Case cases[] = {
        {"42", 42, TRUE},
        {"  -17\r\n", -17, TRUE},
        {"+5", 5, TRUE},
        {"0x1F", 31, TRUE},
        {"-0X10", -16, TRUE},
        {"9223372036854775807", INT64_MAX, TRUE},
        {"-9223372036854775808", INT64_MIN, TRUE},
        {"0xFFFFFFFFFFFFFFFF", -1, TRUE},
        {"9223372036854775808", 0, FALSE},
        {"0x10000000000000000", 0, FALSE},
        {"12abc", 0, FALSE},
        {"1 2", 0, FALSE},
        {"abc", 0, FALSE},
        {"", 0, FALSE},
        {"0x", 0, FALSE},
        {"-", 0, FALSE},
        {"+-1", 0, FALSE},
        {"1.5", 0, FALSE},
    };
    for (const Case& c : cases) {
        BOOL valid = -1;
        EXPECT_EQ(TQString(c.text).GetValue(&valid), c.value) << c.text;
        EXPECT_EQ(valid, c.valid) << c.text;
        TQString(c.text).GetValue(nullptr);
    }
    EXPECT_EQ(TQString("ff8040").GetHexValue(nullptr), 0xFF8040);
    EXPECT_EQ(TQString(" 0xAbC ").GetHexValue(nullptr), 0xABC);
    EXPECT_EQ(TQString("-1").GetHexValue(nullptr), 0);
    EXPECT_EQ(TQString("12G").GetHexValue(nullptr), 0);
}

TEST(TQString, NumberParsingIgnoresLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 locale not installed";
    EXPECT_EQ(TQString("1234567").GetValue(nullptr), 1234567);
    EXPECT_EQ(TQString("1.234").GetValue(nullptr), 0);
    EXPECT_EQ(TQString("0x7f").GetValue(nullptr), 127);
    TQString upper("i\xE4");
    upper.MakeTrimUpper();
    EXPECT_STREQ(upper, "I\xE4");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(TQString, EncodedTextRoundTripsAndBadTextBecomesEmpty) {
    unsigned char table[65536];
    for (size_t i = 0; i < sizeof table; ++i)
        table[i] = static_cast<unsigned char>(i * 131 + 7);
    TQSetStringEncryptData(table, sizeof table);

    const char* title = "\xB1\xED\xB5\xAE Demo"; // GBK text
    TQString s(title);
    ASSERT_TRUE(s.EnCodeString(nullptr, 0));
    EXPECT_STRNE(s, title);
    EXPECT_EQ(s.GetLength(), (std::strlen(title) + 1) * 2);
    ASSERT_TRUE(s.DeCodeString(nullptr, 0));
    EXPECT_STREQ(s, title);

    // An own key works the same way; the wrong key is detected by the check byte.
    const char key[] = "k3y";
    TQString own("abc");
    own.EnCodeString(key, 3);
    TQString wrong = own;
    EXPECT_FALSE(wrong.DeCodeString("other", 5));
    EXPECT_EQ(wrong.GetLength(), 0u);
    EXPECT_TRUE(own.DeCodeString(key, 3));
    EXPECT_STREQ(own, "abc");

    for (const char* bad : {"plain text", "ABC", "ZZ", "", "0102030405"}) {
        TQString text(bad);
        EXPECT_FALSE(text.DeCodeString(nullptr, 0)) << bad;
        EXPECT_EQ(text.GetLength(), 0u) << bad;
    }
    // The empty text encodes to its check byte alone and decodes back to empty.
    TQString empty;
    empty.EnCodeString(nullptr, 0);
    EXPECT_TRUE(empty.DeCodeString(nullptr, 0));

    TQSetStringEncryptData(nullptr, 0);
    TQString noKey("abc");
    EXPECT_FALSE(noKey.EnCodeString(nullptr, 0));
    EXPECT_STREQ(noKey, "abc");
    EXPECT_FALSE(noKey.DeCodeString(nullptr, 0));
    EXPECT_FALSE(TQString("abc").EnCodeString(key, 0));
}

TEST(TQString, FileLoad) {
    std::string path = ::testing::TempDir() + "tqstring_fileload.bin";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::string content("line\0binary", 11);
    content += std::string(200000, 'z');
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);

    TQString s("old");
    ASSERT_TRUE(s.FileLoad(path.c_str()));
    EXPECT_EQ(s.GetBufferLength(), content.size());
    EXPECT_EQ(std::string(s.GetString(), s.GetBufferLength()), content);
    std::remove(path.c_str());

    TQLogCapture capture(g_tqLogDebug);
    EXPECT_FALSE(s.FileLoad(path.c_str()));
    EXPECT_FALSE(s.FileLoad(::testing::TempDir().c_str())); // a folder
    EXPECT_FALSE(s.FileLoad(nullptr));
    EXPECT_EQ(s.GetBufferLength(), content.size()); // unchanged
    EXPECT_TRUE(capture.Contains("File load fail."));
}
