#include "base/Files.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace files {
namespace {

const SystemCalls Real = {
    [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
    ::read,
    ::pread,
    ::write,
    ::lseek,
    ::ftruncate,
    ::fsync,
    ::fchmod,
    ::fstat,
    [](const char* path, struct stat* status) { return ::stat(path, status); },
    ::flock,
    ::close,
    ::rename,
    ::link,
    ::unlink,
};

SystemCalls InUse = Real;

std::error_code LastError() {
    return {errno, std::generic_category()};
}

} // namespace

SystemCalls& Calls() {
    return InUse;
}

const SystemCalls& RealCalls() {
    return Real;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

mode_t ModeFor(const std::filesystem::path& path) {
    struct stat status {};
    if (Calls().stat(path.c_str(), &status) == 0) {
        return status.st_mode & 07777;
    }
    return NewFileMode();
}

std::error_code CreateBeside(const std::filesystem::path& path, File& file,
                             std::filesystem::path& created) {
    std::random_device random;
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Short enough beside a name of the longest length a folder takes.
        created = path.parent_path() / ("." + path.filename().string().substr(0, 200) + "." +
                                        std::to_string(random() % 1000000000));
        error = File::Open(created, O_WRONLY | O_CREAT | O_EXCL, file, 0600);
        if (error != std::errc::file_exists) {
            return error;
        }
    }
    return error;
}

File::~File() {
    if (fd_ >= 0) {
        Calls().close(fd_);
    }
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            Calls().close(fd_);
        }
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

std::error_code File::Open(const std::filesystem::path& path, int flags, File& file, mode_t mode) {
    int fd = -1;
    do {
        fd = Calls().open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return LastError();
    }
    file = File();
    file.fd_ = fd;
    return {};
}

std::error_code File::Duplicate(int fd, File& file) {
    const int duplicate = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (duplicate < 0) {
        return LastError();
    }
    file = File();
    file.fd_ = duplicate;
    return {};
}

std::error_code File::WriteAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = Calls().write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return LastError();
        }
        if (written == 0) {
            return std::make_error_code(std::errc::io_error); // no progress: never loop for ever
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

std::error_code File::ReadAt(off_t offset, std::span<std::uint8_t> bytes, std::size_t& got) {
    got = 0;
    while (got < bytes.size()) {
        const ssize_t read = Calls().pread(fd_, bytes.data() + got, bytes.size() - got,
                                           offset + static_cast<off_t>(got));
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            return LastError();
        }
        if (read == 0) {
            break;
        }
        got += static_cast<std::size_t>(read);
    }
    return {};
}

std::error_code File::Read(std::span<char> bytes, std::size_t& got) {
    ssize_t read = 0;
    do {
        read = Calls().read(fd_, bytes.data(), bytes.size());
    } while (read < 0 && errno == EINTR);
    got = read < 0 ? 0 : static_cast<std::size_t>(read);
    return read < 0 ? LastError() : std::error_code();
}

std::error_code File::ReadToEnd(std::string& bytes) {
    char chunk[8192];
    std::size_t got = 0;
    std::error_code error;
    while (!(error = Read(chunk, got)) && got > 0) {
        bytes.append(chunk, got);
    }
    return error;
}

std::error_code File::TruncateTo(off_t size) {
    if (Calls().ftruncate(fd_, size) != 0 || Calls().lseek(fd_, size, SEEK_SET) < 0) {
        return LastError();
    }
    return {};
}

std::error_code File::SetMode(mode_t mode) {
    return Calls().fchmod(fd_, mode) == 0 ? std::error_code() : LastError();
}

std::error_code File::Sync() {
    // Only what cannot be synced at all (a pipe, a terminal) is let through.
    if (Calls().fsync(fd_) != 0 && errno != EINVAL) {
        return LastError();
    }
    return {};
}

std::error_code File::Status(struct stat& status) const {
    return Calls().fstat(fd_, &status) == 0 ? std::error_code() : LastError();
}

std::error_code File::TryLock() {
    return Calls().flock(fd_, LOCK_EX | LOCK_NB) == 0 ? std::error_code() : LastError();
}

std::error_code File::Close() {
    const int fd = fd_;
    fd_ = -1;
    // Linux releases the descriptor even when close fails, so it is never closed twice.
    return fd < 0 || Calls().close(fd) == 0 ? std::error_code() : LastError();
}

std::error_code ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    File file;
    auto error = File::Open(path, O_RDONLY, file);
    if (!error) {
        error = file.ReadToEnd(bytes);
    }
    const auto closed = file.Close();
    return error ? error : closed;
}

std::error_code AppendToFile(const std::filesystem::path& path, std::string_view bytes) {
    File file;
    auto error = File::Open(path, O_WRONLY | O_APPEND | O_CREAT, file);
    if (!error) {
        error = file.WriteAll(bytes);
    }
    const auto closed = file.Close();
    return error ? error : closed;
}

namespace {

enum class Existing { Replace, Keep };

// The content goes to a new file beside the path, which is flushed and then put in its place.
std::error_code WriteThroughNewFile(const std::filesystem::path& path, const ContentWriter& write,
                                    Existing existing) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    File file;
    std::filesystem::path created;
    if ((error = CreateBeside(path, file, created))) {
        return error;
    }
    error = write(file);
    if (!error) {
        error = file.SetMode(ModeFor(path));
    }
    if (!error) {
        error = file.Sync();
    }
    const auto closed = file.Close();
    if (!error) {
        error = closed;
    }
    // A link, unlike a rename, fails where a file of that name is there already.
    if (!error &&
        (existing == Existing::Replace ? Calls().rename(created.c_str(), path.c_str())
                                       : Calls().link(created.c_str(), path.c_str())) != 0) {
        error = LastError();
    }
    if (error || existing == Existing::Keep) {
        Calls().unlink(created.c_str());
    }
    return error;
}

} // namespace

std::error_code ReplaceFile(const std::filesystem::path& path, const ContentWriter& write) {
    return WriteThroughNewFile(path, write, Existing::Replace);
}

std::error_code ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
    return ReplaceFile(path, [bytes](File& file) { return file.WriteAll(bytes); });
}

std::error_code CreateNewFile(const std::filesystem::path& path, std::string_view bytes) {
    return WriteThroughNewFile(
        path, [bytes](File& file) { return file.WriteAll(bytes); }, Existing::Keep);
}

std::error_code LockExclusively(const std::filesystem::path& lockFile,
                                std::chrono::milliseconds patience, File& held) {
    std::error_code error;
    std::filesystem::create_directories(lockFile.parent_path(), error);
    File file;
    if ((error = File::Open(lockFile, O_RDWR | O_CREAT, file))) {
        return error;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while ((error = file.TryLock())) {
        if (error != std::errc::operation_would_block && error != std::errc::interrupted) {
            return error;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::make_error_code(std::errc::timed_out);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    held = std::move(file);
    return {};
}

bool IsRegularFile(const std::filesystem::path& path) {
    struct stat status {};
    return Calls().stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace files
