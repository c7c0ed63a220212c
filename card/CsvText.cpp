#include "card/CsvText.h"

#include <algorithm>

namespace {

bool BreaksTheLine(char c) {
    return c == ',' || c == '"' || c == '\r' || c == '\n';
}

} // namespace

void AppendCsvCell(std::string& line, std::string_view value) {
    if (std::none_of(value.begin(), value.end(), BreaksTheLine)) {
        line.append(value);
    } else {
        line.push_back('"');
        for (const char c : value) {
            if (c == '"') {
                line.push_back('"');
            }
            line.push_back(c);
        }
        line.push_back('"');
    }
    line.push_back(',');
}

std::string TimeStampDigits(std::uint8_t byte) {
    constexpr char Digits[] = "0123456789ABCDEF";
    const char high = Digits[byte >> 4];
    const char low = Digits[byte & 0x0F];
    const bool allDecimal = (byte >> 4) < 10 && (byte & 0x0F) < 10;
    if (allDecimal) {
        return {high, low};
    }
    if (high == '0') {
        return {low};
    }
    return {high, low};
}
