#include "card/CsvFile.h"

#include "base/RuntimeError.h"
#include "card/CreateExport.h"
#include "tests/support/SystemCallSeam.h"
#include "tests/support/TestFiles.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

std::string Row(int n) {
    return "Draft,07:02:11,15/03/24,IE" + std::to_string(1000000 + n) + ",,,, 452, 2,,,\r\n";
}

// Writes rows until one fails; returns the failure's text.
std::string WriteUntilFull(CsvFile& file) {
    for (int n = 0; n < 100000; ++n) {
        try {
            file.WriteLine(Row(n));
        } catch (const RuntimeError& error) {
            return error.what();
        }
    }
    return "never full";
}

// Closes the export; what the failure to close said, empty when it closed.
template <typename Export> std::string CloseFailure(Export& file) {
    try {
        file.Close();
        return {};
    } catch (const RuntimeError& error) {
        return error.what();
    }
}

std::size_t bytesLeft = 0;

TEST(CsvFile, RowThatDoesNotFitIsTakenOutAgainAndNoneFollows) {
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
    CsvFile file(dir / "data.csv", CsvCommas::AfterEachCell);
    EXPECT_EQ(WriteUntilFull(file),
              "Cannot write file " + (dir / "data.csv").string() + ": No space left on device");
    bytesLeft = 1000;
    file.WriteLine(Row(99)); // the export stopped at its first failed write
    file.Close();
    EXPECT_EQ(ReadFileBytes(dir / "data.csv"), Row(0) + Row(1) + Row(2) + Row(3));
}

TEST(CsvFile, FailedFlushOrCloseIsAFailedWrite) {
    for (const bool atFlush : {true, false}) {
        TempDir dir;
        SystemCallSeam seam;
        CsvFile file(dir / "data.csv", CsvCommas::AfterEachCell);
        file.WriteLine(Row(0));
        if (atFlush) {
            seam.calls.fsync = [](int) { return errno = EIO, -1; };
        } else {
            seam.calls.close = [](int fd) { return files::RealCalls().close(fd), errno = EIO, -1; };
        }
        EXPECT_EQ(CloseFailure(file),
                  "Cannot close file " + (dir / "data.csv").string() + ": Input/output error");
    }
}

TEST(Workbook, ThatCannotBePutInPlaceLeavesNoFileAndSaysSo) {
    TempDir dir;
    const auto book = CreateExport(dir / "data.xlsx");
    book->WriteRow({"Draft", "07:02:11", "15/03/24", "IE1234567"});
    SystemCallSeam seam;
    seam.calls.rename = [](const char*, const char*) { return errno = EACCES, -1; };
    EXPECT_EQ(CloseFailure(*book),
              "Cannot close file " + (dir / "data.xlsx").string() + ": Permission denied");
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

} // namespace
