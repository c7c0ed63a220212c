#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// A folder of the fuzzing process's own, made at the first call and removed at its end, for
// the files each input becomes; in memory where the machine has a tmpfs for that, so that
// flushing costs nothing.
inline const std::filesystem::path& FuzzFolder() {
    struct OwnFolder {
        std::filesystem::path path;
        ~OwnFolder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const OwnFolder folder{[] {
        const std::filesystem::path memory = "/dev/shm";
        std::string pattern =
            (std::filesystem::is_directory(memory) ? memory
                                                   : std::filesystem::temp_directory_path()) /
            "ostrivan-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return std::filesystem::path(pattern);
    }()};
    return folder.path;
}
