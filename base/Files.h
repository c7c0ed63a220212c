#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <system_error>

// Every file the program reads or writes goes through here: export files, the log, the
// settings file and card files. The system calls come from one table, so that a test can make
// any of them fail on demand: a full disk, an interrupted call, a short write, an I/O error.
namespace files {

struct SystemCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*read)(int fd, void* buffer, std::size_t size);
    ssize_t (*pread)(int fd, void* buffer, std::size_t size, off_t offset);
    ssize_t (*write)(int fd, const void* buffer, std::size_t size);
    off_t (*lseek)(int fd, off_t offset, int whence);
    int (*ftruncate)(int fd, off_t size);
    int (*fsync)(int fd);
    int (*fchmod)(int fd, mode_t mode);
    int (*fstat)(int fd, struct stat* status);
    int (*stat)(const char* path, struct stat* status);
    int (*flock)(int fd, int operation);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*link)(const char* from, const char* to);
    int (*unlink)(const char* path);
};

// The table in use. Tests replace entries and put the real ones back afterwards.
SystemCalls& Calls();
const SystemCalls& RealCalls();

// An open file, closed when it goes (a failure to close then is not seen: call Close to see it).
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    static std::error_code Open(const std::filesystem::path& path, int flags, File& file,
                                mode_t mode = 0666);
    // A file of its own for what the descriptor refers to (standard output, for instance).
    static std::error_code Duplicate(int fd, File& file);
    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }

    // Writes every byte, going on after short writes and interrupted calls.
    std::error_code WriteAll(std::string_view bytes);
    // Reads from the offset until the bytes are full or the file ends; got is what was read.
    std::error_code ReadAt(off_t offset, std::span<std::uint8_t> bytes, std::size_t& got);
    // Reads what one call gives from where the file stands; got is 0 at its end.
    std::error_code Read(std::span<char> bytes, std::size_t& got);
    // Reads from where the file stands to its end.
    std::error_code ReadToEnd(std::string& bytes);
    // Cuts the file to the size and writes on from there.
    std::error_code TruncateTo(off_t size);
    std::error_code SetMode(mode_t mode);
    std::error_code Sync();
    std::error_code Status(struct stat& status) const;
    std::error_code Close();

    // Takes an exclusive lock on the file at once, or fails (with EWOULDBLOCK when another
    // holds it).
    std::error_code TryLock();

private:
    int fd_ = -1;
};

// The whole file; a missing file is the error no_such_file_or_directory.
std::error_code ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// Opens the file for appending (creating it), writes the bytes and closes it again.
std::error_code AppendToFile(const std::filesystem::path& path, std::string_view bytes);

// Replaces the file so that it is never seen half-written: the content goes to a new file in
// the same folder (created when missing), which takes the old file's mode, is flushed to disk
// and renamed over it. On failure the old file is as it was and no new file is left.
using ContentWriter = std::function<std::error_code(File& file)>;
std::error_code ReplaceFile(const std::filesystem::path& path, const ContentWriter& write);
std::error_code ReplaceFile(const std::filesystem::path& path, std::string_view bytes);

// Writes a new file in the same way, but never in place of one that is there: then the error
// is file_exists and nothing is written.
std::error_code CreateNewFile(const std::filesystem::path& path, std::string_view bytes);

bool IsRegularFile(const std::filesystem::path& path);

// The mode a new file gets: what the umask leaves of 0666.
mode_t NewFileMode();
// The mode a file written in place of the path gets: the old file's, or a new file's.
mode_t ModeFor(const std::filesystem::path& path);

// A new file beside the path, named after it (".NAME.NUMBER"), made, opened for writing and
// readable by its owner only; no other file can have been there under that name.
std::error_code CreateBeside(const std::filesystem::path& path, File& file,
                             std::filesystem::path& created);

// Takes an exclusive lock on the lock file (created when missing, never removed, so that every
// program locks the same file) and holds it while the returned file stays open. A lock held
// by another program is waited for up to the time given: then timed_out. A lock dies with the
// program that held it.
std::error_code LockExclusively(const std::filesystem::path& lockFile,
                                std::chrono::milliseconds patience, File& held);

} // namespace files
