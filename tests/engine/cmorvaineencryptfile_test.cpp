#include "engine/cmorvaineencryptfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "engine/cmorvainetables.h"
#include "engine/packtestutil.h"

namespace {

// Runs a whole stream through ReadEncrypt or ReadDecrypt in chunks of chunkSize, collecting the
// chunk lengths when asked.
Bytes Drain(CMorvaineEncryptFile& stream, bool encrypt, unsigned chunkSize,
            std::vector<unsigned>* lengths = nullptr) {
    Bytes out;
    for (;;) {
        unsigned char* chunk = nullptr;
        const unsigned got =
            encrypt ? stream.ReadEncrypt(&chunk, chunkSize) : stream.ReadDecrypt(&chunk, chunkSize);
        if (lengths)
            lengths->push_back(got);
        if (got == 0)
            return out;
        out.insert(out.end(), chunk, chunk + got);
    }
}

class EncryptFileTest : public ::testing::Test {
protected:
    // Enciphers plain bytes with table and key through a file, as AddFile does.
    Bytes Encipher(const Bytes& plain, int table, const char* key = nullptr, unsigned chunkSize = 512) {
        const std::string path = scratch.Path("plain.bin");
        WriteBytes(path, plain);
        CMorvaineEncryptFile stream;
        if (key) {
            EXPECT_TRUE(stream.SetKey(key));
        }
        EXPECT_TRUE(stream.Open(path.c_str(), table));
        return Drain(stream, true, chunkSize);
    }

    // Deciphers bytes stored at an offset of a larger file, as the pack does.
    Bytes Decipher(const Bytes& coded, int table, const char* key = nullptr, unsigned chunkSize = 512) {
        Bytes file = PatternBytes(37, 9);
        file.insert(file.end(), coded.begin(), coded.end());
        const Bytes tail = PatternBytes(50, 10);
        file.insert(file.end(), tail.begin(), tail.end());
        const std::string path = scratch.Path("coded.bin");
        WriteBytes(path, file);
        std::unique_ptr<FILE, int (*)(FILE*)> handle(fopen(path.c_str(), "rb"), fclose);
        CMorvaineEncryptFile stream;
        if (key) {
            EXPECT_TRUE(stream.SetKey(key));
        }
        EXPECT_TRUE(stream.Attach(handle.get(), 37, static_cast<unsigned>(coded.size()), table));
        return Drain(stream, false, chunkSize);
    }

    ScratchFolder scratch;
};

TEST(EncryptFileTableChoice, KnownAnswers) {
    EXPECT_EQ(3, CMorvaineEncryptFile::GetTableIndex("ABC")); // 17763 mod 30
    EXPECT_EQ(0, CMorvaineEncryptFile::GetTableIndex(""));
    EXPECT_EQ(0, CMorvaineEncryptFile::GetTableIndex("ABCDEFGHIJ")); // high nibble folded back
    EXPECT_EQ(27, CMorvaineEncryptFile::GetTableIndex("DATA\\UI\\BUTTON.PNG"));
    // Bytes of 0x80 and above count as negative (as unsigned values both names would give 8).
    EXPECT_EQ(22, CMorvaineEncryptFile::GetTableIndex("\x80"));
    EXPECT_EQ(18, CMorvaineEncryptFile::GetTableIndex("\xc4\xe3\xba\xc3.TXT"));
    EXPECT_EQ(30, CMorvaineEncryptFile::GetTableCount());
}

TEST(EncryptFileTables, EveryTableIsAPermutation) {
    for (int t = 0; t < MORVAINE_TABLE_COUNT; ++t) {
        bool seen[256] = {};
        for (int i = 0; i < 256; ++i) {
            ASSERT_LT(g_morvaineCipherTables[t][i], 256u);
            seen[g_morvaineCipherTables[t][i]] = true;
        }
        for (bool s : seen)
            ASSERT_TRUE(s) << "table " << t;
    }
}

TEST_F(EncryptFileTest, DefaultKeyCyclesFromItsSecondCharacter) {
    const Bytes coded = Encipher(Bytes(20, 0), 5);
    const char key[] = "VentoraK";
    ASSERT_EQ(20u, coded.size());
    for (size_t i = 0; i < coded.size(); ++i)
        EXPECT_EQ(g_morvaineCipherTables[5][static_cast<unsigned char>(key[(i + 1) % 8])], coded[i]) << i;
}

TEST_F(EncryptFileTest, RoundTripWithEveryTableAndChunkSize) {
    const Bytes plain = PatternBytes(3000, 1);
    for (int table = 0; table < MORVAINE_TABLE_COUNT; ++table) {
        const Bytes coded = Encipher(plain, table);
        EXPECT_NE(plain, coded);
        for (unsigned chunk : {1u, 7u, 512u, 4096u}) {
            EXPECT_EQ(coded, Encipher(plain, table, nullptr, chunk))
                << "table " << table << " chunk " << chunk;
            EXPECT_EQ(plain, Decipher(coded, table, nullptr, chunk))
                << "table " << table << " chunk " << chunk;
        }
    }
}

TEST_F(EncryptFileTest, TableIndexIsTakenModulo30) {
    const Bytes plain = PatternBytes(64, 2);
    EXPECT_EQ(Encipher(plain, 4), Encipher(plain, 34));
}

TEST_F(EncryptFileTest, ChunkLengthsEndWithZero) {
    const std::string path = scratch.Path("thousand.bin");
    WriteBytes(path, PatternBytes(1000, 3));
    CMorvaineEncryptFile stream;
    ASSERT_TRUE(stream.Open(path.c_str(), 0));
    std::vector<unsigned> lengths;
    Drain(stream, true, 512, &lengths);
    EXPECT_EQ((std::vector<unsigned>{512, 488, 0}), lengths);

    WriteBytes(path, Bytes());
    ASSERT_TRUE(stream.Open(path.c_str(), 0));
    unsigned char* chunk = reinterpret_cast<unsigned char*>(&stream);
    EXPECT_EQ(0u, stream.ReadDecrypt(&chunk, 512));
    EXPECT_EQ(nullptr, chunk);
}

TEST_F(EncryptFileTest, ReadsWithoutAFileGiveNothing) {
    CMorvaineEncryptFile stream;
    unsigned char* chunk = nullptr;
    EXPECT_EQ(0u, stream.ReadEncrypt(&chunk, 512));
    EXPECT_EQ(nullptr, chunk);
    EXPECT_FALSE(stream.Open(scratch.Path("missing.bin").c_str(), 0));
    EXPECT_EQ(0u, stream.ReadDecrypt(&chunk, 512));
    EXPECT_EQ(0u, CMorvaineEncryptFile::GetFileSize(scratch.Path("missing.bin").c_str()));
}

TEST_F(EncryptFileTest, FilesAreFoundThroughTheResolver) {
    WriteBytes(scratch.Path("Folder/Data.bin"), PatternBytes(321, 6));
    const std::string spelling = scratch.Root() + "\\FOLDER\\data.BIN";
    EXPECT_EQ(321u, CMorvaineEncryptFile::GetFileSize(spelling.c_str()));
    CMorvaineEncryptFile stream;
    ASSERT_TRUE(stream.Open(spelling.c_str(), 3));
    EXPECT_EQ(321u, stream.GetSize());
}

TEST_F(EncryptFileTest, KeyLengthLimits) {
    const Bytes plain = PatternBytes(200, 4);
    const Bytes withDefault = Encipher(plain, 7);
    CMorvaineEncryptFile stream;
    EXPECT_TRUE(stream.SetKey(std::string(63, 'k').c_str()));
    EXPECT_FALSE(stream.SetKey(std::string(64, 'k').c_str()));
    EXPECT_FALSE(stream.SetKey(""));
    EXPECT_FALSE(stream.SetKey(nullptr));

    // A refused key leaves the previous one: here the default key.
    const std::string path = scratch.Path("plain.bin");
    CMorvaineEncryptFile fresh;
    EXPECT_FALSE(fresh.SetKey(std::string(64, 'k').c_str()));
    ASSERT_TRUE(fresh.Open(path.c_str(), 7));
    EXPECT_EQ(withDefault, Drain(fresh, true, 512));

    const std::string longKey(63, 'q');
    const Bytes coded = Encipher(plain, 7, longKey.c_str());
    EXPECT_NE(withDefault, coded);
    EXPECT_EQ(plain, Decipher(coded, 7, longKey.c_str()));
}

TEST_F(EncryptFileTest, HighKeyBytesIndexTheTablesAsUnsigned) {
    const Bytes coded = Encipher(Bytes(4, 0x0F), 11, "\xff\x80");
    // Byte i uses key character (i + 1) mod 2: 0x80, 0xFF, 0x80, 0xFF.
    EXPECT_EQ(g_morvaineCipherTables[11][0x0F ^ 0x80], coded[0]);
    EXPECT_EQ(g_morvaineCipherTables[11][0x0F ^ 0xFF], coded[1]);
    EXPECT_EQ(Bytes(4, 0x0F), Decipher(coded, 11, "\xff\x80"));
    // A one-character key is used for every byte.
    const Bytes single = Encipher(Bytes(3, 0), 2, "\x90");
    EXPECT_EQ(Bytes(3, static_cast<unsigned char>(g_morvaineCipherTables[2][0x90])), single);
}

TEST_F(EncryptFileTest, ShortReadHandsOutOnlyTheBytesRead) {
    const std::string path = scratch.Path("short.bin");
    WriteBytes(path, PatternBytes(100, 5));
    std::unique_ptr<FILE, int (*)(FILE*)> handle(fopen(path.c_str(), "rb"), fclose);
    CMorvaineEncryptFile stream;
    // The stream claims 1000 bytes from offset 60, but the file ends 40 bytes later.
    ASSERT_TRUE(stream.Attach(handle.get(), 60, 1000, 0));
    std::vector<unsigned> lengths;
    const Bytes got = Drain(stream, false, 512, &lengths);
    EXPECT_EQ(40u, got.size());
    EXPECT_EQ((std::vector<unsigned>{40, 0}), lengths);
}

} // namespace
