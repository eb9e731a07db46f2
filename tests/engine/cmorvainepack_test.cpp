#include "engine/cmorvainepack.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/tqlog.h"
#include "engine/cmorvaineencryptfile.h"
#include "engine/packtestutil.h"

namespace {

const RawHeader kEmptyHeader{20, 20, 0, 0};

Bytes Stored(const CMorvainePack::FileData& data) {
    return data.second ? Bytes(data.second, data.second + data.first) : Bytes();
}

class PackTest : public ::testing::Test {
protected:
    std::string MakeEmptyPack(const std::string& name = "test.pak") {
        const std::string path = scratch.Path(name);
        WriteBytes(path, Bytes());
        return path;
    }

    // A source file with the given bytes, for AddFile.
    std::string Source(const std::string& name, const Bytes& bytes) {
        const std::string path = scratch.Path("src/" + name);
        WriteBytes(path, bytes);
        return path;
    }

    // A closed pack at path holding the given files.
    void BuildPack(const std::string& path, const std::vector<std::pair<std::string, Bytes>>& files) {
        WriteBytes(path, Bytes());
        CMorvainePack pack;
        ASSERT_TRUE(pack.SetPackage(path.c_str()));
        int n = 0;
        for (const auto& file : files)
            ASSERT_TRUE(
                pack.AddFile(Source("f" + std::to_string(n++), file.second).c_str(), file.first.c_str()));
    }

    ScratchFolder scratch;
};

TEST_F(PackTest, EmptyFileBecomesEmptyPack) {
    const std::string path = MakeEmptyPack();
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    pack.Close();
    const Bytes bytes = ReadBytes(path);
    ASSERT_EQ(20u, bytes.size());
    EXPECT_EQ(0, std::memcmp(bytes.data(), "MORV", 4));
    EXPECT_EQ(kEmptyHeader, ReadRawHeader(bytes));
}

TEST_F(PackTest, AddRemoveAndReuseFollowTheHeaderSequence) {
    const std::string path = MakeEmptyPack();
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    const Bytes hundred = PatternBytes(100, 1);
    ASSERT_TRUE(pack.AddFile(Source("a", hundred).c_str(), "a.bin"));
    Bytes bytes = ReadBytes(path);
    EXPECT_EQ((RawHeader{120, 256, 1, 0}), ReadRawHeader(bytes));
    ASSERT_EQ(256u, bytes.size());
    const RawRecord added = ReadRawRecord(bytes, 120);
    EXPECT_EQ("A.BIN", added.name);
    EXPECT_EQ(0u, added.offset);
    EXPECT_EQ(100u, added.size);
    // The stored bytes at 20..119 are the enciphered file.
    const Bytes coded(bytes.begin() + 20, bytes.begin() + 120);
    EXPECT_NE(hundred, coded);
    EXPECT_EQ(hundred, Stored(pack.GetFile("a.bin")));

    ASSERT_TRUE(pack.RemoveFile("A.BIN"));
    bytes = ReadBytes(path);
    EXPECT_EQ((RawHeader{120, 120, 0, 1}), ReadRawHeader(bytes));
    const RawRecord freed = ReadRawRecord(bytes, 120);
    EXPECT_EQ(0u, freed.offset);
    EXPECT_EQ(100u, freed.size);
    EXPECT_EQ(nullptr, pack.GetFile("a.bin").second);

    const Bytes sixty = PatternBytes(60, 2);
    ASSERT_TRUE(pack.AddFile(Source("b", sixty).c_str(), "b.bin"));
    bytes = ReadBytes(path);
    EXPECT_EQ((RawHeader{120, 256, 1, 1}), ReadRawHeader(bytes));
    const RawRecord reused = ReadRawRecord(bytes, 120);
    EXPECT_EQ("B.BIN", reused.name);
    EXPECT_EQ(0u, reused.offset);
    const RawRecord rest = ReadRawRecord(bytes, 256);
    EXPECT_EQ(60u, rest.offset);
    EXPECT_EQ(40u, rest.size);
    pack.Close();

    // A new pack object reads the same state back from the file.
    CMorvainePack reopened;
    ASSERT_TRUE(reopened.SetPackage(path.c_str()));
    EXPECT_EQ(sixty, Stored(reopened.GetFile("B.BIN")));
    ASSERT_EQ(1u, reopened.GetFreeList().size());
    EXPECT_EQ(60u, reopened.GetFreeList().front().dwOffset);
}

TEST_F(PackTest, FileTableIsWrittenInNameOrder) {
    const std::string path = scratch.Path("order.pak");
    BuildPack(path, {{"zeta", TextBytes("z")}, {"Alpha", TextBytes("a")}, {"\xc4\xe3.txt", TextBytes("n")}});
    const Bytes bytes = ReadBytes(path);
    const RawHeader header = ReadRawHeader(bytes);
    ASSERT_EQ(3u, header.fileCount);
    EXPECT_EQ("ALPHA", ReadRawRecord(bytes, header.fileTable).name);
    EXPECT_EQ("ZETA", ReadRawRecord(bytes, header.fileTable + 136).name);
    EXPECT_EQ("\xc4\xe3.TXT", ReadRawRecord(bytes, header.fileTable + 272).name); // bytes compare unsigned
}

TEST_F(PackTest, NamesAreNormalised) {
    char name[] = "//data/Sub\\file.txt\\/";
    CMorvainePack::NormalizePath(name);
    EXPECT_STREQ("DATA\\SUB\\FILE.TXT", name);
    char slashes[] = "/\\/";
    CMorvainePack::NormalizePath(slashes);
    EXPECT_STREQ("", slashes);
    // Case changes touch the ASCII letters only.
    std::string upper, lower;
    for (int c = 1; c < 256; ++c)
        upper += static_cast<char>(c);
    lower = upper;
    CMorvainePack::ToUpper(upper);
    CMorvainePack::ToLower(lower);
    for (int c = 1; c < 256; ++c) {
        EXPECT_EQ(static_cast<unsigned char>(upper[c - 1]), c >= 'a' && c <= 'z' ? c - 32 : c);
        EXPECT_EQ(static_cast<unsigned char>(lower[c - 1]), c >= 'A' && c <= 'Z' ? c + 32 : c);
    }

    const std::string path = scratch.Path("names.pak");
    BuildPack(path, {{"data/a.txt", TextBytes("content")}});
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    ASSERT_EQ(1u, pack.GetFileTable().count("DATA\\A.TXT"));
    for (const char* spelling : {"data/a.txt", "/data/a.txt/", "Data/A.txt", "DATA\\A.TXT"})
        EXPECT_EQ(TextBytes("content"), Stored(pack.GetFile(spelling))) << spelling;
    EXPECT_EQ(nullptr, pack.GetFile("data/b.txt").second);
    EXPECT_EQ(nullptr, pack.GetFile(nullptr).second);
    // A second request is answered from the cache.
    EXPECT_EQ(pack.GetFile("data/a.txt").second, pack.GetFile("DATA/A.TXT").second);
}

TEST_F(PackTest, EmptyStoredFileIsFound) {
    const std::string path = scratch.Path("zero.pak");
    BuildPack(path, {{"empty.txt", Bytes()}});
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    const CMorvainePack::FileData data = pack.GetFile("empty.txt");
    EXPECT_EQ(0u, data.first);
    EXPECT_NE(nullptr, data.second);
}

TEST_F(PackTest, RefusedAddsChangeNothing) {
    const std::string path = scratch.Path("refuse.pak");
    BuildPack(path, {{"a.txt", TextBytes("first")}});
    const Bytes before = ReadBytes(path);
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    const std::string source = Source("other", TextBytes("second"));
    EXPECT_FALSE(pack.AddFile(source.c_str(), "A.TXT"));                       // already stored
    EXPECT_FALSE(pack.AddFile(source.c_str(), "//"));                          // empty after normalising
    EXPECT_FALSE(pack.AddFile(source.c_str(), std::string(128, 'n').c_str())); // longer than the field
    EXPECT_FALSE(pack.AddFile(scratch.Path("missing").c_str(), "b.txt"));
    EXPECT_FALSE(pack.RemoveFile("b.txt"));
    EXPECT_EQ(nullptr, pack.GetFile(std::string(300, 'a').c_str()).second);
    EXPECT_EQ(before, ReadBytes(path));
    EXPECT_EQ(TextBytes("first"), Stored(pack.GetFile("a.txt")));

    EXPECT_TRUE(pack.AddFile(source.c_str(), std::string(127, 'n').c_str()));
    EXPECT_EQ(TextBytes("second"), Stored(pack.GetFile(std::string(127, 'N').c_str())));
}

TEST_F(PackTest, ClosedPackRefusesEverything) {
    CMorvainePack pack;
    const std::string source = Source("x", TextBytes("x"));
    EXPECT_FALSE(pack.AddFile(source.c_str(), "x"));
    EXPECT_FALSE(pack.RemoveFile("x"));
    EXPECT_EQ(nullptr, pack.GetFile("x").second);
    EXPECT_FALSE(pack.SetPackage(scratch.Path("missing.pak").c_str()));
    EXPECT_FALSE(pack.SetPackage(nullptr));
    EXPECT_FALSE(pack.SetPackage(""));
    EXPECT_FALSE(pack.SetPackage(("/" + std::string(600, 'p')).c_str()));
}

TEST_F(PackTest, PackIsOpenedThroughTheResolverWithItsRealSize) {
    // The size comes from the opened file, so another spelling of the path never makes the pack
    // look empty (which would overwrite its header).
    const std::string path = scratch.Path("Sub/Mixed.pak");
    BuildPack(path, {{"a.txt", TextBytes("kept")}});
    const Bytes before = ReadBytes(path);
    std::string spelling = scratch.Root() + "\\SUB\\MIXED.PAK";
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(spelling.c_str()));
    EXPECT_EQ(TextBytes("kept"), Stored(pack.GetFile("a.txt")));
    pack.Close();
    EXPECT_EQ(before, ReadBytes(path));
}

TEST_F(PackTest, SourceFileIsOpenedThroughTheResolver) {
    const std::string path = MakeEmptyPack();
    Source("Folder/Data.Bin", TextBytes("bytes"));
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    ASSERT_TRUE(pack.AddFile((scratch.Root() + "\\SRC\\FOLDER\\DATA.BIN").c_str(), "d"));
    EXPECT_EQ(TextBytes("bytes"), Stored(pack.GetFile("D")));
}

TEST_F(PackTest, PacksAndSourcesOf4GiBOrMoreAreRefused) {
    // Sizes beyond 32 bits cannot be represented: such a pack must be refused, not taken for an
    // empty file whose header may be written.
    const std::string path = scratch.Path("huge.pak");
    BuildPack(path, {{"a.txt", TextBytes("a")}});
    const Bytes header = ReadBytes(path);
    ASSERT_EQ(0, truncate(path.c_str(), 5LL << 30)); // sparse: takes no room
    CMorvainePack huge;
    EXPECT_FALSE(huge.SetPackage(path.c_str()));
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, file);
    Bytes start(header.size());
    ASSERT_EQ(start.size(), fread(start.data(), 1, start.size(), file));
    fclose(file);
    EXPECT_EQ(header, start);
    ASSERT_EQ(0, truncate(path.c_str(), static_cast<off_t>(header.size())));

    const std::string source = Source("huge.bin", Bytes());
    ASSERT_EQ(0, truncate(source.c_str(), 5LL << 30));
    EXPECT_EQ(0u, CMorvaineEncryptFile::GetFileSize(source.c_str()));
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    EXPECT_FALSE(pack.AddFile(source.c_str(), "huge.bin"));
    pack.Close();
    EXPECT_EQ(header, ReadBytes(path));
}

// Makes a file unwritable even for root (immutable attribute); false when that is impossible here.
bool MakeUnwritable(const std::string& path) {
    chmod(path.c_str(), 0444);
    if (FILE* probe = fopen(path.c_str(), "rb+")) {
        fclose(probe);
        const std::string command = "chattr +i '" + path + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0)
            return false;
        if (FILE* again = fopen(path.c_str(), "rb+")) {
            fclose(again);
            return false;
        }
    }
    return true;
}

void MakeWritable(const std::string& path) {
    const std::string command = "chattr -i '" + path + "' 2>/dev/null";
    (void)!std::system(command.c_str());
    chmod(path.c_str(), 0644);
}

TEST_F(PackTest, ReadOnlyPackOpensForReading) {
    const std::string path = scratch.Path("readonly.pak");
    BuildPack(path, {{"a.txt", TextBytes("readable")}});
    const std::string empty = MakeEmptyPack("empty.pak");
    const Bytes before = ReadBytes(path);
    if (!MakeUnwritable(path) || !MakeUnwritable(empty)) {
        MakeWritable(path);
        MakeWritable(empty);
        GTEST_SKIP() << "cannot make a file read-only here";
    }
    CMorvainePack pack;
    const bool opened = pack.SetPackage(path.c_str());
    const Bytes data = Stored(pack.GetFile("a.txt"));
    const bool added = pack.AddFile(Source("b", TextBytes("b")).c_str(), "b.txt");
    const bool removed = pack.RemoveFile("a.txt");
    pack.Close();
    CMorvainePack emptyPack;
    const bool emptyOpened = emptyPack.SetPackage(empty.c_str());
    MakeWritable(path);
    MakeWritable(empty);

    EXPECT_TRUE(opened);
    EXPECT_EQ(TextBytes("readable"), data);
    EXPECT_FALSE(added);
    EXPECT_FALSE(removed);
    EXPECT_FALSE(emptyOpened); // no header can be written into it
    EXPECT_EQ(before, ReadBytes(path));
    EXPECT_TRUE(ReadBytes(empty).empty());
}

// Opened for reading only, a pack is read as usual and no file is ever created or changed.
TEST_F(PackTest, PackOpenedForReadingOnlyIsNeverWritten) {
    const std::string path = scratch.Path("read.pak");
    BuildPack(path, {{"a.txt", TextBytes("readable")}});
    const Bytes before = ReadBytes(path);
    const std::string empty = MakeEmptyPack("empty.pak");
    const std::string missing = scratch.Path("missing.pak");
    CMorvainePack pack;
    EXPECT_FALSE(pack.SetPackage(empty.c_str(), true));
    EXPECT_FALSE(pack.SetPackage(missing.c_str(), true));
    ASSERT_TRUE(pack.SetPackage(path.c_str(), true));
    EXPECT_TRUE(pack.IsReadOnly());
    EXPECT_EQ(TextBytes("readable"), Stored(pack.GetFile("a.txt")));
    EXPECT_FALSE(pack.AddFile(Source("b", TextBytes("b")).c_str(), "b.txt"));
    EXPECT_FALSE(pack.RemoveFile("a.txt"));
    pack.Close();
    EXPECT_EQ(before, ReadBytes(path));
    EXPECT_TRUE(ReadBytes(empty).empty());
    EXPECT_NE(0, access(missing.c_str(), F_OK));
}

TEST_F(PackTest, FileCutShortAfterOpeningGivesNoData) {
    const std::string path = scratch.Path("cut.pak");
    BuildPack(path, {{"big.bin", PatternBytes(5000, 3)}});
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    ASSERT_EQ(0, truncate(path.c_str(), 1000));
    TQLogCapture errors(g_tqLogError);
    EXPECT_EQ(nullptr, pack.GetFile("big.bin").second);
    EXPECT_TRUE(errors.Contains("Short read"));
}

TEST_F(PackTest, FailedWritesAreReported) {
    // A device that refuses every write: the new pack's header cannot be stored.
    CMorvainePack device;
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_FALSE(device.SetPackage("/dev/full"));
    }

    // A file-size limit stops the appended bytes half way: AddFile fails and the pack keeps its
    // earlier content.
    const std::string path = scratch.Path("limited.pak");
    BuildPack(path, {{"a.txt", TextBytes("before")}});
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    const std::string big = Source("big", PatternBytes(20000, 4));
    struct rlimit saved;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    struct rlimit limited = saved;
    limited.rlim_cur = ReadBytes(path).size() + 100;
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limited));
    const bool added = pack.AddFile(big.c_str(), "big.bin");
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_FALSE(added);
    EXPECT_EQ(nullptr, pack.GetFile("big.bin").second);
    pack.Close();

    CMorvainePack reopened;
    ASSERT_TRUE(reopened.SetPackage(path.c_str()));
    EXPECT_EQ(TextBytes("before"), Stored(reopened.GetFile("a.txt")));
    EXPECT_EQ(1u, reopened.GetFileTable().size());
}

TEST_F(PackTest, SetKeyChangesTheCipher) {
    const std::string path = MakeEmptyPack();
    const std::string source = Source("k", TextBytes("secret text"));
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    EXPECT_FALSE(pack.SetKey(""));
    ASSERT_TRUE(pack.SetKey("another key"));
    ASSERT_TRUE(pack.AddFile(source.c_str(), "k.txt"));
    EXPECT_EQ(TextBytes("secret text"), Stored(pack.GetFile("k.txt")));
    pack.Close();
    CMorvainePack defaultKey;
    ASSERT_TRUE(defaultKey.SetPackage(path.c_str()));
    EXPECT_NE(TextBytes("secret text"), Stored(defaultKey.GetFile("k.txt")));
}

// Damaged packs: each is refused or read safely, and its bytes stay as they were.
class DamagedPackTest : public PackTest {
protected:
    void SetUp() override {
        const std::string path = scratch.Path("good.pak");
        BuildPack(path, {{"a.txt", TextBytes("alpha")}, {"b.txt", PatternBytes(300, 5)}});
        good = ReadBytes(path);
        header = ReadRawHeader(good);
    }

    // Opens the damaged bytes; returns whether the pack was accepted, after reading every name.
    bool OpenDamaged(const Bytes& damaged) {
        const std::string path = scratch.Path("damaged.pak");
        WriteBytes(path, damaged);
        CMorvainePack pack;
        const bool opened = pack.SetPackage(path.c_str());
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            pack.GetFile(name);
        pack.Close();
        EXPECT_EQ(damaged, ReadBytes(path));
        return opened;
    }

    Bytes good;
    RawHeader header;
};

TEST_F(DamagedPackTest, HeadersAndTablesOutsideTheFileAreRefused) {
    EXPECT_TRUE(OpenDamaged(good));
    EXPECT_FALSE(OpenDamaged(TextBytes("MORV")));
    EXPECT_FALSE(OpenDamaged(Bytes(good.begin(), good.begin() + 19)));
    Bytes wrongMagic = good;
    wrongMagic[0] = 'X';
    EXPECT_FALSE(OpenDamaged(wrongMagic));
    Bytes truncated(good.begin(), good.end() - 10);
    EXPECT_FALSE(OpenDamaged(truncated));

    Bytes manyFiles = good;
    PutU32(manyFiles, 12, 0x7FFFFFFF);
    EXPECT_FALSE(OpenDamaged(manyFiles));
    Bytes manyFree = good;
    PutU32(manyFree, 16, 0xFFFFFFFF);
    EXPECT_FALSE(OpenDamaged(manyFree));
    Bytes farTable = good;
    PutU32(farTable, 4, 0xF0000000);
    PutU32(farTable, 8, 0xF0000000 + 2 * 136);
    EXPECT_FALSE(OpenDamaged(farTable));
    Bytes tableInHeader = good;
    PutU32(tableInHeader, 4, 4);
    PutU32(tableInHeader, 8, 4 + 2 * 136);
    EXPECT_FALSE(OpenDamaged(tableInHeader));
    Bytes freeTableApart = good;
    PutU32(freeTableApart, 8, header.freeTable - 1);
    EXPECT_FALSE(OpenDamaged(freeTableApart));
}

TEST_F(DamagedPackTest, BadRecordsAreRefused) {
    const size_t first = header.fileTable;
    Bytes noNul = good;
    std::memset(&noNul[first], 'N', 128);
    EXPECT_FALSE(OpenDamaged(noNul));

    Bytes beyondData = good;
    PutU32(beyondData, first + 128, header.fileTable - 20); // starts at the file table
    EXPECT_FALSE(OpenDamaged(beyondData));
    Bytes wraps = good;
    PutU32(wraps, first + 128, 0xFFFFFFF0);
    PutU32(wraps, first + 132, 0x20); // offset + size wraps around in 32 bits
    EXPECT_FALSE(OpenDamaged(wraps));
    Bytes hugeSize = good;
    PutU32(hugeSize, first + 132, 0xFFFFFFFF);
    EXPECT_FALSE(OpenDamaged(hugeSize));
}

TEST_F(DamagedPackTest, OverlappingRecordsAreReadSafely) {
    Bytes overlapping = good;
    const size_t second = header.fileTable + 136;
    PutU32(overlapping, second + 128, 2); // B.TXT now starts inside A.TXT
    PutU32(overlapping, second + 132, 200);
    EXPECT_TRUE(OpenDamaged(overlapping));

    Bytes sameName = good;
    std::memcpy(&sameName[second], "A.TXT", 6);
    EXPECT_TRUE(OpenDamaged(sameName));
}

TEST_F(DamagedPackTest, PackWithARepeatedNameStaysReadableAfterChanges) {
    Bytes sameName = good;
    std::memcpy(&sameName[header.fileTable + 136], "A.TXT", 6); // the later record wins
    const std::string path = scratch.Path("same.pak");
    WriteBytes(path, sameName);
    {
        CMorvainePack pack;
        ASSERT_TRUE(pack.SetPackage(path.c_str()));
        ASSERT_TRUE(pack.AddFile(Source("c", TextBytes("gamma")).c_str(), "c.txt"));
    }
    const RawHeader written = ReadRawHeader(ReadBytes(path));
    EXPECT_EQ(2u, written.fileCount);
    EXPECT_EQ(written.fileTable + 2 * 136, written.freeTable);
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    EXPECT_EQ(300u, pack.GetFile("a.txt").first);
    EXPECT_EQ(TextBytes("gamma"), Stored(pack.GetFile("c.txt")));
}

TEST_F(DamagedPackTest, RefusalsAreLoggedUnderThePackSource) {
    TQLogCapture capture(g_tqLogError);
    Bytes wrongMagic = good;
    wrongMagic[0] = 'X';
    EXPECT_FALSE(OpenDamaged(wrongMagic));
    EXPECT_TRUE(capture.Contains("lib/project/dozaz2i/source/cmorvainepack:"));
    EXPECT_TRUE(capture.Contains("CMorvainePack::ReadHeader"));
}

} // namespace
