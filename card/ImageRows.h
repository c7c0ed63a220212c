#pragma once

#include "card/CardImage.h"
#include "card/ExportRows.h"

// The rows of a whole card image, as an export of it gives them, without lines or a log: the
// items from address 0 to the end marker, through a record assembler of their own, to the
// writer. An item that cannot be decoded, a run-time error of the assembler, or a card without
// an end marker throws RuntimeError; the rows before it have been written then.
void WriteRowsOfImage(const CardBuffer& image, RowWriter& rows);
