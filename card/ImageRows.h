#pragma once

#include "card/CardImage.h"
#include "card/ExportRows.h"

#include <cstdint>
#include <string>

// How the rows of a card image ended.
struct ImageEnd {
    bool endFound = false; // at the card's end marker
    std::string fault;     // the run-time error met on the way (the first), empty when none
};

// The rows of a card image of the length given (the bytes its read got), as its export gave
// them, without lines or a log: the items from address 0 on, through a record assembler of
// their own, to the writer. An item that cannot be decoded ends them; a run-time error of the
// assembler is noted, and the rows go on, as they did in the export.
ImageEnd WriteRowsOfImage(const CardBuffer& image, std::int32_t length, RowWriter& rows);
