#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One cell of an export line followed by its comma. A value holding a comma, a double quote,
// CR or LF is quoted (inner quotes doubled), so that it stays one cell of one line; every
// other value stands as it is.
void AppendCsvCell(std::string& line, std::string_view value);

// A time stamp byte as a cell shows it: its hexadecimal digits, at least two when they are
// all decimal (0x05 gives 05), as they are when they hold a letter (0x0B gives B).
std::string TimeStampDigits(std::uint8_t byte);
