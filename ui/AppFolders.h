#pragma once

#include <QString>

// Where the program keeps its things, found through the desktop's standard locations.
struct AppFolders {
    QString settingsFile; // the registry file of the settings
    QString dataFolder;   // the program's own folder: first log file, start folder, cards

    static AppFolders Standard();
    QString CardsFolder() const { return dataFolder + "/cards"; }
};
