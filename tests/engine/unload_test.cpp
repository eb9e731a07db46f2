// Packs still registered when the engine library unloads are closed then.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/packtestutil.h"

namespace {

// True when some open descriptor of this process refers to path.
bool IsOpen(const std::string& path) {
    const std::filesystem::path target = std::filesystem::canonical(path);
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == target)
            return true;
    }
    return false;
}

TEST(EngineUnloadTest, RegisteredPacksAreClosed) {
    ScratchFolder scratch;
    const std::string pack = scratch.Path("left.pak");
    WriteBytes(pack, Bytes()); // becomes an empty pack when registered

    void* library = dlopen(TQ_ENGINE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, library) << dlerror();
    typedef int (*PackAdd)(const char*);
    PackAdd packAdd = reinterpret_cast<PackAdd>(dlsym(library, "_Z11TQ2DPackAddPKc"));
    ASSERT_NE(nullptr, packAdd);
    ASSERT_EQ(1, packAdd(pack.c_str()));
    EXPECT_TRUE(IsOpen(pack));

    dlclose(library);
    if (void* still = dlopen(TQ_ENGINE_LIBRARY, RTLD_NOW | RTLD_NOLOAD)) {
        dlclose(still);
        GTEST_SKIP() << "the engine library stays loaded after dlclose here";
    }
    EXPECT_FALSE(IsOpen(pack));
}

} // namespace
