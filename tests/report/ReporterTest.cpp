#include "report/Reporter.h"

#include "tests/support/FakeControls.h"
#include "tests/support/SystemCallSeam.h"
#include "tests/support/TestFiles.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

class StatusAndLog : public testing::Test {
protected:
    TempDir dir;
    FakeControls window;
    LogFileSetting logFile = {(dir / "log.txt").string(), dir / "log.txt"};
    Reporter report{window, window, [this]() -> const LogFileSetting& { return logFile; }};

    void SetLogFile(const std::filesystem::path& file) { logFile = {file.string(), file}; }
    std::vector<std::string> Logged() const { return LogTexts(logFile.file); }
};

TEST(LogLine, IsStampBlanksToColumn29TextCrLf) {
    const std::pair<LocalTime, std::string> cases[] = {
        {{2004, 3, 15, 14, 7, 9}, "2004/03/15 14:07:09"},
        {{2026, 1, 1, 0, 0, 1}, "2026/01/01 00:00:01"},
        {{2026, 12, 31, 12, 0, 0}, "2026/12/31 12:00:00"},
        {{1999, 7, 4, 23, 59, 59}, "1999/07/04 23:59:59"}};
    for (const auto& [time, stamp] : cases) {
        EXPECT_EQ(FormatLogLine(time, "Reading card \xE9"),
                  stamp + std::string(9, ' ') + "Reading card \xE9\r\n");
    }
}

TEST_F(StatusAndLog, FailingLogIsToldOnceUntilItWorksAgain) {
    const auto blocker = dir / "not-a-folder";
    WriteFileBytes(blocker, "");
    SetLogFile(blocker / "log.txt");
    report.ShowStatus("first");
    report.ReportCardError(46, "ASEMemConnect()");
    report.ShowStatus("third");
    const std::string notice = "Log file " + logFile.text + " cannot be written: Not a directory";
    EXPECT_EQ(
        window.lines,
        (std::deque<std::string>{
            "first", notice,
            "ASEMemConnect()  46 Error - The smart card resource manager has shut down", "third"}));

    std::filesystem::remove(blocker);
    std::filesystem::create_directory(blocker);
    report.ShowStatus("works");
    SystemCallSeam seam;
    seam.calls.write = [](int, const void*, std::size_t) -> ssize_t { return errno = ENOSPC, -1; };
    report.ShowStatus("disk full");
    EXPECT_EQ(window.lines.back(),
              "Log file " + logFile.text + " cannot be written: No space left on device");
    EXPECT_EQ(window.lines[window.lines.size() - 2], "disk full");
}

struct CodeCase {
    std::int32_t code;
    std::string line; // empty: nothing at all
    std::string box;
};

TEST_F(StatusAndLog, CardErrorsReadAsTheTableSays) {
    const CodeCase cases[] = {
        {32, "L()  32 Error - The smart card does not support the current function",
         "L() Error - The smart card does not support the current function"},
        {36, "L()  36 ERROR - The supplied password is incorrect",
         "L() ERROR - The supplied password is incorrect"},
        {49, "L()  49 Error - An unknown error has occurred",
         "L() Error - An unknown error has occurred"},
        {31, "L()  31 ", "L() "},
        {50, "L()  50 ", "L() "},
        {-2, "L() -2 ", "L() "},
        {0, "", ""}};
    for (const auto& c : cases) {
        window.lines.clear();
        window.boxes.clear();
        std::filesystem::remove(logFile.file);
        report.ReportCardError(c.code, "L()");
        if (c.line.empty()) {
            EXPECT_TRUE(window.lines.empty() && window.boxes.empty()) << c.code;
            EXPECT_FALSE(std::filesystem::exists(logFile.file));
            continue;
        }
        EXPECT_EQ(window.lines, std::deque<std::string>{c.line});
        EXPECT_EQ(Logged(), std::vector<std::string>{c.line});
        ASSERT_EQ(window.boxes.size(), 1u);
        EXPECT_EQ(window.boxes[0].text, c.box);
        EXPECT_EQ(window.boxes[0].caption, "Ostrivan");
        EXPECT_EQ(window.boxes[0].icon, MessageIcon::Critical);
        EXPECT_FALSE(window.boxes[0].question);
    }
}

TEST_F(StatusAndLog, RunTimeErrorIsALoggedLineWithoutABox) {
    report.ReportRuntimeError("TLVToCSV()", "Disk full");
    EXPECT_EQ(window.lines.back(), "** Error in TLVToCSV() VB error = Disk full");
    EXPECT_EQ(Logged().back(), "** Error in TLVToCSV() VB error = Disk full");
    EXPECT_TRUE(window.boxes.empty());
}

} // namespace
