#include "report/StatusReport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace {

constexpr int MaxStatusLines = 32767;

// The reason of the failure, or nothing when the line is in the file.
std::optional<std::string> AppendToFile(const std::string& file, std::string_view bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return std::strerror(errno);
    }
    std::optional<std::string> failure;
    while (!bytes.empty() && !failure) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (errno != EINTR) {
            failure = std::strerror(errno);
        }
    }
    if (::close(fd) != 0 && !failure) {
        failure = std::strerror(errno);
    }
    return failure;
}

} // namespace

StatusReport::StatusReport(StatusList& list, MessageBoxes& boxes, registry_mdl& settings,
                           LocalClock clock)
    : list_(list), boxes_(boxes), settings_(settings), clock_(std::move(clock)) {}

void StatusReport::AddToList(std::string_view text) {
    // The list is bounded; the oldest line makes room, so the newest is always there.
    while (list_.LineCount() >= MaxStatusLines) {
        list_.RemoveFirstLine();
    }
    list_.AddLine(text);
}

void StatusReport::ShowStatus(std::string_view text, bool log) {
    AddToList(text);
    if (log) {
        AppendLogLine(text);
    }
}

void StatusReport::AppendLogLine(std::string_view text) {
    const std::string logFile =
        SettingText(settings_.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "Log File"));
    if (logFile.empty()) {
        return;
    }
    if (const auto failure = AppendToFile(logFile, FormatLogLine(clock_(), text))) {
        NoteLogFailure(logFile, *failure);
    } else {
        failingLogFiles_.erase(logFile);
    }
}

void StatusReport::NoteLogFailure(const std::string& logFile, const std::string& reason) {
    if (failingLogFiles_.insert(logFile).second) {
        AddToList("Log file " + logFile + " cannot be written: " + reason);
    }
}
