#include "base/tqstringindex.h"
#include "base/tqstringparser.h"

#include <gtest/gtest.h>

TEST(TQStringParser, CountsEmptyTokens) {
    struct Case {
        const char* text;
        DWORD count;
    };
    const Case cases[] = {{"", 0},   {"a", 1}, {"a,b", 2}, {"a,,b", 3},
                          {"a,", 2}, {",", 2}, {",a", 2},  {" ", 1}};
    for (const Case& c : cases) {
        TQStringParser parser(c.text);
        parser.SetParser(',', 0);
        EXPECT_EQ(parser.GetCount(), c.count) << '"' << c.text << '"';
    }
    TQStringParser none(nullptr);
    none.SetParser(',', 0);
    EXPECT_EQ(none.GetCount(), 0u);
}

TEST(TQStringParser, TokensFromOneAsTextAndNumbers) {
    TQStringParser parser;
    parser = "1, 20.5 ,0x10,,-7, name";
    EXPECT_EQ(parser.GetCount(), 0u); // not split yet
    parser.SetParser(',', 0);
    ASSERT_EQ(parser.GetCount(), 6u);
    EXPECT_STREQ(parser.GetToken(1), "1");
    EXPECT_STREQ(parser.GetToken(2), " 20.5 ");
    EXPECT_STREQ(parser.GetToken(4), "");
    EXPECT_STREQ(parser.GetToken(0), "");
    EXPECT_STREQ(parser.GetToken(7), "");
    EXPECT_EQ(parser.GetTokenNum(1), 1);
    EXPECT_EQ(parser.GetTokenNum(2), 0); // not a whole number
    EXPECT_EQ(parser.GetTokenNum(3), 16);
    EXPECT_EQ(parser.GetTokenNum(5), -7);
    EXPECT_EQ(parser.GetTokenNum(6), 0);
    EXPECT_EQ(parser.GetTokenNum(99), 0);

    parser.SetParser(',', 1); // trimmed tokens
    EXPECT_STREQ(parser.GetToken(2), "20.5");
    EXPECT_STREQ(parser.GetToken(6), "name");

    TQStringParser blend("COLORADD|ALPHABLEND");
    blend.SetParser('|', 0);
    EXPECT_EQ(blend.GetCount(), 2u);
    EXPECT_STREQ(blend.GetToken(2), "ALPHABLEND");
}

TEST(TQStringParser, SeparatorInsideGbkCharacterDoesNotSplit) {
    TQStringParser parser("\x81\x7C|x"); // 0x7C '|' as a trail byte
    parser.SetParser('|', 0);
    ASSERT_EQ(parser.GetCount(), 2u);
    EXPECT_STREQ(parser.GetToken(1), "\x81\x7C");
}

TEST(TQStringIndex, KeyOrderPositionsAndCopies) {
    TQStringIndex index;
    EXPECT_TRUE(index.InsertData(5, "five", 0));
    EXPECT_TRUE(index.InsertData(0xFFFFFFFFull, "big", 0));
    EXPECT_TRUE(index.InsertData(1, "one", 0));
    EXPECT_TRUE(index.InsertData(3, nullptr, 0));
    EXPECT_EQ(index.GetCount(), 4u);

    TQString* five = index.FindData(5);
    ASSERT_NE(five, nullptr);
    EXPECT_STREQ(*five, "five");
    EXPECT_EQ(index.FindData(2), nullptr);

    // Positions follow the keys; stored texts keep their address across insertions.
    EXPECT_STREQ(*index.FindDataIndex(0), "one");
    EXPECT_STREQ(*index.FindDataIndex(1), "");
    EXPECT_EQ(index.FindDataIndex(2), five);
    EXPECT_EQ(index.FindDataIndexPtr(3)->GetKey(), 0xFFFFFFFFull);
    EXPECT_STREQ(index.FindDataIndexPtr(3)->GetData(), "big");
    EXPECT_EQ(index.FindDataIndex(4), nullptr);
    EXPECT_EQ(index.FindDataIndexPtr(4), nullptr);

    // Existing key: flag 0 replaces, any other flag keeps.
    EXPECT_TRUE(index.InsertData(5, "FIVE", 0));
    EXPECT_FALSE(index.InsertData(5, "five again", 1));
    EXPECT_STREQ(*index.FindData(5), "FIVE");
    EXPECT_EQ(index.GetCount(), 4u);

    TQStringIndex copy = index;
    EXPECT_TRUE(index.DeleteData(5));
    EXPECT_FALSE(index.DeleteData(5));
    EXPECT_EQ(index.GetCount(), 3u);
    ASSERT_NE(copy.FindData(5), nullptr);
    EXPECT_STREQ(*copy.FindData(5), "FIVE");
    copy.FindData(1)->SetString("changed", 7, 0);
    EXPECT_STREQ(*index.FindData(1), "one");
}
