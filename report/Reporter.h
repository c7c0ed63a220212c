#pragma once

#include "report/CardErrorMessage.h"
#include "report/LineList.h"
#include "report/LocalTime.h"
#include "report/MessageBoxes.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <string_view>

constexpr std::string_view ApplicationTitle = "Ostrivan";

// The "Log File" setting as it stands: its text (code-page bytes, empty for no log) and the
// file it names. The source keeps it; it is asked again for every line.
struct LogFileSetting {
    std::string text;
    std::filesystem::path file;
};
using LogFileSource = std::function<const LogFileSetting&()>;

// What the system tells the operator and the log: status lines (ShowStatus), log lines
// (AppendLogLine, to the file the "Log File" setting names, asked for every line), and the
// error reports built on both.
class Reporter {
public:
    Reporter(LineList& list, MessageBoxes& boxes, LogFileSource logFile,
             LocalClock clock = SystemLocalTime);

    // Shows the line; logs it too unless log is false.
    void ShowStatus(std::string_view text, bool log = true);
    // Shows a block's dump line, which is never logged.
    void ShowBlockLine(std::string_view text);
    // Appends one time-stamped line to the log file; nothing when "Log File" is empty.
    void AppendLogLine(std::string_view text);

    void ShowProgress(ProgressOf what, std::int32_t done, std::int32_t total);

    // Nothing for code 0; otherwise a logged status line, the hint (status list only, when
    // there is one) and an error box.
    void ReportCardError(std::int32_t code, std::string_view operationLabel,
                         std::string_view hint = {});
    // A failure told as a card error is: its logged line, the hint, then the box.
    void ReportFailure(std::string_view line, std::string_view boxText, std::string_view hint);
    // A logged status line naming the procedure that trapped the error.
    void ReportRuntimeError(std::string_view procedureLabel, std::string_view description);
    // Runs a procedure's body, or a step of one, inside its trap: a run-time error is reported
    // with the procedure's label and ends it. Whether the body ran to its end.
    bool Trap(std::string_view procedureLabel, const std::function<void()>& body);

private:
    LineList& list_;
    MessageBoxes& boxes_;
    LogFileSource logFile_;
    LocalClock clock_;
    std::set<std::string> failingLogFiles_; // told once, until a line reaches the file again

    void NoteLogFailure(const std::string& logFile, const std::string& reason);
};
