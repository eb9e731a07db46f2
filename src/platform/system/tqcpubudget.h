// How many CPUs the process may keep busy: the CPUs its affinity mask allows (taskset, a
// container's cpuset), no more than its control group's CPU quota grants when one is set (cgroup
// v2 cpu.max, v1 cpu.cfs_quota_us over cpu.cfs_period_us, the smallest on the group's path).
#pragma once

#include <string>

namespace tqplat {

// CPUs in the calling thread's affinity mask; the online CPUs when the mask cannot be read.
int AffinityCpuCount();

// Whole CPUs a quota grants: quota / period rounded up, at least 1. 0 means no limit, as for
// "max", quota -1 or text that is not a quota.
int CpusOfCpuMax(const std::string& cpuMax);
int CpusOfCfsQuota(const std::string& quota, const std::string& period);

// The smallest CPU limit on the path of the process's control groups, read from the cgroup file
// systems mounted under `root` with the text of /proc/self/cgroup; 0 when none is set.
int CgroupCpuLimit(const std::string& root, const std::string& selfCgroup);

// The affinity count, lowered to the control group's limit.
int UsableCpuCount();

} // namespace tqplat
