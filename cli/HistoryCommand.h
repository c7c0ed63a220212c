#pragma once

#include <filesystem>
#include <string>
#include <vector>

// What `ostrivan-card history` is given on the command line.
struct HistoryOptions {
    std::vector<std::string> tags;               // none: one row per tag
    std::vector<std::filesystem::path> archives; // none: the archive of the data folder
    std::string output;
    bool force = false;
};

// ostrivan-card history [TAG...] [--archive DIR]... [--output FILE] [--force]: every animal's
// weighings across the card images of the archives, each weighing once, with its gain per day.
// Images that cannot be read or decoded are named on standard error and give no weighing; then
// the status is 5. Returns the exit status.
int HistoryCommand(const HistoryOptions& options);
