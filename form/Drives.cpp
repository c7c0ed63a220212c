#include "form/Drives.h"

#include <algorithm>
#include <cstdio>
#include <mntent.h>
#include <set>
#include <string_view>
#include <sys/statvfs.h>

namespace {

bool IsPseudoFileSystem(std::string_view type) {
    static const std::set<std::string_view> Pseudo = {
        "proc",    "sysfs",  "devtmpfs",    "devpts",   "cgroup", "cgroup2",   "securityfs",
        "pstore",  "bpf",    "debugfs",     "tracefs",  "mqueue", "hugetlbfs", "configfs",
        "fusectl", "autofs", "binfmt_misc", "efivarfs", "nsfs",   "rpc_pipefs"};
    return Pseudo.contains(type);
}

bool IsReady(const char* mountPoint) {
    struct statvfs status {};
    return ::statvfs(mountPoint, &status) == 0;
}

} // namespace

std::vector<std::filesystem::path> MountedDrives() {
    std::set<std::filesystem::path> drives = {"/"};
    if (std::FILE* table = ::setmntent("/proc/self/mounts", "r")) {
        while (const mntent* mount = ::getmntent(table)) {
            if (!IsPseudoFileSystem(mount->mnt_type) && IsReady(mount->mnt_dir)) {
                drives.insert(mount->mnt_dir);
            }
        }
        ::endmntent(table);
    }
    return {drives.begin(), drives.end()};
}

bool IsWithin(const std::filesystem::path& path, const std::filesystem::path& folder) {
    const auto ends = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return ends.first == folder.end();
}

int DriveOf(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& drives) {
    int best = -1;
    for (int i = 0; i < static_cast<int>(drives.size()); ++i) {
        const auto& drive = drives[static_cast<std::size_t>(i)];
        if (IsWithin(folder, drive) &&
            (best < 0 ||
             drive.native().size() > drives[static_cast<std::size_t>(best)].native().size())) {
            best = i;
        }
    }
    return best;
}
