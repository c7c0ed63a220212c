#pragma once

#include "cli/TerminalControls.h"

#include <filesystem>
#include <string>

// What the card commands of ostrivan-card are given on the command line.
struct CardOptions {
    std::string reader;
    std::string output; // the export file; empty: standard output
    std::filesystem::path image;
    std::string text; // a card written as text; "-": standard input
    bool force = false;
    TerminalControls::Choices choices;
};

// The commands over the window's form, each returning its exit status.
int ListReaders(const CardOptions& options);
int ReadCard(const CardOptions& options);
int FormatCard(const CardOptions& options);
// The export of a card image, or of a card written as text, without a reader, log or archive.
int ExportCard(const CardOptions& options);
