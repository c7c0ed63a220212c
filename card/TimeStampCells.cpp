#include "card/TimeStampCells.h"

#include <array>

namespace {

// Two-digit years from this one on are of the last century.
constexpr int FirstYearOfOldCentury = 80;

// Three two-digit numbers apart by the separator: "31/12/23".
std::optional<std::array<int, 3>> ThreePairs(std::string_view cell, char separator) {
    if (cell.size() != 8 || cell[2] != separator || cell[5] != separator) {
        return std::nullopt;
    }
    std::array<int, 3> pairs{};
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const char tens = cell[3 * i];
        const char ones = cell[3 * i + 1];
        if (tens < '0' || tens > '9' || ones < '0' || ones > '9') {
            return std::nullopt;
        }
        pairs[i] = (tens - '0') * 10 + (ones - '0');
    }
    return pairs;
}

} // namespace

std::optional<std::chrono::year_month_day> DateOfCell(std::string_view cell) {
    using namespace std::chrono;
    const auto pairs = ThreePairs(cell, '/');
    if (!pairs) {
        return std::nullopt;
    }
    const int yy = (*pairs)[2];
    const year_month_day date{year((yy >= FirstYearOfOldCentury ? 1900 : 2000) + yy),
                              month(static_cast<unsigned>((*pairs)[1])),
                              day(static_cast<unsigned>((*pairs)[0]))};
    return date.ok() ? std::optional(date) : std::nullopt;
}

std::optional<std::chrono::seconds> TimeOfCell(std::string_view cell) {
    const auto pairs = ThreePairs(cell, ':');
    if (!pairs || (*pairs)[0] > 23 || (*pairs)[1] > 59 || (*pairs)[2] > 59) {
        return std::nullopt;
    }
    return std::chrono::seconds((*pairs)[0] * 3600 + (*pairs)[1] * 60 + (*pairs)[2]);
}
