#pragma once

#include <chrono>
#include <optional>
#include <string_view>

// The Date and Time cells of an export row, read back: "31/12/23" is a date that exists, of the
// years 1980 to 2079 (80 to 99 are 1980 to 1999, 00 to 79 are 2000 to 2079), "09:05:00" a time of
// the day. Cells of any other shape (time stamps whose bytes were not BCD digits) are none.
std::optional<std::chrono::year_month_day> DateOfCell(std::string_view cell);
std::optional<std::chrono::seconds> TimeOfCell(std::string_view cell); // since midnight
