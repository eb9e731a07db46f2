#include "platform/win32/tqkernel32.h"
#include "platform/win32/tqmodules.h"
#include "platform/win32/tqpath.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

INT_PTR FakeFunction() {
    return 7;
}

FARPROC FakeLookup(const char* name) {
    return strcmp(name, "Fake") == 0 ? reinterpret_cast<FARPROC>(&FakeFunction) : nullptr;
}

TEST(LoadLibrary, LoadsASharedObjectFromTheApplicationFolderByItsDllName) {
    HMODULE module = LoadLibraryA("TQTestModule.DLL");
    ASSERT_NE(nullptr, module);
    typedef int (*Answer)();
    Answer answer =
        reinterpret_cast<Answer>(reinterpret_cast<void*>(GetProcAddress(module, "TestModuleAnswer")));
    ASSERT_NE(nullptr, answer);
    EXPECT_EQ(42, answer());
    EXPECT_EQ(nullptr, GetProcAddress(module, "NoSuchFunction"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), GetLastError());
    EXPECT_EQ(module, GetModuleHandleA("tqtestmodule.dll"));

    HMODULE again = LoadLibraryA("tqtestmodule");
    EXPECT_EQ(module, again);
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_NE(nullptr, GetProcAddress(module, "TestModuleAnswer"));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(nullptr, GetProcAddress(module, "TestModuleAnswer"));
    EXPECT_FALSE(FreeLibrary(module));
}

TEST(LoadLibrary, MapsTheAudioLibrarysNameToTheAudioModuleInAGivenFolder) {
    TempFolder tmp;
    std::filesystem::copy_file(tqplat::ApplicationFolder() + "libtqtestmodule.so",
                               tmp.Path() + "/libtqaudio.so");
    HMODULE module = LoadLibraryA((tmp.Path() + "\\BASS.DLL").c_str());
    ASSERT_NE(nullptr, module);
    EXPECT_NE(nullptr, GetProcAddress(module, "TestModuleAnswer"));
    char path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(module, path, sizeof(path)), 0u);
    EXPECT_NE(nullptr, strstr(path, "\\libtqaudio.so"));
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(LoadLibrary, FindsBuiltinModulesFirstWithoutRegardToCase) {
    tqplat::RegisterBuiltinModule("Fake32.dll", FakeLookup);
    HMODULE module = LoadLibraryA("FAKE32.DLL");
    ASSERT_NE(nullptr, module);
    FARPROC fake = GetProcAddress(module, "Fake");
    ASSERT_NE(nullptr, fake);
    EXPECT_EQ(7, fake());
    EXPECT_EQ(nullptr, GetProcAddress(module, "Other"));
    EXPECT_EQ(module, LoadLibraryA("fake32.dll"));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(FreeLibrary(module));
}

TEST(LoadLibrary, GivesNullForMissingModulesAndBadNames) {
    EXPECT_EQ(nullptr, LoadLibraryA("nosuchmodule.dll"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
    EXPECT_EQ(nullptr, LoadLibraryA(nullptr));
    EXPECT_EQ(nullptr, LoadLibraryA(""));
    std::string longName(5000, 'x');
    EXPECT_EQ(nullptr, LoadLibraryA(longName.c_str()));
    EXPECT_EQ(nullptr, GetProcAddress(reinterpret_cast<HMODULE>(0x1234), "x"));
    EXPECT_EQ(nullptr, GetModuleHandleA("nosuchmodule.dll"));
}

} // namespace
