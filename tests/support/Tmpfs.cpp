#include "tests/support/Tmpfs.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

Tmpfs::Tmpfs(const std::filesystem::path& mountPoint, std::size_t bytes) : mountPoint_(mountPoint) {
    std::filesystem::create_directories(mountPoint_);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
    mounted_ =
        ::mount("tmpfs", mountPoint_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

Tmpfs::~Tmpfs() {
    if (mounted_) {
        ::umount2(mountPoint_.c_str(), MNT_DETACH);
    }
}

void Tmpfs::Fill() {
    const auto filler = mountPoint_ / ".filler";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    char block[4096] = {};
    while (fd >= 0 && ::write(fd, block, sizeof block) > 0) {
    }
    while (fd >= 0 && ::write(fd, block, 1) > 0) {
    }
    ::close(fd);
}
