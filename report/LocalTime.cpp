#include "report/LocalTime.h"

#include <cstdio>
#include <ctime>

LocalTime SystemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string FormatLogLine(const LocalTime& time, std::string_view text) {
    constexpr int TextColumn = 28; // zero-based: the print zone that starts at column 29
    char stamp[32];
    const int width = std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d %02d:%02d:%02d", time.Year,
                                    time.Month, time.Day, time.Hour, time.Minute, time.Second);
    std::string line(stamp, static_cast<std::size_t>(width));
    line.append(static_cast<std::size_t>(TextColumn - width), ' ');
    line.append(text);
    line.append("\r\n");
    return line;
}
