#pragma once

#include <functional>
#include <string>
#include <string_view>

struct LocalTime {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0; // 0 to 23
    int Minute = 0;
    int Second = 0;
};

using LocalClock = std::function<LocalTime()>;

LocalTime SystemLocalTime();

// The time as "yyyy?mm?dd?hh?mm?ss", with the five separators given in place of the '?'.
std::string TimeText(const LocalTime& time, std::string_view separators);

// "yyyy/mm/dd hh:mm:ss", blanks up to the print zone at column 29, the text, CR LF.
std::string FormatLogLine(const LocalTime& time, std::string_view text);
