#include "card/ExportFile.h"

#include "base/RuntimeError.h"
#include "tests/support/Require.h"
#include "tests/support/SystemCallSeam.h"
#include "tests/support/TempDir.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>

namespace {

std::string Row(int n) {
    return "Draft,07:02:11,15/03/24,IE" + std::to_string(1000000 + n) + ",,,, 452, 2,,,\r\n";
}

// Writes rows until one fails; returns the failure's text.
std::string WriteUntilFull(ExportFile& file) {
    for (int n = 0; n < 100000; ++n) {
        try {
            file.WriteLine(Row(n));
        } catch (const RuntimeError& error) {
            return error.what();
        }
    }
    return "never full";
}

TEST(ExportFile, EmptiesTheFileAndWritesTheBytesUnchanged) {
    TempDir dir;
    WriteFileBytes(dir / "data.csv", std::string(500, 'x'));
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte) {
        everyByte.push_back(static_cast<char>(byte));
    }
    ExportFile file(dir / "data.csv");
    file.WriteLine(everyByte);
    file.Close();
    EXPECT_EQ(ReadFileBytes(dir / "data.csv"), everyByte);
}

std::size_t bytesLeft = 0;

TEST(ExportFile, RowThatDoesNotFitIsTakenOutAgain) {
    TempDir dir;
    SystemCallSeam seam;
    bytesLeft = 200;
    seam.calls.write = [](int fd, const void* data, std::size_t size) -> ssize_t {
        if (bytesLeft == 0) {
            errno = ENOSPC;
            return -1;
        }
        const std::size_t part = std::min(size, bytesLeft); // the disk takes what it can
        bytesLeft -= part;
        return files::RealCalls().write(fd, data, part);
    };
    ExportFile file(dir / "data.csv");
    EXPECT_EQ(WriteUntilFull(file),
              "Cannot write file " + (dir / "data.csv").string() + ": No space left on device");
    bytesLeft = 1000;
    file.WriteLine(Row(99));
    file.Close();
    EXPECT_EQ(ReadFileBytes(dir / "data.csv"), Row(0) + Row(1) + Row(2) + Row(3) + Row(99));
}

TEST(ExportFile, FailedFlushOrCloseIsAFailedWrite) {
    for (const bool atFlush : {true, false}) {
        TempDir dir;
        SystemCallSeam seam;
        ExportFile file(dir / "data.csv");
        file.WriteLine(Row(0));
        if (atFlush) {
            seam.calls.fsync = [](int) { return errno = EIO, -1; };
        } else {
            seam.calls.close = [](int fd) { return files::RealCalls().close(fd), errno = EIO, -1; };
        }
        try {
            file.Close();
            ADD_FAILURE() << "the close succeeded";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.what(),
                      "Cannot close file " + (dir / "data.csv").string() + ": Input/output error");
        }
    }
}

// A small tmpfs of its own (root only), for a disk that really fills up.
class Tmpfs {
public:
    explicit Tmpfs(const std::filesystem::path& folder) : folder_(folder) {
        std::filesystem::create_directories(folder_);
        mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                           "size=16384,mode=0777") == 0;
    }
    ~Tmpfs() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    bool Mounted() const { return mounted_; }
    // Takes every free block, so that the next write that needs one fails.
    void Fill() const {
        const int fd = ::open((folder_ / ".filler").c_str(), O_WRONLY | O_CREAT, 0600);
        char block[4096] = {};
        while (::write(fd, block, sizeof block) > 0 || ::write(fd, block, 1) > 0) {
        }
        ::close(fd);
    }

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
};

// The one proof on a real disk: when it fills up, the file still holds whole rows only.
TEST(ExportFile, RealDiskThatFillsUpKeepsWholeRows) {
    TempDir dir;
    const Tmpfs disk(dir / "disk");
    OSTRIVAN_REQUIRE(disk.Mounted(), "root, to mount a small tmpfs");
    ExportFile file(dir / "disk" / "data.csv");
    file.WriteLine(Row(0));
    disk.Fill();
    EXPECT_NE(WriteUntilFull(file).find("No space left on device"), std::string::npos);
    EXPECT_NO_THROW(file.Close());
    const std::string written = ReadFileBytes(dir / "disk" / "data.csv");
    EXPECT_GT(written.size(), Row(0).size() * 10);
    EXPECT_EQ(written.size() % Row(0).size(), 0u) << "whole rows only";
}

} // namespace
