#include "report/Reporter.h"

#include "base/Files.h"

namespace {

constexpr int MaxStatusLines = 32767;

} // namespace

Reporter::Reporter(LineList& list, MessageBoxes& boxes, LogFileSource logFile, LocalClock clock)
    : list_(list), boxes_(boxes), logFile_(std::move(logFile)), clock_(std::move(clock)) {}

void Reporter::AddToList(std::string_view text) {
    // The list is bounded; the oldest line makes room, so the newest is always there.
    while (list_.LineCount() >= MaxStatusLines) {
        list_.RemoveFirstLine();
    }
    list_.AddLine(text);
}

void Reporter::ShowStatus(std::string_view text, bool log) {
    AddToList(text);
    if (log) {
        AppendLogLine(text);
    }
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
        AddToList("Log file " + logFile + " cannot be written: " + reason);
    }
}
