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
// weighings in the herd book, each once, with its gain per day, once the book has taken in the
// card images of the station's archive and of the folders given that it had not. An image that
// cannot be read, or is no card image, is named on standard error and gives nothing: then the
// status is 5; a folder given that is not there: 3; a book that cannot be used: 4; TAGs of which
// none has a weighing: 1. Returns the exit status.
int HistoryCommand(const HistoryOptions& options);
