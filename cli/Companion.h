#pragma once

#include "cli/CardOptions.h"
#include "form/frmOstrivan.h"
#include "reader/ReaderLibrary.h"

#include <memory>

// The window's form for a command of ostrivan-card, with its settings, folders and controls on
// the terminal.
struct Companion {
    Companion(const CardOptions& options, AppFolders folders, std::unique_ptr<ReaderLibrary> cards)
        : controls(options.choices), library(std::move(cards)),
          form(controls, *library, std::move(folders)) {}

    TerminalControls controls;
    std::unique_ptr<ReaderLibrary> library;
    frmOstrivan form;
};

// The companion with the readers and settings of the window: PC/SC readers, then the card
// files of its data folder; it logs where the window's first run would, until the settings say
// otherwise.
std::unique_ptr<Companion> WithReaders(const CardOptions& options);
