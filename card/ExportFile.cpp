#include "card/ExportFile.h"

#include "report/RuntimeError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path, int error) {
    throw RuntimeError(std::string(what) + " " + path.string() + ": " + std::strerror(error));
}

} // namespace

ExportFile::ExportFile(std::filesystem::path path) : path_(std::move(path)) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        Fail("Cannot create file", path_, errno);
    }
}

ExportFile::~ExportFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void ExportFile::WriteLine(std::string_view line) {
    if (fd_ < 0) {
        throw RuntimeError("Bad file name or number");
    }
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t written = ::write(fd_, line.data() + done, line.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            const int error = errno;
            // A line that did not fit is taken out again: the file holds whole lines only.
            if (::ftruncate(fd_, size_) == 0) {
                ::lseek(fd_, size_, SEEK_SET);
            }
            Fail("Cannot write file", path_, error);
        }
        done += static_cast<std::size_t>(written);
    }
    size_ += static_cast<off_t>(done);
}

void ExportFile::Close() {
    if (fd_ < 0) {
        return;
    }
    struct stat written {};
    struct stat named {};
    const bool sameFile = ::fstat(fd_, &written) == 0 && ::stat(path_.c_str(), &named) == 0 &&
                          written.st_dev == named.st_dev && written.st_ino == named.st_ino;
    const int fd = fd_;
    fd_ = -1;
    // What the disk could not take may show only when it is flushed: that too is a failed write.
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL;
    const int flushError = errno;
    if (::close(fd) != 0 || !flushed) {
        Fail("Cannot close file", path_, flushed ? errno : flushError);
    }
    if (!sameFile) {
        throw RuntimeError("File was removed or replaced while it was written: " + path_.string());
    }
}
