// Resource loading from zip packs (made here with minizip) and from the disk, paths, enumeration.
#include "devicetestsupport.h"

#include "base/tqlog.h"

#include <minizip/zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace {

struct Entry {
    std::string name;
    std::string data;
};

// Writes a zip archive of stored (method 0) or deflated entries.
bool MakeZip(const std::string& path, const std::vector<Entry>& entries, int method = Z_DEFLATED) {
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    for (const Entry& entry : entries) {
        zip_fileinfo info{};
        zipOpenNewFileInZip(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                            Z_DEFAULT_COMPRESSION);
        zipWriteInFileInZip(zip, entry.data.data(), static_cast<unsigned>(entry.data.size()));
        zipCloseFileInZip(zip);
    }
    return zipClose(zip, nullptr) == ZIP_OK;
}

// The traditional PKWARE cipher, enciphering side, written out from the published algorithm.
class ZipEncryptor {
public:
    explicit ZipEncryptor(const std::string& password) {
        for (char c : password)
            Update(static_cast<uint8_t>(c));
    }
    void Encrypt(std::string* data) {
        for (char& c : *data) {
            uint32_t temp = (m_keys[2] & 0xFFFF) | 2u;
            uint8_t plain = static_cast<uint8_t>(c);
            c = static_cast<char>(plain ^ (((temp * (temp ^ 1u)) >> 8) & 0xFF));
            Update(plain);
        }
    }

private:
    static uint32_t Crc(uint32_t crc, uint8_t b) { return get_crc_table()[(crc ^ b) & 0xFF] ^ (crc >> 8); }
    void Update(uint8_t c) {
        m_keys[0] = Crc(m_keys[0], c);
        m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFF)) * 134775813u + 1u;
        m_keys[2] = Crc(m_keys[2], static_cast<uint8_t>(m_keys[1] >> 24));
    }
    uint32_t m_keys[3] = {0x12345678u, 0x23456789u, 0x34567890u};
};

std::string RawDeflate(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// Writes a zip archive of one deflated entry enciphered with the password. The entry is written
// raw through minizip, then its headers are marked encrypted.
bool MakeEncryptedZip(const std::string& path, const Entry& entry, const std::string& password) {
    uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size()));
    std::string body = "0123456789";
    body += static_cast<char>(crc >> 16);
    body += static_cast<char>(crc >> 24);
    body += RawDeflate(entry.data);
    ZipEncryptor(password).Encrypt(&body);
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    zip_fileinfo info{};
    zipOpenNewFileInZip2(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                         Z_DEFAULT_COMPRESSION, 1);
    zipWriteInFileInZip(zip, body.data(), static_cast<unsigned>(body.size()));
    zipCloseFileInZipRaw(zip, entry.data.size(), crc);
    if (zipClose(zip, nullptr) != ZIP_OK)
        return false;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t local = bytes.find("PK\x03\x04");
    size_t central = bytes.find("PK\x01\x02");
    if (local == std::string::npos || central == std::string::npos)
        return false;
    bytes[local + 6] |= 1;
    bytes[central + 8] |= 1;
    std::ofstream(path, std::ios::binary) << bytes;
    return true;
}

// Writes, byte by byte, a zip archive of one entry whose zip64 sizes claim declared bytes while
// only body follows its header: a damaged or hostile archive.
void MakeOversizedZip(const std::string& path, const std::string& name, int flag, int method,
                      uint64_t declared, const std::string& body) {
    std::string extra;
    PutLittleEndian(&extra, 1, 2); // zip64 extended information
    PutLittleEndian(&extra, 16, 2);
    PutLittleEndian(&extra, declared, 8); // uncompressed size
    PutLittleEndian(&extra, declared, 8); // compressed size
    std::string zip;
    PutLittleEndian(&zip, 0x04034b50, 4);
    PutLittleEndian(&zip, 45, 2);
    PutLittleEndian(&zip, flag, 2);
    PutLittleEndian(&zip, method, 2);
    zip.append(8, '\0'); // time, date, CRC
    PutLittleEndian(&zip, 0xFFFFFFFF, 4);
    PutLittleEndian(&zip, 0xFFFFFFFF, 4);
    PutLittleEndian(&zip, name.size(), 2);
    PutLittleEndian(&zip, extra.size(), 2);
    zip += name + extra + body;
    size_t central = zip.size();
    PutLittleEndian(&zip, 0x02014b50, 4);
    PutLittleEndian(&zip, 45, 2);
    PutLittleEndian(&zip, 45, 2);
    PutLittleEndian(&zip, flag, 2);
    PutLittleEndian(&zip, method, 2);
    zip.append(8, '\0');
    PutLittleEndian(&zip, 0xFFFFFFFF, 4);
    PutLittleEndian(&zip, 0xFFFFFFFF, 4);
    PutLittleEndian(&zip, name.size(), 2);
    PutLittleEndian(&zip, extra.size(), 2);
    zip.append(14, '\0'); // comment length, disk, attributes, local header offset 0
    zip += name + extra;
    size_t centralSize = zip.size() - central;
    PutLittleEndian(&zip, 0x06054b50, 4);
    PutLittleEndian(&zip, 0, 4);
    PutLittleEndian(&zip, 1, 2);
    PutLittleEndian(&zip, 1, 2);
    PutLittleEndian(&zip, centralSize, 4);
    PutLittleEndian(&zip, central, 4);
    PutLittleEndian(&zip, 0, 2);
    std::ofstream(path, std::ios::binary) << zip;
}

class DeviceResourceTest : public DeviceTest {
protected:
    // Loads a resource as text; "<null>" when it fails.
    std::string Load(const std::string& name) {
        DWORD size = 0;
        void* data = dev->Resource_Load(name.c_str(), &size);
        if (!data)
            return "<null>";
        std::string text(static_cast<const char*>(data), size);
        dev->Resource_Free(data);
        return text;
    }

    std::string MakePath(const std::string& name) { return dev->Resource_MakePath(name.c_str()); }
};

} // namespace

TEST_F(DeviceResourceTest, MakePath) {
    std::string folder = MakePath("");
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_EQ(MakePath("data/a.png"), folder + "data\\a.png");
    EXPECT_EQ(MakePath("C:/x/y.png"), "C:\\x\\y.png");
    EXPECT_EQ(MakePath("/abs/z"), "\\abs\\z");
    EXPECT_EQ(MakePath("c:rel"), "c:rel");
    // The path buffer holds 255 characters: a longer path is refused with one line, never cut.
    const std::string fits = std::string(255, 'n');
    EXPECT_EQ(MakePath("/" + fits.substr(1)).size(), 255u);
    TQLogCapture errors(g_tqLogError);
    EXPECT_EQ(MakePath("/" + fits), "");
    EXPECT_EQ(Load(std::string(400, 'n')), "<null>");
    EXPECT_EQ(errors.Lines().size(), 2u);
}

TEST_F(DeviceResourceTest, EntriesAreFoundWhateverTheirCaseAndSlashes) {
    ASSERT_TRUE(
        MakeZip(Path("pack.zip"), {{"Data/Hello.TXT", "hello"}, {"data\\two.txt", "two"}, {"empty", ""}}));
    ASSERT_TRUE(dev->Resource_AttachPack(Path("pack.zip").c_str(), nullptr));
    EXPECT_EQ(Load("data\\hello.txt"), "hello");
    EXPECT_EQ(Load("DATA/HELLO.txt"), "hello");
    EXPECT_EQ(Load("Data/Two.txt"), "two");
    EXPECT_EQ(Load("empty"), "");
    void* data = dev->Resource_Load("data/hello.txt", nullptr);
    ASSERT_NE(data, nullptr);
    dev->Resource_Free(data);
    dev->Resource_Free(nullptr);
    EXPECT_EQ(Load("data/none.txt"), "<null>");
    EXPECT_STREQ(dev->System_GetErrorMessage(), "Can't load resource: data/none.txt");
}

TEST_F(DeviceResourceTest, GbkNamesKeepTheirTrailBytes) {
    // 0x81 0x61 and 0x81 0x41 are two different GBK characters; only ASCII letters change case.
    ASSERT_TRUE(MakeZip(Path("gbk.zip"), {{"\x81\x61/file.txt", "gbk"}}));
    ASSERT_TRUE(dev->Resource_AttachPack(Path("gbk.zip").c_str(), nullptr));
    EXPECT_EQ(Load("\x81\x61\\FILE.TXT"), "gbk");
    EXPECT_EQ(Load("\x81\x41/file.txt"), "<null>");
}

TEST_F(DeviceResourceTest, LastAttachedPackWinsAndPacksCanBeRemoved) {
    ASSERT_TRUE(MakeZip(Path("old.zip"), {{"a.txt", "old"}, {"only_old.txt", "x"}}));
    ASSERT_TRUE(MakeZip(Path("new.zip"), {{"A.TXT", "new"}}));
    ASSERT_TRUE(dev->Resource_AttachPack(Path("old.zip").c_str(), nullptr));
    ASSERT_TRUE(dev->Resource_AttachPack(Path("new.zip").c_str(), nullptr));
    EXPECT_EQ(Load("a.txt"), "new");
    EXPECT_EQ(Load("only_old.txt"), "x");
    // The same archive in another spelling is attached already.
    std::string upper = Path("NEW.ZIP");
    EXPECT_FALSE(dev->Resource_AttachPack(upper.c_str(), nullptr));
    EXPECT_FALSE(dev->Resource_AttachPack(Path("missing.zip").c_str(), nullptr));
    dev->Resource_RemovePack(upper.c_str());
    EXPECT_EQ(Load("a.txt"), "old");
    dev->Resource_RemovePack(Path("unknown.zip").c_str());
    EXPECT_FALSE(dev->Resource_AttachPack(nullptr, nullptr));
    dev->Resource_RemovePack(nullptr);
    dev->Resource_RemoveAllPacks();
    EXPECT_EQ(Load("a.txt"), "<null>");
}

TEST_F(DeviceResourceTest, PacksAreReadAsTheyNowAreOnDisk) {
    // Of two entries with one name the first counts, also when the pack stays open between loads.
    ASSERT_TRUE(MakeZip(Path("p.zip"), {{"b.txt", "first"}, {"B.TXT", "second"}, {"a.txt", "one"}}));
    ASSERT_TRUE(dev->Resource_AttachPack(Path("p.zip").c_str(), nullptr));
    EXPECT_EQ(Load("b.txt"), "first");
    EXPECT_EQ(Load("a.txt"), "one");
    // Replaced after attaching: the new archive is read; removed: the names fall back to the disk.
    ASSERT_TRUE(MakeZip(Path("p.zip"), {{"a.txt", "three"}}));
    EXPECT_EQ(Load("a.txt"), "three");
    EXPECT_EQ(Load("b.txt"), "<null>");
    ASSERT_EQ(std::remove(Path("p.zip").c_str()), 0);
    EXPECT_EQ(Load("a.txt"), "<null>");
    ASSERT_TRUE(MakeZip(Path("p.zip"), {{"a.txt", "back"}}));
    EXPECT_EQ(Load("a.txt"), "back");
}

TEST_F(DeviceResourceTest, PasswordProtectedEntries) {
    ASSERT_TRUE(MakeEncryptedZip(Path("locked.zip"), {"secret.txt", std::string(3000, 's')}, "open sesame"));
    ASSERT_TRUE(dev->Resource_AttachPack(Path("locked.zip").c_str(), "open sesame"));
    EXPECT_EQ(Load("secret.txt"), std::string(3000, 's'));
    dev->Resource_RemoveAllPacks();

    ASSERT_TRUE(dev->Resource_AttachPack(Path("locked.zip").c_str(), "wrong"));
    EXPECT_EQ(Load("secret.txt"), "<null>");
    EXPECT_STREQ(dev->System_GetErrorMessage(), "Can't load resource: secret.txt");
    dev->Resource_RemoveAllPacks();
    ASSERT_TRUE(dev->Resource_AttachPack(Path("locked.zip").c_str(), nullptr));
    EXPECT_EQ(Load("secret.txt"), "<null>");
}

TEST_F(DeviceResourceTest, DamagedEntriesAreFailuresNotGarbage) {
    std::string data(200, 'd');
    ASSERT_TRUE(MakeZip(Path("stored.zip"), {{"file.bin", data}}, 0));
    std::string zip = ReadFile("stored.zip");
    size_t at = zip.find(data);
    ASSERT_NE(at, std::string::npos);
    zip[at + 100] = 'X';
    WriteFile("stored.zip", zip);
    ASSERT_TRUE(dev->Resource_AttachPack(Path("stored.zip").c_str(), nullptr));
    EXPECT_EQ(Load("file.bin"), "<null>");
    dev->Resource_RemoveAllPacks();

    // A pack cut short: its entry cannot be read whole.
    ASSERT_TRUE(MakeZip(Path("whole.zip"), {{"big.bin", std::string(5000, 'b')}}, 0));
    std::string whole = ReadFile("whole.zip");
    ASSERT_TRUE(dev->Resource_AttachPack(Path("whole.zip").c_str(), nullptr));
    WriteFile("whole.zip", whole.substr(0, 2000) + whole.substr(whole.size() - 200));
    EXPECT_EQ(Load("big.bin"), "<null>");
}

TEST_F(DeviceResourceTest, EntriesClaimingImpossibleSizesFail) {
    const uint64_t huge = uint64_t(1) << 50;
    MakeOversizedZip(Path("locked.zip"), "big.bin", 1, Z_DEFLATED, huge, std::string(40, 'e'));
    ASSERT_TRUE(dev->Resource_AttachPack(Path("locked.zip").c_str(), "pw"));
    EXPECT_EQ(Load("big.bin"), "<null>");
    dev->Resource_RemoveAllPacks();

    MakeOversizedZip(Path("plain.zip"), "big.bin", 0, 0, huge, "");
    ASSERT_TRUE(dev->Resource_AttachPack(Path("plain.zip").c_str(), nullptr));
    EXPECT_EQ(Load("big.bin"), "<null>");
}

TEST_F(DeviceResourceTest, DiskFilesAndAbsoluteNames) {
    WriteFile("disk/file.txt", "on disk");
    ASSERT_TRUE(MakeZip(Path("pack.zip"), {{Path("disk/file.txt"), "in pack"}}));
    ASSERT_TRUE(dev->Resource_AttachPack(Path("pack.zip").c_str(), nullptr));
    // An absolute name skips the packs.
    EXPECT_EQ(Load(Path("disk/file.txt")), "on disk");
    EXPECT_EQ(Load(Path("DISK\\FILE.TXT")), "on disk");

    // A file past 4 GB is refused rather than handed out cut to its low 32 bits of size.
    WriteFile("huge.bin", "");
    std::filesystem::resize_file(Path("huge.bin"), (uint64_t(1) << 32) + 16);
    EXPECT_EQ(Load(Path("huge.bin")), "<null>");
    std::filesystem::remove(Path("huge.bin"));

    TQLogCapture debug(g_tqLogDebug);
    EXPECT_EQ(Load(Path("disk/none.txt")), "<null>");
    EXPECT_TRUE(
        debug.Contains("Open/Create fail. [lpszFileName='" + Path("disk/none.txt") + "', dwErrorCode=2]"));
    EXPECT_TRUE(debug.Contains("TQGfxDevice::Resource_Load"));
    EXPECT_TRUE(LogContains("Can't load resource: " + Path("disk/none.txt")));
}

TEST_F(DeviceResourceTest, EnumeratesFilesAndFolders) {
    WriteFile("tree/a.txt", "a");
    WriteFile("tree/b.txt", "b");
    WriteFile("tree/c.dat", "c");
    WriteFile("tree/sub1/x", "x");
    WriteFile("tree/sub2/y", "y");
    std::set<std::string> files, folders;
    for (char* name = dev->Resource_EnumFiles(Path("tree/*.txt").c_str()); name;
         name = dev->Resource_EnumFiles(nullptr))
        files.insert(name);
    for (char* name = dev->Resource_EnumFolders(Path("tree/*").c_str()); name;
         name = dev->Resource_EnumFolders(nullptr))
        folders.insert(name);
    EXPECT_EQ(files, (std::set<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(folders, (std::set<std::string>{"sub1", "sub2"}));
    EXPECT_EQ(dev->Resource_EnumFiles(nullptr), nullptr);
    EXPECT_EQ(dev->Resource_EnumFolders(Path("nowhere/*").c_str()), nullptr);

    // Starting one enumeration ends the other.
    ASSERT_NE(dev->Resource_EnumFiles(Path("tree/*").c_str()), nullptr);
    ASSERT_NE(dev->Resource_EnumFolders(Path("tree/*").c_str()), nullptr);
    EXPECT_NE(dev->Resource_EnumFolders(nullptr), nullptr);
    EXPECT_EQ(dev->Resource_EnumFolders(nullptr), nullptr);
}
