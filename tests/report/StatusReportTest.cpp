#include "tests/support/ReportFixture.h"

namespace {

using StatusAndLog = ReportFixture;

TEST_F(StatusAndLog, LogFlagDecidesWhetherTheLineIsLogged) {
    report.ShowStatus("Reading card");
    report.ShowStatus("Card Connect", false);
    report.ShowStatus("", true);
    report.AppendLogLine("only in the log");
    EXPECT_EQ(list.lines, (std::deque<std::string>{"Reading card", "Card Connect", ""}));
    EXPECT_EQ(LogTexts(), (std::vector<std::string>{"Reading card", "", "only in the log"}));
}

TEST_F(StatusAndLog, LogLineIsStampTimeBlanksTextCrLf) {
    const std::pair<LocalTime, std::string> cases[] = {
        {{2004, 3, 15, 14, 7, 9}, "2004/03/15 14:07:09"},
        {{2026, 1, 1, 0, 0, 1}, "2026/01/01 00:00:01"},
        {{2026, 12, 31, 12, 0, 0}, "2026/12/31 12:00:00"},
        {{1999, 7, 4, 23, 59, 59}, "1999/07/04 23:59:59"}};
    std::string expected;
    for (const auto& [time, stamp] : cases) {
        now = time;
        report.AppendLogLine("Reading card \xE9");
        expected += stamp + std::string(9, ' ') + "Reading card \xE9\r\n";
    }
    EXPECT_EQ(ReadFileBytes(logFile), expected);
}

TEST_F(StatusAndLog, EmptyLogFileSettingWritesNothing) {
    SetLogFile("");
    report.ShowStatus("shown");
    EXPECT_EQ(list.lines.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(logFile));
}

TEST_F(StatusAndLog, LogFileIsAppendedToAndFollowsTheSetting) {
    WriteFileBytes(logFile, "old\r\n");
    report.ShowStatus("one");
    const auto second = dir / "second.txt";
    SetLogFile(second.string());
    report.ShowStatus("two");
    EXPECT_EQ(ReadFileBytes(logFile).substr(0, 5), "old\r\n");
    EXPECT_NE(ReadFileBytes(logFile).find("one"), std::string::npos);
    EXPECT_NE(ReadFileBytes(second).find("two"), std::string::npos);
}

TEST_F(StatusAndLog, FailingLogIsToldOnceUntilItWorksAgain) {
    const auto blocker = dir / "not-a-folder";
    WriteFileBytes(blocker, "");
    const auto failing = blocker / "log.txt";
    SetLogFile(failing.string());
    report.ShowStatus("first");
    report.ReportCardError(46, "ASEMemConnect()");
    report.ShowStatus("third");
    const std::string notice =
        "Log file " + failing.string() + " cannot be written: Not a directory";
    EXPECT_EQ(
        list.lines,
        (std::deque<std::string>{
            "first", notice,
            "ASEMemConnect()  46 Error - The smart card resource manager has shut down", "third"}));

    std::filesystem::remove(blocker);
    std::filesystem::create_directory(blocker);
    report.ShowStatus("works");
    std::filesystem::remove_all(blocker);
    WriteFileBytes(blocker, "");
    report.ShowStatus("fails again");
    EXPECT_EQ(list.lines.back(), notice);
    EXPECT_EQ(list.lines[list.lines.size() - 2], "fails again");
}

TEST_F(StatusAndLog, ListKeepsTheNewest32767Lines) {
    SetLogFile("");
    for (int i = 0; i < 32767 + 5; ++i) {
        report.ShowStatus(std::to_string(i), false);
    }
    EXPECT_EQ(list.lines.size(), 32767u);
    EXPECT_EQ(list.lines.front(), "5");
    EXPECT_EQ(list.lines.back(), "32771");
}

struct CodeCase {
    std::int32_t code;
    std::string line;
    std::string box;
};

TEST_F(StatusAndLog, CardErrorsReadAsTheTableSays) {
    const CodeCase cases[] = {
        {32, "L()  32 Error - The smart card does not support the current function",
         "L() Error - The smart card does not support the current function"},
        {33,
         "L()  33 Error - The smart card has been removed.  Further communication is not "
         "possible",
         "L() Error - The smart card has been removed.  Further communication is not possible"},
        {36, "L()  36 ERROR - The supplied password is incorrect",
         "L() ERROR - The supplied password is incorrect"},
        {49, "L()  49 Error - An unknown error has occurred",
         "L() Error - An unknown error has occurred"},
        {31, "L()  31 ", "L() "},
        {50, "L()  50 ", "L() "},
        {-2, "ASEMemReadDataOnly -2 ", "ASEMemReadDataOnly "}};
    for (const auto& c : cases) {
        list.lines.clear();
        boxes.shown.clear();
        report.ReportCardError(c.code, c.code == -2 ? "ASEMemReadDataOnly" : "L()");
        ASSERT_EQ(list.lines.size(), 1u);
        EXPECT_EQ(list.lines[0], c.line);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, c.box);
        EXPECT_EQ(boxes.shown[0].caption, "Ostrivan");
        EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Critical);
        EXPECT_FALSE(boxes.shown[0].question);
        EXPECT_EQ(LogTexts().back(), c.line);
    }
}

TEST_F(StatusAndLog, CodeZeroReportsNothing) {
    report.ReportCardError(0, "ASEListReaders()");
    EXPECT_TRUE(list.lines.empty());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(logFile));
}

TEST_F(StatusAndLog, RunTimeErrorIsALoggedLineWithoutABox) {
    report.ReportRuntimeError("TLVToCSV()", "Disk full");
    EXPECT_EQ(list.lines.back(), "** Error in TLVToCSV() VB error = Disk full");
    EXPECT_EQ(LogTexts().back(), "** Error in TLVToCSV() VB error = Disk full");
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
