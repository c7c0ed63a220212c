#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// A small tmpfs mounted on a folder of its own (root only), for a disk that really fills up.
class Tmpfs {
public:
    explicit Tmpfs(const std::filesystem::path& mountPoint, std::size_t bytes);
    ~Tmpfs();
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;

    bool Mounted() const { return mounted_; }
    // Takes every free block, so that the next write that needs one fails with ENOSPC.
    void Fill();

private:
    std::filesystem::path mountPoint_;
    bool mounted_ = false;
};
