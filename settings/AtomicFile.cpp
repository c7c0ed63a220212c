#include "settings/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Reason(const char* step) {
    return std::string(step) + ": " + std::strerror(errno);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

mode_t ModeFor(const std::filesystem::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) == 0) {
        return status.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
    }
    std::string bytes;
    char chunk[8192];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
        // A short read of a regular file is its end: that saves the call that would say so.
        if (static_cast<std::size_t>(got) < sizeof chunk) {
            ::close(fd);
            return bytes;
        }
    }
}

std::optional<std::string> ReplaceFileAtomically(const std::filesystem::path& file,
                                                 std::string_view bytes) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    std::string temporary = (file.parent_path() / ("." + file.filename().string() + ".XXXXXX"));
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return Reason("create");
    }
    std::optional<std::string> failure;
    if (!WriteAll(fd, bytes)) {
        failure = Reason("write");
    } else if (::fchmod(fd, ModeFor(file)) != 0 || ::fsync(fd) != 0) {
        failure = Reason("flush");
    }
    if (::close(fd) != 0 && !failure) {
        failure = Reason("close");
    }
    if (!failure && ::rename(temporary.c_str(), file.c_str()) != 0) {
        failure = Reason("rename");
    }
    if (failure) {
        ::unlink(temporary.c_str());
    }
    return failure;
}
