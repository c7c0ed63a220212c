#include "report/Reporter.h"

#include "base/Files.h"
#include "report/NumberText.h"

namespace {

constexpr int MaxStatusLines = 32767;

} // namespace

Reporter::Reporter(LineList& list, MessageBoxes& boxes, LogFileSource logFile, LocalClock clock)
    : list_(list), boxes_(boxes), logFile_(std::move(logFile)), clock_(std::move(clock)) {}

void Reporter::AddToList(std::string_view text, LineKind kind) {
    // The list is bounded; the oldest line makes room, so the newest is always there.
    while (list_.LineCount() >= MaxStatusLines) {
        list_.RemoveFirstLine();
    }
    list_.AddLine(text, kind);
}

void Reporter::ShowStatus(std::string_view text, bool log) {
    AddToList(text, LineKind::Status);
    if (log) {
        AppendLogLine(text);
    }
}

void Reporter::ShowBlockLine(std::string_view text) {
    AddToList(text, LineKind::BlockDump);
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
        AddToList("Log file " + logFile + " cannot be written: " + reason, LineKind::Status);
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
    ShowStatus(line);
    if (!hint.empty()) {
        ShowStatus(hint, false);
    }
    std::string boxText(operationLabel);
    boxText.append(" ").append(message);
    boxes_.ShowMessage(boxText, ApplicationTitle, MessageIcon::Critical);
}

void Reporter::ReportRuntimeError(std::string_view procedureLabel, std::string_view description) {
    std::string line = "** Error in ";
    line.append(procedureLabel).append(" VB error = ").append(description);
    ShowStatus(line);
}
