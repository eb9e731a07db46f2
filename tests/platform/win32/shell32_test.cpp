#include "platform/win32/tqshell32.h"

#include "tempfolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// Puts a stand-in "xdg-open" first in PATH that writes its arguments, one a line, to a file.
class ShellExecute : public ::testing::Test {
protected:
    void SetUp() override {
        tmp.WriteFile("bin/xdg-open", "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"" + tmp.Path() +
                                          "/args.tmp\"\nmv \"" + tmp.Path() + "/args.tmp\" \"" + tmp.Path() +
                                          "/args\"\n");
        chmod((tmp.Path() + "/bin/xdg-open").c_str(), 0755);
        savedPath = getenv("PATH");
        setenv("PATH", (tmp.Path() + "/bin:" + savedPath).c_str(), 1);
    }
    void TearDown() override { setenv("PATH", savedPath.c_str(), 1); }

    std::string OpenedWith() {
        for (int i = 0; i < 200 && tmp.ReadFile("args").empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return tmp.ReadFile("args");
    }

    TempFolder tmp;
    std::string savedPath;
};

uintptr_t Code(HINSTANCE result) {
    return reinterpret_cast<uintptr_t>(result);
}

TEST_F(ShellExecute, OpensAddressesVerbatimWithoutAShell) {
    const char* address = "http://example.invalid/a b;$(touch x)";
    EXPECT_GT(Code(ShellExecuteA(nullptr, nullptr, address, nullptr, nullptr, 3)), 32u);
    EXPECT_EQ(std::string(address) + "\n", OpenedWith());
}

TEST_F(ShellExecute, OpensFilesThroughTheResolver) {
    tmp.WriteFile("Docs/Read Me.txt", "x");
    EXPECT_GT(Code(ShellExecuteA(nullptr, nullptr, (tmp.Path() + "\\docs\\read me.TXT").c_str(), nullptr,
                                 nullptr, 3)),
              32u);
    EXPECT_EQ(tmp.Path() + "/Docs/Read Me.txt\n", OpenedWith());
}

TEST_F(ShellExecute, RefusesMissingTargets) {
    EXPECT_EQ(
        static_cast<uintptr_t>(SE_ERR_FNF),
        Code(ShellExecuteA(nullptr, nullptr, (tmp.Path() + "/missing.txt").c_str(), nullptr, nullptr, 3)));
    EXPECT_EQ(static_cast<uintptr_t>(SE_ERR_FNF),
              Code(ShellExecuteA(nullptr, nullptr, nullptr, nullptr, nullptr, 3)));
    EXPECT_EQ(static_cast<uintptr_t>(SE_ERR_FNF),
              Code(ShellExecuteA(nullptr, nullptr, "--help://x", nullptr, nullptr, 3)));
}

} // namespace
