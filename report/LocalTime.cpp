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

std::string FormatLogLine(const LocalTime& time, std::string_view text) {
    constexpr std::size_t TextColumn = 28; // zero-based: the print zone that starts at column 29
    const std::pair<int, char> fields[] = {{time.Month, '/'},
                                           {time.Day, ' '},
                                           {time.Hour, ':'},
                                           {time.Minute, ':'},
                                           {time.Second, ' '}};
    std::string line;
    line.reserve(TextColumn + text.size() + 2);
    AppendZeroPadded(line, static_cast<std::uint32_t>(time.Year), 4);
    line.push_back('/');
    for (const auto& [value, separator] : fields) {
        AppendZeroPadded(line, static_cast<std::uint32_t>(value), 2);
        line.push_back(separator);
    }
    line.append(TextColumn - line.size(), ' ');
    line.append(text);
    line.append("\r\n");
    return line;
}
