#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// A small tmpfs mounted on a folder of its own, for faults that permission bits cannot make
// for root: a full disk, a read-only file system. Mounting needs root; where it is impossible
// the test skips, except under CI, where a skip would hide an untested fault.
class Tmpfs {
public:
    explicit Tmpfs(const std::filesystem::path& mountPoint, std::size_t bytes);
    ~Tmpfs();
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Failure() const { return failure_; }
    void MakeReadOnly();
    // Takes every free block, so that the next write that needs one fails with ENOSPC.
    void Fill();

private:
    std::filesystem::path mountPoint_;
    bool mounted_ = false;
    std::string failure_;
};

// Mounts a tmpfs or ends the test: skipped outside CI, failed under CI.
#define OSTRIVAN_MOUNT_TMPFS(var, path, bytes)                                                     \
    Tmpfs var(path, bytes);                                                                        \
    if (!var.Mounted()) {                                                                          \
        if (std::getenv("CI") != nullptr && std::string(std::getenv("CI")) == "true") {            \
            FAIL() << "cannot mount a tmpfs under CI: " << var.Failure();                          \
        }                                                                                          \
        GTEST_SKIP() << "cannot mount a tmpfs: " << var.Failure();                                 \
    }
