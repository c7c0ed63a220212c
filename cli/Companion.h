#pragma once

#include "cli/CardOptions.h"
#include "form/frmOstrivan.h"

#include <memory>

// The window's form for a command of ostrivan-card, with its settings, folders and controls on
// the terminal.
struct Companion {
    Companion(const CardOptions& options, AppFolders folders, ReaderMaker readers)
        : controls(options.choices), form(controls, std::move(readers), std::move(folders)) {}

    TerminalControls controls;
    frmOstrivan form;
};

// The readers of the window: PC/SC readers, then the card files of the data folder's cards
// folder; each call makes a library of its own.
ReaderMaker StationReaders(const AppFolders& folders);

// The companion with the readers and settings of the window; it logs where the window's first
// run would, until the settings say otherwise.
std::unique_ptr<Companion> WithReaders(const CardOptions& options);
