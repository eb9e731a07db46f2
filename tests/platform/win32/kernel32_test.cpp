#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqpath.h"

#include "tempfolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

TEST(CreateFile, ReadsAWholeFileAndRefusesStaleHandles) {
    TempFolder tmp;
    tmp.WriteFile("Res/Data.bin", "0123456789");
    HANDLE file =
        CreateFileA((tmp.Path() + "\\res\\DATA.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(10u, GetFileSize(file, nullptr));
    char buffer[16] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file, buffer, 16, &read, nullptr));
    EXPECT_EQ(10u, read);
    EXPECT_STREQ("0123456789", buffer);
    ASSERT_TRUE(CloseHandle(file));

    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(ReadFile(file, buffer, 1, &read, nullptr));
    EXPECT_EQ(INVALID_FILE_SIZE, GetFileSize(file, nullptr));
    EXPECT_FALSE(ReadFile(reinterpret_cast<HANDLE>(0x1234), buffer, 1, &read, nullptr));
}

TEST(CreateFile, RefusesMissingFilesFoldersAndFifos) {
    TempFolder tmp;
    tmp.MakeFolder("Folder");
    ASSERT_EQ(0, mkfifo((tmp.Path() + "/fifo").c_str(), 0600));
    for (const char* name : {"/missing", "/folder", "/FIFO"}) {
        HANDLE file = CreateFileA((tmp.Path() + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_EQ(INVALID_HANDLE_VALUE, file) << name;
    }
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::vector<std::string> FindAll(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(data.cFileName +
                        std::string((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "/" : ""));
    } while (FindNextFileA(search, &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError());
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search));
    return names;
}

TEST(FindFile, MatchesWildcardsWithoutCaseInSortedOrder) {
    TempFolder tmp;
    tmp.WriteFile("Pics/b.PNG", "bb");
    tmp.WriteFile("Pics/A.png", "a");
    tmp.WriteFile("Pics/c.bmp", "c");
    tmp.WriteFile("Pics/noext", "");
    tmp.WriteFile("Pics/\xe4\xb8\xad.png", ""); // 中.png
    tmp.MakeFolder("Pics/Sub");
    std::string base = tmp.Path() + "\\pics\\";
    EXPECT_EQ((std::vector<std::string>{"A.png", "b.PNG", "c.bmp", "noext", "Sub/", "\xd6\xd0.png"}),
              FindAll(base + "*"));
    EXPECT_EQ((std::vector<std::string>{"A.png", "b.PNG", "\xd6\xd0.png"}), FindAll(base + "*.png"));
    // '?' is one character, a two-byte GBK one included.
    EXPECT_EQ((std::vector<std::string>{"A.png", "b.PNG", "\xd6\xd0.png"}), FindAll(base + "?.Png"));
    EXPECT_EQ((std::vector<std::string>{"A.png", "b.PNG", "c.bmp", "noext", "Sub/", "\xd6\xd0.png"}),
              FindAll(base + "*.*"));
    EXPECT_EQ((std::vector<std::string>{"\xd6\xd0.png"}), FindAll(base + "\xd6\xd0.*"));
    EXPECT_TRUE(FindAll(base + "*.jpg").empty());
    EXPECT_TRUE(FindAll(tmp.Path() + "\\nosuch\\*").empty());
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((base + "b.png").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    EXPECT_EQ(2u, data.nFileSizeLow);
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL), data.dwFileAttributes);
    FindClose(search);
}

TEST(FindFile, ManyStarsMatchInTimeAndStillBacktrack) {
    TempFolder tmp;
    std::string name(200, 'a');
    tmp.WriteFile(name, "");
    tmp.WriteFile("xaybz", "");
    std::string stars;
    for (int i = 0; i < 12; ++i)
        stars += "*a";
    std::string base = tmp.Path() + "\\";
    // Each star must give back characters to the ones after it; no name ends in 'b' here.
    EXPECT_TRUE(FindAll(base + stars + "*b").empty());
    EXPECT_EQ((std::vector<std::string>{name}), FindAll(base + stars + "*"));
    EXPECT_EQ((std::vector<std::string>{"xaybz"}), FindAll(base + "*a*b?"));
    EXPECT_EQ((std::vector<std::string>{"xaybz"}), FindAll(base + "**Y*Z"));
    EXPECT_TRUE(FindAll(base + "*a*b").empty());
}

TEST(ModuleFileName, IsTheProgramInEngineFormAndIsCutToTheBuffer) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), path, sizeof(path));
    ASSERT_GT(length, 0u);
    std::string name(path, length);
    EXPECT_EQ('\\', name[0]);
    EXPECT_EQ(std::string::npos, name.find('/'));
    std::string folder = name.substr(0, name.rfind('\\') + 1);
    std::string resolved;
    ASSERT_TRUE(tqplat::ResolveExistingPath(folder.c_str(), &resolved));
    EXPECT_EQ(tqplat::ApplicationFolder(), resolved + "/");

    char small[5];
    EXPECT_EQ(5u, GetModuleFileNameA(nullptr, small, sizeof(small)));
    EXPECT_EQ(name.substr(0, 4), small);
}

TEST(SystemInformation, FillsTheRecords) {
    OSVERSIONINFOA version = {};
    EXPECT_FALSE(GetVersionExA(&version));
    version.dwOSVersionInfoSize = sizeof(version);
    EXPECT_TRUE(GetVersionExA(&version));
    MEMORYSTATUS memory;
    GlobalMemoryStatus(&memory);
    EXPECT_GT(memory.dwTotalPhys, 0u);
    EXPECT_LE(memory.dwAvailPhys, memory.dwTotalPhys);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_GE(now.wYear, 2020);
    char folder[4];
    UINT needed = GetSystemDirectoryA(folder, sizeof(folder));
    EXPECT_GT(needed, sizeof(folder));
    std::vector<char> big(needed);
    EXPECT_EQ(needed - 1, GetSystemDirectoryA(big.data(), needed));
}

} // namespace
