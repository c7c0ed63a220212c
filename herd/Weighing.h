#pragma once

#include "card/ExportColumns.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One weighing of an animal, as a row of a card's export holds it: a tag that holds at least
// one character other than a blank, a plain decimal weight above 0, and a valid date and time.
// Texts are code-page bytes.
struct Weighing {
    std::string tag; // as the card has it
    std::chrono::sys_days day;
    std::chrono::seconds timeOfDay;
    std::int64_t weight;
    std::optional<std::int64_t> gate;

    // The date and time cells, as the export shows them.
    std::string Date() const;
    std::string Time() const;
};

// The weighing a row is, if it is one.
std::optional<Weighing> WeighingOfRow(const RowCells& cells);

// The tag as a key: its blanks (space, tab, no-break space) taken out and its letters in one
// case, across the whole code page. Tags with one key are one animal.
std::string TagKey(std::string_view tag);
