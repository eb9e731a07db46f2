#include "platform/win32/tqshell32.h"

#include "platform/codepage/tqcodepage.h"
#include "platform/win32/tqpath.h"
#include "platform/win32/tqplatformlog.h"

#include <spawn.h>

#include <sys/wait.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace {

HINSTANCE Result(uintptr_t code) {
    return reinterpret_cast<HINSTANCE>(code);
}

// Starts the opener and reaps it from a detached thread, so no zombie is left behind.
bool SpawnOpener(const std::string& target) {
    const char* argv[] = {"xdg-open", target.c_str(), nullptr};
    pid_t pid;
    int error = posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char* const*>(argv), environ);
    if (error != 0) {
        tqplat::PlatformLog("ShellExecuteA: cannot start xdg-open: %s", strerror(error));
        return false;
    }
    std::thread([pid]() { waitpid(pid, nullptr, 0); }).detach();
    return true;
}

} // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
    if (file == nullptr || file[0] == '\0')
        return Result(SE_ERR_FNF);
    std::string target;
    if (!tqplat::ResolveExistingPath(file, &target)) {
        if (strstr(file, "://") == nullptr && strncmp(file, "mailto:", 7) != 0)
            return Result(SE_ERR_FNF);
        target = tqplat::GbkToUtf8(file);
    }
    // A target starting with '-' would be read as an option of the opener.
    if (target[0] == '-') {
        if (strstr(file, "://") != nullptr)
            return Result(SE_ERR_FNF);
        target = "./" + target;
    }
    return SpawnOpener(target) ? Result(42) : Result(SE_ERR_NOASSOC);
}
