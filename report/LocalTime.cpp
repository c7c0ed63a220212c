#include "report/LocalTime.h"

#include "report/NumberText.h"

#include <ctime>

LocalTime SystemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string TimeText(const LocalTime& time, std::string_view separators) {
    const int after[] = {time.Month, time.Day, time.Hour, time.Minute, time.Second};
    std::string text;
    AppendZeroPadded(text, static_cast<std::uint32_t>(time.Year), 4);
    for (std::size_t field = 0; field < std::size(after); ++field) {
        text.push_back(separators[field]);
        AppendZeroPadded(text, static_cast<std::uint32_t>(after[field]), 2);
    }
    return text;
}

std::string FormatLogLine(const LocalTime& time, std::string_view text) {
    constexpr std::size_t TextColumn = 28; // zero-based: the print zone that starts at column 29
    std::string line = TimeText(time, "// ::");
    line.reserve(TextColumn + text.size() + 2);
    line.append(TextColumn - line.size(), ' ');
    line.append(text);
    line.append("\r\n");
    return line;
}
