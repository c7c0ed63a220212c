#include "base/Files.h"

#include "tests/support/SystemCallSeam.h"
#include "tests/support/TestFiles.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

const std::string Content = "RecType,Time,Date,Tag Nr,Invoice Nr,Location Id,Location Name,\r\n"
                            "Draft,07:02:11,15/03/24,IE1234567,,,, 452, 2,,,\r\n";

int callsSoFar = 0;      // calls made through a faulty entry, for the faults that alternate
std::size_t written = 0; // bytes a full disk took

template <typename Result, typename... Args>
Result Interrupted(Result (*real)(Args...), Args... args) {
    if (++callsSoFar % 2 == 1) {
        errno = EINTR;
        return -1;
    }
    return real(args...);
}

int Failing(int error) {
    errno = error;
    return -1;
}

struct Fault {
    const char* name;
    void (*install)(files::SystemCalls& calls);
    std::string replaceError; // empty: the file is replaced in the end
    std::string appendError;  // empty: the bytes are appended in the end
};

const Fault Faults[] = {
    {"short writes and reads",
     [](files::SystemCalls& calls) {
         calls.write = [](int fd, const void* data, std::size_t size) {
             return files::RealCalls().write(fd, data, std::min<std::size_t>(size, 3));
         };
         calls.read = [](int fd, void* data, std::size_t size) {
             return files::RealCalls().read(fd, data, std::min<std::size_t>(size, 5));
         };
     },
     "", ""},
    {"interrupted calls",
     [](files::SystemCalls& calls) {
         calls.open = [](const char* path, int flags, mode_t mode) {
             return Interrupted(files::RealCalls().open, path, flags, mode);
         };
         calls.write = [](int fd, const void* data, std::size_t size) {
             return Interrupted(files::RealCalls().write, fd, data, size);
         };
         calls.read = [](int fd, void* data, std::size_t size) {
             return Interrupted(files::RealCalls().read, fd, data, size);
         };
     },
     "", ""},
    {"full disk",
     [](files::SystemCalls& calls) {
         calls.write = [](int fd, const void* data, std::size_t size) -> ssize_t {
             if (written + size > 50) {
                 return Failing(ENOSPC);
             }
             written += size;
             return files::RealCalls().write(fd, data, size);
         };
     },
     "No space left on device", "No space left on device"},
    {"I/O error when flushed",
     [](files::SystemCalls& calls) { calls.fsync = [](int) { return Failing(EIO); }; },
     "Input/output error", ""},
    {"I/O error when closed",
     [](files::SystemCalls& calls) {
         calls.close = [](int fd) {
             files::RealCalls().close(fd);
             return Failing(EIO);
         };
     },
     "Input/output error", "Input/output error"},
    {"rename refused",
     [](files::SystemCalls& calls) {
         calls.rename = [](const char*, const char*) { return Failing(EACCES); };
     },
     "Permission denied", ""},
};

TEST(Files, EveryWriteSurvivesOrReportsTheFaultsOfItsSystemCalls) {
    for (const Fault& fault : Faults) {
        TempDir dir;
        WriteFileBytes(dir / "store", "old");
        callsSoFar = 0;
        written = 0;
        SystemCallSeam seam;
        fault.install(seam.calls);
        const auto replaced = files::ReplaceFile(dir / "store", Content);
        const auto appended = files::AppendToFile(dir / "log", Content);
        std::string readBack;
        files::ReadWholeFile(dir / "store", readBack);
        seam.calls = files::RealCalls();

        EXPECT_EQ(replaced ? replaced.message() : "", fault.replaceError) << fault.name;
        EXPECT_EQ(appended ? appended.message() : "", fault.appendError) << fault.name;
        const std::string expected = fault.replaceError.empty() ? Content : "old";
        EXPECT_EQ(ReadFileBytes(dir / "store"), expected) << fault.name;
        EXPECT_EQ(readBack, expected) << fault.name;
        if (fault.appendError.empty()) {
            EXPECT_EQ(ReadFileBytes(dir / "log"), Content) << fault.name;
        }
        const auto left = std::distance(std::filesystem::directory_iterator(dir.Path()), {});
        EXPECT_EQ(left, 2) << fault.name << ": no temporary file is left";
    }
}

} // namespace
