#pragma once

#include "form/CardArchive.h"
#include "form/Outcome.h"
#include "reader/CardExchange.h"

#include <filesystem>
#include <string>

// Read Card and Format Card from the moment they touch a card or a file on: the part that runs
// apart from the window, with nothing but the operation's own context and what the window
// lends it for the time.

struct ReadRequest {
    std::string name;               // the export file's name in the lines (code-page text)
    std::filesystem::path file;     // where it goes: standard output for an empty path
    bool summarize = true;          // the line that sums up the rows, after "Finished!"
    const CardArchive* archive;     // where the bytes read are kept; none: not kept
    std::filesystem::path herdBook; // where their weighings go, once they are kept
};

// Opens the export file, reads the card into it through the window's assembler (which the
// context lends it), closes it and keeps the bytes read, and their weighings in the herd book.
// A read that a stop cut short says so after its error, with the rows it kept.
Outcome ReadCardInto(ExchangeContext& context, const ReadRequest& request);

// Formats the card, once the question has been answered; the last line says what became of
// the card when a stop, or a write without an answer, ended it.
Outcome FormatCardIn(ExchangeContext& context);
