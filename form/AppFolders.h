#pragma once

#include <filesystem>

// Where the programs keep their things, by the desktop's rules (XDG base directories): the
// settings under $XDG_CONFIG_HOME, the data folder under $XDG_DATA_HOME, each defaulting to
// its place in the home folder. Empty paths stand for none: no settings (so no log) and no
// archive.
struct AppFolders {
    std::filesystem::path settingsFile; // the settings store
    std::filesystem::path dataFolder;   // first log file, start folder, cards, archive, herd book

    static AppFolders Standard();
    std::filesystem::path CardsFolder() const { return dataFolder / "cards"; }
    std::filesystem::path ArchiveFolder() const { return dataFolder / "archive"; }
    std::filesystem::path HerdBookFile() const { return dataFolder / "herd-book.sqlite"; }
};
