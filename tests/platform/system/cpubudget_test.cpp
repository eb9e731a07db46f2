// The CPUs a process may keep busy: control-group quotas read from their texts and from a group tree.
#include "platform/system/tqcpubudget.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(CpuBudget, QuotaTextsGiveWholeCpusRoundedUp) {
    EXPECT_EQ(0, tqplat::CpusOfCpuMax("max 100000\n"));
    EXPECT_EQ(2, tqplat::CpusOfCpuMax("150000 100000\n"));
    EXPECT_EQ(1, tqplat::CpusOfCpuMax("100000 100000"));
    EXPECT_EQ(1, tqplat::CpusOfCpuMax("20000 100000"));
    EXPECT_EQ(4, tqplat::CpusOfCpuMax("200000 50000"));
    EXPECT_EQ(3, tqplat::CpusOfCpuMax("250000")); // the period defaults to 100 ms
    EXPECT_EQ(1 << 20, tqplat::CpusOfCpuMax("9223372036854775807 1"));
    for (const char* unusable : {"", "\n", "max", "-5 100000", "100000 0", "12x 100000", "1 2 3", "fast"})
        EXPECT_EQ(0, tqplat::CpusOfCpuMax(unusable)) << unusable;
    EXPECT_EQ(0, tqplat::CpusOfCfsQuota("-1\n", "100000\n"));
    EXPECT_EQ(3, tqplat::CpusOfCfsQuota("250000\n", "100000\n"));
    EXPECT_EQ(0, tqplat::CpusOfCfsQuota("", ""));
}

class CgroupTree : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tqcgroup_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        root = pattern;
    }
    void TearDown() override { fs::remove_all(root); }
    void Write(const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(root + path).parent_path());
        std::ofstream(root + path) << text;
    }
    std::string root;
};

TEST_F(CgroupTree, TheTightestLimitOnTheGroupsPathCounts) {
    EXPECT_EQ(0, tqplat::CgroupCpuLimit(root, "0::/user.slice/game.scope\n"));
    Write("/user.slice/game.scope/cpu.max", "max 100000\n");
    Write("/user.slice/cpu.max", "300000 100000\n");
    EXPECT_EQ(3, tqplat::CgroupCpuLimit(root, "0::/user.slice/game.scope\n"));
    Write("/user.slice/game.scope/cpu.max", "150000 100000\n");
    EXPECT_EQ(2, tqplat::CgroupCpuLimit(root, "0::/user.slice/game.scope\n"));
    // A container sees its own group as the root: the limit sits at the mount point.
    Write("/cpu.max", "100000 100000\n");
    EXPECT_EQ(1, tqplat::CgroupCpuLimit(root, "0::/\n"));

    // Version 1: the cpu controller's own hierarchy, also when mounted together with cpuacct.
    const std::string v1 = "12:memory:/box\n3:cpu,cpuacct:/docker/box\n1:name=systemd:/box\n";
    Write("/cpu,cpuacct/docker/box/cpu.cfs_quota_us", "-1\n");
    Write("/cpu,cpuacct/docker/box/cpu.cfs_period_us", "100000\n");
    Write("/cpu,cpuacct/docker/cpu.cfs_quota_us", "450000\n");
    Write("/cpu,cpuacct/docker/cpu.cfs_period_us", "100000\n");
    EXPECT_EQ(0, tqplat::CgroupCpuLimit(root + "/nothing", v1 + "0::/\n"));
    EXPECT_EQ(5, tqplat::CgroupCpuLimit(root, v1));
    EXPECT_EQ(0, tqplat::CgroupCpuLimit(root, "garbage\n::\n7:cpu\n"));
}

} // namespace
