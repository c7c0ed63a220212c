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
