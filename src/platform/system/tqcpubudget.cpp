#include "platform/system/tqcpubudget.h"

#include <algorithm>
#include <fstream>
#include <sched.h>
#include <sstream>
#include <thread>
#include <vector>

namespace tqplat {

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A whole non-negative number of microseconds, or -1 for anything else (such as "max").
long long ParseMicroseconds(const std::string& text) {
    std::istringstream in(text);
    long long value = -1;
    std::string rest;
    if (!(in >> value) || value < 0 || (in >> rest))
        return -1;
    return value;
}

int CpusOfQuota(long long quota, long long period) {
    if (quota <= 0 || period <= 0)
        return 0;
    const long long cpus = quota / period + (quota % period != 0 ? 1 : 0);
    return static_cast<int>(std::min<long long>(cpus, 1 << 20));
}

// The smaller of two limits, where 0 is none.
int Tighter(int a, int b) {
    if (a == 0 || b == 0)
        return a + b;
    return std::min(a, b);
}

// The group's folder and each folder above it, up to the hierarchy's mount point. Folders that do
// not exist set no limit, so a process that sees its own group as the root (in a container) still
// finds the limit at the mount point.
std::vector<std::string> FoldersUpTo(const std::string& mount, const std::string& groupPath) {
    std::vector<std::string> folders;
    std::string path = groupPath;
    while (!path.empty() && path != "/") {
        folders.push_back(mount + path);
        path.erase(path.find_last_of('/'));
    }
    folders.push_back(mount);
    return folders;
}

int LimitOfV2Group(const std::string& mount, const std::string& path) {
    int limit = 0;
    for (const std::string& folder : FoldersUpTo(mount, path))
        limit = Tighter(limit, CpusOfCpuMax(ReadText(folder + "/cpu.max")));
    return limit;
}

int LimitOfV1Group(const std::string& mount, const std::string& path) {
    int limit = 0;
    for (const std::string& folder : FoldersUpTo(mount, path))
        limit = Tighter(limit, CpusOfCfsQuota(ReadText(folder + "/cpu.cfs_quota_us"),
                                              ReadText(folder + "/cpu.cfs_period_us")));
    return limit;
}

bool HasCpuController(const std::string& controllers) {
    std::istringstream list(controllers);
    for (std::string name; std::getline(list, name, ',');)
        if (name == "cpu")
            return true;
    return false;
}

} // namespace

int AffinityCpuCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

int CpusOfCpuMax(const std::string& cpuMax) {
    std::istringstream in(cpuMax);
    std::string quota, period = "100000", rest;
    if (!(in >> quota) || ((in >> period) && (in >> rest)))
        return 0;
    return CpusOfQuota(ParseMicroseconds(quota), ParseMicroseconds(period));
}

int CpusOfCfsQuota(const std::string& quota, const std::string& period) {
    return CpusOfQuota(ParseMicroseconds(quota), ParseMicroseconds(period));
}

// Each line of /proc/self/cgroup is "id:controllers:path"; "0::path" is the unified (v2) group.
int CgroupCpuLimit(const std::string& root, const std::string& selfCgroup) {
    int limit = 0;
    std::istringstream lines(selfCgroup);
    for (std::string line; std::getline(lines, line);) {
        const size_t first = line.find(':');
        const size_t second = first == std::string::npos ? first : line.find(':', first + 1);
        if (second == std::string::npos || line.compare(second + 1, 1, "/") != 0)
            continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const std::string path = line.substr(second + 1);
        if (controllers.empty()) {
            limit = Tighter(limit, LimitOfV2Group(root, path));
        } else if (HasCpuController(controllers)) {
            limit = Tighter(limit, LimitOfV1Group(root + "/" + controllers, path));
            if (controllers != "cpu")
                limit = Tighter(limit, LimitOfV1Group(root + "/cpu", path));
        }
    }
    return limit;
}

int UsableCpuCount() {
    const int limit = CgroupCpuLimit("/sys/fs/cgroup", ReadText("/proc/self/cgroup"));
    const int affinity = AffinityCpuCount();
    return limit > 0 ? std::min(affinity, limit) : affinity;
}

} // namespace tqplat
