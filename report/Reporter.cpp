#include "report/Reporter.h"

#include "base/Files.h"
#include "report/NumberText.h"

Reporter::Reporter(LineList& list, MessageBoxes& boxes, LogFileSource logFile, LocalClock clock)
    : list_(list), boxes_(boxes), logFile_(std::move(logFile)), clock_(std::move(clock)) {}

void Reporter::ShowStatus(std::string_view text, bool log) {
    list_.AddLine(text, LineKind::Status);
    if (log) {
        AppendLogLine(text);
    }
}

void Reporter::ShowBlockLine(std::string_view text) {
    list_.AddLine(text, LineKind::BlockDump);
}

void Reporter::ShowProgress(ProgressOf what, std::int32_t done, std::int32_t total) {
    list_.ShowProgress(what, done, total);
}

void Reporter::AppendLogLine(std::string_view text) {
    const LogFileSetting& logFile = logFile_();
    if (logFile.text.empty()) {
        return;
    }
    if (const auto error = files::AppendToFile(logFile.file, FormatLogLine(clock_(), text))) {
        NoteLogFailure(logFile.text, error.message());
    } else {
        failingLogFiles_.erase(logFile.text);
    }
}

void Reporter::NoteLogFailure(const std::string& logFile, const std::string& reason) {
    if (failingLogFiles_.insert(logFile).second) {
        list_.AddLine("Log file " + logFile + " cannot be written: " + reason, LineKind::Status);
    }
}

void Reporter::ReportCardError(std::int32_t code, std::string_view operationLabel,
                               std::string_view hint) {
    if (code == 0) {
        return;
    }
    const std::string_view message = CardErrorMessage(code);
    std::string line(operationLabel);
    line.append(" ").append(BlankLedNumber(code)).append(" ").append(message);
    std::string boxText(operationLabel);
    boxText.append(" ").append(message);
    ReportFailure(line, boxText, hint);
}

void Reporter::ReportFailure(std::string_view line, std::string_view boxText,
                             std::string_view hint) {
    ShowStatus(line);
    if (!hint.empty()) {
        ShowStatus(hint, false);
    }
    boxes_.ShowMessage(boxText, ApplicationTitle, MessageIcon::Critical);
}

void Reporter::ReportRuntimeError(std::string_view procedureLabel, std::string_view description) {
    std::string line = "** Error in ";
    line.append(procedureLabel).append(" VB error = ").append(description);
    ShowStatus(line);
}

bool Reporter::Trap(std::string_view procedureLabel, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        ReportRuntimeError(procedureLabel, error.what());
        return false;
    }
}
