#pragma once

#include "card/Table.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// One cell of an export line followed by its comma. A value holding a comma, a double quote,
// CR or LF is quoted (inner quotes doubled), so that it stays one cell of one line; every
// other value stands as it is.
void AppendCsvCell(std::string& line, std::string_view value);

// The cells as a CSV line: every cell followed by its comma (the export's), or commas between
// the cells; then CR LF.
std::string CsvLine(std::span<const std::string_view> cells,
                    CsvCommas commas = CsvCommas::AfterEachCell);

// The number a cell shows when it is a plain decimal number, blanks aside (" 452").
std::optional<std::int64_t> PlainNumber(std::string_view cell);
// The same, or one with decimals ("-1.25").
std::optional<double> PlainDecimal(std::string_view cell);

// A time stamp byte as a cell shows it: its hexadecimal digits, at least two when they are
// all decimal (0x05 gives 05), as they are when they hold a letter (0x0B gives B).
std::string TimeStampDigits(std::uint8_t byte);
